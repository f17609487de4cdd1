#!/usr/bin/env bash
# Builds the program and runs it on the sample phone book in resources/.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-dependencies.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)" --target carte-de-telefon
cd resources
exec ../build/carte-de-telefon
