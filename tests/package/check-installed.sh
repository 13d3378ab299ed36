#!/bin/sh
# check-installed.sh PREFIX VERSION: the programs installed below PREFIX answer --version and
# --help without a display, and zintor, started headless and ended by SIGINT, finds its key maps.
set -eu
prefix=$1 version=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
plain() {
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME="$tmp" XDG_CONFIG_HOME="$tmp/c" \
        XDG_STATE_HOME="$tmp/s" XDG_RUNTIME_DIR="$tmp" "$@"
}
for name in zintor zintor-phone zintor-keymap-check; do
    answer=$(plain QT_QPA_PLATFORM=xcb "$prefix/bin/$name" --version)
    [ "$answer" = "$name $version" ] || { echo "$name --version: $answer"; exit 1; }
    plain QT_QPA_PLATFORM=xcb "$prefix/bin/$name" --help | grep -q "^Usage: $name " ||
        { echo "$name --help: no usage"; exit 1; }
done

# The manual pages: every command zintor-phone's help lists, zintor's environment, files and
# exit status.
man=$prefix/share/man/man1
for command in $(plain "$prefix/bin/zintor-phone" --help | grep -o ':[a-z]*[a-z]' | sort -u); do
    gzip -dc "$man/zintor-phone.1.gz" | grep -qF -- "$command" || { echo "no $command"; exit 1; }
done
for section in ENVIRONMENT FILES "EXIT STATUS"; do
    gzip -dc "$man/zintor.1.gz" | grep -qx ".SH $section" || { echo "no $section"; exit 1; }
done

# A status other than 0 means the program did not get through start-up to its clean shutdown.
status=0
out=$(plain timeout --preserve-status -s INT 5 "$prefix/bin/zintor" 2>&1) || status=$?
echo "$out"
case $status:$out in 0:*KeyMap.xml*|[!0]*) echo "zintor: exit status $status"; exit 1 ;; esac
