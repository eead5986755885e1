#!/usr/bin/env bash
# A headless runner handed a FIFO as its script or its scene refuses it at once, in one line with
# status 2, as the program does: nothing would ever be written into it, and waiting on it would
# hang the run for good. The wait here is bounded: a runner still waiting is a failure.
# usage: refuses_fifo.sh OUTPUT_DIR RUNNER [RUNNER ARGS...]
set -euo pipefail
out=$1
shift
mkdir -p "$out"
fifo="$out/fifo"
rm -f "$fifo"
mkfifo "$fifo"
for how in script scene; do
    args=("$fifo")
    [[ $how == scene ]] && args=(--scene "$fifo" --frames 1)
    status=0
    timeout 60 "$@" "${args[@]}" >"$out/$how.out" 2>"$out/$how.err" || status=$?
    if [[ $status -eq 124 ]]; then
        echo "the runner waited on a FIFO given as its $how" >&2
        exit 1
    fi
    [[ $status -eq 2 ]] || { echo "a FIFO as the $how: status $status, not 2" >&2; exit 1; }
    [[ $(cat "$out/$how.err") == "scenario: cannot read $fifo: not a regular file" ]] ||
        { echo "a FIFO as the $how: $(cat "$out/$how.err")" >&2; exit 1; }
done
rm -f "$fifo"
echo "FIFOs refused"
