#!/usr/bin/env bash
# The Windows program's command line under Wine, as on Linux (tests/app/command_line.sh):
# --help and --version answer on stdout with status 0; a bad option or a bad file gives one line
# naming it on stderr and status 2, before any window opens. File names in several scripts reach
# the program whole and come back whole in its messages.
# usage: command_line.sh WINE_PREFIX PROGRAM.exe OUTPUT_DIR
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
prefix=$1
exe=$2
out=$3
mkdir -p "$out"
cd "$out" || exit 1
fail() { echo "$*" >&2; exit 1; }
run() { timeout 600 bash "$here/wine_run.sh" "$prefix" "$exe" "$@" >stdout 2>stderr; }

run --help; [[ $? == 0 ]] || fail "--help failed: $(cat stderr)"
grep -q -- "--record FILE" stdout || fail "--help does not list --record: $(cat stdout)"
grep -q -- "--scene FILE" stdout || fail "--help does not list --scene"
[[ ! -s stderr ]] || fail "--help wrote to stderr: $(cat stderr)"
run --version; [[ $? == 0 ]] || fail "--version failed"
grep -qx "dazozi-redov [0-9][0-9.]*" stdout || fail "--version: $(cat stdout)"

expect_refusal() { # expected stderr line, then the arguments
    local line=$1
    shift
    run "$@"
    local status=$?
    [[ $status == 2 ]] || fail "$*: status $status, not 2"
    [[ $(wc -l <stderr) == 1 ]] || fail "$*: not one line: $(cat stderr)"
    [[ $(cat stderr) == "$line" ]] || fail "$*: '$(cat stderr)' is not '$line'"
    [[ ! -s stdout ]] || fail "$*: wrote to stdout"
}
printf 'frames 10\nframe 1: key 49 tap\nframe 2: wobble\n' >"bad ä 画.txt"
expect_refusal "dazozi-redov: unknown option '--bogus' (see --help)" --bogus
expect_refusal "dazozi-redov: unknown option '--bögus' (see --help)" --bögus
expect_refusal "dazozi-redov: --replay needs a FILE (see --help)" --replay
expect_refusal "dazozi-redov: bad ä 画.txt:3: unknown event 'wobble'" --replay "bad ä 画.txt"
expect_refusal "dazozi-redov: cannot read missing 🎈.txt" --replay "missing 🎈.txt"
printf '{"dazozi-redov-scene": 7}' >"szene ö.json"
expect_refusal "dazozi-redov: szene ö.json: dazozi-redov-scene: version 7 is newer than this program reads (3)" \
  --scene "szene ö.json"
echo "command line ok"
