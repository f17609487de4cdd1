#!/usr/bin/env bash
# Builds everything with warnings as errors and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-dependencies.sh
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCARTE_WARNINGS_AS_ERRORS=ON
cmake --build build-test -j"$(nproc)"
cd build-test
ctest --output-on-failure -j"$(nproc)"
