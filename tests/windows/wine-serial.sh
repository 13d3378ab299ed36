#!/bin/sh
# wine-serial.sh WINE TEST PHONE SCRIPT WORKDIR: runs the serial adapter's test under wine against
# the virtual phone (zintor-phone of the Linux build) on a pseudo-terminal mapped to COM9.
set -u
wine=$1 test=$2 phone=$3 script=$4 work=$5
[ -x "$phone" ] || { echo "$phone is missing: build the Linux configuration (build/) first"; exit 1; }
rm -rf "$work" && mkdir -p "$work"
"$phone" --link "$work/phone" --script "$script" >"$work/phone.log" 2>&1 </dev/null &
phone_pid=$!
for _ in $(seq 50); do [ -e "$work/phone" ] && break; sleep 0.1; done
ln -sfn "$work/phone" "$WINEPREFIX/dosdevices/com9"
"$wine" "$test" 9
status=$?
kill -KILL "$phone_pid" 2>/dev/null
rm -f "$WINEPREFIX/dosdevices/com9"
echo "--- the phone's log:" && cat "$work/phone.log"
exit $status
