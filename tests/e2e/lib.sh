# Shared steps of the end-to-end runs: the real program in an X server (Xvfb), driven by real
# key and mouse events (xdotool) and looked at through screenshots (xhelper.py).
#
# Every wait here is a bounded wait for an event (the server answering, the window mapped,
# pixels changed, the process ended): it polls until the event is seen and fails after a
# generous limit, so a slow or loaded machine only makes a run slower, never red.
#
# Use it from a script of your own (add it to tests/CMakeLists.txt like run_e2e.sh):
#
#   source "$(dirname "$0")/lib.sh"
#   e2e_init "$1" "$2"             # PROGRAM OUTPUT_DIR; starts Xvfb on a free display
#   e2e_start_program run1         # starts it, waits for its window and its first frames;
#                                  # sets $pid, $wid, $width, $height, $name
#   e2e_focus                      # pointer into the window, keyboard focus on it
#   xdotool key d                  # real input
#   e2e_wait_count 0,255,75 -ge 500 "debug outlines"   # waits until the colour shows
#   e2e_shot "$out/debug.png"
#   xdotool key Escape
#   e2e_wait_exit Escape run1      # waits for the end, checks status 0 and a silent stdout
#   e2e_pass                       # prints the closing line
#
# Failures go through e2e_fail "what went wrong": one line on stderr, the program and the X
# server stopped, exit status 1. The program's stdout and stderr of a run called NAME are in
# $out/stdout-NAME.txt and $out/stderr-NAME.txt, screenshots wherever the caller puts them.
# Pixel colours are "R,G,B"; boxes are "X0,Y0,X1,Y1" in window pixels (X1, Y1 excluded).

e2e_here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
e2e_helper=(/usr/bin/python3 "$e2e_here/xhelper.py")
e2e_caption="Dazozi Redov by Vesk - https://dazozi-redov.example.org"
# A wait polls every 0.1 s and gives up after e2e_timeout seconds of wall time or e2e_limit
# polls, whichever comes first (a poll that takes a screenshot is slow on a loaded machine, so
# the time limit is what keeps a run within the test's own time limit).
e2e_limit=600
e2e_timeout=120

# e2e_fail MESSAGE: reports and stops everything this file started.
e2e_fail() {
  echo "FAIL: $*" >&2
  [[ -n "${pid:-}" ]] && kill "$pid" 2>/dev/null
  [[ -n "${e2e_xvfb:-}" ]] && kill "$e2e_xvfb" 2>/dev/null
  exit 1
}

e2e_pass() {
  echo "e2e: ${1:-all checks passed}"
}

# e2e_helper_run ARGS...: the X helper (find, close, shot, count, diff; see xhelper.py).
e2e_helper_run() {
  "${e2e_helper[@]}" "$@"
}

# e2e_wait_until WHAT COMMAND...: runs COMMAND until it succeeds; fails naming WHAT after the limit.
e2e_wait_until() {
  local what=$1
  shift
  local i
  local deadline=$((SECONDS + e2e_timeout))
  for ((i = 0; i < e2e_limit && SECONDS < deadline; i++)); do
    "$@" && return 0
    sleep 0.1
  done
  e2e_fail "timed out waiting for $what (after $i polls)"
}

# e2e_init PROGRAM OUTPUT_DIR: sets $program and $out, starts Xvfb on a display nobody uses and
# waits until it accepts connections. The server is stopped when the script exits. Its screen is
# $e2e_screen (WIDTHxHEIGHT) when set before, else 1280x1024.
e2e_init() {
  program=$1
  out=$2
  mkdir -p "$out"
  # In a sanitizer build the X session pulls in the GL driver and D-Bus, whose allocations
  # outlive the process and would be reported as leaks of ours. Leaks of our own code are
  # checked by the unit tests and the soak run, which use no such libraries.
  export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
  # Xvfb picks a free display itself and names it once it listens: two runs at the same time
  # (another checkout's tests, a second ctest) can no longer pick the same number and then talk
  # to each other's server. -noreset: an X server starts itself over when its last client
  # leaves (the check below that it answers is one), and a program connecting in that moment
  # finds no display.
  # Work left unsaved is kept in the state folder when the program ends: the test's own.
  export XDG_STATE_HOME="$out/state"
  rm -f "$out/xvfb-display"
  Xvfb -displayfd 3 -screen 0 "${e2e_screen:-1280x1024}x24" -nolisten tcp -noreset 3>"$out/xvfb-display" >"$out/xvfb.log" 2>&1 &
  e2e_xvfb=$!
  trap 'kill $e2e_xvfb 2>/dev/null' EXIT
  e2e_wait_until "the X server to choose its display" e2e_display_chosen
  export DISPLAY=:$(head -n 1 "$out/xvfb-display")
  e2e_wait_until "the X server on $DISPLAY" e2e_server_up
}

