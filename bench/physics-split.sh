#!/usr/bin/env bash
# Where the level's physics goes, natively and in node, each beside the bare library: builds
# dazozi-physics-split in Release (build/bench) and for node (build/web), runs both one after
# the other on the same populations, and prints one Markdown table (kept in
# build/bench/physics-split.md). Arguments go to both runs (e.g. --counts 250,1000 --rounds 6).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --tests
./web.sh >/dev/null
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
jobs=$(nproc)
[[ $jobs -gt 2 ]] && jobs=2
cmake --build build/web --target dazozi-physics-split-node -j"$jobs" >/dev/null
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DDAZOZI_TESTS=OFF -DDAZOZI_BENCH=ON >/dev/null
cmake --build build/bench --target dazozi-physics-split -j"$jobs" >/dev/null
mkdir -p build/bench
echo "Running natively..." >&2
native_out=$(build/bench/bench/dazozi-physics-split "$@")
echo "Running in node..." >&2
node_out=$(node build/web/physics-split.js "$@")
python3 bench/physics_split_table.py "$native_out" "$node_out" "$(git rev-parse --short HEAD)" |
  tee build/bench/physics-split.md
