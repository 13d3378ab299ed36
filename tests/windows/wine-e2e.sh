#!/bin/sh
# wine-e2e.sh WINE ZINTOR KEYSINK PHONE SCRIPT WORKDIR: zintor.exe under wine on an X display
# against the virtual phone on a pseudo-terminal mapped to COM9: the connect sequence, the main
# menu, "Move Mouse" and key 5 (Return in the first key map) reaching a window in front, then an
# ordinary close (as Task Manager asks) running the shutdown. Checks what the phone received,
# the keys, the settings saved in the registry and the log folder beside the program.
set -u
wine=$1 zintor=$2 keysink=$3 phone=$4 script=$5 work=$6
skip() {
    echo "$1"
    [ "${ZINTOR_REQUIRE_ALL:-0}" = 1 ] && exit 1
    exit 77
}
[ -x "$phone" ] || skip "$phone is missing: build the Linux configuration (build/) first"
[ -n "${DISPLAY:-}" ] || skip "no X display (run under xvfb-run)"
fail() {
    echo "FAIL: $1"
    for f in phone.log keys.txt zintor.log; do echo "--- $f:"; cat "$work/$f"; done
    exit 1
}

rm -rf "$work" && mkdir -p "$work/program"
cp "$zintor" "$(dirname "$zintor")/KeyMap.xml" "$work/program/"
settings='HKCU\Software\VB and VBA Program Settings\Zintor4\Settings'
"$wine" reg delete "$settings" /f >/dev/null 2>&1
for value in Com=9 Auto=1 Log=1; do
    "$wine" reg add "$settings" /v "${value%=*}" /d "${value#*=}" /f >/dev/null 2>&1
done
"$wine" reg add 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' /v '\Device\ZintorTest9' /d COM9 /f \
    >/dev/null 2>&1

"$phone" --link "$work/phone" --script "$script" >"$work/phone.log" 2>&1 </dev/null &
phone_pid=$!
for _ in $(seq 50); do [ -e "$work/phone" ] && break; sleep 0.1; done
ln -sfn "$work/phone" "$WINEPREFIX/dosdevices/com9"

"$wine" "$keysink" "Z:$work/keys.txt" &
sink_pid=$!
for _ in $(seq 100); do grep -q ready "$work/keys.txt" 2>/dev/null && break; sleep 0.1; done

"$wine" "$work/program/zintor.exe" >"$work/zintor.log" 2>&1 &
zintor_pid=$!
# The phone shows the main menu, "Move Mouse" is chosen, key 5 pressed.
for _ in $(seq 300); do grep -q "down 13" "$work/keys.txt" && break; sleep 0.1; done
sleep 1
"$wine" taskkill /im zintor.exe >/dev/null 2>&1
for _ in $(seq 100); do kill -0 "$zintor_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$zintor_pid" 2>/dev/null && { kill -KILL "$zintor_pid"; fail "zintor.exe did not end"; }
wait "$zintor_pid" || fail "zintor.exe ended with status $?"
kill -KILL "$phone_pid" "$sink_pid" 2>/dev/null
wait "$phone_pid" "$sink_pid" 2>/dev/null
rm -f "$WINEPREFIX/dosdevices/com9"
"$wine" reg delete 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' /v '\Device\ZintorTest9' /f >/dev/null 2>&1

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
"$wine" reg query "$settings" /v SettingLeft 2>/dev/null | grep -q REG_SZ ||
    fail "the settings were not saved at exit"
grep -q "Application Started" "$work/program/log/"*.txt 2>/dev/null ||
    fail "no log file in the program folder's log"
echo "zintor.exe: connected, main menu, Move Mouse, key 5 typed Return, closed cleanly"
