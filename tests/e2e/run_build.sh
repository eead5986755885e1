#!/usr/bin/env bash
# Building in the real program under an X server, with the real mouse (xdotool): in edit mode
# B chooses the box tool, a left-button drag in the sky draws a wooden box, which falls while the
# world runs and comes to rest in the pit below; Ctrl+Z takes it away again. Then, paused, a box
# drawn again is hinged to the level near its corner (J and a click): running, it swings under
# its pin and never reaches the pit, until Ctrl+Z takes the hinge back and it falls.
# Usage: run_build.sh PROGRAM OUTPUT_DIR
set -uo pipefail
source "$(dirname "$0")/lib.sh"
e2e_init "$1" "$2"

wood=170,118,62     # the wood's fill (the palette's strip names it in that colour too)
sky=240,80,400,220  # where the box is drawn
pit=240,520,360,640 # where it comes to rest, between two plateaus

# wood_in BOX OP N: true when the wood's pixels inside BOX compare to N as OP.
wood_in() {
  local c
  c=$(e2e_helper_run count "$wid" "$wood" 6 "$1" 2>/dev/null) || return 1
  test "$c" "$2" "$3"
}

# still: true once the box's wood in the pit counts the same in two polls in a row (the player
# squid beside it keeps waving, so the picture itself never stands still).
last=-1
still() {
  local c
  c=$(e2e_helper_run count "$wid" "$wood" 6 "$pit" 2>/dev/null) || return 1
  local was=$last
  last=$c
  [[ $c -ge 1200 && $c -eq $was ]]
}

e2e_start_program 1
e2e_focus
e2e_wait_until "no wood before anything is drawn" wood_in 0,60,1024,768 -lt 50
xdotool key e
e2e_wait_count 255,220,90 -ge 150 "EDIT and the palette"
xdotool key b
e2e_move 280 110
xdotool mousedown 1
for p in "295 120" "310 130" "325 140" "340 150"; do
  e2e_move ${p% *} ${p#* }
done
xdotool mouseup 1
e2e_move 1000 700
e2e_wait_until "the box falling into the pit" wood_in "$pit" -ge 1200
e2e_wait_until "the box at rest" still
e2e_shot "$out/landed.png"
wood_in "$sky" -lt 50 || e2e_fail "wood left in the sky where the box was drawn"

xdotool key ctrl+z
e2e_wait_until "Ctrl+Z taking the box away" wood_in 0,60,1024,768 -lt 50

hinge=255,214,0 # a hinge's ring
xdotool key p
xdotool key b
e2e_move 280 110
xdotool mousedown 1
e2e_move 310 130
e2e_move 340 150
xdotool mouseup 1
e2e_wait_until "the box drawn while paused" wood_in "$sky" -ge 1200
xdotool key j
e2e_move 284 114
xdotool click 1
e2e_move 1000 700
hinge_in() { [[ $(e2e_helper_run count "$wid" "$hinge" 6 "$1" 2>/dev/null) -ge $2 ]]; }
e2e_wait_until "the hinge's ring at the box's corner" hinge_in 270,100,300,130 6
xdotool key p
e2e_wait_until "the hinged box swinging under its pin" wood_in 230,160,330,260 -ge 300
wood_in "$pit" -lt 50 || e2e_fail "the hinged box fell into the pit"
e2e_shot "$out/hinged.png"
xdotool key ctrl+z
e2e_wait_until "the box falling once Ctrl+Z took the hinge back" wood_in 200,300,420,660 -ge 1200
xdotool key Escape
e2e_wait_count 255,220,90 -lt 150 "Escape leaving edit mode"
xdotool key Escape
e2e_wait_exit Escape 1
e2e_pass "a box drawn with the real mouse falls and lands; one hinged to the level hangs"
