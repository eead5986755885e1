#!/usr/bin/env bash
# Runs the real program in an X server (Xvfb) and drives it with real key and mouse
# events (xdotool): the window's size and caption, spawning by click, the debug view,
# Escape and the window's close request, each ending with exit status 0.
# Usage: run_e2e.sh PROGRAM OUTPUT_DIR
set -uo pipefail
source "$(dirname "$0")/lib.sh"
e2e_init "$1" "$2"

# --- Run 1: spawn balls by clicking, toggle the debug view, quit with Escape.
e2e_start_program 1
e2e_focus
e2e_shot "$out/start.png"
xdotool key 1
# Kind 1 selected: its half-transparent preview shows at the pointer.
e2e_wait_changed "$out/start.png" 986,686,1014,714 100 "the ball preview at the pointer"
e2e_shot "$out/before-balls.png"
# Three clicks over the long floating brick row (y = 336). A click spawns once per frame, so
# each waits for its ball to come to rest on the row before the next is made.
for x in 740 800 860; do
  timeout 10 xdotool mousemove --sync --window "$wid" "$x" 250 click 1
  e2e_wait_changed "$out/before-balls.png" "$((x - 14)),307,$((x + 14)),335" 200 "a ball resting at x=$x"
done
timeout 10 xdotool mousemove --sync --window "$wid" 1000 700
e2e_shot "$out/balls.png"
green_before=$(e2e_count 0,255,75)
[[ $green_before -ge 0 && $green_before -lt 100 ]] || e2e_fail "$green_before green pixels before the debug view"
xdotool key d
e2e_wait_count 0,255,75 -ge 500 "the debug view's green segment outlines"
e2e_shot "$out/debug.png"
blue=$(e2e_count 0,75,255)
[[ $blue -ge 40 ]] || e2e_fail "debug view: only $blue blue circle outline pixels"
xdotool key Escape
e2e_wait_exit Escape 1

# --- Run 2: the window's close button (WM_DELETE_WINDOW, as a window manager sends it), with
# no sound device: the one line about it comes once the window is open.
SDL_AUDIODRIVER=no-such-driver e2e_start_program 2
e2e_helper_run close "$wid" || e2e_fail "close request"
e2e_wait_exit "the close request" 2
[[ $(wc -l <"$out/stderr-2.txt") -eq 1 ]] && grep -q "^No sound output" "$out/stderr-2.txt" ||
  e2e_fail "expected one line about the sound output: $(cat "$out/stderr-2.txt")"

# --- Runs 3 and 4: no display at all, and a DISPLAY where no X server answers. With no sound
# device either (an audio driver that does not exist), the program says exactly one line,
# naming the display and the cause, and ends with exit status 1.
no_display() { # NAME ENV...
  local name=$1
  shift
  timeout 60 env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER SDL_AUDIODRIVER=no-such-driver "$@" \
    "$program" >"$out/stdout-$name.txt" 2>"$out/stderr-$name.txt"
  local status=$?
  [[ $status -eq 1 ]] || e2e_fail "exit status $status ($name)"
  [[ $(wc -l <"$out/stderr-$name.txt") -eq 1 ]] ||
    e2e_fail "expected one line ($name): $(cat "$out/stderr-$name.txt")"
  [[ -s "$out/stdout-$name.txt" ]] && e2e_fail "program printed on stdout ($name)"
  return 0
}
no_display 3
grep -q "DISPLAY" "$out/stderr-3.txt" || e2e_fail "the line does not name the display: $(cat "$out/stderr-3.txt")"
for n in $(seq 191 240); do
  [[ ! -e /tmp/.X$n-lock && ! -e /tmp/.X11-unix/X$n ]] && break
done
no_display 4 DISPLAY=:$n
grep -q "X display \":$n\"" "$out/stderr-4.txt" ||
  e2e_fail "the line does not name the display :$n: $(cat "$out/stderr-4.txt")"
grep -q "no display server answers" "$out/stderr-4.txt" ||
  e2e_fail "the line does not say why: $(cat "$out/stderr-4.txt")"

e2e_pass
