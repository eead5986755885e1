#!/usr/bin/env bash
# The web build in headless Chromium next to the native program, one run, the same scenes:
# frame time split into physics and drawing at 0, 250 and 500 settled bodies, the time from
# page load to the first frame, and the page's size compressed. Prints a Markdown table and
# keeps it in build/bench/web-vs-native.md.
#
# Native: SDL's OpenGL renderer in a window (under Xvfb when there is no display; Mesa's
# llvmpipe without a GPU). Web: WebGL in Chromium (SwiftShader without a GPU).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --tests
./web.sh >/dev/null
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
jobs=$(nproc)
[[ $jobs -gt 2 ]] && jobs=2
cmake --build build/web --target dazozi-side-bench-web -j"$jobs" >/dev/null
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DDAZOZI_TESTS=OFF -DDAZOZI_BENCH=ON >/dev/null
cmake --build build/bench --target dazozi-side-bench -j"$jobs" >/dev/null
mkdir -p build/bench
native=build/bench/bench/dazozi-side-bench
export SDL_AUDIODRIVER=dummy

echo "Running natively..." >&2
if [[ -n "${DISPLAY:-}" ]]; then
  native_out=$("$native")
else
  native_out=$(xvfb-run -a -s "-screen 0 1280x1024x24" "$native")
fi
echo "Running in Chromium..." >&2
web_out=$(/usr/bin/python3 bench/web_bench.py build/web/page build/web/bench-page)

field() { # field NAME LINE
  sed -n "s/.*\b$1=\([0-9.]*\).*/\1/p" <<<"$2"
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2fx", a / b; else print "-" }'; }
{
  echo "Web (Chromium $(chromium --version 2>/dev/null | awk '{print $2}'), WebGL) against native"
  echo "(SDL OpenGL), $(git rev-parse --short HEAD 2>/dev/null || echo 'this tree'), $(nproc) cores,"
  echo "$(date -u +%Y-%m-%d), load average $(cut -d' ' -f1 /proc/loadavg) at the end; medians (10th"
  echo "percentiles) in ms per frame."
  echo
  echo "| bodies | objects | native frame | native physics (p10) | native drawing | web frame | web physics (p10) | web drawing | physics web/native (p10) | web frame interval | draw calls native/web |"
  echo "|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|"
  for scene in 0 250 500; do
    n=$(grep "^scene=$scene " <<<"$native_out")
    w=$(grep "^scene=$scene " <<<"$web_out")
    echo "| $scene | $(field objects "$w") | $(field frame "$n") | $(field physics "$n") ($(field physics10 "$n")) | $(field drawing "$n") | $(field frame "$w") | $(field physics "$w") ($(field physics10 "$w")) | $(field drawing "$w") | $(ratio "$(field physics "$w")" "$(field physics "$n")") ($(ratio "$(field physics10 "$w")" "$(field physics10 "$n")")) | $(field interval "$w") | $(field draws "$n")/$(field draws "$w") |"
  done
  echo
  echo "First frame: native $(field first-frame "$native_out") ms after main(); web" \
    "$(grep page-first-frame <<<"$web_out" | sed 's/.*=//' | paste -sd/) ms after the start of" \
    "the page's navigation (three loads from 127.0.0.1)."
  bytes=$(grep page-bytes <<<"$web_out")
  echo "Page: $(awk -v b="$(field page-bytes "$bytes")" 'BEGIN{printf "%.2f", b/1048576}') MB," \
    "$(awk -v b="$(field gzip "$bytes")" 'BEGIN{printf "%.2f", b/1048576}') MB compressed (gzip -9)."
} | tee build/bench/web-vs-native.md
