#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite twice: once as
# built for use, once under AddressSanitizer and UndefinedBehaviorSanitizer;
# the fuzz targets run in between for a bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
jobs=$(nproc)

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$jobs"
(cd build && ctest --output-on-failure -j2)

if [ -x fuzz/run.sh ]; then
  fuzz/run.sh build-fuzz
fi

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DFONEXA_SANITIZE=ON -DFONEXA_BUILD_BENCH=OFF
cmake --build build-asan -j"$jobs"
(cd build-asan &&
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    ctest --output-on-failure -j2)
