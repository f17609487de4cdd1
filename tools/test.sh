#!/usr/bin/env bash
# Builds everything with warnings as errors and runs every test; then builds it all
# again with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test
# there too, the end-to-end test with LeakSanitizer on.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-dependencies.sh test
jobs=$(nproc)

cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCARTE_WARNINGS_AS_ERRORS=ON
cmake --build build-test -j"$jobs"
(cd build-test && ctest --output-on-failure -j"$jobs")

# Benchmarks are left out: they measure speed, which the sanitizers change.
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCARTE_WARNINGS_AS_ERRORS=ON \
    -DCARTE_SANITIZE=ON -DCARTE_BUILD_BENCHMARKS=OFF
cmake --build build-asan -j"$jobs"
sanitizer_options=abort_on_error=1:halt_on_error=1:print_stacktrace=1
export UBSAN_OPTIONS=$sanitizer_options
# Leaks are checked where the program runs as a user runs it, start to File > Exit.
# In the unit tests, Qt's own caches (fonts, the platform plugin) allocated once per
# process and never freed would drown what matters.
(cd build-asan && ASAN_OPTIONS=$sanitizer_options:detect_leaks=0 \
    ctest --output-on-failure -j"$jobs" --label-exclude e2e)
(cd build-asan && ASAN_OPTIONS=$sanitizer_options:detect_leaks=1 \
    LSAN_OPTIONS=suppressions=$PWD/../tools/lsan.supp:print_suppressions=0 \
    ctest --output-on-failure --label-regex e2e)
