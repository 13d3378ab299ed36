#!/bin/sh
# install-package.sh BUILD VERSION: builds the Debian package in BUILD, checks it with lintian,
# installs it with dpkg, checks the installed programs and files, and purges it again. Needs
# root and a machine without a zintor package of its own (skipped otherwise).
set -eu
build=$1 version=$2
here=$(dirname "$0")
skip() {
    echo "skipped: $1"
    [ -z "${ZINTOR_REQUIRE_ALL:-}" ] || exit 1
    exit 77
}
[ "$(id -u)" -eq 0 ] || skip "installing a package needs root"
if dpkg-query -W -f='${Status}' zintor 2>/dev/null | grep -q installed; then
    skip "a zintor package is installed on this machine; remove it first (dpkg --purge zintor)"
fi
# dpkg, waiting while another apt or dpkg run holds its lock.
dpkg_waiting() {
    for _ in $(seq 60); do
        out=$(dpkg "$@" 2>&1) && return 0
        case $out in *lock*) sleep 5 ;; *) break ;; esac
    done
    echo "$out"
    return 1
}

cd "$build"
cpack -G DEB >cpack.log 2>&1 || { cat cpack.log; exit 1; }
deb=$build/zintor_${version}_amd64.deb
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6
dpkg-deb -f "$deb" Recommends | grep -q audacious
lintian --fail-on error,warning "$deb"

trap 'dpkg_waiting --purge zintor' EXIT
dpkg_waiting -i "$deb"
for file in /usr/share/applications/zintor.desktop /usr/share/icons/hicolor/scalable/apps/zintor.svg \
    /usr/lib/udev/rules.d/70-zintor-k8055.rules /usr/share/man/man1/zintor.1.gz; do
    [ -f "$file" ] || { echo "not installed: $file"; exit 1; }
done
sh "$here/check-installed.sh" /usr "$version"
trap - EXIT
dpkg_waiting --purge zintor
[ ! -e /usr/bin/zintor ] && [ ! -e /usr/share/zintor ] || { echo "left after purge"; exit 1; }
