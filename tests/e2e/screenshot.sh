#!/usr/bin/env bash
# Not a test: makes the README's picture of the window after a transfer of a
# few records from the simulated instrument.
#
#   E2E_BUILD=build tests/e2e/launch.sh screenshot /tmp/shot "$PWD/docs/screenshot.png"
source "$(dirname "$0")/lib.sh"
e2e_begin 90
out=${1:?where to put the picture}
csv=$WORK/river.csv

start_sim s 7 --seed 5 --blocks 2 --records 9 --units mixed --fast
start_program
choose_file_by_dialog "$csv"
pick_port 0
press ctrl+g
wait_for 20 "the instrument sending everything" sim_sent_all s
wait_for 10 "the records in the CSV" csv_is "$csv" s
# The view's last lines and the status text settle on screen: two pictures
# half a second apart alike.
window_steady() {
  local a b
  a=$(timeout 10 import -window "$MAIN" rgb:- | md5sum)
  sleep 0.5
  b=$(timeout 10 import -window "$MAIN" rgb:- | md5sum)
  [ "$a" = "$b" ]
}
wait_for 20 "the window to settle" window_steady
save_picture "$MAIN" screenshot
cp "$WORK/screenshot.png" "$out"
press ctrl+z
wait_stopped "$csv"
exit_program
say "picture in $out"
