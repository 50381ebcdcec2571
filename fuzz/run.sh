#!/usr/bin/env bash
# Runs every fuzz target for FUZZ_SECONDS seconds (default 300), one after
# the other, and prints per target: executions (this run and all runs kept
# in the build's history), coverage (libFuzzer's edges and features) and
# findings. The corpus grows in build/fuzz/corpus/<target>; findings land in
# build/fuzz/findings/<target>. Exits 1 when a target found something.
#   fuzz/run.sh [BUILD_DIR]      FUZZ_SECONDS=30 FUZZ_TARGETS="data_file" ...
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/fuzz}
seconds=${FUZZ_SECONDS:-300}
targets=${FUZZ_TARGETS:-data_file event_file settings_ini time_text}
history=$build/history.tsv
# A small quarantine keeps freed memory warm: the targets make and drop a
# data file's first block chunk (about 100 KiB) on every input.
export ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=16}

# Inputs larger than this add run time, not paths: a data file of 1 KiB
# already holds dozens of blocks.
max_len() {
  case $1 in
    data_file|event_file) echo 1024 ;;
    settings_ini) echo 512 ;;
    *) echo 256 ;;
  esac
}

"$build/make_fuzz_seeds" "$build/seeds" >/dev/null || exit 1
mkdir -p "$build/logs"
[ -f "$history" ] || printf 'date\ttarget\tseconds\texecutions\tcov\tft\tfindings\n' >"$history"

rows=()
failed=0
for t in $targets; do
  corpus=$build/corpus/$t
  findings=$build/findings/$t
  log=$build/logs/$t.log
  mkdir -p "$corpus" "$findings"
  cp -n "$build/seeds/$t/"* "$corpus/" 2>/dev/null
  inputs=("$corpus")
  # Committed reproducers of past findings are replayed every run.
  [ -d "$root/fuzz/regress/$t" ] && inputs+=("$root/fuzz/regress/$t")
  before=$(find "$findings" -type f | wc -l)

  # Entropic scheduling costs a third of each run of the slower targets;
  # plain scheduling gets more inputs through in the same time.
  "$build/fuzz_$t" -max_total_time="$seconds" -max_len="$(max_len "$t")" -entropic=0 -print_final_stats=1 -timeout=10 \
    -rss_limit_mb=2048 -malloc_limit_mb=1024 \
    -artifact_prefix="$findings/" -dict="$root/fuzz/dict/$t.dict" "${inputs[@]}" >"$log" 2>&1
  rc=$?

  execs=$(awk '/stat::number_of_executed_units/ {print $2}' "$log" | tail -1)
  read -r cov ft < <(grep -E '^#[0-9]+' "$log" | tail -1 | sed -nE 's/.*cov: ([0-9]+) ft: ([0-9]+).*/\1 \2/p')
  after=$(find "$findings" -type f | wc -l)
  found=$((after - before))
  if [ "$rc" -ne 0 ] && [ "$found" -eq 0 ]; then found=1; fi
  [ "$found" -gt 0 ] && failed=1
  printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$(date -u +%FT%TZ)" "$t" "$seconds" "${execs:-0}" "${cov:-0}" "${ft:-0}" \
    "$found" >>"$history"
  total=$(awk -F'\t' -v t="$t" 'NR > 1 && $2 == t {s += $4} END {print s + 0}' "$history")
  rows+=("$(printf '%-13s %12s %14s %7s %7s %9s' "$t" "${execs:-0}" "$total" "${cov:-0}" "${ft:-0}" "$found")")
  if [ "$found" -gt 0 ]; then
    echo "fuzz_$t: finding (exit $rc); log $log, inputs in $findings" >&2
    grep -m 3 -E 'ERROR:|invariant broken|runtime error' "$log" >&2
  fi
done

printf '%-13s %12s %14s %7s %7s %9s\n' target executions "all runs" cov ft findings
printf '%s\n' "${rows[@]}"
exit "$failed"
