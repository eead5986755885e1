#!/usr/bin/env bash
# A recording keeps the window its input was laid out for, so that clicks on edit mode's palette
# (drawn in window pixels) choose the same entries when the recording replays in a window of
# another size. Plays SCRIPT (made for its own window) while recording it, then replays the
# recording in the runner's own window (1024 x 768) and at 512 x 384: all three end with the
# same bodies. The recording without its window lines must end elsewhere, or SCRIPT does not
# test the palette at all.
# usage: palette_sizes.sh SCRIPT OUTDIR RUNNER [RUNNER ARGS...]
set -euo pipefail
script=$1
out=$2
shift 2
mkdir -p "$out"
rm -f "$out/recorded.txt"
hash_of() { "$@" | grep '^hash '; }
played=$(hash_of "$@" "$script" --record "$out/recorded.txt")
grep -q '^frame 0: window ' "$out/recorded.txt" || { echo "the recording keeps no window" >&2; exit 1; }
large=$(hash_of "$@" "$out/recorded.txt")
{ echo "window 512 384"; cat "$out/recorded.txt"; } >"$out/small.txt"
small=$(hash_of "$@" "$out/small.txt")
grep -v ': window ' "$out/recorded.txt" >"$out/windowless.txt"
windowless=$(hash_of "$@" "$out/windowless.txt")
echo "played $played; at 1024 x 768 $large; at 512 x 384 $small; without its window $windowless"
if [[ "$large" != "$played" || "$small" != "$played" ]]; then
    echo "the recording replayed in another window did not reach the play's bodies" >&2
    exit 1
fi
if [[ "$windowless" == "$played" ]]; then
    echo "$script chooses nothing on the palette that a window's size would change" >&2
    exit 1
fi
