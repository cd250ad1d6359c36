#!/usr/bin/env bash
# Builds the test build (AddressSanitizer + UndefinedBehaviorSanitizer) and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSIGNDESK_SANITIZE=ON -DSIGNDESK_TESTS=ON
cmake --build build-test
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build-test --output-on-failure -j "$(nproc)"
