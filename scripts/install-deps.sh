#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the program and the tests need,
# skipping the ones already present. Usage: scripts/install-deps.sh [--tests | --package]
# --package: what building and checking the Debian package takes (also part of --tests, whose
# suite builds, checks, installs and removes the package).
set -euo pipefail

packages=(build-essential cmake pkg-config libsdl2-dev libchipmunk-dev libpng-dev zlib1g-dev)
if [[ "${1:-}" == "--tests" ]]; then
  packages+=(googletest libgtest-dev xvfb xauth xdotool python3-xlib libgl1-mesa-dri openbox)
fi
if [[ "${1:-}" == "--tests" || "${1:-}" == "--package" ]]; then
  packages+=(dpkg-dev lintian desktop-file-utils appstream)
fi

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
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
