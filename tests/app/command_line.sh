#!/usr/bin/env bash
# The program's command line: --help and --version answer and exit 0; a bad option or an
# unreadable or malformed file gives one line naming it (and the line) and exit status 2, before
# any window is opened (no display is given, so reaching the window would fail differently).
# usage: command_line.sh PROGRAM OUTPUT_DIR
set -uo pipefail
bin=$1
out=$2
mkdir -p "$out"
fail() { echo "$*" >&2; exit 1; }
run() { env -u DISPLAY -u WAYLAND_DISPLAY "$bin" "$@" >"$out/stdout" 2>"$out/stderr"; }

run --help; [[ $? == 0 ]] || fail "--help failed"
grep -q -- "--record FILE" "$out/stdout" || fail "--help does not list --record"
grep -q "F12 saves" "$out/stdout" || fail "--help does not say that F12 writes a file"
grep -q -- "--scene FILE" "$out/stdout" || fail "--help does not list --scene"
[[ ! -s "$out/stderr" ]] || fail "--help wrote to stderr"
run --version; [[ $? == 0 ]] || fail "--version failed"
grep -qx "dazozi-redov [0-9][0-9.]*" "$out/stdout" || fail "--version: $(cat "$out/stdout")"

printf 'frames 10\nframe 1: key 49 tap\nframe 2: wobble\n' >"$out/bad.txt"
: >"$out/empty.txt"
expect_refusal() { # expected stderr line, then the arguments
    local line=$1
    shift
    run "$@"
    local status=$?
    [[ $status == 2 ]] || fail "$*: status $status, not 2"
    [[ $(wc -l <"$out/stderr") == 1 ]] || fail "$*: not one line: $(cat "$out/stderr")"
    [[ $(cat "$out/stderr") == "$line" ]] || fail "$*: '$(cat "$out/stderr")' is not '$line'"
    [[ ! -s "$out/stdout" ]] || fail "$*: wrote to stdout"
}
expect_refusal "dazozi-redov: unknown option '--bogus' (see --help)" --bogus
expect_refusal "dazozi-redov: --replay needs a FILE (see --help)" --replay
expect_refusal "dazozi-redov: $out/bad.txt:3: unknown event 'wobble'" --replay "$out/bad.txt"
expect_refusal "dazozi-redov: cannot read $out/missing.txt" --replay "$out/missing.txt"
expect_refusal "dazozi-redov: cannot write $out/no/dir/rec.txt" --record "$out/no/dir/rec.txt"
# Hostile files: a device read forever, a FIFO that blocks an ordinary open, a file too large,
# bytes that are terminal escape sequences. The timeout only bounds a failure (a blocked open).
rm -f "$out/fifo"; mkfifo "$out/fifo"
printf 'frame 1: key 49 tap\n' >"$out/big.txt"; truncate -s 64M "$out/big.txt"; echo x >>"$out/big.txt"
printf '\x1b]0;pwned\x07\x1b[2J\n' >"$out/escape.txt"
run() { timeout 60 env -u DISPLAY -u WAYLAND_DISPLAY "$bin" "$@" >"$out/stdout" 2>"$out/stderr"; }
expect_refusal "dazozi-redov: cannot read /dev/zero: not a regular file" --replay /dev/zero
expect_refusal "dazozi-redov: cannot read $out/fifo: not a regular file" --replay "$out/fifo"
expect_refusal "dazozi-redov: cannot write $out/fifo: not a regular file" --record "$out/fifo"
expect_refusal "dazozi-redov: cannot read $out/big.txt: larger than 64 MB" --replay "$out/big.txt"
expect_refusal "dazozi-redov: $out/escape.txt:1: unknown entry '\\x1b]0;pwned\\x07\\x1b[2J'" \
  --replay "$out/escape.txt"
# Scenes are checked whole before the window: a bad one is named with what and where.
printf '{"dazozi-redov-scene": 1, "paused": 3}' >"$out/bad-scene.json"
printf '{"dazozi-redov-scene": 7}' >"$out/new-scene.json"
truncate -s 17M "$out/big.txt"
expect_refusal "dazozi-redov: $out/bad-scene.json: scene: missing field \"debug_view\"" \
  --scene "$out/bad-scene.json"
expect_refusal "dazozi-redov: $out/new-scene.json: dazozi-redov-scene: version 7 is newer than this program reads (3)" \
  --scene "$out/new-scene.json"
expect_refusal "dazozi-redov: cannot read $out/big.txt: larger than 16 MB" --scene "$out/big.txt"
# A field twice, and a field's name that is an escape sequence, in a file whose name holds one.
printf '{"dazozi-redov-scene": 1, "paused": false, "paused": true}' >"$out/twice.json"
printf '{"dazozi-redov-scene": 1, "\\u001b]0;pwned\\u0007": 1}' >"$out/esc"$'\x1b'"[2J.json"
expect_refusal "dazozi-redov: $out/twice.json: scene: field \"paused\" given twice" \
  --scene "$out/twice.json"
expect_refusal "dazozi-redov: $out/esc\\x1b[2J.json: scene: unknown field \"\\x1b]0;pwned\\x07\"" \
  --scene "$out/esc"$'\x1b'"[2J.json"
expect_refusal "dazozi-redov: cannot read $out/fifo: not a regular file" --scene "$out/fifo"
expect_refusal "dazozi-redov: --scene needs a FILE (see --help)" --scene
rm -f "$out/fifo" "$out/big.txt"
DAZOZI_RENDERER=gpu expect_refusal \
  "dazozi-redov: DAZOZI_RENDERER is 'gpu'; use 'software' or 'accelerated'"
# A good file passes the checks and the program goes on to its window, which fails for want of
# a display: that one line, and status 1.
run --replay "$out/empty.txt"
[[ $? == 1 ]] || fail "a valid replay file was refused: $(cat "$out/stderr")"
grep -q "cannot open the window" "$out/stderr" || fail "$(cat "$out/stderr")"
# A recording cut short (no closing "frames" line) is played whole and said so in one line.
printf '# dazozi-redov recording: input events and clock by frame\nframe 0: clock 0\nframe 9: clock 150\n' >"$out/cut.txt"
run --replay "$out/cut.txt"
[[ $(head -1 "$out/stderr") == "dazozi-redov: $out/cut.txt: the recording was cut short (no 'frames' line): playing its 10 frames" ]] ||
  fail "a recording cut short was not said: $(cat "$out/stderr")"
# --record replaces its file only once recording starts: a program that stops before its first
# frame (no display here, or a refused setting) leaves an earlier recording as it was, and makes
# no file where there was none.
printf 'frames 3\n' >"$out/keep.txt"
run --record "$out/keep.txt"
[[ $? == 1 ]] || fail "--record without a display: status not 1"
[[ $(cat "$out/keep.txt") == "frames 3" ]] || fail "a recording that never started emptied keep.txt"
DAZOZI_RENDERER=gpu run --record "$out/keep.txt"
[[ $(cat "$out/keep.txt") == "frames 3" ]] || fail "a refused start emptied keep.txt"
rm -f "$out/new.txt"
run --record "$out/new.txt"
[[ ! -e "$out/new.txt" ]] || fail "a recording that never started left new.txt behind"
# The file being replayed is never recorded over, however it is spelled.
expect_refusal "dazozi-redov: --record and --replay name the same file $out/./keep.txt" \
  --replay "$out/keep.txt" --record "$out/./keep.txt"
echo "command line ok"
