# Shared steps of the end-to-end scenarios, sourced by each of them. A
# scenario runs on its own virtual X display (launch.sh starts it) with:
#   E2E_PROGRAM    the built program      E2E_SIMULATOR  the simulated instrument
#   E2E_ORACLE     e2e_stream_oracle      E2E_WORK       an empty folder of its own
# It copies the program into a program folder of its own, publishes
# simulated instruments in a port folder, and drives the window as a user
# would: keys and the mouse through xdotool, nothing else. What the program
# did is read back from the files it writes and from the window list.
set -euo pipefail
export LC_ALL=C

: "${E2E_PROGRAM:?}" "${E2E_SIMULATOR:?}" "${E2E_ORACLE:?}" "${E2E_WORK:?}"

WORK=$E2E_WORK
PROG_DIR=$WORK/prog
PORTS=$WORK/ports
MAIN_TITLE='Morvane Data Transfer Utility'
DIALOG_TITLE='Select Data File'
PROG_PID=""
MAIN=""
RUNS=0
declare -a OWN_PIDS=()
declare -A SIM_PID=()
T0=$EPOCHREALTIME

say() {
  local now=$EPOCHREALTIME
  printf '[%6.2fs] %s\n' "$(awk -v a="$T0" -v b="$now" 'BEGIN { print b - a }')" "$*"
}

