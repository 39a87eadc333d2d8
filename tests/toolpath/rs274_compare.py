#!/usr/bin/env python3
"""Compares the tool centre path of velmora-cli path with the canonical moves of LinuxCNC's rs274 on random
compensated contours and on the sample programs beside this script: the same moves within 1e-4, and where
rs274 refuses a program, the same comp-* problem on the same line.

usage: rs274_compare.py VELMORA_CLI WORK_DIR [COUNT [SEED]]"""
import glob
import json
import math
import os
import random
import re
import shutil
import subprocess
import sys

# 1e-4, plus the half unit of the fourth decimal that rs274 rounds its output to.
TOLERANCE = 1.5e-4
CALL = re.compile(r"(STRAIGHT_FEED|STRAIGHT_TRAVERSE|ARC_FEED|SELECT_PLANE)\(([^)]*)\)")
# rs274's messages and the problems Velmora gives for the same refusal.
MESSAGES = [
    ("entry move is not greater than the tool radius", "comp-entry-too-short"),
    ("entry arc is not greater than the tool radius", "comp-entry-too-short"),
    ("Tool radius not less than arc radius", "comp-arc-too-small"),
    ("same center", "comp-same-centre"),
    ("without gouging", "comp-gouge"),
    ("Zero degree inside corner", "comp-gouge"),
    ("allowed only in XY, XZ planes", "comp-plane"),
    ("Cannot change planes with cutter radius", "comp-plane"),
    ("must be straight, not an arc", "comp-exit-arc"),
    ("Cannot turn cutter radius comp on when on", "comp-already-on"),
]


def run_rs274(program, out):
    """rs274 now and then fails without a message, or leaves no output, while other copies of it run on the
    machine: such a run is tried again, and an old output file is never read for a new program."""
    for _ in range(3):
        if os.path.exists(out):
            os.remove(out)
        run = subprocess.run(["rs274", "-g", program, out], capture_output=True, text=True, timeout=60)
        text = (run.stdout + run.stderr).strip()
        told = run.returncode != 0 and any(msg in text for msg, _ in MESSAGES)
        if os.path.exists(out) and (run.returncode == 0 or told):
            return run
    return run


def rs274_moves(program, work):
    out = os.path.join(work, "rs274.out")
    run = run_rs274(program, out)
    if not os.path.exists(out):
        open(out, "w").close()
    moves, plane = [], 17
    with open(out, encoding="utf-8", errors="replace") as f:
        for line in f:
            m = CALL.search(line)
            if not m:
                continue
            if m.group(1) == "SELECT_PLANE":
                plane = 18 if "XZ" in m.group(2) else (19 if "YZ" in m.group(2) else 17)
                continue
            v = [float(t) for t in m.group(2).split(",")]
            if m.group(1) != "ARC_FEED":
                moves.append({"x": v[0], "y": v[1], "z": v[2]})
            elif plane == 18:
                moves.append({"z": v[0], "x": v[1], "cz": v[2], "cx": v[3], "turn": v[4] > 0, "y": v[5]})
            else:
                moves.append({"x": v[0], "y": v[1], "cx": v[2], "cy": v[3], "turn": v[4] > 0, "z": v[5]})
    error = None
    if run.returncode != 0:
        text = run.stdout + run.stderr
        rule = next((r for msg, r in MESSAGES if msg in text), "unknown: " + text.strip()[-200:])
        lines = [l.strip() for l in text.splitlines() if l.strip() and l.strip() != "executing"]
        error = (rule, lines[-1] if lines else "")
    return moves, error


def velmora_moves(cli, program):
    run = subprocess.run([cli, "path", program], capture_output=True, text=True, timeout=60, check=True)
    moves = []
    for line in run.stdout.splitlines():
        m = json.loads(line)
        if m["motion"] in (2, 3):
            m["turn"] = m["motion"] == 3
        moves.append(m)
    return moves


def velmora_comp_errors(cli, program):
    run = subprocess.run([cli, "check", "--format", "json", program], capture_output=True, text=True, timeout=60)
    found = []
    for line in run.stdout.splitlines():
        p = json.loads(line)
        if p.get("rule", "").startswith("comp-") and p["severity"] == "error":
            found.append((p["rule"], p["line"]))
    return found


def same_move(a, b):
    for key in ("x", "y", "z", "cx", "cy", "cz"):
        if key in a and key in b and abs(a[key] - b[key]) > TOLERANCE:
            return False
    return ("turn" in a) == ("turn" in b) and a.get("turn") == b.get("turn")


