#!/usr/bin/env bash
# Builds the Debian package of Dazozi Redov in Release and checks it: the menu entry with
# desktop-file-validate, the AppStream metadata with appstreamcli, the package with lintian.
# The .deb is left in build/package/; install it with `sudo apt install ./build/package/*.deb`.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh --package

dir=build/package
# Every file in the package dated by the last commit: two builds of one commit are the same bytes.
source scripts/source-date-epoch.sh
# Progress as ./run.sh shows it: a line per step, and the compiler's [NN%] lines.
echo "package.sh: building Dazozi Redov in Release into $dir"
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DDAZOZI_TESTS=OFF -DDAZOZI_BENCH=OFF >/dev/null
cmake --build "$dir" --target dazozi-redov -j"$(nproc)"
rm -f "$dir"/*.deb
echo "package.sh: making the Debian package (CPack) and checking it (lintian and others)"
(cd "$dir" && cpack -G DEB >cpack.log 2>&1) || { cat "$dir/cpack.log"; exit 1; }
deb=$(ls "$dir"/dazozi-redov_*.deb)

# Validate the files as they are in the package.
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
desktop-file-validate "$root"/usr/share/applications/*.desktop
appstreamcli validate --no-net --pedantic "$root"/usr/share/metainfo/*.metainfo.xml >/dev/null
lintian --fail-on error,warning "$deb"
echo "$deb"
