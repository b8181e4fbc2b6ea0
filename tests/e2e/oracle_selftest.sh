#!/usr/bin/env bash
# The end-to-end tests trust e2e_stream_oracle to say what the program must
# write; these cases pin that helper down on streams small enough to check by
# hand.
#   oracle_selftest.sh PATH-TO-e2e_stream_oracle
set -uo pipefail
oracle=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/e2e-oracle.XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0
header='XSec,Date,Time,Station,Depth,Velocity,Angle,Units'

# csv_case NAME STREAM EXPECTED (both as printf formats)
csv_case() {
  printf "$2" >"$work/stream"
  printf "$3" >"$work/expected"
  if ! "$oracle" csv <"$work/stream" >"$work/got"; then
    echo "FAIL $1: the oracle refused the stream"
    failures=$((failures + 1))
  elif ! cmp -s "$work/expected" "$work/got"; then
    echo "FAIL $1: expected / got:"
    od -c "$work/expected"
    od -c "$work/got"
    failures=$((failures + 1))
  else
    echo "ok   $1"
  fi
}

# raw_case NAME SENT RAW WANTED-EXIT [--prefix] [WANTED-OUTPUT]
raw_case() {
  printf "$2" >"$work/sent"
  printf "$3" >"$work/raw"
  local got rc
  got=$("$oracle" raw "$work/sent" "$work/raw" ${5:-})
  rc=$?
  if [ "$rc" -ne "$4" ]; then
    echo "FAIL $1: exit $rc, wanted $4 ($got)"
    failures=$((failures + 1))
  elif [ -n "${6:-}" ] && [ "$got" != "$6" ]; then
    echo "FAIL $1: said \"$got\", wanted \"$6\""
    failures=$((failures + 1))
  else
    echo "ok   $1"
  fi
}

csv_case "marker and two records" \
  '\x85a,b,Feet\r\nc,d,Meters\r\n' \
  "\r$header\ra,b,Feet\nc,d,Meters\n"
csv_case "markers in a row with NUL, CR and LF between them give one header" \
  '\x85\x00\r\n\x85\x85x,Feet\r\n' \
  "\r$header\rx,Feet\n"
csv_case "a # sent as such is a marker" \
  '#1,Feet\r\n\x85#2,Meters\r\n' \
  "\r$header\r1,Feet\n\r$header\r2,Meters\n"
csv_case "a title is joined to the first record" \
  'Stored data\r\n\x851,Feet\r\n' \
  "Stored data\r$header\r1,Feet\n"
csv_case "units inside a field cut the record; other letter case does not" \
  '1,Feetwise,feet,METERS,Meters\r\n' \
  '1,Feet\nwise,feet,METERS,Meters\n'
csv_case "NUL bytes vanish, even inside a units word" \
  '1,Fe\x00et\r\n2,Met\r\ners\r\n' \
  '1,Feet\n2,Meters\n'
csv_case "text without a units word gives nothing" \
  '\x851,2,3\r\n' \
  ''
csv_case "an unfinished last record is left out" \
  '1,Feet\r\n2,05/24' \
  '1,Feet\n'
printf 'a,$,Feet\r\n' >"$work/dollar"
if "$oracle" csv <"$work/dollar" >/dev/null 2>&1; then
  echo "FAIL a stream with '\$' must be refused, not guessed at"
  failures=$((failures + 1))
else
  echo "ok   a stream with '\$' is refused"
fi

raw_case "one chunk" 'ab\r\ncd\r\n' 'ab\r\ncd\r\n\r\n' 0 "" "1 chunks, 8 of 8 bytes sent"
raw_case "chunk ends inside the stream's own CR LF" \
  'ab\r\ncd\r\n' 'ab\r\r\n\ncd\r\n\r\n' 0 "" "2 chunks, 8 of 8 bytes sent"
raw_case "three chunks" 'ab\r\ncd\r\n' 'a\r\nb\r\n\r\ncd\r\n\r\n' 0 "" "3 chunks, 8 of 8 bytes sent"
raw_case "no CR LF added after the chunks" 'ab\r\ncd\r\n' 'ab\r\ncd\r\n' 1
raw_case "a byte changed" 'ab\r\ncd\r\n' 'ab\r\nce\r\n\r\n' 1
raw_case "a byte missing" 'ab\r\ncd\r\n' 'ab\r\nc\r\n\r\n' 1
raw_case "an empty chunk" 'ab\r\ncd\r\n' '\r\nab\r\ncd\r\n\r\n' 1
raw_case "a part of the stream, exactly" 'ab\r\ncd\r\n' 'ab\r\n' 1
raw_case "a part of the stream, as a prefix" 'ab\r\ncd\r\n' 'ab\r\n' 0 --prefix \
  "1 chunks, 2 of 8 bytes sent"
raw_case "nothing received, as a prefix" 'ab\r\ncd\r\n' '' 0 --prefix "0 chunks, 0 of 8 bytes sent"

if [ "$failures" -ne 0 ]; then
  echo "$failures case(s) failed"
  exit 1
fi
echo "all cases passed"
