#!/usr/bin/env bash
# Edit mode in the real program under an X server, driven by real events (xdotool): E shows the
# palette; a left-button drag across the sky paints bricks, whose new collision segments the
# debug view draws in green; Ctrl+Z takes the stroke back, Ctrl+Y brings it again and Home
# brings back the level as it loaded. Escape leaves edit mode, a second one ends the program,
# which keeps the unsaved level in the state folder. The session is recorded, replays to its end
# and hands over; the next start opens the kept level with Ctrl+O. A state folder that cannot be
# made makes the end say so, with exit status 1.
# Usage: run_edit.sh PROGRAM OUTPUT_DIR
set -uo pipefail
source "$(dirname "$0")/lib.sh"
e2e_init "$1" "$2"

e2e_start_program 1 --record "$out/session.txt"
e2e_focus
xdotool key d
e2e_wait_count 0,255,75 -ge 500 "the debug view"
xdotool key e
e2e_wait_count 255,220,90 -ge 150 "EDIT and the palette"
e2e_shot "$out/edit-mode.png"
green=$(e2e_count 0,255,75)

# A stroke of bricks along row 6 of the sky (away from the player squid), in real motion.
e2e_move 100 150
xdotool mousedown 1
for x in 160 220 280 340 400; do
  e2e_move "$x" 150
done
xdotool mouseup 1
e2e_move 1000 700 # the preview at the pointer would hide a cell's segments
e2e_wait_count 0,255,75 -ge $((green + 600)) "the painted bricks' segments"
e2e_shot "$out/painted.png"
painted=$(e2e_count 0,255,75)

xdotool key ctrl+z
e2e_wait_count 0,255,75 -le $((green + 50)) "Ctrl+Z taking the stroke back"
e2e_shot "$out/undone.png"
xdotool key ctrl+y
e2e_wait_count 0,255,75 -ge $((painted - 50)) "Ctrl+Y painting it again"
xdotool key Home
e2e_wait_count 0,255,75 -le $((green + 50)) "Home bringing back the level as loaded"
e2e_shot "$out/reverted.png"

xdotool key Escape
e2e_wait_count 255,220,90 -lt 150 "Escape leaving edit mode"
kept="$XDG_STATE_HOME/dazozi-redov/unsaved-scene.json"
rm -f "$kept"
xdotool key Escape
e2e_wait_exit Escape 1
grep -q "button 1 down" "$out/session.txt" || e2e_fail "the recording has no left button"
grep -q "key 90 down" "$out/session.txt" || e2e_fail "the recording has no Ctrl+Z"
[[ -s "$kept" ]] || e2e_fail "the unsaved level was not kept in $kept"
ls "$XDG_STATE_HOME/dazozi-redov" | grep -qv '^unsaved-scene.json$' && e2e_fail "a stray file beside the kept level"

# The recording played back: edits and all; its Escape does not end it, it hands over.
e2e_start_program 2 --replay "$out/session.txt"
e2e_focus
e2e_escape_after_replay "the replay and the user's Escape" 2

# The next start: Ctrl+O opens what was left (the file goes), and ending keeps it again.
e2e_start_program 3
e2e_focus
xdotool key ctrl+o
e2e_wait_until "Ctrl+O opening the kept level" test ! -e "$kept"
xdotool key Escape
e2e_wait_exit Escape 3
[[ -s "$kept" ]] || e2e_fail "the reopened level was not kept again"

# A state folder that cannot be made (a file stands in its way): ending with unsaved work says
# so on stderr and exits with status 1, leaving nothing behind.
echo "not a folder" >"$out/blocked"
XDG_STATE_HOME="$out/blocked" e2e_start_program 4
e2e_focus
xdotool key e
e2e_wait_count 255,220,90 -ge 150 "edit mode for the blocked run"
e2e_move 160 150
xdotool click 1
e2e_move 1000 700
xdotool key Escape
e2e_wait_count 255,220,90 -lt 150 "Escape leaving edit mode in the blocked run"
xdotool key Escape
e2e_wait_until "the blocked run to end" e2e_ended
wait "$pid"
status=$?
pid=""
[[ $status -eq 1 ]] || e2e_fail "exit status $status with the unsaved scene not kept, expected 1"
grep -q "the unsaved scene could not be kept" "$out/stderr-4.txt" ||
  e2e_fail "no word of the lost scene on stderr: $(cat "$out/stderr-4.txt")"
[[ $(cat "$out/blocked") == "not a folder" ]] || e2e_fail "the file in the way was changed"

e2e_pass "edit mode: paint, undo, redo and revert in the X server"
