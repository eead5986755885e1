#!/usr/bin/env bash
# Installs what is missing, builds and starts Dazozi Redov.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DDAZOZI_TESTS=OFF -DDAZOZI_BENCH=OFF >/dev/null
cmake --build build/release --target dazozi-redov -j"$(nproc)" >/dev/null
exec build/release/dazozi-redov
