#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the program and the tests need,
# skipping the ones already present. Usage: scripts/install-deps.sh [--tests] [--package] [--web]
# --package: what building and checking the Debian package takes (also part of --tests, whose
# suite builds, checks, installs and removes the package).
# --web: the WebAssembly compiler, what fetches Debian's sources and the headless browser the
# web build's test drives.
# --windows: the cross compiler for the Windows program (mingw-w64 with posix threads), what fetches
# Debian's sources, zip for its archive, GoogleTest's sources for its unit tests, and the 64-bit
# Wine (with Xvfb and xdotool) its tests run it under.
set -euo pipefail

# dpkg-dev and xz-utils fetch and unpack the Debian sources that every build compiles Chipmunk
# and its math from (scripts/debian-source.sh).
# nlohmann-json reads and writes scene files (header-only: the web build uses the same headers).
packages=(build-essential cmake pkg-config libsdl2-dev libpng-dev zlib1g-dev dpkg-dev xz-utils
  nlohmann-json3-dev)
for arg in "$@"; do
  case $arg in
    --tests)
      packages+=(googletest libgtest-dev xvfb xauth xdotool python3-xlib libgl1-mesa-dri openbox)
      packages+=(dpkg-dev lintian desktop-file-utils appstream)
      ;;
    --package) packages+=(dpkg-dev lintian desktop-file-utils appstream) ;;
    --web)
      packages+=(emscripten node-acorn dpkg-dev xz-utils chromium chromium-driver python3-selenium
        python3-pil)
      ;;
    --windows)
      packages+=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
        mingw-w64-x86-64-dev dpkg-dev xz-utils zip googletest wine wine64 xvfb xauth xdotool
        python3-xlib)
      ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=""
if [[ $(id -u) -ne 0 ]]; then
  sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
# Through env: sudo would drop a variable set in front of it.
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
