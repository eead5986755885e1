#!/usr/bin/env bash
# The full soak: ten simulated minutes of the scripted session under AddressSanitizer and
# UndefinedBehaviorSanitizer, then the same in an optimised build, where the heap criterion
# (mallinfo2) is checked as well. Usage: tests/soak/run_full_soak.sh [seconds]
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds="${1:-600}"
scripts/install-deps.sh --tests
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy DAZOZI_SOAK_SECONDS="$seconds"

cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=Debug -DDAZOZI_SANITIZE=ON -DDAZOZI_BENCH=OFF >/dev/null
cmake --build build/sanitize --target dazozi-tests -j"$(nproc)"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  build/sanitize/tests/dazozi-tests --gtest_filter='Soak.*'

cmake -S . -B build/test -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/test --target dazozi-tests -j"$(nproc)"
build/test/tests/dazozi-tests --gtest_filter='Soak.*'
