#!/usr/bin/env bash
# Ports another program holds. COM 3 is held from the start: it is listed
# (first, before COM 7) but picking it chooses nothing. COM 7 is picked, then
# taken by another program before Start: Ctrl+G must end in the message
# "Failed to start communications!" with nothing opened, the program must
# carry on, and once the port is free again a transfer must work.
source "$(dirname "$0")/lib.sh"
e2e_begin 120
csv=$WORK/survey.csv
raw=$PROG_DIR/Raw.txt

start_sim held 3 --hold
start_sim free 7 --seed 44 --blocks 2 --records 3 --once
start_program
choose_file_by_dialog "$csv"

say "picking the first entry, COM 3 in use"
pick_port 0
press ctrl+g
# The list only drops down again once the keys before have been handled, so
# by then Ctrl+G has done whatever it was going to do.
open_port_list
no_message_box || fail "Ctrl+G tried to start on the port in use"
[ ! -e "$PROG_DIR/MorvTran.ini" ] || fail "picking COM 3 in use saved a port: $(od -c "$PROG_DIR/MorvTran.ini")"
[ ! -e "$csv" ] || fail "Ctrl+G opened the CSV with no usable port chosen"
[ ! -e "$raw" ] || fail "Ctrl+G opened Raw.txt with no usable port chosen"

say "picking the next entry, COM 7"
x key Down Return
wait_for 10 "the port list closing" no_popup
wait_for 10 "the pick of COM 7 saved" ini_is 7

say "another program takes COM 7, then Ctrl+G"
hold_device 7
press ctrl+g
wait_for 15 "a message box" find_message_box
save_picture "$BOX" failed-to-start
program_alive || fail "the program ended at the failed start"
[ ! -e "$csv" ] || fail "the CSV was opened although the port could not be"
[ ! -e "$raw" ] || fail "Raw.txt was opened although the port could not be"
! sim_opened free || fail "the port was opened (the instrument saw the opening bytes)"
x windowfocus --sync "$BOX" || fail "cannot give the message box the focus"
x key Return
wait_for 10 "the message box closing on Return" no_message_box
program_alive || fail "the program ended when the message box closed"

say "Stop after the failed start, the port let go, Ctrl+G again"
# With no file open, the sign that Stop is over is its "Ready To Start" in
# place of the "Ready to start" of the pick. A key pressed sooner would be
# handled inside Stop.
before=$(status_picture)
press ctrl+z
wait_for 10 "the status bar after Stop" status_differs_from "$before"
release_device
press ctrl+g
wait_for 20 "the instrument sending everything" sim_sent_all free
wait_for 10 "the records in the CSV" csv_is "$csv" free
wait_for 10 "everything sent in Raw.txt" raw_is free
press ctrl+z
wait_stopped "$csv"
no_message_box || fail "a message box after the transfer"
check_csv "$csv" free
check_raw free
check_ini 7
exit_program
say "passed"
