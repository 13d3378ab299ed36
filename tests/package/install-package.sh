#!/bin/sh
# install-package.sh BUILD VERSION: builds the Debian package in BUILD, lints it, installs it with
# dpkg, checks what it installed and purges it. Needs root and no zintor package installed.
set -eu
build=$1 version=$2
check=$(dirname "$0")/check-installed.sh
skip() {
    echo "skipped: $1"
    [ -z "${ZINTOR_REQUIRE_ALL:-}" ] || exit 1
    exit 77
}
[ "$(id -u)" -eq 0 ] || skip "installing a package needs root"
dpkg-query -W -f='${Status}' zintor 2>/dev/null | grep -q "ok installed" &&
    skip "a zintor package is installed here; remove it first (dpkg --purge zintor)"
# dpkg, waiting while another run holds its lock.
dpkg_waiting() {
    for _ in $(seq 60); do
        out=$(dpkg "$@" 2>&1) && return 0
        case $out in *lock*) sleep 5 ;; *) break ;; esac
    done
    echo "$out" && return 1
}

cd "$build"
cpack -G DEB >cpack.log 2>&1 || { cat cpack.log; exit 1; }
deb=$build/zintor_${version}_amd64.deb
dpkg-deb -f "$deb" Depends Recommends Suggests | tr "\n" " " |
    grep -q "libqt6widgets6.*audacious.*qt6-wayland.*xdg-desktop-portal" ||
    { echo "relations"; exit 1; }
# Nothing grants /dev/uinput: the program does not use it.
dpkg-deb -c "$deb" | grep uinput && { echo "uinput rule shipped"; exit 1; }
# Lintian's own threshold, and no hardening tag however quiet (-I -E).
lint=$(lintian -I -E --fail-on error,warning "$deb") || { echo "$lint"; exit 1; }
echo "$lint" | grep hardening- && { echo "programs not hardened"; exit 1; }

trap 'dpkg_waiting --purge zintor' EXIT
dpkg_waiting -i "$deb"
ls /usr/share/applications/zintor.desktop /usr/share/icons/hicolor/scalable/apps/zintor.svg \
    /usr/lib/udev/rules.d/70-zintor-k8055.rules /usr/share/man/man1/zintor.1.gz >/dev/null
# One licence, as Debian's tools and software centres read it.
grep -qx "License: GPL-3+" /usr/share/doc/zintor/copyright &&
    grep -q "<project_license>GPL-3.0-or-later<" /usr/share/metainfo/*.metainfo.xml ||
    { echo "licence not declared"; exit 1; }
sh "$check" /usr "$version"
trap - EXIT
dpkg_waiting --purge zintor
[ ! -e /usr/bin/zintor ] && [ ! -e /usr/share/zintor ] || { echo "left after purge"; exit 1; }
