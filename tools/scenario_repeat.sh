#!/usr/bin/env bash
# Checks the headless runner end to end: two runs of the same script print the same counts and
# body hash; Escape and a close request end a run early; a malformed script is refused.
# usage: scenario_repeat.sh SCENARIO_BINARY SCRIPT OUTPUT_DIR
set -euo pipefail
bin=$1
script=$2
out=$3
mkdir -p "$out"

"$bin" --script "$script" --png "$out/first.png" >"$out/first.txt"
"$bin" --script "$script" >"$out/second.txt"
if ! diff -u "$out/first.txt" "$out/second.txt"; then
    echo "two runs of $script disagree" >&2
    exit 1
fi
grep -qx "ended frames" "$out/first.txt" || { echo "run did not complete" >&2; exit 1; }
for key in balls cubes stars chains; do
    value=$(awk -v k="$key" '$1 == k { print $2 }' "$out/first.txt")
    if [[ -z "$value" || "$value" -eq 0 ]]; then
        echo "no $key in the busy scene" >&2
        exit 1
    fi
done
[[ -s "$out/first.png" ]] || { echo "no picture written" >&2; exit 1; }

"$bin" --frames 100 --event "30: key 27 tap" >"$out/escape.txt"
grep -qx "ended escape" "$out/escape.txt" || { echo "Escape did not end the run" >&2; exit 1; }
grep -qx "frames 30" "$out/escape.txt" || { echo "Escape ended the wrong frame" >&2; exit 1; }

"$bin" --frames 100 --event "12: close" >"$out/close.txt"
grep -qx "ended close" "$out/close.txt" || { echo "close request did not end the run" >&2; exit 1; }
grep -qx "frames 13" "$out/close.txt" || { echo "close ended the wrong frame" >&2; exit 1; }

if "$bin" --event "5 key 49 tap" >/dev/null 2>&1; then
    echo "a malformed event was accepted" >&2
    exit 1
fi
# Golden comparison: a shot made as the golden of frame 5 matches itself and fails against a
# later frame, naming the actual frame and the difference picture it wrote.
mkdir -p "$out/golden" "$out/golden-out"
rm -f "$out/golden-out/"*
"$bin" --frames 6 --event "5: shot g" --golden "$out/golden" --update-goldens >/dev/null
"$bin" --frames 6 --event "5: shot g" --golden "$out/golden" --out "$out/golden-out" >/dev/null ||
    { echo "a frame differs from its own golden" >&2; exit 1; }
if "$bin" --frames 30 --event "0: key 39 down" --event "29: shot g" --golden "$out/golden" \
    --out "$out/golden-out" >/dev/null 2>"$out/golden-err.txt"; then
    echo "a different frame matched the golden" >&2
    exit 1
fi
grep -q "g.actual.png" "$out/golden-err.txt" && grep -q "g.diff.png" "$out/golden-err.txt" &&
    [[ -s "$out/golden-out/g.actual.png" && -s "$out/golden-out/g.diff.png" ]] ||
    { echo "a failed comparison did not write and name both pictures" >&2; exit 1; }
echo "scenario runner ok"
