# harvex export and events in the spreadsheet and script dialects, with
# directories as inputs and the exit status of each kind of failure.
source "$(dirname "$0")/lib.bash"
bom=$'\xEF\xBB\xBF'
crlf() { sed 's/$/\r/'; }

run export FAST.DC1 -o x.csv --decimal-comma
expect "decimal comma with comma delimiter status" "$rc" 2
expect "decimal comma with comma delimiter message" "$err" "harvex export: --decimal-comma needs a delimiter other than the comma (such as --delimiter ';')"
for bad in "--delimiter ab" "--encoding latin9" "--crlf --lf" "--bom --encoding cp1252" "--time iso --date dmy" \
           "--split-rows -5" "--split-rows 3x"; do
  run export FAST.DC1 -o x.csv $bad
  expect "refused: $bad" "$rc" 2
done
run export FAST.DC1 -o x.csv --delimiter ""
expect "refused: an empty delimiter" "$rc" 2
expect "nothing written for refused options" "$(ls x*.csv 2>/dev/null)" ""

# Delimiter, decimal comma and trimming work by field: the label's comma,
# dot and quote stay.
run export COMMA.DC1 SLOW.DC2 -o - --time sample --delimiter ';' --decimal-comma --trim --lf --end "2001-03-05 14:05:00"
expect "semicolon rows" "$out" '"Sample Number";"A,B.C (m,s"")";"SLOW (A)"
0;12,34;10,00'
run export COMMA.DC1 -o - --time sample --delimiter tab --lf
expect "tab keeps padding" "$out" $'"Sample Number"\t"A,B.C (m,s"")"\n0\t    12.34'
run export COMMA.DC1 -o - --time sample --delimiter ' ' --trim --lf
expect "a delimiter inside a field quotes it" "$out" '"Sample Number" "A,B.C (m,s"")"
0 12.34'

# UTF-8: each recorder symbol, and bytes of the upper half of the name.
run export SYMBOLS.DC1 SYMBOLS.DC2 -o - --time sample --encoding utf8 --lf
expect "utf8 symbols" "$out" '"Sample Number","SYM€Ÿé (^v><°µ)","SYM2 (WDSÖ)"
0,     1.50,    -2.50'
run export SYMBOLS.DC1 SYMBOLS.DC2 -o - --time sample --lf
expect "cp1252 as stored" "$(head -n 1 <<<"$out" | iconv -f CP1252 -t UTF-8)" '"Sample Number","SYM€Ÿé (^v><°µ)","SYM2 (WDSÖ)"'

# ISO times across the end of a leap February; elapsed seconds.
run export MONTH.DC1 -o - --time iso --lf
expect "iso" "$out" '"Date and time","MONTH (V)"
2004-02-29T23:59:57.00,     0.00
2004-02-29T23:59:58.00,     1.00
2004-02-29T23:59:59.00,     2.00
2004-03-01T00:00:00.00,     3.00
2004-03-01T00:00:01.00,     4.00'
run export FAST.DC1 -o - --time seconds --delimiter ';' --decimal-comma --trim --lf --start "2001-03-05 14:05:05"
expect "seconds" "$out" '"Elapsed seconds";"FAST (V)"
0,00;5,00
1,00;6,00'

# Rows split within a minute split; each file has the header, the mark
# only at its start, and elapsed time restarts only at a new minute.
run export MONTH.DC1 -o rows.csv --split minute --split-rows 2 --time seconds --bom --crlf
expect "split status" "$rc" 0
expect "split names" "$(ls rows*)" "rows0000.csv
rows0001.csv
rows0002.csv"
expect "split first" "$(cat rows0000.csv)" "$(printf '%s\n' "$bom\"Elapsed seconds\",\"MONTH (V)\"" '0.00,     0.00' '1.00,     1.00' | crlf)"
expect "split second" "$(cat rows0001.csv)" "$(printf '%s\n' "$bom\"Elapsed seconds\",\"MONTH (V)\"" '2.00,     2.00' | crlf)"
expect "split third" "$(cat rows0002.csv)" "$(printf '%s\n' "$bom\"Elapsed seconds\",\"MONTH (V)\"" '0.00,     3.00' '1.00,     4.00' | crlf)"
expect "one mark per file" "$(cat rows000?.csv | grep -o "$bom" | wc -l)" 3
run export MONTH.DC1 -o min.csv --split minute --bom --lf --time seconds
expect "time split: the mark, no second header" "$(cat min00001.csv)" "${bom}0.00,     3.00
1.00,     4.00"
run export FAST.DC1 -o - --split-rows 3
expect "split rows to stdout" "$rc" 2

