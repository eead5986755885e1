#!/usr/bin/env bash
# The level drawn on the GL renderer (Mesa's llvmpipe here) in windows smaller and larger than
# the picture: the tiles' large pieces meet without a seam of the cleared screen between them.
# Usage: run_scaled_gl.sh PROGRAM OUTPUT_DIR
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"

e2e_screen=1920x1080
e2e_init "$1" "$2"
export DAZOZI_RENDERER=accelerated
e2e_window_manager
e2e_start_program scaled_gl
e2e_focus

# seamless NAME: true once a screenshot shows no pixel of the cleared screen in the sky and
# hills (the first frames at a new size may still be on their way).
seamless() {
  e2e_shot "$out/$1.png"
  /usr/bin/python3 "$here/scaled.py" dark "$out/$1.png" >"$out/$1.txt"
}
for size in 800x600 700x500 1300x900; do
  xdotool windowsize "$wid" "${size%x*}" "${size#*x}"
  e2e_wait_until "the window at $size" e2e_size_is "${size%x*}" "${size#*x}"
  e2e_wait_until "a picture without seams at $size (last check: $out/$size.txt)" seamless "$size"
done
e2e_pass
