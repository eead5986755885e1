#!/usr/bin/env bash
# Installs what is missing, builds and starts Dazozi Redov; its arguments go to the program
# (./run.sh --help, ./run.sh --record FILE).
# The first build shows its progress (see the README for how long it takes); later runs rebuild
# only what changed and start at once, quietly.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
dir=build/release
if [[ ! -x $dir/dazozi-redov ]]; then
  echo "run.sh: first build of Dazozi Redov into $dir (the program starts when it is done)"
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DDAZOZI_TESTS=OFF -DDAZOZI_BENCH=OFF >/dev/null
  cmake --build "$dir" --target dazozi-redov -j"$(nproc)"
else
  # Quiet when all is well; what went wrong is shown when a rebuild fails.
  if ! log=$(cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DDAZOZI_TESTS=OFF -DDAZOZI_BENCH=OFF 2>&1 &&
    cmake --build "$dir" --target dazozi-redov -j"$(nproc)" 2>&1); then
    echo "$log" >&2
    exit 1
  fi
fi
exec "$dir/dazozi-redov" "$@"
