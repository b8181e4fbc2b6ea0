#!/usr/bin/env bash
# Ctrl+X while records are still arriving: the transfer is stopped, then the
# program ends by itself. Whatever it had received by then (as Raw.txt shows)
# must be in the CSV as whole records, and nothing else.
source "$(dirname "$0")/lib.sh"
e2e_begin 90
csv=$WORK/survey.csv

# About 7 kB at the line's pace: some 3.5 s of sending.
start_sim long 7 --seed 66 --blocks 4 --records 40 --units mixed
start_program
choose_file_by_dialog "$csv"
pick_port 0
press ctrl+g
wait_for 25 "ten records in the CSV" line_count_at_least "$csv" 10
sim_sent_all long && fail "the instrument was done before Ctrl+X; nothing is tested mid-transfer"
press ctrl+x
wait_for 15 "the program ending after Ctrl+X" not_running "$PROG_PID"
rc=0
wait "$PROG_PID" || rc=$?
forget_pid "$PROG_PID"
[ "$rc" -eq 0 ] || fail "the program ended with exit status $rc after Ctrl+X during a transfer"
say "program ended by Ctrl+X during the transfer, exit status 0"

check_raw long --prefix
received=$(sed -E 's/.* ([0-9]+) of [0-9]+ bytes sent$/\1/' <<<"$RAW_RESULT")
total=$(sed -nE "s/^morvane-sim: ([0-9]+) bytes stored.*/\1/p" "$WORK/sim-long.log")
[ "$received" -lt "$total" ] || fail "all $total bytes had come before Ctrl+X"
head -c "$received" "$WORK/long.sent" >"$WORK/received.sent"
check_csv "$csv" received
say "passed"
