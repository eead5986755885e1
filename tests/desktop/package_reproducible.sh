#!/usr/bin/env bash
# Two packages of one build are the same bytes, however new the files they are made from: the
# package is dated as package.sh dates it (scripts/source-date-epoch.sh), and the program's
# file is touched between the two so that only that date can make them match.
# Usage: package_reproducible.sh BUILD_DIR OUTPUT_DIR PROGRAM
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$1
work=$2
program=$3
fail() { echo "$*" >&2; exit 1; }
command -v cpack >/dev/null || fail "cpack is not installed"
source "$here/../../scripts/source-date-epoch.sh"
rm -rf "$work"
mkdir -p "$work"
trap 'touch "$program"' EXIT # newer than its objects again: no relink next build
for run in 1 2; do
  touch -d "@$((1700000000 + run * 86400))" "$program"
  (cd "$build" && cpack -G DEB -B "$work/pkg$run" >"$work/cpack$run.log" 2>&1) ||
    fail "cpack: $(tail -5 "$work/cpack$run.log")"
done
one=$(ls "$work"/pkg1/*.deb) two=$(ls "$work"/pkg2/*.deb)
cmp "$one" "$two" >"$work/cmp.txt" || fail "two packages of one build differ: $(cat "$work/cmp.txt")"
echo "package reproducible: $(sha256sum <"$one" | cut -c1-16)"
