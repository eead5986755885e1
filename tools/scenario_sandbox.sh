#!/usr/bin/env bash
# The sandbox controls through the whole frame loop, headlessly:
# - a paused scene holds every position over many frames, and N steps exactly one frame;
# - R leaves only a new player squid, at the same place a fresh start puts it;
# - a session recorded through SDL's event queue replays to the same body hash, edits included;
# - Ctrl+S counts a chord that begins and ends between two frames.
# usage: scenario_sandbox.sh SCENARIO_BINARY BUSY_SCRIPT OUTPUT_DIR
set -euo pipefail
bin=$1
busy=$2
out=$3
mkdir -p "$out"
field() { awk -v k="$1" '$1 == k { print $2 }' "$2"; }
fail() { echo "$*" >&2; exit 1; }

# A shower of balls and cubes.
cat >"$out/shower.txt" <<'SCRIPT'
frame 0: key 49 tap
frame 0: mouse 500 100
frame 1: button 2 down
frame 12: mouse 560 100
frame 20: button 2 up
frame 21: key 50 tap
frame 22: click 1
frame 24: key 39 down
SCRIPT

"$bin" --script "$out/shower.txt" --frames 30 >"$out/run30.txt"
"$bin" --script "$out/shower.txt" --frames 31 >"$out/run31.txt"
# P at frame 30: frames 0..29 stepped. Long pause, then N at frame 70: one more frame.
"$bin" --script "$out/shower.txt" --event "30: key 80 tap" --frames 60 >"$out/paused60.txt"
"$bin" --script "$out/shower.txt" --event "30: key 80 tap" --frames 200 >"$out/paused200.txt"
"$bin" --script "$out/shower.txt" --event "30: key 80 tap" --event "70: key 78 tap" \
    --frames 200 >"$out/stepped.txt"
[[ $(field hash "$out/paused60.txt") == $(field hash "$out/run30.txt") ]] ||
    fail "pausing did not stop the physics at once"
[[ $(field hash "$out/paused200.txt") == $(field hash "$out/run30.txt") ]] ||
    fail "positions moved while paused"
[[ $(field hash "$out/stepped.txt") == $(field hash "$out/run31.txt") ]] ||
    fail "N did not advance exactly one frame"
[[ $(field balls "$out/paused200.txt") -gt 10 ]] || fail "the shower made no balls"

# R at frame 310 of the busy scene (all spawned), paused so that nothing moves afterwards: the
# new player squid stands exactly where a fresh start puts it before the first step.
"$bin" --script "$busy" --event "305: key 80 tap" --event "310: key 82 tap" --frames 330 \
    >"$out/reset.txt"
"$bin" --event "0: key 80 tap" --frames 3 >"$out/fresh.txt"
for key in balls cubes stars chains; do
    [[ $(field "$key" "$out/reset.txt") == 0 ]] || fail "R left $key"
done
[[ $(field squids "$out/reset.txt") == 1 ]] || fail "R did not leave one squid"
[[ $(field shapes "$out/reset.txt") == $(field shapes "$out/fresh.txt") ]] ||
    fail "R left shapes behind"
[[ $(field hash "$out/reset.txt") == $(field hash "$out/fresh.txt") ]] ||
    fail "the player after R is not where a fresh start puts it"

# Record a session with every kind of input (grab, pause, step, reset included) and replay it.
cat >"$out/session.txt" <<'SCRIPT'
frame 0: mouse 450 300
frame 2: button 3 down
frame 3: mouse 480 260
frame 4: mouse 520 240
frame 5: button 3 up
frame 8: key 52 tap
frame 9: click 1
frame 10: key 80 tap
frame 12: key 49 tap
frame 13: click 1
frame 14: key 78 tap
frame 16: key 80 tap
frame 20: focus lost
frame 21: focus gained
frame 25: key 16 down
frame 25: mouse 600 200
frame 25: button 1 down
frame 27: button 1 up
frame 27: key 16 up
frame 30: key 82 tap
frame 32: key 39 down
frame 50: key 39 up
SCRIPT
"$bin" --script "$busy" --frames 150 --record "$out/recorded.txt" >"$out/original.txt"
"$bin" --script "$out/recorded.txt" >"$out/replayed.txt"
[[ $(field hash "$out/replayed.txt") == $(field hash "$out/original.txt") ]] ||
    fail "replaying the busy recording gave another hash"
"$bin" --script "$out/session.txt" --frames 90 --record "$out/recorded2.txt" >"$out/original2.txt"
"$bin" --script "$out/recorded2.txt" >"$out/replayed2.txt"
diff -u "$out/original2.txt" "$out/replayed2.txt" || fail "replaying the session differs"
grep -q "clock" "$out/recorded2.txt" || fail "the recording has no clock values"
# A recording is replayed by naming it alone, as 'scenario FILE'.
"$bin" "$out/recorded2.txt" >"$out/replayed3.txt"
diff -u "$out/original2.txt" "$out/replayed3.txt" || fail "scenario FILE replays differently"

