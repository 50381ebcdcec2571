# harvex info: text, JSON, messages and exit status.
source "$(dirname "$0")/lib.bash"

run info FAST.DC1
expect "info text" "$out" 'FAST.DC1: recorder data file
  header:       version 4, revision 100, type 0, text "FAST"
  checksums:    verified
  label:        "V"
  scale:        low 0, middle 50, high 100, 2 decimal places
  blocks:       1
  samples:      7
  first sample: 03/05/2001 14:05:00.00
  last sample:  03/05/2001 14:05:06.00'
expect "info status" "$rc" 0
expect "info quiet" "$err" ""

run info --blocks SLOW.DC2
expect "blocks line" "$(tail -n 1 <<<"$out")" '  block 0x0000002B  start 03/05/2001 14:05:00.00  interval 30000  samples 3  type 0 (signed 16-bit)  start code 2  own scale no  own alarms no  checksum ok'

# Broken files are still listed; their messages go to stderr by name.
run info BADCRC.DC1 TYPE2.DC1 TRUNC.DC1 CYCLE.DC1 EVENTS.ALM FAST.DC1 MISSING.DC1
expect "errors status" "$rc" 1
expect "errors text" "$err" "BADCRC.DC1: Checksum error.
TYPE2.DC1: Bad Type
TRUNC.DC1: End of File
CYCLE.DC1: Pointers are corrupted
MISSING.DC1: Can't Open file. MISSING.DC1"
expect "truncated keeps what it could read" "$(grep -A6 '^TRUNC' <<<"$out" | grep samples:)" "  samples:      2"
expect "cycle ends" "$(grep -A6 '^CYCLE' <<<"$out" | grep blocks:)" "  blocks:       2"
expect "event file line" "$(grep '^EVENTS' <<<"$out")" "EVENTS.ALM: recorder alarm/event file"
expect "type 2 line" "$(grep '^TYPE2' <<<"$out")" "TYPE2.DC1: not a recorder data or alarm/event file (file type 2)"
expect "good file still listed" "$(grep -c '^FAST.DC1: recorder data file' <<<"$out")" 1

run info --json --blocks FAST.DC1 BADCRC.DC1
expect "json status" "$rc" 1
expect "json fields" "$(grep -E '"(samples|checksum|firstSample|label|errors)"' <<<"$out" | tr -d ' ')" '"label":"V",
"samples":7,
"firstSample":"2001-03-05T14:05:00.00",
"samples":7,
"checksum":"ok"
"errors":0,
"label":"V",
"samples":3,
"firstSample":"2001-03-05T14:05:00.00",
"samples":3,
"checksum":"mismatch"
"errors":1,'

# Gaps: 7 s before the second block, a break at the third (start code 1),
# the fourth dropped for its back address, so the fifth breaks after 6 s.
run info --gaps GAPS.DC1
expect "gaps status" "$rc" 1
expect "gaps messages" "$err" "GAPS.DC1: Checksum error.
GAPS.DC1: Corrupt Pointers. Block Data Ignored."
expect "gaps text" "$(sed -n '/^  gap \|^  break\|^  recorded\|^  gap time\|^  breaks\|skipped\|checksum errors/p' <<<"$out")" '  gap    after 03/05/2001 14:05:02.00  resumes 03/05/2001 14:05:10.00  7.00 s  start code 2
  break  after 03/05/2001 14:05:11.00  resumes 03/05/2001 14:05:12.00  0.00 s  start code 1
  break  after 03/05/2001 14:05:13.00  resumes 03/05/2001 14:05:20.00  6.00 s  start code 66
  recorded time: 9.00 s
  gap time:      13.00 s
  breaks:        2
  blocks skipped for bad pointers: 1
  checksum errors: 1'
run info --gaps --json FAST.DC1
expect "gaps json" "$(tr -d ' \n' <<<"$out" | grep -o '"gaps":{[^}]*}')" '"gaps":{"list":[],"recordedSeconds":7.0,"gapSeconds":0.0,"breaks":0,"blocksSkippedForBadPointers":0,"checksumErrors":0}'

run info
expect "usage status" "$rc" 2
run info --bogus FAST.DC1
expect "unknown option status" "$rc" 2
run --help
expect "help status" "$rc" 0
expect "help names commands" "$(grep -cE '^  (info|export|events)' <<<"$out")" 3

finish
