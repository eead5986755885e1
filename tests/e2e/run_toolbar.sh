#!/usr/bin/env bash
# The toolbar in a real X server, with the mouse: T shows it below the picture in the
# 1024 x 768 window (the picture shrinks to make room), a click on its star button selects stars
# (the button is marked), a click on its pause button pauses, a click on the picture then drops
# a star under the pointer; T hides it again. With the help open the window is then looked at
# at 640 x 480, 800 x 600 and full screen (1920 x 1080): toolbar-640x480.png and so on. Escape
# then closes the help, and a second one ends the program.
# Usage: run_toolbar.sh PROGRAM OUTPUT_DIR
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"

e2e_screen=1920x1080
e2e_init "$1" "$2"
export DAZOZI_RENDERER=software
e2e_window_manager
e2e_start_program toolbar
e2e_focus

# A button's face, and a selected or switched-on button's.
face=34,40,58
marked=70,62,30
# In the 1024 x 768 window seventeen 44-pixel buttons 50 apart stand in a row at y 718..761,
# the first at x 90; the picture is 949 x 712 at (37, 0), a scale of 0.927083.
button_x() { echo $((90 + 50 * $1 + 22)); }
button_y=740

xdotool key t
e2e_wait_count "$face" -ge $((10 * 44 * 20)) "the toolbar after T"
e2e_shot "$out/shown.png"
e2e_move "$(button_x 2)" $button_y
xdotool click 1
e2e_wait_count "$marked" -ge $((44 * 20)) "the star button marked after its click"

e2e_move "$(button_x 8)" $button_y
xdotool click 1
e2e_wait_count "$marked" -ge $((2 * 44 * 20)) "the pause button marked after its click"

# Picture point (512, 384) is window point (511, 356): a star appears there and stays (paused).
e2e_move 511 356
e2e_shot "$out/before-star.png"
xdotool click 1
e2e_wait_changed "$out/before-star.png" 496,341,526,371 50 "a star under the pointer"

# With the help open, at three sizes: the buttons stay 44 pixels, the text its own size.
xdotool key F1
for size in 640x480 800x600; do
  xdotool windowsize "$wid" "${size%x*}" "${size#*x}"
  e2e_wait_until "the window at $size" e2e_size_is "${size%x*}" "${size#*x}"
  e2e_wait_count "$face" -ge $((10 * 44 * 20)) "the toolbar at $size"
  e2e_shot "$out/toolbar-$size.png"
done
xdotool key F11
e2e_wait_until "full screen after F11" e2e_size_is 1920 1080
e2e_wait_count "$face" -ge $((10 * 44 * 20)) "the toolbar in full screen"
e2e_shot "$out/toolbar-1920x1080.png"
xdotool key F11
e2e_wait_until "the window after F11" e2e_size_is 800 600

xdotool key t
e2e_wait_count "$face" -lt 100 "the toolbar gone after T"
# The first Escape closes the help; only the second ends the program.
e2e_shot "$out/help-before-escape.png"
xdotool key Escape
e2e_wait_changed "$out/help-before-escape.png" 200,150,600,450 5000 "Escape closing the help"
e2e_ended && e2e_fail "Escape ended the program with the help open"
xdotool key Escape
e2e_wait_exit Escape toolbar
e2e_pass "toolbar: all checks passed"
