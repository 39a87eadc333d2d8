#!/usr/bin/env python3
"""Compares `velmora-cli path --control linuxcnc` with LinuxCNC's rs274 on generated O-word programs (loops,
nested and recursive calls, named parameters, expressions and arcs) and on generated programs that shift their
coordinates (G54-G59 from the profile and rs274's parameter file, G92, G52). Skipped (exit 0 with a message)
where rs274 is not installed.

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
        # After a continue in do-while, rs274 runs a later repeat loop twice its count: the loop comes last.
        "#<k> = 0",
        "o106 do",
        "  #<k> = [#<k> + 1]",
        "  o107 if [[#<k> MOD 2] EQ 0]",
        "    o106 continue",
        "  o107 endif",
        "  G1 X[#<k>] Y[-#<k>]",
        "o106 while [#<k> LT %d]" % rng.randint(1, 6),
        "G1 X0 Y0",
        "G2 X10 Y0 I5 J0",
        "G3 X0 Y0 I-5 J0",
        "#31 = [%d * 2 + 1]" % index,
        "#<c> = [#31 AND 1]",
        "G1 X[#31] Y[#<c>] Z[[#31 GT 3] OR [#<c> EQ 0]]",
        "M2",
    ]
    return "\n".join(lines) + "\n"


# Work offsets G54 ... G59 in mm, given to both sides: the profile's [offsets] and rs274's parameter file.
WORK_OFFSETS = [(10, 5, 0), (110, -20, 2), (-40, 30, -1.5), (7, 8, 9), (1, 1, 1), (0, 0, 0)]


def shift_program(rng):
    """A program that moves in shifted coordinates: work offsets, and G92 or G52 (rs274 keeps both in one
    offset, so a program uses one of them), with moves naming some axes, incremental moves and arcs."""
    local = rng.choice(["G92", "G52"])
    lines = ["G21 G90 G17 G54", "G0 X0 Y0 Z10", "G1 X1 F100"]

    def axes():
        named = [a for a in "XYZ" if rng.random() < 0.5] or [rng.choice("XYZ")]
        return " ".join("%s%s" % (a, rng.choice([-12, -3.5, 0, 2, 7.25, 15])) for a in named)

    for _ in range(rng.randint(8, 20)):
        kind = rng.choice(["work", "work-move", "shift", "cancel", "move", "move", "arc", "incremental"])
        if kind == "work":
            lines.append("G%d" % rng.randint(54, 59))
        elif kind == "work-move":
            lines.append("G%d G1 %s" % (rng.randint(54, 59), axes()))
        elif kind == "shift":
            lines.append("%s %s" % (local, axes()))
        elif kind == "cancel":
            lines.append("G92.1" if local == "G92" else "G52 X0 Y0 Z0")
        elif kind == "move":
            lines.append("G%d %s" % (rng.randint(0, 1), axes()))
        elif kind == "arc":
            lines += ["G91 G%d X10 Y0 I5 J%s" % (rng.randint(2, 3), rng.choice([0, 2])), "G90"]
        else:
            lines += ["G91 G1 %s" % axes(), "G90"]
    lines.append("M2")
    return "\n".join(lines) + "\n"


def write_offsets(folder):
    """The profile beside the shift programs, and rs274's parameter file (in inches, G92 offsets cleared)."""
    with open(os.path.join(folder, ".velmora.ini"), "w", encoding="ascii") as f:
        f.write("[check]\ncontrol = linuxcnc\n[offsets]\n")
        for i, offset in enumerate(WORK_OFFSETS):
            f.write("G%d = %s %s %s\n" % ((54 + i,) + offset))
    var = os.path.join(folder, "offsets.var")
    with open(var, "w", encoding="ascii") as f:
        f.write("5210 0\n5211 0\n5212 0\n5213 0\n5220 1\n")
        for i, offset in enumerate(WORK_OFFSETS):
            for axis, value in enumerate(offset):
                f.write("%d %.10f\n" % (5221 + 20 * i + axis, value / 25.4))
    return var


def rs274_moves(path, out, offsets_folder=None):
    """rs274's moves where the drawing has them: its canonical calls are in the coordinates in force, so the
    work and G92 offsets it sets are added, against the work offset in force at the start."""
    # Now and then, on a busy machine, rs274 leaves an empty output: it is run again then.
    for _ in range(3):
        if os.path.exists(out):
            os.remove(out)
        # rs274 writes its parameters back on leaving: each run starts from the same file.
        var = write_offsets(offsets_folder) if offsets_folder else None
        subprocess.run(["rs274"] + (["-v", var] if var else []) + ["-g", path, out], stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60, check=False)
        if os.path.exists(out) and os.path.getsize(out) > 0:
            break
    if not os.path.exists(out):
        return []
    moves = []
    number = r"(-?\d+\.\d+)"
    three = number + r", " + number + r", " + number
    work, g92, start = (0, 0, 0), (0, 0, 0), None
    with open(out, encoding="utf-8", errors="replace") as f:
        for line in f:
            m = re.search(r"SET_G5X_OFFSET\(\d+, " + three, line)
            if m:
                work = tuple(float(v) for v in m.groups())
                start = start or work
                continue
            m = re.search(r"SET_G92_OFFSET\(" + three, line)
            if m:
                g92 = tuple(float(v) for v in m.groups())
                continue
            point = None
            m = re.search(r"(STRAIGHT_FEED|STRAIGHT_TRAVERSE)\(" + three, line)
            if m:
                point = tuple(float(v) for v in m.groups()[1:])
            m = re.search(r"ARC_FEED\(" + number + r", " + number + r", " + number + r", " + number + r", (-?\d+), "
                          + number, line)
            if m:
                point = (float(m.group(1)), float(m.group(2)), float(m.group(6)))
            if point:
                base = start or (0, 0, 0)
                moves.append(tuple(p + w + g - b for p, w, g, b in zip(point, work, g92, base)))
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
    shifts = os.path.join(scratch, "shifts")
    os.makedirs(shifts, exist_ok=True)
    rng = random.Random(16)
    failures = 0
    for index in range(2 * count):
        offsets_folder = None
        if index < count:
            path = os.path.join(scratch, "generated%02d.ngc" % index)
            text = program(rng, index)
        else:
            path = os.path.join(shifts, "shifted%02d.ngc" % (index - count))
            text = shift_program(rng)
            offsets_folder = shifts
            write_offsets(shifts)
        with open(path, "w", encoding="ascii") as f:
            f.write(text)
        ours = without_repeats(velmora_moves(cli, path))
        # rs274 starts at Z0, Velmora at Z500: the first move goes to the same point from different places.
        theirs = without_repeats(rs274_moves(path, path + ".out", offsets_folder))
        if len(ours) != len(theirs) or any(
                any(abs(a - b) > TOLERANCE for a, b in zip(p, q)) for p, q in zip(ours, theirs)):
            failures += 1
            print("%s: %d moves here, %d from rs274" % (path, len(ours), len(theirs)))
            for i, (p, q) in enumerate(zip(ours, theirs)):
                if any(abs(a - b) > TOLERANCE for a, b in zip(p, q)):
                    print("  first difference at move %d: %s here, %s from rs274" % (i + 1, p, q))
                    break
    print("%d of %d generated programs agree with rs274" % (2 * count - failures, 2 * count))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
