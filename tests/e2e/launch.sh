#!/usr/bin/env bash
# Runs one end-to-end scenario (tests/e2e/SCENARIO.sh) on a virtual X display
# of its own.
#
#   launch.sh SCENARIO WORK-FOLDER [ARGUMENTS...]
#
# E2E_PROGRAM, E2E_SIMULATOR and E2E_ORACLE name the built program, the
# simulated instrument and the e2e_stream_oracle helper (tests.cmake sets
# them); E2E_BUILD=build sets all three from a build folder instead, e.g.
#
#   E2E_BUILD=build tests/e2e/launch.sh screenshot /tmp/shot docs/screenshot.png
#
# Exit status 77 (a skipped test) when the X tools the scenarios need are not
# installed; scripts/deps.sh installs them.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
if [ $# -lt 2 ]; then
  sed -n '2,14p' "$0" >&2
  exit 2
fi
scenario=$1
work=$2
shift 2
[ -f "$here/$scenario.sh" ] || {
  echo "no scenario $here/$scenario.sh" >&2
  exit 2
}

if [ -n "${E2E_BUILD:-}" ]; then
  build=$(cd "$E2E_BUILD" && pwd)
  : "${E2E_PROGRAM:=$build/src/morvane}"
  : "${E2E_SIMULATOR:=$build/tools/simulator/morvane-sim}"
  : "${E2E_ORACLE:=$build/tests/e2e_stream_oracle}"
fi
for what in E2E_PROGRAM E2E_SIMULATOR E2E_ORACLE; do
  if [ ! -x "${!what:-}" ]; then
    echo "$what is not set to a built program (${!what:-unset})" >&2
    exit 2
  fi
done

missing=()
for tool in xvfb-run Xvfb xauth xdotool xprop import flock timeout cmp; do
  command -v "$tool" >/dev/null 2>&1 || missing+=("$tool")
done
if [ ${#missing[@]} -ne 0 ]; then
  echo "SKIPPED: missing ${missing[*]} (scripts/deps.sh installs them)"
  exit 77
fi

# Emptied only when an earlier run made it (or it is empty already).
if [ -d "$work" ] && [ -n "$(ls -A "$work")" ] && [ ! -e "$work/.e2e-work" ]; then
  echo "$work is not a work folder of these tests; left alone" >&2
  exit 2
fi
rm -rf "$work"
mkdir -p "$work"
touch "$work/.e2e-work"
work=$(cd "$work" && pwd)
export E2E_PROGRAM E2E_SIMULATOR E2E_ORACLE E2E_WORK=$work
# The scenario leaves this mark as soon as it runs: without it, the display
# never came up (xvfb-run -a can lose the race for a display number to
# another server starting at the same moment) and it is worth another try.
export E2E_DISPLAY_MARKER=$work/.display-up
for attempt in 1 2 3; do
  rm -f "$E2E_DISPLAY_MARKER"
  rc=0
  xvfb-run -a -e "$work/xvfb-$attempt.err" -s '-screen 0 1280x900x24' \
    bash "$here/$scenario.sh" "$@" || rc=$?
  if [ -e "$E2E_DISPLAY_MARKER" ]; then
    exit "$rc"
  fi
  echo "the virtual display did not start (attempt $attempt):" >&2
  cat "$work/xvfb-$attempt.err" >&2 || true
  sleep "$attempt"
done
exit 1