def compare(cli, program, work):
    """An empty string when Velmora agrees with rs274 on `program`, else what differs."""
    expected, error = rs274_moves(program, work)
    got = velmora_moves(cli, program)
    # rs274 stops at a refusal and keeps back the move in its queue: what it printed must begin Velmora's path.
    if error is None and len(got) != len(expected):
        return "%d moves, rs274 %d" % (len(got), len(expected))
    for i, (a, b) in enumerate(zip(got, expected)):
        if not same_move(a, b):
            return "move %d: %s, rs274 %s" % (i + 1, json.dumps(a), json.dumps(b))
    if len(got) < len(expected):
        return "%d moves before rs274's refusal, Velmora %d" % (len(expected), len(got))
    problems = velmora_comp_errors(cli, program)
    if error is None:
        return "" if not problems else "problems %s, rs274 none" % problems
    if not problems:
        return "no problem, rs274 %s at %r" % error
    rule, line = problems[0]
    with open(program, encoding="utf-8") as f:
        text = f.read().splitlines()[line - 1].strip()
    if rule != error[0] or text != error[1]:
        return "%s at %r, rs274 %s at %r" % (rule, text, error[0], error[1])
    return ""


def fmt(v):
    return ("%.4f" % v).rstrip("0").rstrip(".")


def random_program(rng):
    """A compensated contour of lines and arcs in G17 or G18, with an entry and an exit."""
    plane = rng.choice([17, 18])
    a_word, b_word, n_word = ("X", "Y", "Z") if plane == 17 else ("Z", "X", "Y")
    ia, ib = ("I", "J") if plane == 17 else ("K", "I")
    d = rng.choice([2, 4, 6, 10])
    out = ["G21", "G90", "G%d" % plane, "G0 %s0 %s0 %s0" % (a_word, b_word, n_word)]
    p = (0.0, 0.0)
    start = (rng.uniform(-40, 40), rng.uniform(-40, 40))
    out.append("G0 %s%s %s%s" % (a_word, fmt(start[0]), b_word, fmt(start[1])))
    out.append("%s D%d" % (rng.choice(["G41.1", "G42.1"]), d))
    first = (start[0] + rng.uniform(15, 30) * rng.choice([-1, 1]), start[1] + rng.uniform(15, 30) * rng.choice([-1, 1]))
    out.append("G1 %s%s %s%s F100" % (a_word, fmt(first[0]), b_word, fmt(first[1])))
    p = (float(fmt(first[0])), float(fmt(first[1])))
    for _ in range(rng.randint(3, 9)):
        kind = rng.random()
        if kind < 0.1:
            out.append("G1 %s%s" % (n_word, fmt(rng.uniform(-5, 0))))
        elif kind < 0.55:
            ang, length = rng.uniform(0, 2 * math.pi), rng.uniform(d, 40)
            q = (float(fmt(p[0] + length * math.cos(ang))), float(fmt(p[1] + length * math.sin(ang))))
            out.append("G1 %s%s %s%s" % (a_word, fmt(q[0]), b_word, fmt(q[1])))
            p = q
        else:
            radius, ang = rng.uniform(2, 30), rng.uniform(0, 2 * math.pi)
            off = (float(fmt(radius * math.cos(ang))), float(fmt(radius * math.sin(ang))))
            c = (p[0] + off[0], p[1] + off[1])
            ccw = rng.random() < 0.5
            sweep = rng.uniform(0.2, 1.8 * math.pi) * (1 if ccw else -1)
            start_ang = math.atan2(p[1] - c[1], p[0] - c[0])
            r = math.hypot(*off)
            q = (float(fmt(c[0] + r * math.cos(start_ang + sweep))), float(fmt(c[1] + r * math.sin(start_ang + sweep))))
            out.append("G%d %s%s %s%s %s%s %s%s" % (3 if ccw else 2, a_word, fmt(q[0]), b_word, fmt(q[1]),
                                                    ia, fmt(off[0]), ib, fmt(off[1])))
            p = q
    exit_at = (p[0] + rng.uniform(-40, 40), p[1] + rng.uniform(-40, 40))
    out.append("G40 G1 %s%s %s%s" % (a_word, fmt(exit_at[0]), b_word, fmt(exit_at[1])))
    out.append("M2")
    return "\n".join(out) + "\n"


def main():
    if len(sys.argv) < 3:
        print(__doc__, file=sys.stderr)
        return 1
    cli, work = os.path.abspath(sys.argv[1]), sys.argv[2]
    count = int(sys.argv[3]) if len(sys.argv) > 3 else 300
    seed = int(sys.argv[4]) if len(sys.argv) > 4 else 17
    if shutil.which("rs274") is None:
        print("skipped: rs274 (Debian linuxcnc-uspace) is not installed")
        return 77
    os.makedirs(work, exist_ok=True)
    programs = sorted(glob.glob(os.path.join(os.path.dirname(os.path.abspath(__file__)), "samples", "*.ngc")))
    rng = random.Random(seed)
    for i in range(count):
        path = os.path.join(work, "random%03d.ngc" % i)
        with open(path, "w", encoding="utf-8") as f:
            f.write(random_program(rng))
        programs.append(path)
    failures, refused = 0, 0
    for program in programs:
        verdict = compare(cli, program, work)
        refused += velmora_comp_errors(cli, program) != []
        if verdict:
            failures += 1
            print("%s: %s" % (program, verdict))
    print("%d programs, %d refused by both, %d differ" % (len(programs), refused, failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
