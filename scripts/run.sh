#!/usr/bin/env bash
# Builds every deliverable into build/bin and runs the main program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSIGNDESK_TESTS=OFF
cmake --build build
if [ -x build/bin/signdesk ]; then
  exec build/bin/signdesk "$@"
fi
echo "Built the libraries into build/bin. The main program signdesk does not exist yet."
