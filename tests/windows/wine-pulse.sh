#!/bin/sh
# wine-pulse.sh WINE TEST: runs TEST under wine with a private PulseAudio server (a null sink),
# wine's sound output for the winmm mixer.
set -u
dir=$(mktemp -d /tmp/zintor-winepulse-XXXXXX)
mkdir -p "$dir/home" "$dir/runtime"
HOME=$dir/home XDG_RUNTIME_DIR=$dir/runtime PULSE_RUNTIME_PATH=$dir/runtime/pulse \
    DBUS_SESSION_BUS_ADDRESS=disabled: pulseaudio --daemonize=no --exit-idle-time=-1 -n \
    --use-pid-file=no --system=false --log-target=stderr \
    --load="module-null-sink sink_name=zintor_test" \
    --load="module-native-protocol-unix auth-anonymous=1 socket=$dir/native" \
    >"$dir/pulse.log" 2>&1 &
pulse=$!
for _ in $(seq 100); do [ -S "$dir/native" ] && break; sleep 0.05; done
PULSE_SERVER=unix:$dir/native "$1" "$2"
status=$?
kill "$pulse"
wait "$pulse" 2>/dev/null
rm -rf "$dir"
exit $status
