#!/usr/bin/env bash
# A first transfer into a new CSV file; then, in a second start of the
# program (which must find COM 7 again through MorvTran.ini), a transfer in
# Append mode that adds to the file and one in Overwrite mode that replaces
# it. Each time the CSV must be, byte for byte, the conversion of what the
# instrument sent, and Raw.txt the last transfer's bytes chunk by chunk.
source "$(dirname "$0")/lib.sh"
e2e_begin 120
csv=$WORK/survey.csv
raw=$PROG_DIR/Raw.txt

# transfer TAG EXPECTED-TAGS...: Ctrl+G, instrument TAG sends everything, the
# CSV comes to hold what the streams EXPECTED-TAGS give, Ctrl+Z; the files
# are held while it runs and let go by Stop.
transfer() {
  press ctrl+g
  wait_for 20 "instrument $1 sending everything" sim_sent_all "$1"
  wait_for 10 "the records of $* in the CSV" csv_is "$csv" "${@:2}"
  wait_for 10 "everything $1 sent in Raw.txt" raw_is "$1"
  locked "$csv" || fail "another program may open the CSV during the transfer"
  locked "$raw" || fail "another program may open Raw.txt during the transfer"
  press ctrl+z
  wait_stopped "$csv"
}

say "first start: no settings file, no ports chosen before"
start_sim a 7 --seed 11 --blocks 2 --records 5 --units mixed --once
start_program
[ ! -e "$PROG_DIR/MorvTran.ini" ] || fail "a settings file before any port was picked"
choose_file_by_dialog "$csv"
pick_port 0
wait_for 10 "the pick of COM 7 saved" ini_is 7
transfer a a
check_csv "$csv" a
check_raw a
check_ini 7
exit_program

say "second start: COM 7 comes back from MorvTran.ini; Append keeps what is there"
start_sim b 7 --seed 22 --blocks 3 --records 4 --units meters --fast --once
start_program
choose_file_by_dialog "$csv"
# No pick: Ctrl+G only starts when the saved port was chosen at start-up.
transfer b a b
check_csv "$csv" a b
check_raw b
check_ini 7

say "Overwrite: the next transfer replaces the file"
choose_overwrite
start_sim c 7 --seed 33 --blocks 1 --records 6 --units feet --rate 960 --once
# The port list follows the hardware: COM 7 left it when b's instrument went
# away, and comes back with c's within about two seconds.
sleep 3
transfer c c
check_csv "$csv" c
check_raw c
check_ini 7
exit_program
say "passed"
