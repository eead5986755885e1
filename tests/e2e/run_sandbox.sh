#!/usr/bin/env bash
# The sandbox controls in the real program under an X server, driven by real events (xdotool):
# a middle-button drag carries the player squid (the debug view draws the grab line), P pauses,
# F1 opens the help panel, F12 saves a screenshot into the pictures folder, R clears the scene.
# The session is recorded with --record, and --replay plays it back in a second window until
# it hands over to the user despite the recorded Escape.
# Usage: run_sandbox.sh PROGRAM OUTPUT_DIR
set -uo pipefail
source "$(dirname "$0")/lib.sh"
e2e_init "$1" "$2"

# A home of its own without a pictures folder: F12 makes ~/Pictures and saves there.
export HOME="$out/home"
rm -rf "$HOME"
mkdir -p "$HOME"
unset XDG_PICTURES_DIR XDG_CONFIG_HOME

e2e_start_program 1 --record "$out/session.txt"
e2e_focus
xdotool key d
e2e_wait_count 0,255,75 -ge 500 "the debug view"
blue_start=$(e2e_count 0,75,255)
e2e_shot "$out/start.png"

# R and P together: a new player squid at window point (450, 300) that stays there (paused);
# the grab waits until PAUSED shows, so that it comes in a later frame than the reset.
e2e_shot "$out/before-reset.png"
xdotool key r p
e2e_wait_changed "$out/before-reset.png" 440,0,584,60 150 "PAUSED after R and P"
# Middle-button drag from the player squid to the right, running again once it is held.
e2e_move 450 300
xdotool mousedown 2
xdotool key p
for x in 480 520 560 600 640 680; do
  e2e_move "$x" 240
done
e2e_wait_count 255,255,0 -ge 20 "the grab line in the debug view"
e2e_wait_changed "$out/start.png" 640,200,720,280 200 "the squid carried to the pointer"
e2e_shot "$out/grab.png"
xdotool mouseup 2

# P: the physics stops and "PAUSED" shows at the top centre.
e2e_shot "$out/before-pause.png"
xdotool key p
e2e_wait_changed "$out/before-pause.png" 440,0,584,60 150 "PAUSED at the top"
e2e_shot "$out/paused.png"
xdotool key p

# F1: the help panel over the middle of the scene; F1 again closes it.
e2e_shot "$out/before-help.png"
xdotool key F1
e2e_wait_changed "$out/before-help.png" 300,220,720,560 20000 "the help panel"
e2e_shot "$out/help.png"
xdotool key F1

# F12: a PNG in ~/Pictures, made for it.
xdotool key F12
e2e_wait_screenshot_saved

# Balls held down with the right button, then R: only the new player's outlines are left.
xdotool key 1
# (held until their outlines show: one ball a frame, however fast the frames come)
e2e_move 300 150
xdotool mousedown 3
e2e_wait_count 0,75,255 -ge $((blue_start + 300)) "the balls' outlines"
xdotool mouseup 3
e2e_move 1000 700
xdotool key r
e2e_wait_count 0,75,255 -le $((blue_start + 60)) "R clearing the balls"
e2e_shot "$out/reset.png"
xdotool key Escape
e2e_wait_exit Escape 1
grep -q "button 3 down" "$out/session.txt" || e2e_fail "the recording has no middle button"
grep -q "^frames [1-9]" "$out/session.txt" || e2e_fail "the recording was not finished"

# The recording played back: its Escape does not end it, it hands over to the user.
e2e_start_program 2 --replay "$out/session.txt"
e2e_focus
e2e_escape_after_replay "the replay and the user's Escape" 2

e2e_pass "sandbox controls and record/replay in the X server"