# e2e_move X Y: the pointer to window point (X, Y). xdotool's --sync waits for the pointer to
# move and never returns when it is there already, so that wait is cut short: either way the
# pointer is then at the point.
e2e_move() {
  timeout 10 xdotool mousemove --sync --window "$wid" "$1" "$2" >/dev/null 2>&1 || true
}

# e2e_display_chosen: true once Xvfb has written its display number (a whole line).
e2e_display_chosen() {
  kill -0 "$e2e_xvfb" 2>/dev/null || e2e_fail "Xvfb ended before it chose a display: $(cat "$out/xvfb.log")"
  grep -qx '[0-9][0-9]*' "$out/xvfb-display" 2>/dev/null
}

# e2e_server_up: true once the X server accepts connections.
e2e_server_up() {
  kill -0 "$e2e_xvfb" 2>/dev/null || e2e_fail "Xvfb on $DISPLAY ended: $(cat "$out/xvfb.log")"
  /usr/bin/python3 -c 'from Xlib import display; display.Display()' 2>/dev/null
}

# e2e_find_window: true once the program's window is mapped; sets $wid $width $height $name.
e2e_find_window() {
  local info
  kill -0 "$pid" 2>/dev/null || e2e_fail "program exited before its window appeared: $(cat "$out/stderr-$e2e_run.txt")"
  info=$(e2e_helper_run find 2>/dev/null) || return 1
  wid=${info%% *}
  read -r _ width height name <<<"$info"
}

# e2e_count RGB: how many pixels of the window have exactly that colour.
e2e_count() {
  e2e_helper_run count "$wid" "$1" 2>/dev/null || echo -1
}

# e2e_count_is RGB OP N: true when the count of the colour compares to N as OP (-ge, -lt, ...).
e2e_count_is() {
  local c
  c=$(e2e_count "$1")
  [[ $c -ge 0 ]] && test "$c" "$2" "$3"
}

# e2e_wait_count RGB OP N WHAT: waits until the colour's count compares to N as OP.
e2e_wait_count() {
  e2e_wait_until "$4 ($1 $2 $3 pixels)" e2e_count_is "$1" "$2" "$3"
}

# e2e_changed BEFORE.png BOX: how many pixels inside BOX differ from the saved screenshot.
e2e_changed() {
  e2e_helper_run diff "$wid" "$1" "$2" 2>/dev/null || echo -1
}

# e2e_changed_at_least BEFORE.png BOX N: true when at least N pixels of BOX changed.
e2e_changed_at_least() {
  local c
  c=$(e2e_changed "$1" "$2")
  [[ $c -ge $3 ]]
}

# e2e_wait_changed BEFORE.png BOX N WHAT: waits until at least N pixels of BOX changed.
e2e_wait_changed() {
  e2e_wait_until "$4 (at least $3 pixels changed in $2)" e2e_changed_at_least "$1" "$2" "$3"
}

# e2e_shot FILE: saves a screenshot of the window as PNG.
e2e_shot() {
  e2e_helper_run shot "$wid" "$1" || e2e_fail "screenshot $1"
}

