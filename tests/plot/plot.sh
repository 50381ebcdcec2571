# harvex plot: PNG and SVG charts, one panel per channel, gaps left empty.
png_check=$(realpath "$3")
source "$(dirname "$0")/../cli/lib.bash"

run plot FAST.DC1 SLOW.DC2 GAPS.DC1 -o chart.png --width 600 --height 500
expect "png status and messages" "$rc|$err" "1|GAPS.DC1: Checksum error.
GAPS.DC1: Corrupt Pointers. Block Data Ignored."
expect "png read back" "$("$png_check" chart.png 600 500 3 | sed 's/: [1-9][0-9]* trace pixels/: traced/')" "size 600x500
panel 1: traced, 0 holes
panel 2: traced, 0 holes
panel 3: traced, 3 holes"

run plot FAST.DC1 -o chart.svg --height 300
expect "svg status" "$rc" 0
expect "svg document" "$(head -c 200 chart.svg | grep -o '<svg[^>]*width="1000px" height="300px"' | head -c 4)" "<svg"

run plot FAST.DC1 -o chart.png
expect "existing chart" "$rc" 3
cp FAST.DC1 input.png
run plot input.png -o input.png --force
expect "input kept" "$rc $(cmp -s FAST.DC1 input.png && echo same)" "3 same"
for bad in "-o chart.jpg" "-o x.png --width 50" "-o x.png --height 100000" "-o x.png --start 2001-03-05T14:05:06 --end 2001-03-05T14:05:00"; do
  run plot FAST.DC1 $bad
  expect "refused: $bad" "$rc" 2
done
run plot FAST.DC1 -o late.png --start "2010-01-01 00:00:00"
expect "no samples in the span" "$rc|$err|$(ls late.png 2>/dev/null)" "1|harvex plot: no samples in the chosen span; nothing drawn|"

finish
