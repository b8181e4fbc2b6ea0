#!/bin/sh
# Runs a Windows program that makes windows under Wine ($1) on the test
# session's virtual display (see wine_session.sh).
set -eu
wine=$1
shift
if [ -s "$WINEPREFIX.display" ]; then
  DISPLAY=":$(cat "$WINEPREFIX.display")"
  export DISPLAY
fi
exec "$wine" "$@"
