#!/usr/bin/env bash
# Fails when a C++ file of the repository differs from what clang-format makes of it
# with the repository's .clang-format. Generated files are left out.
#
# usage: tools/check-format.sh [--fix]
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || { echo "FAIL: no clang-format: install clang-format (tools/install-dependencies.sh test)" >&2; exit 1; }
mapfile -t files < <(git ls-files '*.cpp' '*.h' | grep -v -e '^toolkit/codec/CodePageTables\.cpp$')
if [[ ${1:-} == --fix ]]; then
    clang-format -i "${files[@]}"
else
    clang-format --dry-run -Werror "${files[@]}"
    echo "clang-format: ${#files[@]} files clean"
fi
