# An --excel export opened by a real spreadsheet: LibreOffice reads it as a
# German and as an American user's would (delimiter and decimal separator
# of the locale), saves it as .ods and that back as CSV. Every value must
# arrive as a number equal to the exact export's, every label intact.
# soffice runs with a profile of its own, under a time bound; whatever of
# it is left afterwards is ended by process id.
set -u
harvex=$(realpath "$1")
make_files=$(realpath "$2")
soffice=$3
work=$(mktemp -d)
profile="$work/profile"
cleanup() {
  # Only processes started with this test's own profile.
  for cmdline in /proc/[0-9]*/cmdline; do
    if { tr '\0' ' ' <"$cmdline"; } 2>/dev/null | grep -qF -- "$profile"; then
      pid=${cmdline#/proc/}; pid=${pid%/cmdline}
      kill -9 "$pid" 2>/dev/null
    fi
  done
  rm -rf "$work"
}
trap cleanup EXIT
"$make_files" "$work" >/dev/null
cd "$work" || exit 1
failures=0

office() {  # office ARGS...: one conversion, at most 5 minutes
  timeout -k 10 300 "$soffice" -env:UserInstallation="file://$profile" --headless --norestore --nologo "$@" >office.log 2>&1
}

inputs=(FAST.DC1 SLOW.DC2 SYMBOLS.DC1 COMMA.DC1)
"$harvex" export "${inputs[@]}" -o exact.csv --time sample || exit 1

# locale, the CSV import options a spreadsheet in that locale takes (field
# delimiter, quote, UTF-8, from line 1, language)
for setting in "de_DE.UTF-8 59,34,76,1,,1031" "en_US.UTF-8 44,34,76,1,,1033"; do
  read -r locale import <<<"$setting"
  name=${locale%%.*}
  mkdir -p "$name"
  LC_ALL= LC_NUMERIC= LANG=$locale "$harvex" export "${inputs[@]}" -o "$name/excel.csv" --excel --time iso || { echo "FAIL: export $locale"; failures=$((failures + 1)); continue; }
  office --infilter="CSV:$import" --convert-to ods --outdir "$name" "$name/excel.csv"
  office --convert-to "csv:Text - txt - csv (StarCalc):44,34,76,1,,1033,true" --outdir "$name/back" "$name/excel.ods"
  if ! python3 - "$name" <<'PY'; then echo "FAIL: $locale"; cat office.log; failures=$((failures + 1)); fi
import re, sys, zipfile
name = sys.argv[1]
labels = ["FAST (V)", "SLOW (A)", "SYM\u20ac\u0178\u00e9 (^v><\u00b0\u00b5)", "A,B.C (m,s\")"]
exact = [[float(v) for v in line.split(",")[1:]] for line in open("exact.csv", encoding="cp1252").read().splitlines()[1:]]
problems = []
content = zipfile.ZipFile(f"{name}/excel.ods").read("content.xml").decode()
rows = re.findall(r"<table:table-row[^>]*>(.*?)</table:table-row>", content)
cells = [re.findall(r"<table:table-cell([^>]*)>(.*?)</table:table-cell>", r) for r in rows]
unescape = lambda s: s.replace("&lt;", "<").replace("&gt;", ">").replace("&quot;", '"').replace("&apos;", "'").replace("&amp;", "&")
header = [unescape(re.sub(r"</?text:p>", "", c[1])) for c in cells[0][1:]]
if header != labels: problems.append(f"ods labels {header}")
if len(cells) - 1 != len(exact): problems.append(f"ods has {len(cells) - 1} rows, not {len(exact)}")
for r, (row, want) in enumerate(zip(cells[1:], exact), 1):
    for c, (attrs, _) in enumerate(row[1:1 + len(want)]):
        value = re.search(r'office:value-type="float" office:value="([^"]+)"', attrs)
        if not value or abs(float(value.group(1)) - want[c]) > 1e-9: problems.append(f"ods row {r} column {c + 2}: {attrs}")
back = open(f"{name}/back/excel.csv", encoding="utf-8").read().splitlines()
expected_header = ",".join('"' + t.replace('"', '""') + '"' for t in ["Date and time"] + labels)
if back[0] != expected_header: problems.append(f"csv header {back[0]}")
for r, (line, want) in enumerate(zip(back[1:], exact), 1):
    fields = line.split(",")[1:]
    try:
        numbers = [float(f) for f in fields]
    except ValueError:
        numbers = None
    if numbers != want: problems.append(f"csv row {r}: {line}")
for p in problems[:10]: print(p)
sys.exit(1 if problems else 0)
PY
done

if [ "$failures" -ne 0 ]; then echo "$failures failed"; exit 1; fi
echo "all passed"
