#!/usr/bin/env bash
# Runs every fuzz target for FUZZ_SECONDS seconds (default 300) over its
# corpus (build/fuzz/corpus/<target>, seeded from fuzz/seeds.recipe) and the
# reproducers of past findings (fuzz/regress/<target>); prints executions,
# coverage and findings per target. Findings land in build/fuzz/findings/<target>
# and make the exit status 1.   fuzz/run.sh [BUILD_DIR]   FUZZ_SECONDS=30 FUZZ_TARGETS="data_file" ...
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/fuzz}
mkdir -p "$build/logs" "$build/seeds/data_file" "$build/seeds/event_file"
"$build/recipe" "$build/seeds" <"$root/fuzz/seeds.recipe" || exit 1
printf '%-13s %12s %7s %7s %9s\n' target executions cov ft findings
failed=0
for t in ${FUZZ_TARGETS:-data_file event_file settings_ini time_text}; do
  corpus=$build/corpus/$t findings=$build/findings/$t log=$build/logs/$t.log
  mkdir -p "$corpus" "$findings" && cp -n "$build/seeds/$t/"* "$corpus/" 2>/dev/null
  before=$(find "$findings" -type f | wc -l)
  # Longer inputs add run time, not paths; plain scheduling gets more inputs through than entropic.
  "$build/fuzz_$t" -max_total_time="${FUZZ_SECONDS:-300}" -max_len=1024 -entropic=0 -print_final_stats=1 -timeout=10 \
    -rss_limit_mb=2048 -malloc_limit_mb=1024 -artifact_prefix="$findings/" -dict="$root/fuzz/dict/$t.dict" \
    "$corpus" $(ls -d "$root/fuzz/regress/$t" 2>/dev/null) >"$log" 2>&1
  rc=$? found=$(($(find "$findings" -type f | wc -l) - before))
  [ "$rc" -ne 0 ] && [ "$found" -eq 0 ] && found=1
  read -r cov ft < <(grep -E '^#[0-9]+' "$log" | tail -1 | sed -nE 's/.*cov: ([0-9]+) ft: ([0-9]+).*/\1 \2/p')
  printf '%-13s %12s %7s %7s %9s\n' "$t" "$(awk '/number_of_executed_units/ {print $2}' "$log")" "${cov:-0}" "${ft:-0}" "$found"
  [ "$found" -eq 0 ] || { failed=1; echo "fuzz_$t: finding (exit $rc); log $log, inputs in $findings" >&2
    grep -m 3 -E 'ERROR:|invariant broken|runtime error' "$log" >&2; }
done
exit "$failed"
