#!/bin/sh
# wine-run.sh PHONE SCRIPT WORK COMMAND...: runs COMMAND (a test under wine) in the folder WORK
# beside a private PulseAudio server (a null sink, for the winmm mixer) and the virtual phone on a
# pseudo-terminal mapped to COM9, which runs SCRIPT, then the lines COMMAND writes to fd 3.
set -u
phone=$1 script=$2 work=$3
shift 3
[ -x "$phone" ] || { echo "$phone is missing: build the Linux configuration (build/) first"; exit 1; }
pulse=$(mktemp -d /tmp/zintor-winepulse-XXXXXX)  # short: a socket's path has a length limit
rm -rf "$work" && mkdir -p "$work" "$pulse/home" "$pulse/runtime" && cd "$work" && mkfifo to-phone
HOME=$pulse/home XDG_RUNTIME_DIR=$pulse/runtime PULSE_RUNTIME_PATH=$pulse/runtime/pulse \
    DBUS_SESSION_BUS_ADDRESS=disabled: pulseaudio --daemonize=no --exit-idle-time=-1 -n \
    --use-pid-file=no --system=false --log-target=stderr \
    --load="module-null-sink sink_name=zintor_test" \
    --load="module-native-protocol-unix auth-anonymous=1 socket=$pulse/native" >pulse.log 2>&1 &
pids=$!
"$phone" --link "$work/phone" --script "$script" <to-phone >phone.log 2>&1 &
pids="$pids $!"
exec 3>to-phone
for _ in $(seq 100); do [ -S "$pulse/native" ] && [ -e phone ] && break; sleep 0.05; done
ln -sfn "$work/phone" "$WINEPREFIX/dosdevices/com9"
PULSE_SERVER=unix:$pulse/native "$@"
status=$?
kill -KILL $pids 2>/dev/null
rm -rf "$WINEPREFIX/dosdevices/com9" "$pulse"
[ $status = 0 ] || { echo "--- the phone's log:" && cat phone.log; }
exit $status
