#!/usr/bin/env bash
# Builds Dazozi Redov for 64-bit Windows on this machine (cross-compiled with Debian's mingw-w64)
# and packs it as one zip: dazozi-redov.exe (everything linked in), README.txt for Windows users
# and LICENSE.txt (the program's licence and those of the libraries inside it).
# Installs what is missing, builds the libraries once into a cache outside the clone
# (scripts/windows-deps.sh), builds into build/windows and prints the zip's path on its last
# line. Two builds of one commit give the same zip, byte for byte (SOURCE_DATE_EPOCH).
#   ./windows.sh    build the zip (also the headless runner scenario.exe and the Windows-only
#                   unit tests, which the test suite runs under Wine)
set -euo pipefail
cd "$(dirname "$0")"
[[ $# -eq 0 ]] || { echo "windows.sh: unknown option '$1' (it takes none)" >&2; exit 2; }

dir=build/windows
echo "windows.sh: building Dazozi Redov for Windows into $dir"
scripts/install-deps.sh --windows
deps=$(scripts/windows-deps.sh | tail -n 1)
source scripts/source-date-epoch.sh
jobs=$(nproc)
[[ $jobs -gt 2 ]] && jobs=2
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
echo "windows.sh: configuring and compiling the program (a few minutes the first time)"
mkdir -p "$dir"
cmake -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/MinGW.toolchain.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DDAZOZI_TESTS=OFF -DDAZOZI_BENCH=OFF -DDAZOZI_WERROR=ON \
  -DDAZOZI_WINDOWS_DEPS="$deps" "${launcher[@]}" >"$dir/configure.log" 2>&1 ||
  { cat "$dir/configure.log" >&2; exit 1; }
# Progress and problems only, each line as it comes; the build's status decides.
set +o pipefail
cmake --build "$dir" --target dazozi-redov scenario windows-tests -j"$jobs" 2>&1 |
  { grep --line-buffered -E '^\[ *[0-9]+%\]|error|warning' || true; }
status=${PIPESTATUS[0]}
set -o pipefail
[[ $status -eq 0 ]] || { echo "windows.sh: the program did not build" >&2; exit 1; }

version=$(sed -n 's/^project(DazoziRedov VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
name=dazozi-redov-$version-windows-x86_64
stage=$dir/zip/$name
rm -rf "$dir/zip"
mkdir -p "$stage"
cp "$dir/dazozi-redov.exe" "$stage/"
# Windows' own editors read either line ending; CRLF suits the older ones too.
crlf() { sed 's/\r*$/\r/' "$@"; }
crlf windows/README.txt >"$stage/README.txt"
{
  crlf LICENSE
  notice() { # title, file
    printf '\r\n\r\n%s\r\n%s\r\n\r\n' "$1" "$(printf '%*s' ${#1} '' | tr ' ' '=')"
    crlf "$2"
  }
  echo -n $'\r\n\r\nThe program contains these libraries, each under its own licence:\r\n'
  notice "SDL 2.26.5" "$deps/licenses/SDL2.txt"
  notice "libpng 1.6.39" "$deps/licenses/libpng.txt"
  notice "zlib 1.2.13" "$deps/licenses/zlib.txt"
  while IFS=$'\t' read -r title file; do notice "$title" "$file"; done <"$dir/built-in-notices.txt"
  notice "The mingw-w64 run-time (start-up code and winpthreads)" \
    /usr/share/doc/mingw-w64-x86-64-dev/copyright
  echo -n $'\r\n\r\nlibgcc and libstdc++ (GCC 12) are under the GNU GPL 3 with the GCC Runtime Library\r\nException, which puts no condition on programs compiled with them.\r\n'
} >"$stage/LICENSE.txt"
chmod 0755 "$stage/dazozi-redov.exe"
chmod 0644 "$stage/README.txt" "$stage/LICENSE.txt"
# The same bytes every time: every entry dated SOURCE_DATE_EPOCH (zip keeps local time: UTC
# here), in a fixed order, without the extra fields that carry owners and other times.
touch -d "@${SOURCE_DATE_EPOCH:-0}" "$stage" "$stage"/*
zip_path=$PWD/$dir/$name.zip
rm -f "$zip_path"
(cd "$dir/zip" && TZ=UTC zip -X -q "$zip_path" "$name/" "$name/dazozi-redov.exe" \
  "$name/README.txt" "$name/LICENSE.txt")
echo "windows.sh: the Windows program is in"
echo "$zip_path"
