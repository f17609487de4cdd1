#!/usr/bin/env bash
# Builds the program and runs it on the sample phone book in resources/. Installs only
# what building and running need; the tests and benchmarks are not configured.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-dependencies.sh run
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF -DCARTE_BUILD_BENCHMARKS=OFF
cmake --build build -j"$(nproc)" --target carte-de-telefon
cd resources
exec ../build/carte-de-telefon
