#!/usr/bin/env bash
# The picture scaled to the window with SDL's software renderer, in a real X server with a window
# manager on a 1920 x 1080 screen: at 1100 x 825, at 800 x 600 and in full screen the paused
# scene is the 1024 x 768 picture scaled once, with no seam between the tiles; in the scaled
# window a click lands under the pointer and F12 saves the 1024 x 768 frame.
# Usage: run_scaled.sh PROGRAM OUTPUT_DIR
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"
check=(/usr/bin/python3 "$here/scaled.py" check)

e2e_screen=1920x1080
e2e_init "$1" "$2"
export DAZOZI_RENDERER=software
# A home of its own, for the screenshot F12 saves into its Pictures folder.
export HOME="$out/home"
rm -rf "$HOME"
mkdir -p "$HOME/Pictures"
unset XDG_PICTURES_DIR XDG_CONFIG_HOME
e2e_window_manager

e2e_start_program scaled
e2e_focus
# Paused, the scene stands still but for the frame counter: the 1024 x 768 picture is the
# reference every scaled one is compared with.
e2e_shot "$out/before-pause.png"
xdotool key p
e2e_wait_changed "$out/before-pause.png" 440,0,584,60 150 "PAUSED at the top"
e2e_shot "$out/reference.png"

# seamless NAME: true once a screenshot shows the scaled picture (the first frames at a new size
# may still be on their way).
seamless() {
  e2e_shot "$out/$1.png"
  "${check[@]}" "$out/$1.png" "$out/reference.png" >"$out/$1.txt"
}
for size in 1100x825 800x600; do
  xdotool windowsize "$wid" "${size%x*}" "${size#*x}"
  e2e_wait_until "the window at $size" e2e_size_is "${size%x*}" "${size#*x}"
  # Each poll takes a screenshot and looks at it, so fewer polls make the same minute.
  e2e_limit=60 e2e_wait_until "a seamless picture at $size (last check: $out/$size.txt)" seamless "$size"
done

xdotool key F11
e2e_wait_until "full screen after F11" e2e_size_is 1920 1080
e2e_limit=60 e2e_wait_until "a seamless full-screen picture (last check: $out/fullscreen.txt)" seamless fullscreen
xdotool key F11
e2e_wait_until "the window after F11" e2e_size_is 800 600

# Window point (400, 300) is picture point (512, 384) at a scale of 0.78125: a ball dropped there
# stays (the scene is paused) in window box (389..411, 289..311).
xdotool key 1
e2e_move 790 590
e2e_shot "$out/before-ball.png"
e2e_move 400 300
xdotool click 1
e2e_wait_changed "$out/before-ball.png" 389,289,411,311 200 "a ball where the click was"

# F12 in the scaled window saves the frame at the program's size.
xdotool key F12
e2e_wait_screenshot_saved

xdotool key Escape
e2e_wait_exit Escape scaled
e2e_pass "scaled window: all checks passed"