# The spreadsheet preset follows the locale's decimal separator.
LC_ALL= LC_NUMERIC= LANG=de_DE.UTF-8 run export FAST.DC1 -o de.csv --time sample --end "2001-03-05 14:05:00" --excel
expect "excel de" "$(cat de.csv)" "$(printf '%s\n' "$bom\"Sample Number\";\"FAST (V)\"" '0;     0,00' | crlf)"
LC_ALL=C.UTF-8 LANG=de_DE.UTF-8 run export FAST.DC1 -o c.csv --time sample --end "2001-03-05 14:05:00" --excel --lf --trim
expect "excel C" "$(cat c.csv)" "$bom\"Sample Number\",\"FAST (V)\"
0,0.00"

# A sheet holds 1,048,576 rows, the header line included.
run export TALL.DC1 -o tall.csv --excel --quiet
expect "too tall for a sheet" "$rc|$err" "0|harvex export: warning: tall.csv holds 1048577 rows in one file; a spreadsheet shows at most 1048576 (see --split-rows)"
run export TALL.DC1 -o tall.csv --excel --quiet --force --split-rows 1048575
expect "split to fit" "$rc|$err|$(ls tall0*)" "0||tall0000.csv
tall0001.csv"
rm -f tall*.csv

# Events: the delimiter, ISO dates and a label with a comma, dot and quote.
run events LABELS.ALM -o - --time iso --delimiter ';' --decimal-comma --trim --lf
expect "events dialect" "$out" '"Date";"Time";"Point/Event";"Type";"Value"
2004-02-29;23:59:59;"Event: 1";"P,""1"".x   "
2004-03-01;00:00:01;2;"Low  1  ";-1,500'
run events LABELS.ALM -o - --time iso --clock 12
expect "events iso with 12-hour clock" "$rc" 2

# Directories stand for their recorder files, sorted by name.
mkdir -p d/sub empty
cp SLOW.DC2 d/b.dc2; cp FAST.DC1 d/a.DC1; cp EVENTS.ALM d/e.alm; cp FAST.DC1 d/sub/c.DC3; cp LABELS.ALM d/sub/l.ALM
run export d -o - --time sample --end "2001-03-05 14:05:00"
expect "directory" "$out" '"Sample Number","FAST (V)","SLOW (A)"
0,     0.00,    10.00'
run export d --recursive -o - --time sample --end "2001-03-05 14:05:00"
expect "recursive" "$(head -n 1 <<<"$out")" '"Sample Number","FAST (V)","SLOW (A)","FAST (V)"'
mkdir evout
run events d --recursive -o evout
expect "events directory" "$rc $(ls evout | tr '\n' ' ')" "0 e.csv l.csv "
run export empty FAST.DC1 -o - --time sample --end "2001-03-05 14:05:00"
expect "empty directory skipped" "$rc|$err|$(tail -n 1 <<<"$out")" "1|empty: no data files (*.DC*) in this directory|0,     0.00"

# Exit status 3: an output that cannot be written wins over a skipped input.
run export FAST.DC1 MISSING.DC1 -o nodir/x.csv
expect "unwritable export" "$rc" 3
touch evout/EVENTS.csv
run events EVENTS.ALM MISSING.ALM -o evout
expect "existing events output" "$rc" 3
run export --help
expect "help names the exit status" "$(tr -s ' \n' ' ' <<<"$out" | grep -c '3 an output could not be written')" 1

finish
