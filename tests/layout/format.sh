#!/bin/bash
# Every tracked C/C++ file is laid out as the committed .clang-format says: a file that differs
# is named with its first differing lines, and the test fails.
# Usage: format.sh <source dir> [clang-format]
set -u
src=${1:?source dir}
tool=${2:-clang-format}
cd "$src" || exit 2
if ! command -v "$tool" >/dev/null; then
    echo "format: $tool not found" >&2
    exit 2
fi
mapfile -t files < <(git ls-files -- '*.c' '*.h' '*.cc' '*.cpp' '*.hpp')
if [ "${#files[@]}" -eq 0 ]; then
    echo "format: no tracked C/C++ files under $src" >&2
    exit 2
fi
"$tool" --style=file --dry-run -Werror "${files[@]}"
