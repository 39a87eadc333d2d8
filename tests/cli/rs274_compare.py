#!/usr/bin/env python3
"""Compares `velmora-cli path --control linuxcnc` with LinuxCNC's rs274 on generated O-word programs: loops,
nested and recursive calls, named parameters, expressions and arcs. Skipped (exit 0 with a message) where
rs274 is not installed.

usage: rs274_compare.py CLI SCRATCH_FOLDER [PROGRAMS]"""
import json
import math
import os
import random
import re
import shutil
import subprocess
import sys

TOLERANCE = 1e-3


def program(rng, index):
    """One program: a setup move, then a random sequence of constructs that end where they can be checked."""
    size = rng.randint(2, 9)
    passes = rng.randint(1, 5)
    depth = rng.randint(1, 4)
    angle = rng.choice([0, 30, 45, 60, 90, 135])
    lines = [
        "o<square> sub",
        "  G1 X[#1] Y[#2] F200",
        "  G1 X[#1 + #3] Y[#2]",
        "  G1 X[#1 + #3] Y[#2 + #3]",
        "  G1 X[#1] Y[#2 + #3]",
        "o<square> endsub",
        "o<spiral> sub",
        "  o200 if [#1 GT 0]",
        "    G1 Z[-#1] X[#1 * 2] Y[#1 ** 2 / 4]",
        "    o<spiral> call [#1 - 1]",
        "  o200 endif",
        "o<spiral> endsub",
        "o<half> sub",
        "  o<half> return [#1 / 2]",
        "o<half> endsub",
        "G21 G90 G17",
        "G0 X0 Y0 Z10",
        "#<size> = %d" % size,
        "#<_count> = 0",
        "o100 while [#<_count> LT %d]" % passes,
        "  o<square> call [#<_count> * #<size>] [#<_count> MOD 2] [#<size>]",
        "  #<_count> = [#<_count> + 1]",
        "o100 endwhile",
        "o<spiral> call [%d]" % depth,
        "#<a> = %d" % angle,
        "G1 X[COS[#<a>] * 10] Y[SIN[#<a>] * 10] Z[FIX[-2.5] + FUP[0.2]]",
        "o<half> call [#<size>]",
        "G1 X[#<_value>] Y[ROUND[#<_value> * 3]]",
        "#<i> = 0",
        "o101 do",
        "  #<i> = [#<i> + 1]",
        "  o102 if [#<i> GT %d]" % (passes + 2),
        "    o101 break",
        "  o102 else",
        "    G1 X[#<i> * 3] Y[ATAN[#<i>]/[-2]]",
        "  o102 endif",
        "o101 while [#<i> LT 20]",
        "#<j> = 0",
        "o104 while [#<j> LT 4]",
        "  #<j> = [#<j> + 1]",
        "  o105 if [#<j> EQ 2]",
        "    o104 continue",
        "  o105 elseif [#<j> EQ 3]",
        "    G1 Y[#<j>]",
        "  o105 endif",
        "  G1 X[#<j> * 2]",
        "o104 endwhile",
        "o103 repeat [%d]" % rng.randint(0, 3),
        "  G91 G1 X1 Y-1",
        "  G90",
        "o103 endrepeat",
        "G1 X0 Y0",
        "G2 X10 Y0 I5 J0",
        "G3 X0 Y0 I-5 J0",
        "#31 = [%d * 2 + 1]" % index,
        "#<c> = [#31 AND 1]",
        "G1 X[#31] Y[#<c>] Z[[#31 GT 3] OR [#<c> EQ 0]]",
        "M2",
    ]
    return "\n".join(lines) + "\n"


def rs274_moves(path, out):
    subprocess.run(["rs274", "-g", path, out], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, timeout=60, check=False)
    moves = []
    number = r"(-?\d+\.\d+)"
    with open(out, encoding="utf-8", errors="replace") as f:
        for line in f:
            m = re.search(r"(STRAIGHT_FEED|STRAIGHT_TRAVERSE)\(" + number + r", " + number + r", " + number, line)
            if m:
                moves.append(tuple(float(v) for v in m.groups()[1:]))
                continue
            m = re.search(r"ARC_FEED\(" + number + r", " + number + r", " + number + r", " + number + r", (-?\d+), "
                          + number, line)
            if m:
                moves.append((float(m.group(1)), float(m.group(2)), float(m.group(6))))
    return moves


def velmora_moves(cli, path):
    result = subprocess.run([cli, "path", path, "--control", "linuxcnc"], capture_output=True, text=True,
                            timeout=60, check=False)
    if result.returncode != 0:
        raise SystemExit("velmora-cli path exited with %d: %s" % (result.returncode, result.stderr))
    return [(m["x"], m["y"], m["z"]) for m in map(json.loads, result.stdout.splitlines())]


def without_repeats(moves):
    kept = []
    for move in moves:
        if not kept or any(abs(a - b) > TOLERANCE for a, b in zip(kept[-1], move)):
            kept.append(move)
    return kept


def main():
    cli, scratch = sys.argv[1], sys.argv[2]
    count = int(sys.argv[3]) if len(sys.argv) > 3 else 12
    if shutil.which("rs274") is None:
        print("rs274 is not installed (Debian package linuxcnc-uspace): comparison skipped")
        return 0
    os.makedirs(scratch, exist_ok=True)
    rng = random.Random(16)
    failures = 0
    for index in range(count):
        path = os.path.join(scratch, "generated%02d.ngc" % index)
        with open(path, "w", encoding="ascii") as f:
            f.write(program(rng, index))
        ours = without_repeats(velmora_moves(cli, path))
        # rs274 starts at Z0, Velmora at Z500: the first move goes to the same point from different places.
        theirs = without_repeats(rs274_moves(path, path + ".out"))
        if len(ours) != len(theirs) or any(
                any(abs(a - b) > TOLERANCE for a, b in zip(p, q)) for p, q in zip(ours, theirs)):
            failures += 1
            print("%s: %d moves here, %d from rs274" % (path, len(ours), len(theirs)))
            for i, (p, q) in enumerate(zip(ours, theirs)):
                if any(abs(a - b) > TOLERANCE for a, b in zip(p, q)):
                    print("  first difference at move %d: %s here, %s from rs274" % (i + 1, p, q))
                    break
    print("%d of %d generated programs agree with rs274" % (count - failures, count))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
