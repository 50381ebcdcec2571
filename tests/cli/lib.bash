# Shared by the command-line tests: run harvex, capture its output and exit
# status, and compare with what is expected.
set -u
harvex=$(realpath "$1")
make_files=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$make_files" "$work" >/dev/null
cd "$work"
failures=0

# run ARGS...: sets $out, $err, $rc
run() {
  "$harvex" "$@" >"$work/.out" 2>"$work/.err"
  rc=$?
  out=$(cat "$work/.out")
  err=$(cat "$work/.err")
}

expect() {  # expect LABEL ACTUAL EXPECTED
  if [ "$2" != "$3" ]; then
    echo "FAIL: $1"
    echo "--- expected"; printf '%s\n' "$3"
    echo "--- actual"; printf '%s\n' "$2"
    failures=$((failures + 1))
  fi
}

finish() {
  if [ "$failures" -ne 0 ]; then echo "$failures failed"; exit 1; fi
  echo "all passed"
}
