#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole test suite
# (unit tests, pixel tests, the end-to-end run under Xvfb, the web build played in
# headless Chromium, and the Windows build run under Wine).
# With --sanitize it builds and runs the suite under AddressSanitizer and
# UndefinedBehaviorSanitizer instead.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh --tests

dir=build/test
flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DDAZOZI_WERROR=ON)
if [[ "${1:-}" == "--sanitize" ]]; then
  dir=build/sanitize
  flags=(-DCMAKE_BUILD_TYPE=Debug -DDAZOZI_SANITIZE=ON -DDAZOZI_BENCH=OFF -DDAZOZI_WERROR=ON)
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi
if [[ "${1:-}" != "--sanitize" ]]; then
  # The web build first, so that ctest plays it in a browser and replays its headless runner in
  # node along with the rest.
  ./web.sh
  flags+=(-DDAZOZI_WEB_PAGE="$PWD/build/web/page" -DDAZOZI_WEB_BUILD="$PWD/build/web")
  # The Windows build likewise, so that ctest runs it under Wine.
  ./windows.sh
  flags+=(-DDAZOZI_WINDOWS_BUILD="$PWD/build/windows")
fi
cmake -S . -B "$dir" "${flags[@]}" >/dev/null
cmake --build "$dir" -j"$(nproc)"
ctest --test-dir "$dir" --output-on-failure --timeout 600 -j"$(nproc)"
