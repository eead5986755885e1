#!/usr/bin/env bash
# Runs the real program in an X server (Xvfb) and drives it with real key and mouse
# events (xdotool): the window's size and caption, spawning by click, the debug view,
# Escape and the window's close request, each ending with exit status 0.
# Usage: run_e2e.sh PROGRAM OUTPUT_DIR
set -uo pipefail

program=$1
out=$2
here=$(cd "$(dirname "$0")" && pwd)
helper="/usr/bin/python3 $here/xhelper.py"
caption="Dazozi Redov by Vesk - https://dazozi-redov.example.org"
mkdir -p "$out"

# In a sanitizer build the X session pulls in the GL driver and D-Bus, whose allocations
# outlive the process and would be reported as leaks of ours. Leaks of our own code are
# checked by the unit tests and the soak run, which use no such libraries.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

fail() {
  echo "FAIL: $*" >&2
  [[ -n "${pid:-}" ]] && kill "$pid" 2>/dev/null
  [[ -n "${xvfb:-}" ]] && kill "$xvfb" 2>/dev/null
  exit 1
}

# A display number nobody uses.
for n in $(seq 90 140); do
  if [[ ! -e /tmp/.X$n-lock && ! -e /tmp/.X11-unix/X$n ]]; then
    export DISPLAY=:$n
    break
  fi
done
Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >"$out/xvfb.log" 2>&1 &
xvfb=$!
for _ in $(seq 1 100); do
  /usr/bin/python3 -c 'from Xlib import display; display.Display()' 2>/dev/null && break
  sleep 0.1
done
trap 'kill $xvfb 2>/dev/null' EXIT

start_program() {
  "$program" >"$out/stdout-$1.txt" 2>"$out/stderr-$1.txt" &
  pid=$!
  wid=""
  for _ in $(seq 1 200); do
    if info=$($helper find 2>/dev/null); then
      wid=${info%% *}
      break
    fi
    kill -0 "$pid" 2>/dev/null || fail "program exited before its window appeared: $(cat "$out/stderr-$1.txt")"
    sleep 0.1
  done
  [[ -n "$wid" ]] || fail "no window appeared"
  read -r _ width height name <<<"$info"
  [[ "$width" == 1024 && "$height" == 768 ]] || fail "window is ${width}x${height}, expected 1024x768"
  [[ "$name" == "$caption" ]] || fail "caption is '$name'"
  # Wait until frames are being presented (the window starts black), then give it a moment.
  for _ in $(seq 1 300); do
    black=$($helper count "$wid" 0,0,0 2>/dev/null || echo 786432)
    [[ $black -lt 100000 ]] && break
    sleep 0.1
  done
  [[ $black -lt 100000 ]] || fail "the window stayed black"
  sleep 1
}

wait_exit() {
  for _ in $(seq 1 300); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$pid" 2>/dev/null && fail "program did not end after $1"
  wait "$pid"
  status=$?
  [[ $status -eq 0 ]] || fail "exit status $status after $1"
  [[ -s "$out/stdout-$2.txt" ]] && fail "program printed on stdout: $(head -c 200 "$out/stdout-$2.txt")"
  pid=""
}

# --- Run 1: spawn balls by clicking, toggle the debug view, quit with Escape.
start_program 1
$helper shot "$wid" "$out/start.png" || fail "screenshot"
xdotool mousemove --window "$wid" 1000 700
xdotool windowfocus --sync "$wid" 2>/dev/null || true
sleep 0.3
xdotool key 1
sleep 0.5
$helper shot "$wid" "$out/before-balls.png" || fail "screenshot"
# Three clicks over the long floating brick row (y = 336), each in its own frame.
for x in 740 800 860; do
  xdotool mousemove --window "$wid" "$x" 250 click 1
  sleep 0.3
done
xdotool mousemove --window "$wid" 1000 700
sleep 3
$helper shot "$wid" "$out/balls.png"
for x in 740 800 860; do
  changed=$($helper diff "$wid" "$out/before-balls.png" "$((x - 14)),307,$((x + 14)),335")
  [[ $changed -ge 200 ]] || fail "no ball resting at x=$x (only $changed pixels changed)"
done
green_before=$($helper count "$wid" 0,255,75)
xdotool key d
sleep 0.5
$helper shot "$wid" "$out/debug.png"
green=$($helper count "$wid" 0,255,75)
blue=$($helper count "$wid" 0,75,255)
[[ $green -ge 500 && $green_before -lt 100 ]] || fail "debug view: $green green outline pixels (before: $green_before)"
[[ $blue -ge 40 ]] || fail "debug view: only $blue blue circle outline pixels"
xdotool key Escape
wait_exit Escape 1

# --- Run 2: the window's close button (WM_DELETE_WINDOW, as a window manager sends it).
start_program 2
$helper close "$wid" || fail "close request"
wait_exit "the close request" 2

# --- Run 3: no display at all: one clear line about it on stderr and exit status 1.
env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER SDL_AUDIODRIVER=dummy \
  "$program" >"$out/stdout-3.txt" 2>"$out/stderr-3.txt"
status=$?
[[ $status -eq 1 ]] || fail "exit status $status without a display"
[[ $(wc -l <"$out/stderr-3.txt") -eq 1 ]] || fail "expected one line without a display: $(cat "$out/stderr-3.txt")"
grep -q "display" "$out/stderr-3.txt" || fail "the line does not name the display: $(cat "$out/stderr-3.txt")"

echo "e2e: all checks passed"
