#!/bin/sh
# wine-e2e.sh WINE ZINTOR DRIVER PHONE WORKDIR: zintor.exe under wine on an X display
# with a tray host (trayer), against the virtual phone on a pseudo-terminal mapped to COM9: the
# connect sequence, the main menu, "Move Mouse" and key 5 (Return in the first key map) reaching
# a window in front; then the tray icon's right button (a click on the X server) and the settings
# window through the menu (DesktopDriver.cpp); then an ordinary close (as Task Manager asks) running the shutdown. Checks what the phone
# received, the keys, the settings in the registry and the log folder beside the program.
set -u
wine=$1 zintor=$2 driver=$3 phone=$4 work=$5
skip() {
    echo "$1"
    [ "${ZINTOR_REQUIRE_ALL:-0}" = 1 ] && exit 1
    exit 77
}
[ -x "$phone" ] || skip "$phone is missing: build the Linux configuration (build/) first"
[ -n "${DISPLAY:-}" ] || skip "no X display (run under xvfb-run)"
fail() {
    echo "FAIL: $1"
    for f in phone.log keys.txt zintor.log settings.txt; do echo "--- $f:"; cat "$work/$f"; done
    exit 1
}

pids=""
cleanup() {
    [ -n "$pids" ] && kill -KILL $pids 2>/dev/null
    rm -f "$WINEPREFIX/dosdevices/com9"
    "$wine" reg delete 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' /v '\Device\ZintorTest9' /f \
        >/dev/null 2>&1
}
trap cleanup EXIT

rm -rf "$work" && mkdir -p "$work/program"
cp "$zintor" "$(dirname "$zintor")/KeyMap.xml" "$work/program/"
settings='HKCU\Software\VB and VBA Program Settings\Zintor4\Settings'
"$wine" reg delete "$settings" /f >/dev/null 2>&1
for value in Com=9 Auto=1 Log=1; do
    "$wine" reg add "$settings" /v "${value%=*}" /d "${value#*=}" /f >/dev/null 2>&1
done
"$wine" reg add 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' /v '\Device\ZintorTest9' /d COM9 /f \
    >/dev/null 2>&1

trayer --edge top --align right --widthtype pixel --width 100 --height 32 >/dev/null 2>&1 &
pids="$pids $!"
# The phone takes the user's actions from a pipe, each when the program is ready for it.
mkfifo "$work/to-phone"
"$phone" --link "$work/phone" <"$work/to-phone" >"$work/phone.log" 2>&1 &
pids="$pids $!"
exec 3>"$work/to-phone"
for _ in $(seq 50); do [ -e "$work/phone" ] && break; sleep 0.1; done
ln -sfn "$work/phone" "$WINEPREFIX/dosdevices/com9"
# Waits up to 20 s for the line $1 to reach the phone.
sent() {
    for _ in $(seq 200); do
        grep -qF "< $1" "$work/phone.log" && return 0
        sleep 0.1
    done
    fail "the phone did not receive $1"
}

"$wine" "$work/program/zintor.exe" >"$work/zintor.log" 2>&1 &
zintor_pid=$!
sent 'AT*EAM="Zintor"'
"$wine" "$driver" keys "Z:$work/keys.txt" &
sink_pid=$!
pids="$pids $!"
# In front for the keys: the X focus too (the tray host may have taken it).
timeout 10 xdotool search --sync --onlyvisible --name "key sink" windowfocus >/dev/null 2>&1
sleep 0.3
echo :open >&3
sent 'AT*EASM="Zintor"'
echo ":choose 1" >&3
sent "AT+CMER=3,2,0,0,0"
echo ":key 5" >&3
for _ in $(seq 100); do kill -0 "$sink_pid" 2>/dev/null || break; sleep 0.1; done

# The tray icon: an X window of wine's inside the tray host's panel.
for _ in $(seq 100); do
    icon=$(xwininfo -root -tree | awk '/"panel"/ { p = 1 } p && /explorer.exe/ { print $1; exit }')
    [ -n "$icon" ] && break
    sleep 0.1
done
[ -n "$icon" ] || fail "no tray icon in the tray host"
eval "$(xdotool getwindowgeometry --shell "$icon")"
xdotool mousemove $((X + 5)) $((Y + 5)) click 3
"$wine" "$driver" settings || fail "the settings window could not be used"
sleep 1
"$wine" taskkill /im zintor.exe >/dev/null 2>&1
for _ in $(seq 100); do kill -0 "$zintor_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$zintor_pid" 2>/dev/null && { kill -KILL "$zintor_pid"; fail "zintor.exe did not end"; }
wait "$zintor_pid" || fail "zintor.exe ended with status $?"
sleep 0.5

# What the phone received, in this order.
expected='AT
AT+cgmm
at+cscs="8859-1"
AT+CMER=0,0,0,0,0
AT*EAM="Zintor"
AT*EASM="Zintor",1,1,3,"Move Mouse","Application","About"
AT+CMER=3,2,0,0,0
AT+CMER=0,0,0,0,0
AT*EAM="Zintor"'
# Each expected line in turn, later than the one before.
sed -n 's/^ *[0-9]* < //p' "$work/phone.log" | tr -d '\r' >"$work/received.txt"
printf '%s\n' "$expected" | awk 'BEGIN { i = 0 } NR == FNR { want[n++] = $0; next }
    i < n && $0 == want[i] { i++ } END { if (i < n) { print "missing: " want[i]; exit 1 } }' \
    - "$work/received.txt" || fail "the phone did not receive the expected lines"
grep -qx "down 13" "$work/keys.txt" && grep -qx "up 13" "$work/keys.txt" ||
    fail "key 5 did not reach the window in front as Return"
"$wine" reg query "$settings" >"$work/settings.txt" 2>&1
for value in 'AppName 0 *REG_SZ *Notes' 'AppPath9 *REG_SZ *C:\\windows\\zintornote.exe' \
    'Auto *REG_SZ *0' 'Speed *REG_SZ *50' 'SettingLeft *REG_SZ'; do
    grep -q "$value" "$work/settings.txt" || fail "not in the registry: $value"
done
grep -q "Application Started" "$work/program/log/"*.txt 2>/dev/null ||
    fail "no log file in the program folder's log"
echo "zintor.exe: connected, main menu, Move Mouse, key 5 typed Return, settings saved, closed"
