# harvex export: merged CSV, standard output, refusals and exit status.
source "$(dirname "$0")/lib.bash"

# On Windows the export has CR LF line ends; the native build LF.
header='"Sample Number","FAST (V)","SLOW (A)"'

run export FAST.DC1 SLOW.DC2 -o merged.csv --time sample
expect "merge status" "$rc" 0
expect "merge quiet off a terminal" "$err" ""
expect "merged rows" "$(cat merged.csv)" "$header
0,     0.00,    10.00
1,     1.00,    10.00
2,     2.00,    10.00
3,     3.00,    20.00
4,     4.00,    20.00
5,     5.00,    20.00
6,     6.00,    30.00"

run export FAST.DC1 SLOW.DC2 -o - --time 24h --date dmy --start "2001-03-05 14:05:02" --end "2001-03-05T14:05:03"
expect "stdout status" "$rc" 0
expect "stdout rows" "$out" '"24 hour time","FAST (V)","SLOW (A)"
"05/03/2001 14:05:02.00",     2.00,    10.00
"05/03/2001 14:05:03.00",     3.00,    20.00'

run export FAST.DC1 -o - --time 12h --date mdy --end "2001-03-05 14:05:00"
expect "12-hour" "$(tail -n 1 <<<"$out")" '"03/05/2001 02:05:00.00 pm",     0.00'

# An existing output needs --force; an input is never an output.
run export FAST.DC1 -o merged.csv
expect "exists status" "$rc" 3
expect "exists message" "$err" "merged.csv: Export not written. merged.csv exists already."
run export FAST.DC1 -o merged.csv --force --time elapsed
expect "force status" "$rc" 0
expect "force rewrote" "$(sed -n 2p merged.csv)" '"0:00:00:00.00",     0.00'
cp FAST.DC1 keep.bin
run export FAST.DC1 -o FAST.DC1 --force
expect "input status" "$rc" 3
expect "input message" "$err" "FAST.DC1: Export not written. FAST.DC1 is one of the recorder files being exported."
expect "input untouched" "$(cmp -s FAST.DC1 keep.bin && echo same)" same

# Inputs that are not data files are reported and skipped.
run export EVENTS.ALM TYPE2.DC1 FAST.DC1 -o mixed.csv --time sample
expect "mixed status" "$rc" 1
expect "mixed messages" "$err" "EVENTS.ALM: an alarm/event file, not a data file: 'harvex events' exports it
TYPE2.DC1: Bad Type"
expect "mixed exported the rest" "$(head -n 1 mixed.csv)" '"Sample Number","FAST (V)"'

run export FAST.DC1 -o split.csv --split minute --time sample
expect "split status" "$rc" 0
expect "split name" "$(ls split* 2>/dev/null)" "split000.csv"

# Usage errors.
run export FAST.DC1 -o x.csv --start "yesterday"
expect "bad start status" "$rc" 2
expect "bad start message" "$err" 'harvex export: --start: "yesterday" is not a local time "YYYY-MM-DD HH:MM:SS" from 1989 on'
run export FAST.DC1 -o x.csv --end "2001-02-30 00:00:00"
expect "bad end status" "$rc" 2
run export FAST.DC1 -o - --split hour
expect "split stdout status" "$rc" 2
run export FAST.DC1 -o x.csv --time fortnightly
expect "bad time status" "$rc" 2
run export $(for i in $(seq 16); do echo FAST.DC1; done) -o x.csv
expect "sixteen files status" "$rc" 2
expect "sixteen files message" "$err" "harvex export: at most 15 data files go into one export (16 given)"
run export FAST.DC1 -o late.csv --start "2010-01-01 00:00:00"
expect "no data status" "$rc" 1
expect "no data file" "$(ls late.csv 2>/dev/null)" ""

finish
