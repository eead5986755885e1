#!/usr/bin/env bash
# Full screen in a real X server with a window manager (openbox), driven by real keys: F11 and
# Alt+Enter toggle desktop full screen at the screen's 1280 x 1024, the 1024 x 768 picture
# letterboxed between black bars, a click lands where the picture shows it, and both keys
# bring the 1024 x 768 window back. Escape still ends the program with status 0.
# Usage: run_fullscreen.sh PROGRAM OUTPUT_DIR
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"
check=(/usr/bin/python3 "$here/fullscreen.py")

e2e_init "$1" "$2"
e2e_window_manager

# has_focus: true once the program's window has the keyboard focus (asks for it otherwise); the
# keys below are sent to whichever window has it.
has_focus() {
  [[ $(xdotool getwindowfocus 2>/dev/null) == "$wid" ]] && return 0
  xdotool windowfocus "$wid" 2>/dev/null
  return 1
}

e2e_start_program fullscreen
e2e_focus
e2e_wait_until "the keyboard focus on the window" has_focus
xdotool key 1

xdotool key F11
e2e_wait_until "full screen after F11" e2e_size_is 1280 1024
# letterboxed: true once a screenshot shows the picture scaled to fit between black bars (the
# first full-screen frames may still be on their way).
letterboxed() {
  e2e_shot "$out/fullscreen.png"
  "${check[@]}" letterbox "$out/fullscreen.png" >"$out/letterbox.txt"
}
# Each poll takes a screenshot and looks at it, so fewer polls make the same minute.
e2e_limit=60 e2e_wait_until "the letterboxed picture (last check: $out/letterbox.txt)" letterboxed

# Picture point (800, 250), above the long brick row, is screen point (1000, 344.5) at a scale
# of 1.25 below a 32-pixel bar; a ball dropped there comes to rest on the bricks around picture
# point (800, 321), that is screen box (982..1018, 416..451).
e2e_move 1270 1000
e2e_shot "$out/before-ball.png"
# The pointer stays where it clicked: moved away at once, the move could be read before the
# click in the same frame and the ball would drop there instead.
e2e_move 1000 344
xdotool click 1
e2e_wait_changed "$out/before-ball.png" 982,416,1018,451 200 "a ball resting where the click was"

xdotool key alt+Return
e2e_wait_until "the window after Alt+Enter" e2e_size_is 1024 768
xdotool key alt+Return
e2e_wait_until "full screen after Alt+Enter" e2e_size_is 1280 1024
xdotool key F11
e2e_wait_until "the window after F11" e2e_size_is 1024 768

xdotool key Escape
e2e_wait_exit Escape fullscreen
e2e_pass "full screen: all checks passed"
