#!/usr/bin/env bash
# Starts the built program. With no instrument attached (no MORVANE_PORT_DIR
# given), a simulated instrument is published as COM 7 in a demo port folder
# and the program is pointed there.
set -euo pipefail
build=${1:-build}
program="$build/src/morvane"
simulator="$build/tools/simulator/morvane-sim"

if [ ! -x "$simulator" ]; then
  exec "$program"
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "There is no display to show the window on." >&2
  echo "Run it under a virtual display instead:" >&2
  echo "  xvfb-run -a -s '-screen 0 1280x900x24' make run" >&2
  exit 1
fi

if [ -n "${MORVANE_PORT_DIR:-}" ] || [ "${MORVANE_NO_SIMULATOR:-}" = 1 ]; then
  exec "$program"
fi

demo=$(mktemp -d "${TMPDIR:-/tmp}/morvane-demo.XXXXXX")
sim_pid=""
cleanup() {
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null || true
  rm -rf "$demo"
}
trap cleanup EXIT

"$simulator" --dir "$demo" --com 7 --blocks 3 --records 22 --repeat &
sim_pid=$!
for _ in $(seq 50); do [ -e "$demo/COM7" ] && break; sleep 0.1; done

echo "Simulated instrument on COM 7. Choose an output file, pick COM 7, press Start."
MORVANE_PORT_DIR="$demo" "$program"
