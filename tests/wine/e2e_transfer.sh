#!/usr/bin/env bash
# The Windows program end to end under Wine: morvane.exe, copied into a
# program folder of its own, on the Wine session's virtual display. A
# person's keys through xdotool choose the output file in the save dialog
# (Ctrl+F, the name typed, Enter), pick the instrument's COM port (Ctrl+P,
# Down, End, Enter), start (Ctrl+G), stop (Ctrl+Z) and leave (Ctrl+X). The
# simulated instrument is a Linux pseudo-terminal that the prefix's
# dosdevices publish as COMn. The CSV and Raw.txt must then be, byte for
# byte, what the independent conversion makes of the bytes sent. The
# program folder and the CSV's folder have names beyond ASCII, as a
# per-user install below C:\Users\José has; the program starts in the
# CSV's folder, as from a shortcut that starts in the user's Documents, and
# the dialog's first folder is that one.
#
#   e2e_transfer.sh WORK-FOLDER [PICTURE]
#
# With PICTURE, the window after the transfer (instrument still connected)
# is also saved there, e.g. for the README:
#
#   cd build-win && ctest -R wine_session_start && \
#     E2E_PROGRAM=src/morvane.exe E2E_SIMULATOR=tests/morvane-sim \
#     E2E_ORACLE=tests/e2e_stream_oracle WINEPREFIX=$PWD/wineprefix \
#     bash ../tests/wine/e2e_transfer.sh /tmp/shot ../docs/screenshot-windows.png; \
#     ctest -R wine_session_stop
#
# Needs the session of cmake/wine_session.sh (WINEPREFIX, its display).
set -euo pipefail
work=${1:?a work folder}
picture=${2:-}
: "${WINEPREFIX:?WINEPREFIX names the Wine session prefix}"
for tool in xdotool xwininfo import timeout cmp wine; do
  command -v "$tool" >/dev/null 2>&1 || {
    echo "SKIPPED: $tool is not installed (scripts/deps.sh installs it)"
    exit 77
  }
done
[ -s "$WINEPREFIX.display" ] || {
  echo "no virtual display of the Wine session ($WINEPREFIX.display)" >&2
  exit 1
}
DISPLAY=":$(cat "$WINEPREFIX.display")"
export DISPLAY
if [ -d "$work" ] && [ -n "$(ls -A "$work")" ] && [ ! -e "$work/.e2e-work" ]; then
  echo "$work is not a work folder of this test; left alone" >&2
  exit 2
fi
rm -rf "$work"
mkdir -p "$work"
touch "$work/.e2e-work"
E2E_WORK=$(cd "$work" && pwd)
export E2E_WORK
# The Linux scenarios' steps: the watchdog, the simulator, the checks.
source "$(dirname "$0")/../e2e/lib.sh"

# Wine may have COM ports of its own (the machine's serial ports): the
# instrument takes the highest number, last in the list.
COM=99
COM_LINK=$WINEPREFIX/dosdevices/com$COM
PROG_DIR=$WORK/José
e2e_begin 90
# The program folder holds the .exe, so Raw.txt and MorvTran.ini go there.
mv "$PROG_DIR/morvane" "$PROG_DIR/morvane.exe"
trap 'rm -f "$COM_LINK"; cleanup; rm -f "$PROG_DIR/morvane.exe"' EXIT
# A step that fails outside the checks says where, and leaves the picture.
trap 'fail "the step at line $LINENO failed"' ERR

# press KEYS...: keys where the keyboard is. With no window manager on the
# display, X hands keys to the window under the pointer and Wine passes
# them on to its own active window and focus, as Windows would.
press() {
  program_alive || fail "the program is gone (before keys $*)"
  x key --clearmodifiers "$@"
}

start_program() {
  RUNS=$((RUNS + 1))
  # Wine reads Linux file names in the locale's character set: UTF-8, as
  # the folders were made.
  (cd "$START_DIR" && LC_ALL=C.UTF-8 exec wine "$PROG_DIR/morvane.exe") >"$WORK/program-$RUNS.log" 2>&1 &
  PROG_PID=$!
  OWN_PIDS+=("$PROG_PID")
  wait_for 30 "the main window" find_main
  say "program started (pid $PROG_PID), window $MAIN"
  # A person clicks into the window before typing: on its painted
  # background, right of the buttons, where a click does nothing else.
  # (No --sync: the pointer may be there already from an earlier run.)
  x mousemove --window "$MAIN" 860 200 click 1
}

choose_file_by_dialog() {
  press ctrl+f
  wait_for 10 "the save dialog" find_dialog
  # The dialog offers the last name chosen; the typed one replaces it.
  x key --clearmodifiers ctrl+a
  x type --delay 20 "$1"
  x key Return
  wait_for 10 "the save dialog closing" no_dialog
  say "output file chosen: $1"
}

# The port list's drop-down: a window of the program with no caption.
find_popup() {
  local w
  for w in $(x search --onlyvisible --class 'morvane\.exe' 2>/dev/null); do
    [ -z "$(x getwindowname "$w" 2>/dev/null)" ] && return 0
  done
  return 1
}

window_steady() {
  local a b
  a=$(timeout 10 import -window "$MAIN" rgb:- | md5sum)
  sleep 0.5
  b=$(timeout 10 import -window "$MAIN" rgb:- | md5sum)
  [ "$a" = "$b" ]
}

START_DIR=$WORK/Prüfung
mkdir "$START_DIR"
csv=$START_DIR/survey.csv
start_sim s "$COM" --seed 11 --blocks 2 --records 6 --units mixed --fast --delay 2100
# Wine opens \\.\COMn as the prefix's dosdevices/comN; the program lists
# the ports in the system's map of serial devices, as Windows keeps it for
# a plugged-in port.
ln -sfn "$PORTS/COM$COM" "$COM_LINK"
timeout 30 wine reg add 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' /v "\\Device\\E2ELine$COM" \
  /t REG_SZ /d "COM$COM" /f >/dev/null 2>&1
[ ! -e "$PROG_DIR/MorvTran.ini" ] || fail "a settings file before the program ran"
start_program
choose_file_by_dialog survey.csv
press ctrl+p
wait_for 15 "the port list dropping down" find_popup
# The list opens with nothing marked, and End moves only a mark that is
# there: Down marks the first port.
x key Down End Return
wait_for 10 "the port list closing" no_popup
wait_for 10 "the pick of COM $COM saved" ini_is "$COM"
press ctrl+g
wait_for 30 "the instrument sending everything" sim_sent_all s
wait_for 10 "the records in the CSV" csv_is "$csv" s
wait_for 10 "everything sent in Raw.txt" raw_is s
wait_for 10 "the window to settle" window_steady
save_picture "$MAIN" window
if [ -n "$picture" ]; then cp "$WORK/window.png" "$picture"; fi
press ctrl+z
exit_program
check_csv "$csv" s
check_raw s
check_ini "$COM"
say "passed"
