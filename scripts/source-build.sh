# Sourced by scripts/web-deps.sh and scripts/windows-deps.sh, which build the same Debian source
# packages with two cross compilers. What they share lives here: the cache key made from the
# list of sources, the lock, the fetching, make's progress and the two small libraries built
# file by file. The caller sets `sources` (lines "NAME DEBIAN-VERSION") and `tag` (the progress
# lines' prefix) before sourcing, then calls these after setting `work` and `prefix`.

# version[NAME] and the start of the cache key, from the list of sources.
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

step() { echo "[$tag] $(date -u +%H:%M:%S) $*"; }

# One build at a time: two checkouts building at once would each clear the other's folders.
# The second waits for the lock file $1 (fd 9), then finds the first's build complete.
take_lock() {
  mkdir -p "$root"
  exec 9>"$1"
  if ! flock -n 9; then
    echo "[$tag] waiting for another build to finish ($1)"
    flock 9
  fi
}

# Runs MAKE (make or emmake make) on DIR, showing every EVERYth of its percentage lines as
# progress, and the log's tail when it fails. Usage: make_with_progress EVERY DIR MAKE...
make_with_progress() {
  local every=$1 dir=$2 n=0 line
  shift 2
  set +o pipefail
  "$@" -C "$dir" -j"$jobs" 2>&1 | tee "$dir/make.log" | while IFS= read -r line; do
    if [[ $line =~ ^\[\ *([0-9]+)%\] ]]; then
      if ((n++ % every == 0)); then echo "[$tag]   ${BASH_REMATCH[1]}%"; fi
    fi
  done
  local status=${PIPESTATUS[0]}
  set -o pipefail
  if [[ $status -ne 0 ]]; then
    tail -n 40 "$dir/make.log" >&2
    return 1
  fi
}

# Debian's sources at the exact versions listed, unpacked into $work (scripts/debian-source.sh);
# $prefix/SOURCES names each.
fetch_sources() {
  step "fetching the sources"
  local specs=() entry p v
  for entry in "${sources[@]}"; do
    read -r p v <<<"$entry"
    specs+=("$p=$v")
  done
  scripts/debian-source.sh --dest "$work" "${specs[@]}" >/dev/null
  for entry in "${sources[@]}"; do
    read -r p v <<<"$entry"
    cat "$(unpacked "$p")"/.debian-version >>"$prefix/SOURCES"
  done
}

# zlib's eleven library files and libpng's core with its prebuilt configuration header, against
# that zlib, into $prefix. Their build systems are not needed for so few files (zlib's CMake file
# does not even configure under emcmake). Usage: build_zlib_and_libpng CC-COMMAND -- AR-COMMAND
# (each a command with its flags; the compiler's gets -c FILE -o OBJECT appended).
build_zlib_and_libpng() {
  local cc=() ar=() f
  while [[ $1 != -- ]]; do cc+=("$1"); shift; done
  shift
  ar=("$@")
  step "building zlib"
  cd "$(unpacked zlib)"
  cp zconf.h.in zconf.h
  for f in adler32 compress crc32 deflate infback inffast inflate inftrees trees uncompr zutil; do
    "${cc[@]}" -c "$f.c" -o "$f.o"
  done
  "${ar[@]}" "$prefix/lib/libz.a" ./*.o
  cp zlib.h zconf.h "$prefix/include/"

  step "building libpng"
  cd "$(unpacked libpng1.6)"
  cp scripts/pnglibconf.h.prebuilt pnglibconf.h
  for f in png pngerror pngget pngmem pngpread pngread pngrio pngrtran pngrutil pngset pngtrans \
    pngwio pngwrite pngwtran pngwutil; do
    "${cc[@]}" -I"$prefix/include" -c "$f.c" -o "$f.o"
  done
  "${ar[@]}" "$prefix/lib/libpng.a" ./*.o
  cp png.h pngconf.h pnglibconf.h "$prefix/include/"
}
