#!/usr/bin/env bash
# The golden frame of the scene menu listing saved scenes: makes a folder of three saved scene
# files (one with the program's own name, two named by the user, one of them too long for its
# line) and a file the menu leaves out, each with a fixed time, then runs saved_scenes.script
# over it with the times read in UTC.
# usage: saved_scenes.sh SCENARIO OUT_DIR [--update-goldens]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
scenario=$1
out=$2
shift 2
mkdir -p "$out"
folder=$(mktemp -d "$out/saved-scenes.XXXXXX")
trap 'rm -rf "$folder"' EXIT
scenes="$here/../../data/scenes"
cp "$scenes/bridge.json" "$folder/dazozi-redov-2026-11-30-101500.json"
cp "$scenes/dominoes.json" "$folder/tower of cubes.json"
cp "$scenes/swings.json" "$folder/a very long name for a scene of many chains.json"
echo 'not a scene' >"$folder/notes.txt"
touch -d '2026-11-30 10:15:00 UTC' "$folder/dazozi-redov-2026-11-30-101500.json"
touch -d '2026-12-01 18:42:00 UTC' "$folder/tower of cubes.json"
touch -d '2026-11-02 07:05:00 UTC' "$folder/a very long name for a scene of many chains.json"
touch -d '2026-12-02 12:00:00 UTC' "$folder/notes.txt"
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy TZ=UTC
"$scenario" --script "$here/saved_scenes.script" --saved-scenes "$folder" --golden "$here" \
  --out "$out" "$@"
