#!/usr/bin/env python3
"""Runs velmora-cli path --control CONTROL on CASE/input.nc and compares it with CASE/expected.jsonl: the same
fields on every line, numbers within 1e-9 (expected points are worked out by hand, not recorded).

usage: path_golden.py VELMORA_CLI CONTROL CASE_DIR"""
import json
import os
import subprocess
import sys


def same(a, b):
    if a.keys() != b.keys():
        return False
    for key, value in a.items():
        if isinstance(value, (int, float)) and not isinstance(value, bool):
            if abs(value - b[key]) > 1e-9:
                return False
        elif value != b[key]:
            return False
    return True


def main():
    cli, control, case = sys.argv[1:4]
    run = subprocess.run([cli, "path", "--control", control, os.path.join(case, "input.nc")],
                         capture_output=True, text=True, check=True)
    got = [json.loads(line) for line in run.stdout.splitlines()]
    with open(os.path.join(case, "expected.jsonl"), encoding="utf-8") as f:
        expected = [json.loads(line) for line in f if line.strip()]
    failed = len(got) != len(expected)
    for i in range(max(len(got), len(expected))):
        a = got[i] if i < len(got) else None
        b = expected[i] if i < len(expected) else None
        if a is None or b is None or not same(a, b):
            failed = True
            print("line %d: got %s, expected %s" % (i + 1, json.dumps(a), json.dumps(b)))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
