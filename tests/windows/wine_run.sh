#!/usr/bin/env bash
# Runs a Windows program of the Windows build under Debian's 64-bit Wine, in the test suite's own
# Wine prefix (made on first use, once, by whichever test comes first), with no sound device
# (Wine's audio drivers switched off, so no test depends on the machine's sound) and a UTF-8
# locale (Wine reads the arguments' bytes in it). The exit status is the program's.
# usage: wine_run.sh PREFIX PROGRAM.exe [ARGS...]
set -euo pipefail
export WINEPREFIX=$1
shift
# A home of the prefix's own: Wine links the Windows user's Pictures and Documents folders to
# the home's, and the tests' screenshots and scenes stay in the build folder.
export HOME=$WINEPREFIX-home
mkdir -p "$HOME"
export WINEDEBUG=-all LC_ALL=C.UTF-8
# No Mono or Gecko installer asking in a dialog; no sound drivers.
export WINEDLLOVERRIDES="mscoree,mshtml=;winealsa.drv,winepulse.drv,wineoss.drv=d"
mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9
if [[ ! -f $WINEPREFIX/.ready ]]; then
  rm -rf "$WINEPREFIX" "$HOME"
  mkdir -p "$HOME"
  # Wine's first start builds the prefix's registry and folders: tens of seconds, more on a
  # loaded machine; bounded, and the wine server waited for until it has written everything.
  echo "wine_run.sh: making the Wine prefix $WINEPREFIX" >&2
  timeout 600 wineboot --init >/dev/null 2>&1 || { echo "wine_run.sh: wineboot failed" >&2; exit 1; }
  timeout 300 wineserver --wait || { echo "wine_run.sh: the wine server did not finish" >&2; exit 1; }
  touch "$WINEPREFIX/.ready"
fi
flock -u 9
exec wine "$@"
