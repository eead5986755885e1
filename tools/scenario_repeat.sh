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
echo "scenario runner ok"
