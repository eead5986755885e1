#!/usr/bin/env bash
# Replays a recording with a headless runner and checks that it ends in the committed state:
# the counts, the number of bodies and the hash of every body's full-precision position, angle
# and velocities. The native runner (optimised and sanitizer builds) and the web build's runner
# in node must all reach the same committed state: one recording, one hash everywhere.
# usage: same_hash.sh RECORDING EXPECTED RUNNER [RUNNER ARGS...]
#   e.g. same_hash.sh cross_build.txt cross_build.expected node build/web/tools/scenario.js
# When the physics changes on purpose, write EXPECTED anew from a native run:
#   build/test/tools/scenario tests/replay/cross_build.txt > tests/replay/cross_build.expected
set -euo pipefail
recording=$1
expected=$2
shift 2
if ! actual=$("$@" "$recording"); then
    echo "the runner failed on $recording" >&2
    exit 1
fi
if ! diff -u "$expected" - <<<"$actual"; then
    echo "replaying $recording with '$*' did not reach the committed state above;" >&2
    echo "'--hash-every-frame' on two runners shows the first frame where they part" >&2
    exit 1
fi
echo "replay ok: $(grep '^hash ' <<<"$actual")"
