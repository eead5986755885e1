#!/usr/bin/env bash
# Installs what is missing, builds the benchmarks in Release and runs them: first on SDL's
# software renderer into an offscreen surface, then on SDL's OpenGL renderer in a window (under
# Xvfb when there is no display; skipped with a note when no X server can be had), and last the
# CPU use of the program in a window on both renderers in turn (--cpu).
# The tables are printed and kept in build/bench/results.md. Extra arguments go to
# dazozi-bench (e.g. --quick).
set -euo pipefail
cd "$(dirname "$0")"
# The test dependencies bring Xvfb and Mesa's GL drivers for the OpenGL run.
scripts/install-deps.sh --tests

cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DDAZOZI_TESTS=OFF -DDAZOZI_BENCH=ON >/dev/null
cmake --build build/bench --target dazozi-bench -j"$(nproc)" >/dev/null
bench=build/bench/bench/dazozi-bench
out=build/bench/results.md
export SDL_AUDIODRIVER=dummy
{
  echo "Benchmarks of $(git rev-parse --short HEAD 2>/dev/null || echo 'this tree'), $(nproc) cores, $(date -u +%Y-%m-%d)"
  SDL_VIDEODRIVER=dummy "$bench" --renderer software "$@"
  if [[ -n "${DISPLAY:-}" ]]; then
    "$bench" --renderer gl "$@"
    "$bench" --cpu "$@"
  elif command -v xvfb-run >/dev/null; then
    xvfb-run -a -s "-screen 0 1280x1024x24" "$bench" --renderer gl "$@"
    xvfb-run -a -s "-screen 0 1280x1024x24" "$bench" --cpu "$@"
  else
    echo; echo "### Renderer: gl"; echo; echo "Skipped: no display and no Xvfb."
  fi
} | tee "$out"
