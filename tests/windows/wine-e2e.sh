#!/bin/sh
# wine-e2e.sh WINE INSTALLER TESTS, in wine-run.sh: zintor.exe as its installer installs it, on an X
# display with a tray host (trayer), against the virtual phone on COM9; the user's side of the
# windows is the EndToEnd cases of the test program TESTS (DesktopDriver.cpp).
set -u
wine=$1 installer=$2 tests=$3
fail() {
    echo "FAIL: $1"
    for f in zintor.log driver.log settings.txt; do echo "--- $f:" && cat "$f"; done
    exit 1
}
drive() {  # the (disabled) case EndToEnd.$1 passes, or fail with $2
    "$wine" "$tests" --gtest_also_run_disabled_tests --gtest_filter="DISABLED_EndToEnd.$1" \
        >driver.log 2>&1 && grep -q "PASSED .* 1 test" driver.log || fail "$2"
}
[ -n "${DISPLAY:-}" ] || fail "no X display (run under xvfb-run)"
pids=""
trap '[ -n "$pids" ] && kill -KILL $pids 2>/dev/null' EXIT
"$wine" "$installer" /S || fail "the installer failed"
program=$(echo "$WINEPREFIX"/drive_c/users/*/AppData/Local/Programs/Zintor)
"$wine" "$program/zintor-keymap-check.exe" "$program/KeyMap.xml" | grep -q "^3 key maps" ||
    fail "the installed zintor-keymap-check did not read the installed KeyMap.xml"
settings='HKCU\Software\VB and VBA Program Settings\Zintor4\Settings'
"$wine" reg delete "$settings" /f >/dev/null 2>&1
for value in Com=9 Auto=1 Log=1; do
    "$wine" reg add "$settings" /v "${value%=*}" /d "${value#*=}" /f >/dev/null 2>&1
done
trayer --edge top --align right --widthtype pixel --width 100 --height 32 >/dev/null 2>&1 &
pids="$pids $!"
sent() {  # waits up to 20 s for the line $1 to reach the phone
    for _ in $(seq 200); do grep -qF "< $1" phone.log && return 0; sleep 0.1; done
    fail "the phone did not receive $1"
}

"$wine" "$program/zintor.exe" >zintor.log 2>&1 & zintor_pid=$!
sent 'AT*EAM="Zintor"'
"$wine" "$program/zintor.exe" & second=$!
drive SecondStartShowsThatZintorRunsAlready "a second zintor.exe did not say so"
wait "$second" || fail "a second zintor.exe did not end with status 0"
"$wine" notepad &
pids="$pids $!"
# In front for the keys: clicked, as a user would.
notepad=$(timeout 20 xdotool search --sync --onlyvisible --name "Notepad" | head -1)
eval "$(xdotool getwindowgeometry --shell "$notepad")"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 1
sleep 0.5
act() { echo "$1" >&3 && sent "$2"; }  # the user's action on the phone, the program's answer
act ":choose 1" "AT+CMER=3,2,0,0,0"
echo ":key *" >&3  # the key help, on top without the focus: Notepad still gets the text
drive KeyHelpOnTopWithoutTheFocus "the key help is not on top without the focus"
act ":key 0" 'AT*EAID=11,2,"Enter","->",100'
echo ":text Hi, you! é€ 42" >&3
sleep 2
drive NotepadShowsTheTextTypedOnThePhone "Notepad does not show the text typed on the phone"

for _ in $(seq 100); do  # the tray icon: a window of wine's in the tray host's panel
    icon=$(xwininfo -root -tree | awk '/"panel"/ { p = 1 } p && /explorer.exe/ { print $1; exit }')
    [ -n "$icon" ] && break
    sleep 0.1
done
[ -n "$icon" ] || { xwininfo -root -tree; fail "no tray icon in the tray host"; }
xdotool mousemove --window "$icon" 5 5 click 3
drive SettingsWindowFromTheTrayMenu "the settings window could not be used"
sleep 1
before=$(wc -l <phone.log)
"$wine" taskkill /im zintor.exe >/dev/null 2>&1
(sleep 10 && kill -KILL "$zintor_pid") >/dev/null 2>&1 &
wait "$zintor_pid" || fail "zintor.exe did not end by itself with status 0"

# The shutdown switched keypad reporting off and registered the entry again.
tail -n +$((before + 1)) phone.log | sed -n 's/^ *[0-9]* < //p' | tr '\n' ' ' |
    grep -qF 'AT+CMER=0,0,0,0,0 AT*EAM="Zintor"' || fail "the shutdown did not reach the phone"
"$wine" reg query "$settings" >settings.txt 2>&1
for value in 'AppName 0 *REG_SZ *Notes' 'AppPath9 *REG_SZ *C:\\windows\\zintornote.exe' \
    'Auto *REG_SZ *0' 'Speed *REG_SZ *50' 'SettingLeft *REG_SZ'; do
    grep -q "$value" settings.txt || fail "not in the registry: $value"
done
grep -q "Application Started" "$program/log/"*.txt 2>/dev/null || fail "no log in the program's folder"
run='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
"$wine" reg query "$run" /v Zintor 2>/dev/null | grep -qi 'REG_SZ *"C:\\.*\\zintor.exe"' ||
    fail "the settings window's box did not make Zintor start at log-in"
entry='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Zintor'
for value in Publisher InstallLocation EstimatedSize; do
    "$wine" reg query "$entry" /v $value >/dev/null 2>&1 || fail "the uninstall entry has no $value"
done
[ ! -e "$HOME/.local/share/applications/wine" ] || fail "wine's menu builder wrote into the home"
temp=$("$wine" winepath -u "$("$wine" cmd /c echo %TEMP% | tr -d '\r')" 2>/dev/null)
[ -d "$temp" ] || fail "no temporary folder: $temp"
uninstall() {  # it goes on from a copy of itself in the temporary folder, which then goes too
    ls -A "$temp" >temp-before.txt
    "$wine" "$program/uninstall.exe" "$@" || fail "the uninstaller failed"
    for _ in $(seq 100); do ls -A "$temp" | cmp -s - temp-before.txt && break; sleep 0.1; done
    ls -A "$temp" | cmp -s - temp-before.txt || fail "the uninstaller left $(ls -A "$temp")"
    [ ! -e "$program" ] || fail "the uninstaller left $program"
    ! "$wine" reg query "$run" /v Zintor >/dev/null 2>&1 || fail "the uninstaller left the Run value"
}
uninstall /S
"$wine" reg query "$settings" /v Com >/dev/null 2>&1 || fail "a silent uninstall removed the settings"
"$wine" "$installer" /S || fail "the installer failed a second time"
uninstall /S /REMOVESETTINGS
! "$wine" reg query "$settings" >/dev/null 2>&1 || fail "/REMOVESETTINGS left the settings"
echo "zintor.exe: connected, main menu, Move Mouse, text typed into Notepad, settings saved, closed"
