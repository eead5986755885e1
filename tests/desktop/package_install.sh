#!/usr/bin/env bash
# The Debian package from end to end, as root: builds it from this build tree with cpack,
# validates its menu entry and AppStream metadata, runs lintian (no errors allowed), installs
# it with dpkg, starts the installed program by its menu entry's command in an X server (its
# window appears with its caption; Escape ends it with status 0), purges it and checks that
# nothing new is left in /etc or the folders it installs to. Whatever happens, the package is
# purged again on the way out.
# Usage: package_install.sh BUILD_DIR OUTPUT_DIR VERSION
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$1
version=$3
pkg=dazozi-redov
desktop_file=/usr/share/applications/org.example.DazoziRedov.desktop

if [[ $(id -u) -ne 0 ]]; then
  echo "SKIP: installing a package needs root"
  exit 77
fi
source "$here/../e2e/lib.sh"
# Our own files; lib.sh's $out is the X server run's, inside it.
work=$2
rm -rf "$work"
mkdir -p "$work"

installed() {
  dpkg-query -W -f='${db:Status-Status}' "$pkg" 2>/dev/null | grep -qv '^not-installed$'
}
purge() {
  installed && dpkg --purge "$pkg" >>"$work/dpkg.log" 2>&1
}
# A run killed half-way (a timeout) leaves the package behind: start from a clean slate.
purge
trap 'purge' EXIT

# dpkg refuses to start while another dpkg or apt holds its lock; wait for that to end.
dpkg_unlocked() {
  "$@" >>"$work/dpkg.log" 2>&1 && return 0
  grep -q "lock" "$work/dpkg.log" || e2e_fail "dpkg $*: $(tail -3 "$work/dpkg.log")"
  return 1
}

# --- Build and look at the package.
(cd "$build" && cpack -G DEB -B "$work/pkg" >"$work/cpack.log" 2>&1) || e2e_fail "cpack: $(tail -5 "$work/cpack.log")"
deb=$(ls "$work"/pkg/${pkg}_*.deb 2>/dev/null | head -1)
[[ -n "$deb" ]] || e2e_fail "cpack made no package"
[[ $(dpkg-deb -f "$deb" Version) == "$version" ]] || e2e_fail "package version $(dpkg-deb -f "$deb" Version), expected $version"
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libsdl2-2.0-0 libpng16-16 libc6; do
  [[ "$depends" == *"$lib "* ]] || e2e_fail "Depends lacks $lib: $depends"
done
# Chipmunk is compiled into the program (the same build of it as the web's).
[[ "$depends" != *libchipmunk* ]] || e2e_fail "Depends names Chipmunk, which the program does not link: $depends"
[[ -n $(dpkg-deb -f "$deb" Description | sed -n 2p) ]] || e2e_fail "no long description"
dpkg-deb -x "$deb" "$work/root"
desktop-file-validate "$work/root$desktop_file" >"$work/desktop-file-validate.txt" 2>&1 ||
  e2e_fail "desktop-file-validate: $(cat "$work/desktop-file-validate.txt")"
appstreamcli validate --no-net "$work"/root/usr/share/metainfo/*.metainfo.xml >"$work/appstream.txt" 2>&1 ||
  e2e_fail "appstreamcli: $(cat "$work/appstream.txt")"
lintian --fail-on error "$deb" >"$work/lintian.txt" 2>&1 || e2e_fail "lintian: $(grep '^E:' "$work/lintian.txt")"
grep -qx "License: MIT" "$work/root/usr/share/doc/$pkg/copyright" || e2e_fail "the copyright file names no MIT licence"

# --- Install it.
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' | grep -v '/$' >"$work/files.txt"
while read -r f; do
  [[ -e "$f" ]] && e2e_fail "$f exists before the package is installed"
done <"$work/files.txt"
# Everything under the folders the package writes to and /etc, before it comes; the caches that
# dpkg's triggers rebuild for every package are not ours.
snapshot() {
  find /etc /usr/bin /usr/share/applications /usr/share/metainfo /usr/share/icons/hicolor \
    /usr/share/man/man6 /usr/share/doc -xdev 2>/dev/null |
    grep -Ev '/(icon-theme\.cache|mimeinfo\.cache|ld\.so\.cache)$' | sort
}
snapshot >"$work/before.txt"
e2e_wait_until "the dpkg lock for the install" dpkg_unlocked dpkg -i "$deb"
installed || e2e_fail "dpkg -i did not install $pkg"
while read -r f; do
  [[ -f "$f" ]] || e2e_fail "$f is missing after the install"
done <"$work/files.txt"
for size in 48 128 256 512; do
  [[ -f /usr/share/icons/hicolor/${size}x$size/apps/dazozi-redov.png ]] || e2e_fail "no ${size}px icon"
done
man -w 6 dazozi-redov >/dev/null 2>&1 || e2e_fail "man cannot find dazozi-redov(6)"

# --- Run what the menu runs.
command=$(sed -n 's/^Exec=//p' "$desktop_file")
program=$(command -v "$command") || e2e_fail "the menu's command '$command' is not on PATH"
[[ "$program" == /usr/bin/dazozi-redov ]] || e2e_fail "the menu runs $program"
e2e_init "$program" "$work/x"
trap 'kill $e2e_xvfb 2>/dev/null; purge' EXIT
e2e_start_program installed
e2e_focus
xdotool key Escape
e2e_wait_exit Escape installed

# --- Remove it: nothing of it stays.
e2e_wait_until "the dpkg lock for the purge" dpkg_unlocked dpkg --purge "$pkg"
installed && e2e_fail "$pkg is still known to dpkg after the purge"
while read -r f; do
  [[ -e "$f" ]] && e2e_fail "$f is left after the purge"
done <"$work/files.txt"
snapshot >"$work/after.txt"
left=$(comm -13 "$work/before.txt" "$work/after.txt")
[[ -n "$left" ]] && e2e_fail "left after the purge: $(echo $left)"
e2e_pass "package: built, validated, installed, run and purged"
