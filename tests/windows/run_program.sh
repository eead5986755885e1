#!/usr/bin/env bash
# The Windows program under Wine in an X server (Xvfb), driven like the Linux program in
# tests/e2e: its window opens with the exact caption, key 1 and a click make a ball where
# clicked, F12 saves the picture into the Windows user's Pictures folder (the known folder),
# Escape ends it with status 0; with no sound device (Wine's audio drivers are off) it says so
# in one line and plays on. A scene and a recording named in several scripts are read and
# written.
# Usage: run_program.sh WINE_PREFIX PROGRAM.exe OUTPUT_DIR
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
prefix=$1
exe=$2
source "$here/../e2e/lib.sh"
mkdir -p "$3"
# lib.sh starts "$program ARGS"; here that is the .exe under Wine.
cat >"$3/program" <<WRAP
#!/usr/bin/env bash
exec bash "$here/wine_run.sh" "$prefix" "$exe" "\$@"
WRAP
chmod +x "$3/program"
# Wine's first start (the prefix) before any window is waited for, bounded.
timeout 900 "$3/program" --version >"$3/version.txt" 2>&1 || { echo "FAIL: --version under Wine: $(cat "$3/version.txt")" >&2; exit 1; }
export WINEPREFIX=$prefix
# Wine's desktop process of an earlier run talks to that run's X server: start afresh.
timeout 60 wineserver -k 2>/dev/null
timeout 60 wineserver -w 2>/dev/null
e2e_init "$3/program" "$3"
trap 'kill $e2e_xvfb 2>/dev/null; WINEPREFIX=$prefix timeout 60 wineserver -k 2>/dev/null' EXIT

pictures=$(find -L "$prefix/drive_c/users" -maxdepth 2 -type d -name Pictures | head -n 1)
[[ -n $pictures ]] || e2e_fail "no Pictures folder in the Wine prefix's user folder"
scene="$out/Szene ä 画.json"
recording="$out/Aufnahme ö 🎈.txt"
cp "$here/../../data/scenes/ball_pit.json" "$scene"
rm -f "$recording"

e2e_start_program 1 --scene "$scene" --record "$recording"
e2e_focus
e2e_shot "$out/start.png"
xdotool key 1
e2e_wait_changed "$out/start.png" 986,686,1014,714 100 "the ball preview at the pointer"
e2e_shot "$out/before-ball.png"
# Clicked in the open air above the floating brick row (y = 336): the ball appears there, falls
# and comes to rest on the row under the click.
e2e_move 800 250
timeout 10 xdotool click 1
e2e_wait_changed "$out/before-ball.png" 786,307,814,335 200 "a ball resting on the row under the click"
e2e_move 1000 700
shots_before=$(find -L "$pictures/" -maxdepth 1 -name 'dazozi-redov-*.png' | wc -l)
xdotool key F12
saved() { [[ $(find -L "$pictures/" -maxdepth 1 -name 'dazozi-redov-*.png' | wc -l) -gt $shots_before ]]; }
e2e_wait_until "the screenshot in the Windows Pictures folder $pictures" saved
shot=$(ls -t "$pictures"/dazozi-redov-*.png | head -n 1)
/usr/bin/python3 - "$shot" <<'PY' || e2e_fail "the screenshot is no 1024x768 PNG"
import struct, sys
data = open(sys.argv[1], "rb").read(32)
assert data[:8] == b"\x89PNG\r\n\x1a\n"
assert struct.unpack(">II", data[16:24]) == (1024, 768)
PY
rm -f "$shot"
xdotool key Escape
e2e_wait_exit Escape 1
[[ $(wc -l <"$out/stderr-1.txt") -eq 1 ]] && grep -q "^No sound output" "$out/stderr-1.txt" ||
  e2e_fail "expected one line about the sound output: $(cat "$out/stderr-1.txt")"
grep -q "^frame " "$recording" || e2e_fail "the recording $recording holds no frame"
e2e_pass "the Windows program under Wine: window, ball, screenshot, Escape, no sound, UTF-8 paths"
