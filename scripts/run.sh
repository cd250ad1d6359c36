#!/usr/bin/env bash
# Builds every deliverable into build/bin and runs the main program. With a display
# (DISPLAY set) the program opens its window there; without arguments it opens the sample
# design. Without a display, with "--snapshot FILE" among the arguments, or when the
# display cannot be opened, the program runs headless and writes its main window as a
# picture (build/signdesk-window.png unless --snapshot names the file).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSIGNDESK_TESTS=OFF
cmake --build build

args=("$@")
if [ "${#args[@]}" -eq 0 ] && [ -f build/bin/Sample.wtp ]; then
  args=(build/bin/Sample.wtp)
fi
snapshot_given=0
for arg in "${args[@]}"; do
  if [ "$arg" = "--snapshot" ]; then snapshot_given=1; fi
done

# The headless run: the main window as a picture.
snapshot_job() {
  if [ "$snapshot_given" -eq 1 ]; then
    exec build/bin/signdesk "${args[@]}"
  fi
  local status=0
  build/bin/signdesk --snapshot build/signdesk-window.png "${args[@]}" || status=$?
  if [ "$status" -eq 0 ]; then
    echo "The main window's picture: build/signdesk-window.png"
  fi
  exit "$status"
}

if [ "$snapshot_given" -eq 1 ]; then
  snapshot_job
fi
if [ -z "${DISPLAY:-}" ]; then
  echo "No display (DISPLAY is not set): the main window is written as a picture instead." >&2
  snapshot_job
fi
status=0
build/bin/signdesk "${args[@]}" || status=$?
if [ "$status" -eq 3 ]; then
  echo "The display $DISPLAY could not be opened (the reason is above): the main window is" \
    "written as a picture instead." >&2
  snapshot_job
fi
exit "$status"
