#!/usr/bin/python3
"""velmora-cli dxf --tool-centre on a compensated program: the layer ToolCentre holds the pieces of
velmora-cli path that compensation made, as exact lines and arcs (read back with ezdxf), and the rest of the
file is the default DXF byte for byte.

usage: dxf_tool_centre.py VELMORA_CLI PROGRAM WORK_DIR"""
import json
import math
import os
import subprocess
import sys

import ezdxf

TOLERANCE = 1e-4  # the file has four decimals


def main():
    cli, program, work = sys.argv[1:4]
    os.makedirs(work, exist_ok=True)
    plain, centre = os.path.join(work, "plain.dxf"), os.path.join(work, "centre.dxf")
    subprocess.run([cli, "dxf", program, "-o", plain], check=True, capture_output=True)
    subprocess.run([cli, "dxf", program, "-o", centre, "--tool-centre"], check=True, capture_output=True)
    path = subprocess.run([cli, "path", program], check=True, capture_output=True, text=True).stdout
    moves = [json.loads(line) for line in path.splitlines()]
    pen, pieces = None, []
    for m in moves:
        pieces.append((pen, m))
        pen = (m["x"], m["y"])
    # The pieces made by compensation: those with a side, and the exit move after them.
    made = [(start, m) for start, m in pieces if "comp" in m]
    exits = [(start, m) for (start, m), (_, before) in zip(pieces[1:], pieces) if "comp" in before and "comp" not in m]
    made += exits
    # Arcs outside XY are seen edge-on, as lines; moves along Z alone draw nothing from above.
    made = [(start, m) for start, m in made if m["motion"] in (2, 3) and m["plane"] == 17
            or math.dist(start, (m["x"], m["y"])) > 0]
    entities = [e for e in ezdxf.readfile(centre).modelspace() if e.dxf.layer == "ToolCentre"]
    failures = []
    if len(entities) != len(made):
        failures.append("%d ToolCentre entities for %d pieces" % (len(entities), len(made)))
    by_end = {}
    for e in entities:
        if e.dxftype() == "LINE":
            by_end.setdefault("LINE", []).append((e.dxf.start, e.dxf.end))
        else:
            by_end.setdefault("ARC", []).append(e)
    for start, m in made:
        if m["motion"] in (2, 3) and m["plane"] == 17:
            r = math.hypot(start[0] - m["cx"], start[1] - m["cy"])
            ok = any(abs(a.dxf.center.x - m["cx"]) < TOLERANCE and abs(a.dxf.center.y - m["cy"]) < TOLERANCE
                     and abs(a.dxf.radius - r) < TOLERANCE for a in by_end.get("ARC", []))
        else:
            ok = any(math.dist((s.x, s.y), start) < TOLERANCE and math.dist((t.x, t.y), (m["x"], m["y"])) < TOLERANCE
                     for s, t in by_end.get("LINE", []))
        if not ok:
            failures.append("no entity for %s from %s" % (json.dumps(m), start))
    # Without the ToolCentre entities the file is the default one.
    with open(centre, "rb") as f:
        # An entity's own lines end in LF, the file's items in CR LF: compare line by line, the ends apart.
        text = f.read().replace(b"\r\n", b"\n").split(b"\n")
    kept, i = [], 0
    while i < len(text):
        if text[i] == b"  0" and i + 3 < len(text) and text[i + 3] == b"ToolCentre":
            i += 1
            while i < len(text) and text[i] != b"  0":
                i += 1
            continue
        kept.append(text[i])
        i += 1
    with open(plain, "rb") as f:
        if kept != f.read().replace(b"\r\n", b"\n").split(b"\n"):
            failures.append("the rest of the file differs from the default DXF")
    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
