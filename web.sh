#!/usr/bin/env bash
# Builds Dazozi Redov for web browsers: one static folder (index.html, its script and style,
# dazozi-redov.js and dazozi-redov.wasm) that any static web server can serve.
# Installs what is missing, builds the libraries once into a cache outside the clone
# (scripts/web-deps.sh), builds the page into build/web/page and prints where it is. Also builds
# the headless runner for node (build/web/tools/scenario.js), which the test suite replays.
#   ./web.sh            build only
#   ./web.sh --serve    build, then serve the page on http://127.0.0.1:8000/ until Ctrl+C
#                       (another port: DAZOZI_WEB_PORT=8080 ./web.sh --serve)
set -euo pipefail
cd "$(dirname "$0")"
serve=0
case "${1:-}" in
  "") ;;
  --serve) serve=1 ;;
  *) echo "web.sh: unknown option '$1' (only --serve)" >&2; exit 2 ;;
esac

echo "web.sh: building Dazozi Redov for web browsers into build/web/page"
scripts/install-deps.sh --web
deps=$(scripts/web-deps.sh | tail -n 1)
# emcc's JavaScript optimizer needs Debian's acorn module, which a node from elsewhere misses.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
jobs=$(nproc)
[[ $jobs -gt 2 ]] && jobs=2
echo "web.sh: configuring and compiling the page (WebAssembly), a few minutes the first time"
emcmake cmake -S . -B build/web -DCMAKE_BUILD_TYPE=Release -DDAZOZI_TESTS=OFF -DDAZOZI_BENCH=OFF \
  -DDAZOZI_WEB_DEPS="$deps" >/dev/null 2>&1 ||
  emcmake cmake -S . -B build/web -DDAZOZI_WEB_DEPS="$deps" >&2
# Progress and problems only, each line as it comes (also into a pipe); the build's status
# decides.
set +o pipefail
cmake --build build/web --target dazozi-web dazozi-web-files scenario -j"$jobs" 2>&1 |
  { grep --line-buffered -E '^\[ *[0-9]+%\]|error|warning' || true; }
status=${PIPESTATUS[0]}
set -o pipefail
[[ $status -eq 0 ]] || { echo "web.sh: the page did not build" >&2; exit 1; }
page=$PWD/build/web/page
echo "The page is in $page"

if [[ $serve -eq 1 ]]; then
  port=${DAZOZI_WEB_PORT:-8000}
  echo "Serving it on http://127.0.0.1:$port/ (Ctrl+C stops)"
  exec python3 -m http.server --bind 127.0.0.1 --directory "$page" "$port"
fi
