#!/usr/bin/env bash
# The instrument hangs up in the middle of a record. The window must stay,
# the CSV must hold every record that came complete before the hang-up (and
# nothing of the broken one), Stop must still close the files and Ctrl+X end
# the program cleanly.
source "$(dirname "$0")/lib.sh"
e2e_begin 90
csv=$WORK/survey.csv
cut=600

start_sim h 7 --seed 55 --blocks 2 --records 8 --hangup-after "$cut"
start_program
choose_file_by_dialog "$csv"
pick_port 0
press ctrl+g
wait_for 25 "the instrument hanging up" sim_hung_up h
[ "$(sent_size h)" -eq "$cut" ] || fail "the instrument sent $(sent_size h) bytes, not $cut"
# Meaningful only when the line goes in the middle of a record.
[ "$(tail -c 2 "$WORK/h.sent" | od -An -tx1 | tr -d ' ')" != 0d0a ] ||
  fail "the hang-up falls between records; choose another cut"
wait_for 10 "the records before the hang-up in the CSV" csv_is "$csv" h
wait_for 10 "everything sent before the hang-up in Raw.txt" raw_is h
program_alive || fail "the program ended when the line went"
find_main || fail "the window went with the line"

say "Stop after the hang-up"
press ctrl+z
wait_stopped "$csv"
no_message_box || fail "a message box after the hang-up"
check_csv "$csv" h
check_raw h
exit_program
say "passed"
