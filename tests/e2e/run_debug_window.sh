#!/usr/bin/env bash
# The window shows what the golden frames guard: the debug view's one-pixel outlines over bodies
# of every kind, replayed in a 1024 x 768 window with SDL's software renderer and paused, are
# the very pixels the headless runner draws (all but the frame rate's corner and the first
# seconds' hint, which only the window shows; the box holds the bodies, not the level's animated tiles,
# which run on while paused).
# The replay's own events only reach the game: the user's keys and clicks during it change nothing.
# Usage: run_debug_window.sh PROGRAM SCENARIO OUTPUT_DIR
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"
scenario=$2
e2e_init "$1" "$3"
export DAZOZI_RENDERER=software
script="$here/debug_window.txt"
mkdir -p "$out/golden"

e2e_start_program debug --replay "$script"
# The user's keys and clicks during the replay reach nothing, whether or not the window has the
# focus (no window manager here gives it: SDL labels such keys with no window): D would hide the
# debug view, P resume, a click drop a ball.
xdotool key --window "$wid" d p 1
e2e_move 500 400
xdotool click 1
# same_as_runner: true once the window's picture (the box the script's shot takes) is the
# runner's frame; the replay pauses at frame 40, so the picture then holds.
same_as_runner() {
  e2e_helper_run shot "$wid" "$out/golden/debug_window.png" 0,175,940,495 &&
    "$scenario" --script "$script" --frames 60 --golden "$out/golden" --out "$out" >/dev/null 2>"$out/compare.txt"
}
e2e_limit=20 e2e_wait_until "the window's debug view to be the runner's (see $out/compare.txt)" same_as_runner
# Escape is the user's too until the replay's minute is over: the close button ends it.
e2e_helper_run close "$wid" || e2e_fail "cannot close the window"
e2e_wait_exit "the close button" debug
e2e_pass "the window's debug view is the runner's, pixel for pixel"
