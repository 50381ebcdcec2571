#!/usr/bin/env bash
# Line and branch coverage of the core library over the unit tests (the
# malformed-file table among them) and the fuzz corpora, printed by gcovr.
# The corpora are those `make fuzz` grew in build/fuzz/corpus, or the seeds
# when there are none, plus the committed reproducers.
#   fuzz/coverage.sh [BUILD_ROOT]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
jobs=${JOBS:-2}
units=$build/coverage
replay=$build/coverage-fuzz
targets="data_file event_file settings_ini time_text"

cmake -S "$root" -B "$units" -DCMAKE_BUILD_TYPE=Debug -DHX_COVERAGE=ON >/dev/null
cmake --build "$units" -j "$jobs" --target harvex_tests >/dev/null
# The replay drivers run on the unit tests' core library, so both runs add
# to the same coverage data.
cmake -S "$root/fuzz" -B "$replay" -DHX_FUZZ_ENGINE=replay -DCMAKE_BUILD_TYPE=Debug \
  -DHX_CORE_LIBRARY="$units/libharvex_core.a" -DCMAKE_EXE_LINKER_FLAGS=--coverage >/dev/null
cmake --build "$replay" -j "$jobs" >/dev/null

find "$units" "$replay" -name '*.gcda' -delete
(cd "$units/tests" && ./harvex_tests --gtest_brief=1 | tail -n 2)
"$replay/make_fuzz_seeds" "$replay/seeds" >/dev/null
for t in $targets; do
  corpus=$build/fuzz/corpus/$t
  [ -d "$corpus" ] || corpus=$replay/seeds/$t
  inputs=("$corpus")
  [ -d "$root/fuzz/regress/$t" ] && inputs+=("$root/fuzz/regress/$t")
  "$replay/fuzz_$t" "${inputs[@]}"
done

# The core library only: the desktop program's files are not part of it.
gcovr -r "$root" "$units" \
  --filter "$root/src/(time|storage|data|export|events|plot)/" \
  --filter "$root/src/app/(AppSettings|Settings|IniProfile)\." \
  --filter "$root/src/notice/" \
  --exclude-throw-branches --exclude-unreachable-branches \
  --txt "$build/coverage.txt" --print-summary
echo "per-file figures: $build/coverage.txt"
