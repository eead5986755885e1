#!/usr/bin/env bash
# Regenerates the golden frames: runs every tests/golden/NAME.txt through the headless scenario
# runner and writes each of its shots as tests/golden/SHOT.png. Run it only when a change of
# what the user sees is meant (new art, a new overlay line, a new scene), look at every changed
# picture (git diff --stat tests/golden, then open them), and commit them with the change.
# Never run it to make a failing golden test pass without knowing why it failed.
# usage: tests/golden/update.sh [BUILD_DIR]   (default build/test, the one ./test.sh uses)
set -euo pipefail
cd "$(dirname "$0")/../.."
dir=${1:-build/test}
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$dir" --target scenario -j2 >/dev/null
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
for script in tests/golden/*.txt; do
  "$dir/tools/scenario" --script "$script" --golden tests/golden --update-goldens >/dev/null
  echo "updated the shots of $script"
done
bash tests/golden/saved_scenes.sh "$dir/tools/scenario" "$dir/golden-out" --update-goldens >/dev/null
echo "updated the shots of tests/golden/saved_scenes.script"
