#!/usr/bin/env python3
"""Runs capbeam-cli over every recorded case and compares its output.

    check.py CLI cases.jsonl            # fails on the first few differences
    check.py --record CLI cases.jsonl   # rewrites the outputs (after a deliberate change)

Each line of cases.jsonl is one run: the arguments, standard input, and the
standard output, standard error and exit status it gave when recorded. The
runs start in the source tree's root, so that a run names its input files
(tests/golden/alignment/jd-0.csv, docs/example.capbeam) as a user in a clone
would.
"""
import json
import os
import subprocess
import sys

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))


def run(cli, case):
    p = subprocess.run([os.path.abspath(cli)] + case["args"], input=case["stdin"].encode(), capture_output=True,
                       timeout=60, cwd=ROOT)
    return {"stdout": p.stdout.decode(), "stderr": p.stderr.decode(), "status": p.returncode}


def main():
    args = sys.argv[1:]
    record = args and args[0] == "--record"
    if record:
        args = args[1:]
    cli, path = args
    with open(path, encoding="utf-8") as f:
        cases = [json.loads(line) for line in f if line.strip()]
    if record:
        with open(path, "w", encoding="utf-8") as f:
            for c in cases:
                c.update(run(cli, c))
                f.write(json.dumps(c, ensure_ascii=False) + "\n")
        print(f"recorded {len(cases)} cases")
        return 0
    failed = 0
    for c in cases:
        got = run(cli, c)
        for key in ("status", "stdout", "stderr"):
            if got[key] != c[key]:
                failed += 1
                if failed <= 5:
                    print(f"{c['name']}: {key} differs", file=sys.stderr)
                    if key != "status":
                        want_lines = c[key].splitlines()
                        got_lines = got[key].splitlines()
                        for n, (w, g) in enumerate(zip(want_lines + [""] * len(got_lines), got_lines + [""] * len(want_lines))):
                            if w != g:
                                print(f"  line {n + 1}\n    want: {w!r}\n    got:  {g!r}", file=sys.stderr)
                                break
                    else:
                        print(f"  want {c[key]} got {got[key]}", file=sys.stderr)
                break
    print(f"{len(cases) - failed} passed, {failed} failed")
    return 1 if failed else 0


sys.exit(main())
