#!/bin/sh
# The Wine session of a test run: `start` makes the prefix on first use
# (WINEPREFIX, in the build folder) and starts the Wine server the tests
# share; `stop` ends it. $2 is the wineserver program.
set -eu
: "${WINEPREFIX:?WINEPREFIX names the prefix folder}"
server=$2
export WINEDEBUG=-all
unset DISPLAY WAYLAND_DISPLAY
log="$WINEPREFIX.log"

case "$1" in
start)
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Making the Wine prefix $WINEPREFIX (once per build folder)"
    # A half-made prefix from an interrupted run would never finish.
    rm -rf "$WINEPREFIX"
    wineboot -i >"$log" 2>&1 || { cat "$log"; exit 1; }
  fi
  # wineboot's own server lingers a few seconds; ours must be the only one.
  "$server" -w
  # Started here in the background, the server is no session leader, so a
  # pseudo-terminal it opens for a test cannot become its controlling
  # terminal (whose hang-up it would then receive). Its output goes to the
  # log: CTest would wait for a test's output pipe as long as it is open.
  # It ends by itself 60 s after the last Wine program.
  nohup "$server" -f -p60 </dev/null >>"$log" 2>&1 &
  # Ready once the prefix's server socket answers.
  tries=0
  until wine cmd /c exit 0 </dev/null >/dev/null 2>&1; do
    tries=$((tries + 1))
    [ "$tries" -lt 30 ] || { echo "Wine does not start:"; cat "$log"; exit 1; }
    sleep 1
  done
  echo "Wine ready: $(wine --version)"
  ;;
stop)
  "$server" -k 2>/dev/null || true
  ;;
*)
  echo "usage: $0 start|stop wineserver" >&2
  exit 2
  ;;
esac
