#!/usr/bin/env bash
# Writes harvex's manual page from the program itself: help2man reads
# `harvex --help` and --version, each command's --help becomes a part of
# COMMANDS, and the hand-written part (files, exit status, examples) is
# added. So the page cannot drift from the options.
#   harvex-man.sh HARVEX HAND.h2m OUT.1
set -euo pipefail
bin=$(cd "$(dirname "$1")" && pwd)
hand=$2
out=$3
export PATH="$bin:$PATH"
include=$(mktemp)
trap 'rm -f "$include"' EXIT

# One command's help as roff: the usage in bold, each option a tagged
# paragraph; backslashes and leading dots escaped, option dashes as minus.
roff() {
  awk '
    function esc(s) { gsub(/\\/, "\\e", s); sub(/^[.\x27]/, "\\\\&&", s); return s }
    NR == 1 { print esc($0); next }
    /^Usage: / { sub(/^Usage: /, ""); print ".PP\n.B " esc($0); next }
    /^[A-Za-z]+:$/ { next }
    /^  [^ ]/ {
      line = substr($0, 3); i = match(line, /  +/)
      tag = i ? substr(line, 1, i - 1) : line; text = i ? substr(line, i + RLENGTH) : ""
      tag = esc(tag); gsub(/-/, "\\-", tag)
      print ".TP\n.B " tag "\n" esc(text); next
    }
    NF { print ".PP\n" esc($0) }'
}

{
  echo "[COMMANDS]"
  for cmd in $(harvex --help | awk '/^Subcommands:/ { on = 1; next } on && NF { print $1 }'); do
    echo ".SS $cmd"
    harvex "$cmd" --help | roff
  done
  cat "$hand"
} > "$include"
help2man --no-info --section 1 \
  --name "read recorder data and alarm/event files and export them as comma-separated text" \
  --include "$include" --output "$out" harvex
