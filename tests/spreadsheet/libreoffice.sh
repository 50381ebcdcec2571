# An --excel export in a German locale (semicolons, decimal commas) opened
# by a real spreadsheet with that locale's import settings: every value
# must arrive as a number equal to the exact export's, every label intact.
# soffice runs with a profile of its own, under a time bound; what is left
# of it is ended by process id.
set -u
harvex=$(realpath "$1") recipe=$(realpath "$2") soffice=$3
work=$(mktemp -d) && cd "$work" || exit 1
trap 'for c in /proc/[0-9]*/cmdline; do { tr "\0" " " <"$c"; } 2>/dev/null | grep -qF "$work/profile" && p=${c#/proc/} && kill -9 "${p%/cmdline}"; done; rm -rf "$work"' EXIT
"$recipe" . <<'RECIPE' || exit 1
data FAST.DC1 ident=FAST label=V opt=0x12
block i16=0..600/100,-1234
data SYMBOLS.DC1 ident="SYM\x80\x9F\xE9" label="\x80\x81\x82\x83\x84\x85" opt=0x12
block i16=150*8
data COMMA.DC1 ident=A,B.C label="m,s\"" opt=0x14
block every=2s i16=1234,-5
RECIPE
"$harvex" export ./*.DC1 -o exact.csv --time sample && LC_ALL= LC_NUMERIC= LANG=de_DE.UTF-8 "$harvex" export ./*.DC1 -o de.csv --excel --time iso &&
timeout -k 10 300 "$soffice" -env:UserInstallation="file://$work/profile" --headless --norestore --nologo \
  --infilter="CSV:59,34,76,1,,1031" --convert-to ods de.csv >office.log 2>&1 || { cat office.log; exit 1; }
python3 - <<'PY'
import html, re, sys, zipfile
exact = [[float(v) for v in line.split(",")[1:]] for line in open("exact.csv", encoding="cp1252").read().splitlines()[1:]]
rows = [re.findall(r"<table:table-cell([^>]*)>(.*?)</table:table-cell>", r) for r in
        re.findall(r"<table:table-row[^>]*>(.*?)</table:table-row>", zipfile.ZipFile("de.ods").read("content.xml").decode())]
labels = [html.unescape(re.sub(r"</?text:p>", "", c[1])) for c in rows[0][1:]]
values = [[float(v) for v in re.findall(r'office:value-type="float" office:value="([^"]+)"', "".join(a for a, _ in r[1:]))] for r in rows[1:]]
ok = labels == ["A,B.C (m,s\")", "FAST (V)", "SYM\u20ac\u0178\u00e9 (^v><\u00b0\u00b5)"] and values == exact
print("all passed" if ok else f"labels {labels}\nvalues {values}\nexact  {exact}")
sys.exit(0 if ok else 1)
PY