# Edits are input: a session that erases the ground under a ball, turns the wheel, paints,
# undoes, redoes and reverts replays from its recording to the same bodies; the same input
# outside edit mode (no E) leaves the bodies elsewhere.
cat >"$out/edits.txt" <<'SCRIPT'
frame 0: key 49 tap
frame 0: mouse 414 500
frame 0: click 1
frame 1: key 69 tap
frame 40: mouse 366 588
frame 41: button 2 down
frame 42: mouse 462 588
frame 43: button 2 up
frame 44: wheel -2
frame 45: mouse 366 684
frame 46: button 1 down
frame 47: mouse 462 684
frame 48: button 1 up
frame 50: key 17 down
frame 50: key 90 tap
frame 51: key 17 up
frame 55: key 17 down
frame 55: key 89 tap
frame 56: key 17 up
frame 57: key 9 tap
frame 58: click 1
frame 70: key 36 tap
frame 72: key 17 down
frame 72: key 90 tap
frame 73: key 17 up
SCRIPT
"$bin" --script "$out/edits.txt" --frames 120 --record "$out/recorded-edits.txt" >"$out/edited.txt"
"$bin" --script "$out/recorded-edits.txt" >"$out/replayed-edits.txt"
diff -u "$out/edited.txt" "$out/replayed-edits.txt" || fail "replaying a session with edits differs"
grep -q "wheel -2" "$out/recorded-edits.txt" || fail "the recording has no wheel"
grep -v "key 69" "$out/edits.txt" >"$out/no-edits.txt"
"$bin" --script "$out/no-edits.txt" --frames 120 >"$out/not-edited.txt"
[[ $(field hash "$out/edited.txt") != $(field hash "$out/not-edited.txt") ]] ||
    fail "the edits changed nothing the bodies met"

# A recording the disk cannot take is a failure, said in one line.
if "$bin" --script "$out/session.txt" --frames 20 --record /dev/full >/dev/null 2>"$out/full.txt"; then
    fail "a recording to a full disk ended with success"
fi
[[ $(cat "$out/full.txt") == "scenario: cannot write /dev/full: No space left on device; the recording is incomplete" ]] ||
    fail "a full disk was not said as scenario's: $(cat "$out/full.txt")"

# A recording cut short (no closing "frames" line) plays every frame it holds, as --replay does,
# and says so in one line.
grep -v '^frames ' "$out/recorded2.txt" >"$out/cut.txt"
"$bin" "$out/cut.txt" >"$out/cut-out.txt" 2>"$out/cut-err.txt"
[[ $(field frames "$out/cut-out.txt") == 90 ]] || fail "a recording cut short did not play its 90 frames"
[[ $(field hash "$out/cut-out.txt") == $(field hash "$out/original2.txt") ]] ||
    fail "a recording cut short replays differently"
[[ $(cat "$out/cut-err.txt") == "scenario: $out/cut.txt: the recording was cut short (no 'frames' line): playing its 90 frames" ]] ||
    fail "a recording cut short was not said: $(cat "$out/cut-err.txt")"

# A shot box outside the frame is said as such, not as a folder that cannot be written.
if "$bin" --frames 2 --event "1: shot a 1000 700 100 100" --out "$out" >/dev/null 2>"$out/box.txt"; then
    fail "a shot outside the frame ended with success"
fi
[[ $(cat "$out/box.txt") == "scenario: frame 1: shot a: the box 1000 700 100 100 lies outside the 1024 x 768 frame" ]] ||
    fail "a shot outside the frame: $(cat "$out/box.txt")"
# F12 into a folder that cannot be written: one line and a failed run.
for bad in /dev/full "$out/no/such/dir"; do
    if "$bin" --frames 4 --event "2: key 123 tap" --out "$bad" >/dev/null 2>"$out/f12-bad.txt"; then
        fail "F12 into $bad ended with success"
    fi
    [[ $(cat "$out/f12-bad.txt") == "scenario: cannot write $bad/screenshot-1.png" ]] ||
        fail "F12 into $bad: $(cat "$out/f12-bad.txt")"
done

# Ctrl+S into a folder that cannot be written: the path and the reason, and a failed run.
if "$bin" --frames 4 --event "2: key 17 down" --event "2: key 83 tap" --out /dev/full \
    >/dev/null 2>"$out/save-bad.txt"; then
    fail "Ctrl+S into /dev/full ended with success"
fi
[[ $(cat "$out/save-bad.txt") == "scenario: Scene could not be saved: /dev/full/scene-1.json: Not a directory" ]] ||
    fail "Ctrl+S into /dev/full: $(cat "$out/save-bad.txt")"

# F12 in a script saves into the output folder, never into the user's pictures.
mkdir -p "$out/f12" "$out/home"
HOME="$out/home" XDG_PICTURES_DIR="$out/home" "$bin" --frames 4 --event "2: key 123 tap" \
    --out "$out/f12" >/dev/null
[[ -s "$out/f12/screenshot-1.png" ]] || fail "F12 in a script saved no picture in --out"
[[ -z $(ls -A "$out/home") ]] || fail "F12 in a script wrote into the pictures folder"

# Ctrl+S pressed and released between two frames (a quick chord, or a replay of one) saves the
# scene as a chord held over two frames does; S alone, or Ctrl released before S, saves nothing.
chord() {
    local name=$1
    shift
    rm -rf "$out/$name"
    mkdir -p "$out/$name"
    "$bin" --frames 6 "$@" --out "$out/$name" >/dev/null
}
chord quick --event "3: key 17 down" --event "3: key 83 tap" --event "3: key 17 up"
chord held --event "2: key 17 down" --event "3: key 83 tap" --event "4: key 17 up"
chord plain --event "3: key 83 tap"
chord late --event "3: key 17 down" --event "3: key 17 up" --event "3: key 83 tap"
[[ -s "$out/quick/scene-1.json" ]] || fail "Ctrl+S within one frame saved nothing"
[[ -s "$out/held/scene-1.json" ]] || fail "Ctrl+S held over two frames saved nothing"
[[ -z $(ls -A "$out/plain") && -z $(ls -A "$out/late") ]] || fail "S without Ctrl saved a scene"

# --frames takes a number of frames and nothing else.
for bad in abc -3 12x; do
    if "$bin" --frames "$bad" >/dev/null 2>&1; then fail "--frames $bad was accepted"; fi
done
echo "sandbox scenarios ok"
