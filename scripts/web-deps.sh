#!/usr/bin/env bash
# Builds SDL2, Chipmunk, libpng and zlib for WebAssembly from Debian's own source packages, the
# same versions the desktop build links, into a cache folder outside the clone that later builds
# (and CI) reuse. Prints the folder (the install prefix: include/ and lib/) on its last line.
#
# Usage: scripts/web-deps.sh [--print-dir]
#   --print-dir  only print the folder the dependencies are (or would be) built into.
# Environment: DAZOZI_CACHE_DIR overrides the cache root
#   (default /var/cache/dazozi-redov as root, else ${XDG_CACHE_HOME:-~/.cache}/dazozi-redov).
#
# emscripten's own ports (its bundled SDL2, libpng, zlib) are not used: Debian freezes its cache,
# so they would have to be downloaded, and they would not be the versions the desktop links.
set -euo pipefail
cd "$(dirname "$0")/.."

# The one list of what is built: Debian 12's source packages at exact versions, Debian revision
# included (the upstream releases the desktop build links). The cache folder's name is made from
# this list, so a new revision (a security update of the same release) makes a new folder. When
# the mirror stops serving a revision listed here, the build stops and names the one it serves.
sources=(
  "libsdl2 2.26.5+dfsg-1"
  "chipmunk 7.0.3-5"
  "libpng1.6 1.6.39-2+deb12u5"
  "zlib 1:1.2.13.dfsg-1"
)
tag=web-deps
source scripts/source-build.sh
# Bumped when the way they are built changes, so a stale cache is not reused.
recipe=1
# The compiler's version is part of the key: on a machine without it yet, install it first
# (progress on stderr), or the first build would be filed under no version and made again.
if [[ "${1:-}" != "--print-dir" ]] && ! dpkg-query -W -f='${Status}' emscripten 2>/dev/null |
  grep -q "install ok installed"; then
  scripts/install-deps.sh --web >&2
fi
emcc_version=$(dpkg-query -W -f='${Version}' emscripten 2>/dev/null || echo none)

source "$(dirname "${BASH_SOURCE[0]}")/cache-root.sh"
key+="emsdk-${emcc_version%%~*}_r${recipe}"
prefix=$root/web-deps-$key

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
take_lock "$root/.lock"
if [[ -f $prefix/.complete ]]; then
  echo "$prefix" >&3
  exit 0
fi
scripts/install-deps.sh --web

# Keeps emcc's JavaScript optimizer (acorn) findable: Debian installs node modules where a node
# from elsewhere does not look.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
jobs=$(nproc)
[[ $jobs -gt 2 ]] && jobs=2
work=$root/web-work-$key
rm -rf "$work" "$prefix"
mkdir -p "$work" "$prefix/include" "$prefix/lib"
step "building SDL2, Chipmunk, libpng and zlib for the web into $prefix (once, several minutes)"

fetch_sources

build_zlib_and_libpng emcc -O2 -- emar rcs

# --- Chipmunk: static, no demos.
step "building chipmunk"
cd "$(unpacked chipmunk)"
emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release -DBUILD_DEMOS=OFF -DBUILD_SHARED=OFF \
  -DBUILD_STATIC=ON -DINSTALL_STATIC=ON -DCMAKE_INSTALL_PREFIX="$prefix" >/dev/null
make_with_progress 10 build-web emmake make
cp build-web/src/libchipmunk.a "$prefix/lib/"
cp -r include/chipmunk "$prefix/include/"

# --- SDL2: static, with its Emscripten video and audio backends. The long one.
step "building SDL2 (several minutes)"
cd "$(unpacked libsdl2)"
emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release -DSDL_SHARED=OFF -DSDL_STATIC=ON \
  -DSDL_TEST=OFF -DCMAKE_INSTALL_PREFIX="$prefix" >/dev/null
make_with_progress 20 build-web emmake make
emmake make -C build-web install >/dev/null
[[ -f $prefix/lib/libSDL2.a ]] || { echo "web-deps: SDL2 did not build" >&2; exit 1; }

touch "$prefix/.complete"
cd /
rm -rf "$work"
step "done"
echo "$prefix" >&3
