#!/usr/bin/env bash
# Builds and runs every test twice: in the test build (Debug, AddressSanitizer +
# UndefinedBehaviorSanitizer, build-test/) and in the optimised build that users run
# (RelWithDebInfo, build-release/). `scripts/test.sh sanitize` or `scripts/test.sh release`
# runs one of them.
set -euo pipefail
cd "$(dirname "$0")/.."

# At the end, pass or fail: the wall time and the CPU time of everything this script ran.
report_time() {
  local status=$? record user sys
  record=$(mktemp)
  times >"$record" # the shell's own line, then its children's
  { read -r _ _; read -r user sys; } <"$record"
  rm -f "$record"
  awk -v wall="$SECONDS" -v user="$user" -v sys="$sys" 'function sec(t) {
        gsub(",", ".", t); split(t, p, "m"); return p[1] * 60 + p[2] }
      BEGIN { printf "== Time: wall %.1f min, CPU %.1f min (user %.1f, sys %.1f)\n",
                     wall / 60, (sec(user) + sec(sys)) / 60, sec(user) / 60, sec(sys) / 60 }'
  return "$status"
}
trap report_time EXIT

scripts/setup.sh

which="${1:-all}"
case "$which" in
  all | sanitize | release) ;;
  *)
    echo "usage: scripts/test.sh [all|sanitize|release]" >&2
    exit 2
    ;;
esac

if [ "$which" != release ]; then
  echo "== Debug build with AddressSanitizer and UndefinedBehaviorSanitizer (build-test)"
  cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSIGNDESK_SANITIZE=ON -DSIGNDESK_TESTS=ON
  cmake --build build-test
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-test --output-on-failure -j "$(nproc)"
fi

if [ "$which" != sanitize ]; then
  echo "== Optimised build (build-release)"
  cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSIGNDESK_SANITIZE=OFF -DSIGNDESK_TESTS=ON
  cmake --build build-release
  ctest --test-dir build-release --output-on-failure -j "$(nproc)"
fi
