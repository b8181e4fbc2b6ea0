#!/bin/sh
# The Wine session of a test run: `start` makes the prefix on first use
# (WINEPREFIX, in the build folder), starts a virtual display and the Wine
# server the tests share; `stop` ends both. $2 is the wineserver program.
set -eu
: "${WINEPREFIX:?WINEPREFIX names the prefix folder}"
server=$2
export WINEDEBUG=-all
unset DISPLAY WAYLAND_DISPLAY
log="$WINEPREFIX.log"
display_file="$WINEPREFIX.display"
xvfb_pid_file="$WINEPREFIX.xvfb"

stop_display() {
  if [ -s "$xvfb_pid_file" ]; then kill "$(cat "$xvfb_pid_file")" 2>/dev/null || true; fi
  rm -f "$xvfb_pid_file" "$display_file"
}

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
  stop_display
  # Wine's desktop, started once per server, keeps the display it first
  # saw: the window tests need it to have one, so the session gets a
  # virtual display of its own (Xvfb picks a free number and writes it).
  # `timeout` bounds its life should `stop` never come.
  timeout 3600 Xvfb -displayfd 3 -screen 0 1280x900x24 -nolisten tcp \
    3>"$display_file" </dev/null >>"$log" 2>&1 &
  echo $! >"$xvfb_pid_file"
  tries=0
  until [ -s "$display_file" ]; do
    tries=$((tries + 1))
    [ "$tries" -lt 100 ] || { echo "Xvfb does not start:"; cat "$log"; exit 1; }
    sleep 0.1
  done
  DISPLAY=":$(cat "$display_file")"
  export DISPLAY
  # Started here in the background, the server is no session leader, so a
  # pseudo-terminal it opens for a test cannot become its controlling
  # terminal (whose hang-up it would then receive). Its output goes to the
  # log: CTest would wait for a test's output pipe as long as it is open.
  # It ends by itself 60 s after the last Wine program.
  nohup "$server" -f -p60 </dev/null >>"$log" 2>&1 &
  # Ready once the prefix's server answers.
  tries=0
  until wine cmd /c exit 0 </dev/null >/dev/null 2>&1; do
    tries=$((tries + 1))
    [ "$tries" -lt 30 ] || { echo "Wine does not start:"; cat "$log"; exit 1; }
    sleep 1
  done
  # The desktop is started by the first program that needs one, with that
  # program's display: a test without one would leave every later window
  # on a desktop that draws nowhere and gets no keys. Start it here, on the
  # session's display (rundll32 makes a window before it calls anything).
  wine rundll32.exe user32.dll,GetDesktopWindow </dev/null >>"$log" 2>&1 ||
    { echo "Wine's desktop does not start:"; cat "$log"; exit 1; }
  echo "Wine ready: $(wine --version), display $DISPLAY"
  ;;
stop)
  "$server" -k 2>/dev/null || true
  stop_display
  ;;
*)
  echo "usage: $0 start|stop wineserver" >&2
  exit 2
  ;;
esac
