#!/usr/bin/env bash
# What the Windows build hands out, checked without running it: the zip holds one folder with
# dazozi-redov.exe, README.txt and LICENSE.txt (with every library's licence); the .exe is a
# window program (no console), needs no DLL but Windows' own (everything else is linked in),
# carries no link time (two builds give the same bytes) and has its icon, version and
# manifest (UTF-8 code page, DPI awareness) as resources.
# usage: exe_and_zip.sh WINDOWS_BUILD_DIR OUTPUT_DIR
set -uo pipefail
build=$1
out=$2
fail() { echo "FAIL: $*" >&2; exit 1; }
rm -rf "$out"
mkdir -p "$out"
zips=("$build"/dazozi-redov-*-windows-x86_64.zip)
[[ ${#zips[@]} -eq 1 && -f ${zips[0]} ]] || fail "not one zip in $build: ${zips[*]}"
zip=$(realpath "${zips[0]}")
name=$(basename "$zip" .zip)
listing=$(unzip -Z1 "$zip" | sort | tr '\n' ' ')
[[ $listing == "$name/ $name/LICENSE.txt $name/README.txt $name/dazozi-redov.exe " ]] ||
  fail "the zip holds: $listing"
(cd "$out" && unzip -q "$zip") || fail "unzip"
exe=$out/$name/dazozi-redov.exe
for library in "SDL 2.26.5" "libpng 1.6.39" "zlib 1.2.13" "Chipmunk 7.0.3" musl mingw-w64 "MIT License"; do
  grep -q "$library" "$out/$name/LICENSE.txt" || fail "LICENSE.txt does not name $library"
done

headers=$(x86_64-w64-mingw32-objdump -p "$exe") || fail "objdump"
grep -q "Subsystem.*(Windows GUI)" <<<"$headers" || fail "not a window program: $(grep Subsystem <<<"$headers")"
grep -q "Time/Date stamp[[:space:]]*0$" <<<"$headers" || fail "a link time is in the program"
# Windows' own DLLs only; a compiler run-time DLL (libstdc++, libgcc, libwinpthread) or a
# library's (SDL2.dll, libpng, zlib1) would be missing on a user's machine.
dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z' | sort -u)
own="advapi32.dll gdi32.dll imm32.dll kernel32.dll msvcrt.dll ole32.dll oleaut32.dll setupapi.dll shell32.dll user32.dll version.dll winmm.dll"
for dll in $dlls; do
  [[ " $own " == *" $dll "* ]] || fail "the program needs $dll"
done
# Resources: an icon group, the version's strings (UTF-16) and the manifest's settings.
x86_64-w64-mingw32-objdump -h "$exe" | grep -q "\.rsrc" || fail "no resources"
strings -el "$exe" | grep -qx "Dazozi Redov, a 2D physics playground" || fail "no version information"
strings "$exe" | grep -q "<activeCodePage[^>]*>UTF-8</activeCodePage>" || fail "no UTF-8 code page in the manifest"
strings "$exe" | grep -q "PerMonitorV2" || fail "no DPI awareness in the manifest"
echo "exe and zip ok: $name"