# Leaves a picture of the whole screen and the logs behind, then ends the
# scenario as failed.
fail() {
  trap - ERR
  echo "FAIL: $*" >&2
  timeout 10 import -window root "$WORK/failure.png" 2>/dev/null &&
    echo "screen at the failure: $WORK/failure.png" >&2
  local log
  for log in "$WORK"/*.log; do
    [ -e "$log" ] || continue
    echo "--- $log" >&2
    tail -n 20 "$log" >&2
  done
  exit 1
}

# Once waited for, a process number may go to another process: forget it.
forget_pid() {
  local kept=() pid
  for pid in "${OWN_PIDS[@]}"; do [ "$pid" = "$1" ] || kept+=("$pid"); done
  OWN_PIDS=("${kept[@]}")
}

cleanup() {
  local pid
  [ -n "${WATCHDOG:-}" ] && kill "$WATCHDOG" 2>/dev/null
  touch "$WORK/release-holders"
  for pid in "${OWN_PIDS[@]}"; do
    kill -TERM "$pid" 2>/dev/null || true
  done
  for pid in "${OWN_PIDS[@]}"; do
    for _ in $(seq 20); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$pid" 2>/dev/null || true
  done
  wait 2>/dev/null || true
  rm -f "$PROG_DIR/morvane"
}

# e2e_begin LIMIT-SECONDS: the folders, the isolated environment and a
# watchdog that ends the scenario when it runs too long.
e2e_begin() {
  local limit=$1
  [ -n "${E2E_DISPLAY_MARKER:-}" ] && touch "$E2E_DISPLAY_MARKER"
  mkdir -p "$PROG_DIR" "$PORTS" "$WORK/home" "$WORK/config" "$WORK/data" "$WORK/runtime"
  chmod 700 "$WORK/runtime"
  # Nothing of the user's (or of another test's) dialog history or folders.
  export HOME=$WORK/home XDG_CONFIG_HOME=$WORK/config XDG_DATA_HOME=$WORK/data
  export XDG_RUNTIME_DIR=$WORK/runtime
  unset MORVANE_PORT_DIR
  cp "$E2E_PROGRAM" "$PROG_DIR/morvane"
  trap cleanup EXIT
  trap 'fail "stopped by a signal (watchdog: limit ${limit}s)"' TERM INT HUP
  local self=$$
  (
    for _ in $(seq $((limit * 4))); do
      sleep 0.25
      kill -0 "$self" 2>/dev/null || exit 0
    done
    echo "watchdog: the scenario ran for more than ${limit}s" >&2
    kill -TERM "$self"
  ) &
  WATCHDOG=$!
  say "display $DISPLAY, work folder $WORK"
}

# wait_for SECONDS WHAT COMMAND...: polls COMMAND until it succeeds.
wait_for() {
  local seconds=$1 what=$2
  shift 2
  local deadline=$((${EPOCHREALTIME/./} + seconds * 1000000))
  until "$@"; do
    if [ "${EPOCHREALTIME/./}" -gt "$deadline" ]; then
      fail "waited ${seconds}s in vain: $what"
    fi
    sleep 0.1
  done
}

x() {
  timeout 10 xdotool "$@"
}

# ---- the simulated instrument --------------------------------------------

# start_sim TAG COM OPTIONS...: publishes an instrument as COM n; what it
# sends goes to $WORK/TAG.sent.
start_sim() {
  local tag=$1 com=$2
  shift 2
  "$E2E_SIMULATOR" --dir "$PORTS" --com "$com" --record "$WORK/$tag.sent" "$@" \
    </dev/null >"$WORK/sim-$tag.log" 2>&1 &
  SIM_PID[$tag]=$!
  OWN_PIDS+=("$!")
  wait_for 10 "instrument $tag on COM $com" sim_says "$tag" \
    '^morvane-sim: (waiting for the program|holding the port)'
}

sim_says() {
  grep -Eq "$2" "$WORK/sim-$1.log" 2>/dev/null
}

sim_sent_all() {
  sim_says "$1" '^morvane-sim: sent [0-9]+ bytes$'
}

sim_hung_up() {
  sim_says "$1" '^morvane-sim: hung up after [0-9]+ bytes$'
}

sim_opened() {
  sim_says "$1" '^morvane-sim: the program opened the port'
}

# hold_device COM: another program takes the port, as a terminal program
# would: an exclusive lock on the device, kept until release_device.
hold_device() {
  rm -f "$WORK/release-holders" "$WORK/held"
  flock -x -n "$PORTS/COM$1" bash -c '
    touch "$1/held"
    for _ in $(seq 600); do [ -e "$1/release-holders" ] && exit 0; sleep 0.1; done' \
    _ "$WORK" &
  HOLDER=$!
  OWN_PIDS+=("$HOLDER")
  wait_for 10 "the lock on COM $1" test -e "$WORK/held"
}

release_device() {
  touch "$WORK/release-holders"
  wait_for 10 "the other program letting COM go" not_running "$HOLDER"
}

# A child that has ended stays a zombie until it is waited for; that counts
# as ended (and keeps its number from going to another process meanwhile).
not_running() {
  local stat
  { read -r stat <"/proc/$1/stat"; } 2>/dev/null || return 0
  stat=${stat##*) }
  [ "${stat%% *}" = Z ]
}

# ---- the program and its window -------------------------------------------

start_program() {
  RUNS=$((RUNS + 1))
  (cd "$WORK" && MORVANE_PORT_DIR=$PORTS exec "$PROG_DIR/morvane") \
    >"$WORK/program-$RUNS.log" 2>&1 &
  PROG_PID=$!
  OWN_PIDS+=("$PROG_PID")
  wait_for 20 "the main window" find_main
  say "program started (pid $PROG_PID), window $MAIN"
}

find_main() {
  program_alive || fail "the program ended before its window showed"
  MAIN=$(x search --onlyvisible --name "^$MAIN_TITLE\$" 2>/dev/null | head -n 1) || true
  [ -n "$MAIN" ]
}

program_alive() {
  ! not_running "$PROG_PID"
}

# press KEYS...: keys to the main window.
press() {
  program_alive || fail "the program is gone (before keys $*)"
  x windowfocus --sync "$MAIN" || fail "cannot give the main window the focus"
  x key --clearmodifiers "$@"
}

visible_windows() {
  x search --onlyvisible --class morvane 2>/dev/null || true
}

# A message box: a modal window of the program other than the save dialog.
find_message_box() {
  local w
  for w in $(visible_windows); do
    [ "$(x getwindowname "$w" 2>/dev/null)" = "$DIALOG_TITLE" ] && continue
    if xprop -id "$w" _NET_WM_STATE 2>/dev/null | grep -q _NET_WM_STATE_MODAL; then
      BOX=$w
      return 0
    fi
  done
  return 1
}

no_message_box() {
  ! find_message_box
}

find_dialog() {
  DIALOG=$(x search --onlyvisible --name "^$DIALOG_TITLE\$" 2>/dev/null | head -n 1) || true
  [ -n "$DIALOG" ]
}

no_dialog() {
  ! find_dialog
}

# The port list's drop-down: a window of the program named after it,
# neither modal nor one of the named windows.
find_popup() {
  local w
  for w in $(visible_windows); do
    [ "$(x getwindowname "$w" 2>/dev/null)" = morvane ] || continue
    xprop -id "$w" _NET_WM_STATE 2>/dev/null | grep -q _NET_WM_STATE_MODAL && continue
    POPUP=$w
    return 0
  done
  return 1
}

no_popup() {
  ! find_popup
}

# choose_file_by_dialog PATH: Ctrl+F, the path typed into the save dialog's
# name field, Return.
choose_file_by_dialog() {
  press ctrl+f
  wait_for 10 "the save dialog" find_dialog
  x windowfocus --sync "$DIALOG" || fail "cannot give the save dialog the focus"
  # The dialog offers the last name chosen; the typed one replaces it.
  x key --clearmodifiers ctrl+a
  x type --delay 20 "$1"
  x key Return
  wait_for 10 "the save dialog closing" no_dialog
  say "output file chosen: $1"
}

# open_port_list: Ctrl+P, which drops the list down.
open_port_list() {
  press ctrl+p
  wait_for 10 "the port list dropping down" find_popup
}

# pick_port INDEX: Ctrl+P, then the INDEX-th entry (0 is the first) picked
# with the arrow keys and Return.
pick_port() {
  open_port_list
  local keys=(Home)
  for ((i = 0; i < $1; i++)); do keys+=(Down); done
  x key "${keys[@]}" Return
  wait_for 10 "the port list closing" no_popup
}

# choose_overwrite: from the port list (Ctrl+P, Esc), one control back is
# the Overwrite radio button; Space checks it.
choose_overwrite() {
  open_port_list
  x key Escape
  wait_for 10 "the port list closing" no_popup
  press shift+Tab space
}

# exit_program: Ctrl+X; the program must end, and end well, by itself.
exit_program() {
  press ctrl+x
  wait_for 15 "the program ending after Ctrl+X" not_running "$PROG_PID"
  local rc=0
  wait "$PROG_PID" || rc=$?
  forget_pid "$PROG_PID"
  [ "$rc" -eq 0 ] || fail "the program ended with exit status $rc after Ctrl+X"
  say "program ended by Ctrl+X, exit status 0"
}

# save_picture WINDOW NAME: a picture of one window, for the record.
save_picture() {
  x windowraise "$1" || true
  timeout 10 import -window "$1" "$WORK/$2.png"
}

# status_picture: a fingerprint of the status bar's first part (its left half
# along the bottom of the window), for telling when its text has changed.
status_picture() {
  local info w h
  info=$(timeout 10 xwininfo -id "$MAIN") || fail "the main window is gone"
  w=$(awk '/Width:/ { print $2 }' <<<"$info")
  h=$(awk '/Height:/ { print $2 }' <<<"$info")
  x windowraise "$MAIN" || true
  timeout 10 import -window "$MAIN" -crop "$((w / 2 - 8))x18+4+$((h - 20))" +repage rgb:- |
    md5sum
}

status_differs_from() {
  [ "$(status_picture)" != "$1" ]
}

# wait_stopped CSV: Stop has run to its end, Raw.txt (the last file it
# closes) let go. Keys pressed before that would be handled inside it.
wait_stopped() {
  wait_for 10 "Stop letting go of the CSV" unlocked "$1"
  wait_for 10 "Stop letting go of Raw.txt" unlocked "$PROG_DIR/Raw.txt"
}

# ---- what the program wrote -------------------------------------------------

# locked FILE: another program is refused the file (the program holds it
# while a transfer runs). FILE must exist: the lock attempt would make it.
locked() {
  [ -e "$1" ] || return 1
  local rc=0
  flock -x -n -E 10 "$1" true || rc=$?
  [ "$rc" -eq 10 ]
}

unlocked() {
  [ -e "$1" ] && ! locked "$1"
}

# expected_csv TAG...: the CSV the streams of these instruments, sent one
# after another to one run of the program, must give.
expected_csv() {
  local tag
  for tag in "$@"; do cat "$WORK/$tag.sent"; done | "$E2E_ORACLE" csv
}

# csv_is FILE TAG...: FILE holds exactly what these streams must give.
csv_is() {
  [ -e "$1" ] || return 1
  local file=$1
  shift
  expected_csv "$@" >"$WORK/expected.csv"
  cmp -s "$WORK/expected.csv" "$file"
}

# check_csv FILE TAG...: as csv_is, or fail showing where they part.
check_csv() {
  if ! csv_is "$@"; then
    cmp "$WORK/expected.csv" "$1" || true
    echo "--- expected" >&2
    od -c "$WORK/expected.csv" | tail -n 8 >&2
    echo "--- $1" >&2
    od -c "$1" | tail -n 8 >&2
    fail "$1 is not the conversion of the bytes sent by: ${*:2}"
  fi
  say "$(basename "$1"): $(grep -c '' "$1") lines, $(stat -c %s "$1") bytes, as expected from ${*:2}"
}

# check_raw TAG [--prefix]: Raw.txt is what this instrument sent (or the
# first part of it), chunk by chunk, each chunk followed by CR LF.
check_raw() {
  local result
  result=$("$E2E_ORACLE" raw "$WORK/$1.sent" "$PROG_DIR/Raw.txt" ${2:-}) ||
    fail "Raw.txt against $1.sent: $result"
  say "Raw.txt: $result"
  RAW_RESULT=$result
}

# raw_is TAG: as check_raw, as a condition to wait for.
raw_is() {
  [ -e "$PROG_DIR/Raw.txt" ] && "$E2E_ORACLE" raw "$WORK/$1.sent" "$PROG_DIR/Raw.txt" >/dev/null
}

# check_ini N: the settings file holds port N, one line ended by CR LF.
check_ini() {
  printf '%s\r\n' "$1" | cmp -s - "$PROG_DIR/MorvTran.ini" ||
    fail "MorvTran.ini is not \"$1\" CR LF: $(od -c "$PROG_DIR/MorvTran.ini" 2>&1 | head -n 2)"
}

ini_is() {
  printf '%s\r\n' "$1" | cmp -s - "$PROG_DIR/MorvTran.ini" 2>/dev/null
}

line_count_at_least() {
  [ -e "$1" ] && [ "$(grep -c '' "$1")" -ge "$2" ]
}

# The stream must really hold what a scenario relies on.
sent_size() {
  stat -c %s "$WORK/$1.sent"
}
