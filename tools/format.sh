#!/usr/bin/env bash
# Formats the sources in place, each kind with its own formatter: clang-format for C++ (*.cpp,
# *.h), cmake-format for CMake files (CMakeLists.txt, *.cmake; settings in .cmake-format.py).
# Never run clang-format on a CMake file: it takes it for C++ and breaks it (`wc - l`).
#
#   tools/format.sh           format every committed source file
#   tools/format.sh --check   change nothing; fail and name the files that need formatting
set -euo pipefail
cd "$(dirname "$0")/.."

mapfile -t cpp < <(git ls-files '*.cpp' '*.h')
mapfile -t cmake < <(git ls-files 'CMakeLists.txt' '*/CMakeLists.txt' '*.cmake')

if [ "${1:-}" = "--check" ]; then
    status=0
    clang-format --dry-run --Werror "${cpp[@]}" || status=1
    for file in "${cmake[@]}"; do
        if ! cmake-format --check "$file" 2>/dev/null; then
            echo "$file: not formatted (run tools/format.sh)" >&2
            status=1
        fi
    done
    exit $status
fi
clang-format -i "${cpp[@]}"
cmake-format -i "${cmake[@]}"
