#!/usr/bin/env python3
"""Runs case tables against harvex.

A table holds recipe lines (see tests/support/Recipe.h) and `use FILE` for
the recipe lines of another file, all written as recorder files into one
scratch directory before the first case, and cases:

    $ shell command, where `harvex` is the program under test
    > a line the command must print on standard output
    ! a line it must print on standard error
    ? its exit status (0 when absent; pipelines fail with their first failure)

Output is compared whole. Commands run in order in the scratch directory,
so a case may use the files an earlier one wrote.

    run.py --harvex BIN --recipe BIN [--wrap wine] TABLE...
"""
import argparse
import os
import shlex
import signal
import subprocess
import sys
import tempfile

RECIPE_WORDS = ("data", "block", "alm", "event")
PRELUDE = r"""
set -o pipefail
# patch FILE OFFSET HEX: writes the bytes HEX (such as 7F80) at OFFSET.
patch() { printf "$(sed 's/../\\x&/g' <<<"$3")" | dd of="$1" bs=1 seek="$2" conv=notrunc status=none; }
"""


def parse(path):
    recipe, cases = [], []
    with open(path, encoding="utf-8") as f:
        lines = f.read().split("\n")
    i = 0
    while i < len(lines):
        line, number = lines[i], i + 1
        i += 1
        word = line.split(" ", 1)[0]
        if word.split("#")[0] in RECIPE_WORDS:
            recipe.append(line)
        elif word == "use":
            recipe += parse(os.path.join(os.path.dirname(path), line.split()[1]))[0]
        elif line.startswith("$ "):
            command = line[2:]
            while command.endswith("\\") and i < len(lines):
                command = command[:-1] + "\n" + lines[i]
                i += 1
            cases.append({"line": number, "command": command, "out": [], "err": [], "status": 0})
        elif line[:1] in (">", "!", "?") and cases:
            text = line[2:] if len(line) > 1 else ""
            case = cases[-1]
            if line[0] == "?":
                case["status"] = int(text)
            else:
                case["out" if line[0] == ">" else "err"].append(text)
        elif line.strip() and not line.startswith("#"):
            sys.exit(f"{path}:{number}: cannot read this line: {line}")
    return recipe, cases


def lines_of(data, wrapped):
    text = data.decode("utf-8", errors="backslashreplace")
    if wrapped:
        text = text.replace("\r\n", "\n")
        text = "\n".join(l for l in text.split("\n") if "Read access denied for device" not in l)
    return text.split("\n")[:-1] if text.endswith("\n") else (text.split("\n") if text else [])


def run_table(path, args):
    recipe, cases = parse(path)
    failures = 0
    with tempfile.TemporaryDirectory(prefix="hxcase-") as work:
        bindir = os.path.join(work, ".bin")
        os.mkdir(bindir)
        wrap = " ".join(shlex.quote(w) for w in args.wrap)
        with open(os.path.join(bindir, "harvex"), "w") as f:
            f.write(f'#!/bin/sh\nexec {wrap} {shlex.quote(os.path.abspath(args.harvex))} "$@"\n')
        os.chmod(os.path.join(bindir, "harvex"), 0o755)
        made = subprocess.run(args.wrap + [os.path.abspath(args.recipe), "."], cwd=work,
                              input="\n".join(recipe).encode(), capture_output=True)
        if made.returncode != 0:
            print(f"{path}: the recipe failed: {made.stderr.decode()}")
            return 1
        # No locale unless a case sets one: --excel reads it.
        env = {k: v for k, v in os.environ.items() if k not in ("LC_ALL", "LC_NUMERIC", "LANG")}
        env["PATH"] = bindir + os.pathsep + env["PATH"]
        for case in cases:
            # A session of its own, so that a hang ends with everything it started.
            done = subprocess.Popen(["bash", "-c", PRELUDE + case["command"]], cwd=work, env=env, stdin=subprocess.DEVNULL,
                                    stdout=subprocess.PIPE, stderr=subprocess.PIPE, start_new_session=True)
            try:
                out, err = done.communicate(timeout=args.timeout)
                got = (lines_of(out, bool(args.wrap)), lines_of(err, bool(args.wrap)), done.returncode)
            except subprocess.TimeoutExpired:
                os.killpg(done.pid, signal.SIGKILL)
                done.communicate()
                got = ([], [f"still running after {args.timeout} s"], None)
            want = (case["out"], case["err"], case["status"])
            if got != want:
                failures += 1
                print(f"FAIL {path}:{case['line']}: $ {case['command']}")
                for name, w, g in zip(("stdout", "stderr", "status"), want, got):
                    if w != g:
                        print(f"--- {name} expected\n{w if name == 'status' else chr(10).join(w)}")
                        print(f"--- {name} got\n{g if name == 'status' else chr(10).join(g)}")
    print(f"{path}: {len(cases) - failures} of {len(cases)} cases passed")
    return failures


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--harvex", required=True)
    ap.add_argument("--recipe", required=True)
    ap.add_argument("--wrap", default="", help="a program to run both through, such as wine")
    ap.add_argument("--timeout", type=int, default=60)
    ap.add_argument("tables", nargs="+")
    args = ap.parse_args()
    args.wrap = args.wrap.split()
    sys.exit(1 if sum(run_table(t, args) for t in args.tables) else 0)


if __name__ == "__main__":
    main()
