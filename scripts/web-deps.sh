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
declare -A version=()
key=""
for entry in "${sources[@]}"; do
  read -r p v <<<"$entry"
  version[$p]=$v
  key+="${p}-${v//:/_}_"
done
# The folder dpkg-source unpacks a package into: the upstream version, without epoch or revision.
unpacked() {
  local v=${version[$1]#*:}
  echo "$work/$1-${v%-*}"
}
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
# One build at a time: two checkouts building at once would each clear the other's folders.
# The second waits, then finds the first's build complete.
mkdir -p "$root"
exec 9>"$root/.lock"
if ! flock -n 9; then
  echo "[web-deps] waiting for another build of the web libraries to finish ($root/.lock)"
  flock 9
fi
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
step() { echo "[web-deps] $(date -u +%H:%M:%S) $*"; }
step "building SDL2, Chipmunk, libpng and zlib for the web into $prefix (once, several minutes)"
# Runs make, showing every Nth of its percentage lines as progress, and the log's tail when it
# fails.
make_with_progress() {
  local every=$1 dir=$2 n=0 line
  set +o pipefail
  emmake make -C "$dir" -j"$jobs" 2>&1 | tee "$dir/make.log" | while IFS= read -r line; do
    if [[ $line =~ ^\[\ *([0-9]+)%\] ]]; then
      if ((n++ % every == 0)); then echo "[web-deps]   ${BASH_REMATCH[1]}%"; fi
    fi
  done
  local status=${PIPESTATUS[0]}
  set -o pipefail
  if [[ $status -ne 0 ]]; then
    tail -n 40 "$dir/make.log" >&2
    return 1
  fi
}

# --- Sources: Debian's, at the exact versions listed above, unpacked into the work folder
# (scripts/debian-source.sh).
step "fetching the sources"
specs=()
for entry in "${sources[@]}"; do
  read -r p v <<<"$entry"
  specs+=("$p=$v")
done
scripts/debian-source.sh --dest "$work" "${specs[@]}" >/dev/null
for entry in "${sources[@]}"; do
  read -r p v <<<"$entry"
  cat "$(unpacked "$p")"/.debian-version >>"$prefix/SOURCES"
done

cflags="-O2"
# --- zlib: its CMake file does not configure under emcmake; the library is eleven files.
step "building zlib"
cd "$(unpacked zlib)"
cp zconf.h.in zconf.h
for f in adler32 compress crc32 deflate infback inffast inflate inftrees trees uncompr zutil; do
  emcc $cflags -c "$f.c" -o "$f.o"
done
emar rcs "$prefix/lib/libz.a" ./*.o
cp zlib.h zconf.h "$prefix/include/"

# --- libpng: the prebuilt configuration header and the core files, against that zlib.
step "building libpng"
cd "$(unpacked libpng1.6)"
cp scripts/pnglibconf.h.prebuilt pnglibconf.h
for f in png pngerror pngget pngmem pngpread pngread pngrio pngrtran pngrutil pngset pngtrans \
  pngwio pngwrite pngwtran pngwutil; do
  emcc $cflags -I"$prefix/include" -c "$f.c" -o "$f.o"
done
emar rcs "$prefix/lib/libpng.a" ./*.o
cp png.h pngconf.h pnglibconf.h "$prefix/include/"

# --- Chipmunk: static, no demos.
step "building chipmunk"
cd "$(unpacked chipmunk)"
emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release -DBUILD_DEMOS=OFF -DBUILD_SHARED=OFF \
  -DBUILD_STATIC=ON -DINSTALL_STATIC=ON -DCMAKE_INSTALL_PREFIX="$prefix" >/dev/null
make_with_progress 10 build-web
cp build-web/src/libchipmunk.a "$prefix/lib/"
cp -r include/chipmunk "$prefix/include/"

# --- SDL2: static, with its Emscripten video and audio backends. The long one.
step "building SDL2 (several minutes)"
cd "$(unpacked libsdl2)"
emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release -DSDL_SHARED=OFF -DSDL_STATIC=ON \
  -DSDL_TEST=OFF -DCMAKE_INSTALL_PREFIX="$prefix" >/dev/null
make_with_progress 20 build-web
emmake make -C build-web install >/dev/null
[[ -f $prefix/lib/libSDL2.a ]] || { echo "web-deps: SDL2 did not build" >&2; exit 1; }

touch "$prefix/.complete"
cd /
rm -rf "$work"
step "done"
echo "$prefix" >&3
