#!/bin/sh
# wine-e2e.sh WINE INSTALLER DRIVER, in wine-run.sh: zintor.exe as its installer installs it,
# under wine on an X display with a tray host (trayer), against the virtual phone on COM9. The
# connect sequence, a second start refused, the main menu, "Move Mouse", the key help (*), key 0
# (INPUT) and a text typed into Notepad in front; the tray icon's right button (an X click) and
# the settings window (DesktopDriver.cpp); a close as Task Manager asks, running the shutdown.
# Checks the phone's lines, Notepad's text, the registry, the log beside the program and the
# uninstaller's work.
set -u
wine=$1 installer=$2 driver=$3
fail() {
    echo "FAIL: $1"
    for f in zintor.log settings.txt; do echo "--- $f:" && cat "$f"; done
    exit 1
}
[ -n "${DISPLAY:-}" ] || fail "no X display (run under xvfb-run)"
pids="" serialcomm='HKLM\HARDWARE\DEVICEMAP\SERIALCOMM'
cleanup() {
    [ -n "$pids" ] && kill -KILL $pids 2>/dev/null
    "$wine" reg delete "$serialcomm" /v '\Device\ZintorTest9' /f >/dev/null 2>&1
}
trap cleanup EXIT
"$wine" "$installer" /S || fail "the installer failed"
program=$(echo "$WINEPREFIX"/drive_c/users/*/AppData/Local/Programs/Zintor)
settings='HKCU\Software\VB and VBA Program Settings\Zintor4\Settings'
"$wine" reg delete "$settings" /f >/dev/null 2>&1
for value in Com=9 Auto=1 Log=1; do
    "$wine" reg add "$settings" /v "${value%=*}" /d "${value#*=}" /f >/dev/null 2>&1
done
"$wine" reg add "$serialcomm" /v '\Device\ZintorTest9' /d COM9 /f >/dev/null 2>&1
trayer --edge top --align right --widthtype pixel --width 100 --height 32 >/dev/null 2>&1 &
pids="$pids $!"
sent() {  # waits up to 20 s for the line $1 to reach the phone
    for _ in $(seq 200); do grep -qF "< $1" phone.log && return 0; sleep 0.1; done
    fail "the phone did not receive $1"
}

"$wine" "$program/zintor.exe" >zintor.log 2>&1 & zintor_pid=$!
sent 'AT*EAM="Zintor"'
"$wine" "$program/zintor.exe" & second=$!
second_says=$("$wine" "$driver" second | tr -d '\r')
wait "$second" || fail "a second zintor.exe did not end with status 0"
"$wine" notepad &
pids="$pids $!"
# In front for the keys: clicked, as a user would.
notepad=$(timeout 20 xdotool search --sync --onlyvisible --name "Notepad" | head -1)
eval "$(xdotool getwindowgeometry --shell "$notepad")"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 1
sleep 0.5
act() { echo "$1" >&3 && sent "$2"; }  # the user's action on the phone, the program's answer
act :open 'AT*EASM="Zintor"'
act ":choose 1" "AT+CMER=3,2,0,0,0"
echo ":key *" >&3  # the key help, on top without the focus: Notepad still gets the text
"$wine" "$driver" help || fail "the key help window is not shown on top without the focus"
act ":key 0" 'AT*EAID=11,2,"Enter","->",100'
echo ":text Hello 42" >&3
sleep 2
typed=$("$wine" "$driver" text | tr -d '\r')

for _ in $(seq 100); do  # the tray icon: a window of wine's in the tray host's panel
    icon=$(xwininfo -root -tree | awk '/"panel"/ { p = 1 } p && /explorer.exe/ { print $1; exit }')
    [ -n "$icon" ] && break
    sleep 0.1
done
[ -n "$icon" ] || { xwininfo -root -tree; fail "no tray icon in the tray host"; }
eval "$(xdotool getwindowgeometry --shell "$icon")"
xdotool mousemove $((X + 5)) $((Y + 5)) click 3
"$wine" "$driver" settings || fail "the settings window could not be used"
sleep 1
"$wine" taskkill /im zintor.exe >/dev/null 2>&1
(sleep 10 && kill -KILL "$zintor_pid") >/dev/null 2>&1 &
wait "$zintor_pid" || fail "zintor.exe did not end by itself with status 0"

# Each of these lines reached the phone, in this order.
sed -n 's/^ *[0-9]* < //p' phone.log | tr -d '\r' >received.txt
printf '%s\n' AT AT+cgmm 'at+cscs="8859-1"' AT+CMER=0,0,0,0,0 'AT*EAM="Zintor"' \
    'AT*EASM="Zintor",1,1,3,"Move Mouse","Application","About"' AT+CMER=3,2,0,0,0 \
    AT+CMER=0,0,0,0,0 'AT*EAM="Zintor"' |
    awk 'BEGIN { i = 0 } NR == FNR { want[n++] = $0; next }
        i < n && $0 == want[i] { i++ } END { if (i < n) { print "missing: " want[i]; exit 1 } }' \
        - received.txt || fail "the phone did not receive the expected lines"
[ "$second_says" = "Zintor is running already: its icon is in the notification area." ] ||
    fail "a second zintor.exe said \"$second_says\""
# INPUT types letters and digits only.
[ "$typed" = "Hello42" ] || fail "Notepad shows \"$typed\", not the text typed on the phone"
"$wine" reg query "$settings" >settings.txt 2>&1
for value in 'AppName 0 *REG_SZ *Notes' 'AppPath9 *REG_SZ *C:\\windows\\zintornote.exe' \
    'Auto *REG_SZ *0' 'Speed *REG_SZ *50' 'SettingLeft *REG_SZ'; do
    grep -q "$value" settings.txt || fail "not in the registry: $value"
done
grep -q "Application Started" "$program/log/"*.txt 2>/dev/null || fail "no log in the program's folder"
"$wine" "$program/uninstall.exe" /S && sleep 3  # it goes on from a copy of itself
[ ! -e "$program" ] || fail "the uninstaller left $program"
echo "zintor.exe: connected, main menu, Move Mouse, text typed into Notepad, settings saved, closed"
