#!/usr/bin/env bash
# Builds every deliverable into build/bin and runs the main program. Without arguments it
# opens the sample design and, as long as there is no display, writes the main window as a
# picture; arguments go to the program as they are.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSIGNDESK_TESTS=OFF
cmake --build build
if [ "$#" -gt 0 ]; then
  exec build/bin/signdesk "$@"
fi
args=(--snapshot build/signdesk-window.png)
if [ -f build/bin/Sample.wtp ]; then
  args+=(build/bin/Sample.wtp)
fi
status=0
build/bin/signdesk "${args[@]}" || status=$?
if [ "$status" -eq 0 ]; then
  echo "The main window's picture: build/signdesk-window.png"
fi
exit "$status"