# e2e_start_program NAME [ARGS...]: starts the program, waits for its window (checked to be
# 1024x768 with the program's caption) and for its first presented frames (the window starts
# black; a frame of the game is mostly not). Sets $pid and $wid.
e2e_start_program() {
  e2e_run=$1
  shift
  "$program" "$@" >"$out/stdout-$e2e_run.txt" 2>"$out/stderr-$e2e_run.txt" &
  pid=$!
  wid=""
  e2e_wait_until "the program's window" e2e_find_window
  [[ "$width" == 1024 && "$height" == 768 ]] || e2e_fail "window is ${width}x${height}, expected 1024x768"
  [[ "$name" == "$e2e_caption" ]] || e2e_fail "caption is '$name'"
  e2e_wait_count 0,0,0 -lt 100000 "the first frames (the window stayed black)"
}

# e2e_has_focus: true once the program's window has the keyboard focus (asks for it otherwise).
e2e_has_focus() {
  [[ $(timeout 10 xdotool getwindowfocus 2>/dev/null) == "$wid" ]] && return 0
  timeout 10 xdotool windowfocus "$wid" 2>/dev/null
  return 1
}

# e2e_focus: moves the pointer into the window (bottom right, away from the level's bricks)
# and waits until the window has the keyboard focus. xdotool's own --sync waits have no limit,
# so each call here is cut after ten seconds and the focus is waited for like any event.
e2e_focus() {
  e2e_move 1000 700
  e2e_wait_until "the keyboard focus on the window" e2e_has_focus
}

# e2e_ended: true once the program's process has ended.
e2e_ended() {
  ! kill -0 "$pid" 2>/dev/null
}

# e2e_wait_exit WHY NAME: waits until the program ends; fails unless its exit status is 0 and
# it printed nothing on stdout.
e2e_wait_exit() {
  e2e_wait_until "the program to end after $1" e2e_ended
  local status
  wait "$pid"
  status=$?
  pid=""
  [[ $status -eq 0 ]] || e2e_fail "exit status $status after $1"
  [[ -s "$out/stdout-$2.txt" ]] && e2e_fail "program printed on stdout: $(head -c 200 "$out/stdout-$2.txt")"
  return 0
}

# e2e_escape_after_replay WHY NAME: a replay hands over to the user once it has run out, even
# when the recording ended with Escape; from then on the user's Escape ends the program (before,
# the window ignores the user's keys). Presses Escape until the program ends, then as
# e2e_wait_exit.
e2e_escape_after_replay() {
  e2e_press_escape_ended() {
    timeout 10 xdotool key --window "$wid" Escape >/dev/null 2>&1
    e2e_ended
  }
  e2e_wait_until "the replay to hand over and Escape to end the program" e2e_press_escape_ended
  e2e_wait_exit "$1" "$2"
}

# e2e_window_manager: starts openbox and waits until its start-up is over (its --startup
# command runs then), not only until it has claimed the screen: a window mapped in between was
# sometimes never mapped, and SDL waits for that without end. Ended with the X server on exit.
e2e_window_manager() {
  command -v openbox >/dev/null || e2e_fail "openbox is not installed (scripts/install-deps.sh --tests)"
  rm -f "$out/wm-started"
  openbox --sm-disable --startup "touch $out/wm-started" >"$out/openbox.log" 2>&1 &
  e2e_wm=$!
  trap 'kill $e2e_wm 2>/dev/null; kill $e2e_xvfb 2>/dev/null' EXIT
  e2e_wait_until "the window manager" test -e "$out/wm-started"
}

# e2e_size_is W H: true once the program's window is W x H.
e2e_size_is() {
  e2e_find_window && [[ "$width" == "$1" && "$height" == "$2" ]]
}

# e2e_wait_screenshot_saved: waits for the PNG that F12 writes into $HOME/Pictures and checks
# that it is the whole 1024 x 768 frame.
e2e_wait_screenshot_saved() {
  shot_saved() { compgen -G "$HOME/Pictures/dazozi-redov-*.png" >/dev/null; }
  e2e_wait_until "the screenshot in $HOME/Pictures" shot_saved
  /usr/bin/python3 - "$HOME"/Pictures/dazozi-redov-*.png <<'PY' || e2e_fail "the screenshot is no 1024x768 PNG"
import struct, sys
data = open(sys.argv[1], "rb").read(32)
assert data[:8] == b"\x89PNG\r\n\x1a\n"
assert struct.unpack(">II", data[16:24]) == (1024, 768)
PY
}
