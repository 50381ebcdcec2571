# harvex events: the export lines, clock and date styles, refusals, exit status.
source "$(dirname "$0")/lib.bash"

run events EVENTS.ALM -o events.csv
expect "status" "$rc" 0
expect "24-hour month first" "$(cat events.csv)" '"Date","Time","Point/Event","Type","Value"
12/31/2003 ,13:05:09,1,"High 1  ",    12.345
12/31/2003 ,13:06:00,"Event: 1","Pump on   "'

run events EVENTS.ALM -o - --clock 12 --date dmy
expect "12-hour day first" "$(sed -n 2p <<<"$out")" '31/12/2003 ,01:05:09 pm,1,"High 1  ",    12.345'

run events EVENTS.ALM -o events.csv
expect "exists status" "$rc" 3
expect "exists message" "$err" "EVENTS.ALM: Export not written. events.csv exists already."

cp EVENTS.ALM keep.bin
run events EVENTS.ALM -o EVENTS.ALM --force
expect "input status" "$rc" 3
expect "input untouched" "$(cmp -s EVENTS.ALM keep.bin && echo same)" same

head -c 60 EVENTS.ALM > CUT.ALM
mkdir out
run events CUT.ALM FAST.DC1 EVENTS.ALM -o out
expect "mixed status" "$rc" 1
expect "mixed messages" "$err" "CUT.ALM: End of File
FAST.DC1: a data file, not an alarm/event file: 'harvex export' exports it"
expect "mixed wrote the good one" "$(ls out)" "EVENTS.csv"

# Two files of the same name: the second does not replace the first's export.
mkdir other && cp LABELS.ALM other/EVENTS.ALM
run events EVENTS.ALM other/EVENTS.ALM -o out --force
expect "same name status" "$rc|$err" "3|other/EVENTS.ALM: Export not written. out/EVENTS.csv holds the export of another file of the same name."
expect "same name keeps the first" "$(sed -n 2p out/EVENTS.csv)" '12/31/2003 ,13:05:09,1,"High 1  ",    12.345'

run events EVENTS.ALM FAST.DC1 -o one.csv
expect "several to one file" "$rc" 2
run events EVENTS.ALM -o x.csv --clock 13
expect "bad clock" "$rc" 2

finish
