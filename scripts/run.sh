#!/usr/bin/env bash
# Starts the built program.
set -euo pipefail
build=${1:-build}
exec "$build/src/morvane"
