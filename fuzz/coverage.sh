#!/usr/bin/env bash
# Line and branch coverage of the core library (gcovr) over the unit tests, the
# case tables run with this build's harvex, and the fuzz corpora `make fuzz`
# grew (else the seeds) with the reproducers.   fuzz/coverage.sh [BUILD_ROOT]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
units=$build/coverage replay=$build/coverage-fuzz
cmake -S "$root" -B "$units" -DCMAKE_BUILD_TYPE=Debug -DHX_COVERAGE=ON >/dev/null
cmake --build "$units" -j "${JOBS:-2}" --target harvex_tests harvex recipe >/dev/null
# The replay drivers link the unit tests' core library, so both runs add to the same data.
cmake -S "$root/fuzz" -B "$replay" -DHX_FUZZ_ENGINE=replay -DCMAKE_BUILD_TYPE=Debug \
  -DHX_CORE_LIBRARY="$units/libharvex_core.a" -DCMAKE_EXE_LINKER_FLAGS=--coverage >/dev/null
cmake --build "$replay" -j "${JOBS:-2}" >/dev/null

find "$units" "$replay" -name '*.gcda' -delete
(cd "$units/tests" && ./harvex_tests --gtest_brief=1 | tail -n 2)
python3 "$root/tests/cases/run.py" --harvex "$units/harvex" --recipe "$units/tests/recipe" \
  $(ls "$root"/tests/cases/*.case | grep -v '/wine\.case$') || true
mkdir -p "$replay/seeds/data_file" "$replay/seeds/event_file"
"$replay/recipe" "$replay/seeds" <"$root/fuzz/seeds.recipe"
for t in data_file event_file settings_ini time_text; do
  corpus=$build/fuzz/corpus/$t && [ -d "$corpus" ] || corpus=$replay/seeds/$t
  "$replay/fuzz_$t" $(ls -d "$corpus" "$root/fuzz/regress/$t" 2>/dev/null)
done

# The core library only: the desktop program's files are not part of it.
gcovr -r "$root" "$units" --filter "$root/src/(time|storage|data|export|events|plot)/" \
  --filter "$root/src/app/(AppSettings|Settings|IniProfile)\." --filter "$root/src/notice/" \
  --exclude-throw-branches --exclude-unreachable-branches --txt "$build/coverage.txt" --print-summary
echo "per-file figures: $build/coverage.txt"
