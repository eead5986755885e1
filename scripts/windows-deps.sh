#!/usr/bin/env bash
# Builds SDL2, libpng and zlib for 64-bit Windows (Debian's mingw-w64, posix threads) from
# Debian's own source packages, the same versions the desktop and the web builds link, into a
# cache folder outside the clone that later builds (and CI) reuse. Prints the folder (the install
# prefix: include/ and lib/) on its last line. Chipmunk is no part of it: every build compiles it
# from Debian's source with the shared math (cmake/SameMath.cmake).
#
# Usage: scripts/windows-deps.sh [--print-dir]
#   --print-dir  only print the folder the dependencies are (or would be) built into.
# Environment: DAZOZI_CACHE_DIR overrides the cache root
#   (default /var/cache/dazozi-redov as root, else ${XDG_CACHE_HOME:-~/.cache}/dazozi-redov).
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD

# The one list of what is built, as in scripts/web-deps.sh: Debian 12's source packages at exact
# versions; the cache folder's name is made from it.
sources=(
  "libsdl2 2.26.5+dfsg-1"
  "libpng1.6 1.6.39-2+deb12u5"
  "zlib 1:1.2.13.dfsg-1"
)
tag=windows-deps
source scripts/source-build.sh
# Bumped when the way they are built changes, so a stale cache is not reused.
recipe=1
if [[ "${1:-}" != "--print-dir" ]] && ! command -v x86_64-w64-mingw32-gcc-posix >/dev/null; then
  scripts/install-deps.sh --windows >&2
fi
# The cross compiler's version is part of the key.
mingw_version=$(dpkg-query -W -f='${Version}' gcc-mingw-w64-x86-64-posix 2>/dev/null || echo none)

source "$(dirname "${BASH_SOURCE[0]}")/cache-root.sh"
key+="mingw-${mingw_version//[:~+]/_}_r${recipe}"
prefix=$root/windows-deps-$key

if [[ "${1:-}" == "--print-dir" ]]; then
  echo "$prefix"
  exit 0
fi
if [[ -f $prefix/.complete ]]; then
  echo "$prefix"
  exit 0
fi

# Everything but the folder's name goes to stderr, the progress included: callers read stdout.
exec 3>&1 1>&2
# One build at a time; the second waits, then finds the first's build complete.
take_lock "$root/.windows-lock"
if [[ -f $prefix/.complete ]]; then
  echo "$prefix" >&3
  exit 0
fi
scripts/install-deps.sh --windows

jobs=$(nproc)
[[ $jobs -gt 2 ]] && jobs=2
work=$root/windows-work-$key
rm -rf "$work" "$prefix"
mkdir -p "$work" "$prefix/include" "$prefix/lib"
step "building SDL2, libpng and zlib for Windows into $prefix (once, several minutes)"
fetch_sources
# Their licence texts, which the program's zip carries (windows.sh).
mkdir -p "$prefix/licenses"
cp "$(unpacked libsdl2)/LICENSE.txt" "$prefix/licenses/SDL2.txt"
cp "$(unpacked libpng1.6)/LICENSE" "$prefix/licenses/libpng.txt"
cp "$(unpacked zlib)/LICENSE" "$prefix/licenses/zlib.txt"

cc=x86_64-w64-mingw32-gcc-posix
ar=x86_64-w64-mingw32-gcc-ar-posix
# -ffp-contract=off as everywhere (cmake/SameMath.cmake); no debug paths in the objects.
cflags=(-O2 -ffp-contract=off "-ffile-prefix-map=$work=.")

build_zlib_and_libpng $cc "${cflags[@]}" -- $ar rcsD

# --- SDL2: static, with its Windows video (Direct3D, OpenGL, software) and audio backends.
step "building SDL2 (several minutes)"
cd "$(unpacked libsdl2)"
# Through ccache where there is one: a change of recipe then rebuilds in a moment.
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache)
cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/MinGW.toolchain.cmake" "${launcher[@]}" \
  -DCMAKE_BUILD_TYPE=Release -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF \
  -DCMAKE_C_FLAGS="${cflags[*]}" -DCMAKE_INSTALL_PREFIX="$prefix" >/dev/null
make_with_progress 20 build-windows make
make -C build-windows install >/dev/null
[[ -f $prefix/lib/libSDL2.a ]] || { echo "windows-deps: SDL2 did not build" >&2; exit 1; }

touch "$prefix/.complete"
cd /
rm -rf "$work"
step "done"
echo "$prefix" >&3
