#!/usr/bin/env bash
# `cmake --install` into a scratch DESTDIR, then what a user meets there:
# --version, an export of the sample recordings, the manual page and Tab
# completion, whose lists must match each command's --help.
#   install.sh BUILD VERSION
set -euo pipefail
build=$(cd "$1" && pwd)
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
expect() { [ "$2" = "$3" ] || fail "$1: \"$2\", expected \"$3\""; }

DESTDIR="$root" cmake --install "$build" --prefix /usr >/dev/null
hx="$root/usr/bin/harvex"
expect "installed --version" "$("$hx" --version)" "harvex $2"
"$build/harvex_samples" "$root/samples" >/dev/null && cd "$root/samples"
"$hx" export TANK1.DC1 FLOW2.DC2 -o installed.csv --time iso
"$build/harvex" export TANK1.DC1 FLOW2.DC2 -o built.csv --time iso
cmp installed.csv built.csv

page=$(man -l "$root/usr/share/man/man1/harvex.1.gz" 2>&1 | col -bx)
for want in "harvex $2" "EXIT STATUS" "EXAMPLES" "--split-rows UINT:N" "--clock TEXT=24"; do
  grep -qF -- "$want" <<<"$page" || fail "the manual page lacks \"$want\""
done

source "$root/usr/share/bash-completion/completions/harvex"
complete -p harvex >/dev/null
words() { COMP_WORDS=(harvex "$@"); COMP_CWORD=$#; _harvex; printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd ' '; }
expect "harvex ex" "$(words ex)" "export"
expect "harvex export --time" "$(words export --time '')" "12h 24h elapsed iso sample seconds"
commands=$("$hx" --help | awk '/^Subcommands:/ { on = 1; next } on && NF { print $1 }' | sort | paste -sd ' ')
expect "harvex" "$(words '' | tr ' ' '\n' | grep -v '^-' | paste -sd ' ')" "$commands"
for cmd in $commands; do
  options=$("$hx" "$cmd" --help | grep -oE '^  (-[a-z],)?--[a-z-]+' | tr ',' '\n' | tr -d ' ' | sort | paste -sd ' ')
  expect "harvex $cmd -" "$(words "$cmd" -)" "$options"
done
# Every value offered is one harvex takes.
for a in "export --time" "export --date" "export --split" "export --encoding" "events --clock" "events --date" "events --time"; do
  read -r cmd opt <<<"$a"
  in=TANK1.DC1 && [ "$cmd" = events ] && in=ALARMS.ALM
  for v in $(words $a ''); do
    "$hx" "$cmd" "$in" -o out.csv --force "$opt" "$v" $([ "$a" = "export --date" ] && echo --time 24h) || fail "$a $v"
  done
done
mkdir files && cd files && mkdir sub && touch A.DC1 b.dc12 C.ALM d.alm e.csv
expect "harvex export" "$(words export '')" "A.DC1 b.dc12 sub"
expect "harvex events" "$(words events '')" "C.ALM d.alm sub"
expect "harvex info" "$(words info '')" "A.DC1 C.ALM b.dc12 d.alm sub"
