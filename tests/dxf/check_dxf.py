#!/usr/bin/python3
"""Checks velmora-cli dxf end to end with ezdxf.

  check_dxf.py examples CLI EXAMPLES_DIR   every *.nc of the folder: audit, layers, one entity per move
  check_dxf.py cli CLI EXAMPLES_DIR        output location, backups, exit statuses and messages
"""
import glob
import json
import math
import os
import shutil
import subprocess
import sys
import tempfile

import ezdxf

LAYERS = ["Center", "Move", "Nomal", "Compensation", "Cycle"]
NO_MIN, NO_MAX = 9999, -9999
TOLERANCE = 1e-4  # the file has four decimals


def run(*args):
    return subprocess.run(list(args), capture_output=True, text=True)


def dump(cli, nc):
    result = run(cli, "dump", nc)
    assert result.returncode == 0, f"dump {nc}: {result.stderr}"
    rows = [json.loads(line) for line in result.stdout.splitlines() if line.strip()]
    return [r for r in rows if "block" in r], rows[-1]["summary"]


def expected_entities(blocks):
    """(type, layer, numbers) per entity, in file order; type "ARC|CIRCLE" for arcs in the XY plane."""
    pen = (0.0, 0.0)
    entities = []
    for b in blocks:
        if b["block"] == 0:
            continue
        end = (b["x"], b["y"])
        layer = "Compensation" if b["comp"] != 0 else "Nomal"
        if b["cycle"] != 80:
            layer = "Cycle"
            entities.append(("CIRCLE", "Cycle", (b["x"], b["y"], b["dia"] / 2)))
        motion = b["motion"]
        if motion == 0:
            entities.append(("LINE", "Move", pen + end))
        elif motion == 1 or (motion in (2, 3) and b["plane"] != 17):
            entities.append(("LINE", layer, pen + end))
        elif motion in (2, 3):
            entities.append(("ARC|CIRCLE", layer, (b["cx"], b["cy"], b["r"])))
        else:
            continue
        pen = end
    return entities


def numbers_of(entity):
    d = entity.dxf
    if entity.dxftype() == "LINE":
        return (d.start.x, d.start.y, d.end.x, d.end.y)
    return (d.center.x, d.center.y, d.radius)


def check_example(cli, nc, folder):
    out = os.path.join(folder, os.path.basename(nc) + ".dxf")
    result = run(cli, "dxf", nc, "-o", out)
    assert result.returncode == 0, f"dxf {nc}: exit {result.returncode}: {result.stderr}"
    assert result.stdout == f"{out}\nDXF_File saved successfully.\n", result.stdout
    blocks, summary = dump(cli, nc)
    doc = ezdxf.readfile(out)
    auditor = doc.audit()
    assert not auditor.has_errors, f"{nc}: audit errors {[str(e) for e in auditor.errors]}"
    if (summary["minX"], summary["maxX"], summary["minY"], summary["maxY"]) == (NO_MIN, NO_MAX, NO_MIN, NO_MAX):
        assert len(doc.modelspace()) == 0, f"{nc}: entities without any X or Y movement"
        return
    names = {layer.dxf.name for layer in doc.layers}
    assert set(LAYERS) <= names, f"{nc}: layers {sorted(names)}"
    assert doc.layers.get("Center").dxf.linetype.upper() == "CENTER"

    found = list(doc.modelspace())
    expected = [("LINE", "Center", ()), ("LINE", "Center", ())] + expected_entities(blocks)
    per_layer = {layer: 0 for layer in LAYERS}
    for kind, layer, _ in expected:
        per_layer[layer] += 1
    counted = {layer: sum(1 for e in found if e.dxf.layer == layer) for layer in LAYERS}
    assert counted == per_layer, f"{nc}: entities per layer {counted}, expected {per_layer}"
    assert len(found) == len(expected), f"{nc}: {len(found)} entities, expected {len(expected)}"
    for index, (entity, (kind, layer, numbers)) in enumerate(zip(found, expected)):
        where = f"{nc}: entity {index}"
        assert entity.dxftype() in kind.split("|"), f"{where}: {entity.dxftype()}, expected {kind}"
        assert entity.dxf.layer == layer, f"{where}: layer {entity.dxf.layer}, expected {layer}"
        if numbers:
            got = numbers_of(entity)
            assert all(math.isclose(a, b, abs_tol=TOLERANCE) for a, b in zip(got, numbers)), \
                f"{where}: {got}, expected {numbers}"
    print(f"{nc}: {len(found)} entities, per layer {counted}")


def check_examples(cli, examples):
    programs = sorted(glob.glob(os.path.join(examples, "*.nc")))
    if not programs:
        print(f"no sample programs in {examples}")
        return 77
    with tempfile.TemporaryDirectory() as folder:
        for nc in programs:
            check_example(cli, nc, folder)
    return 0


def check_cli(cli, examples):
    sample = sorted(glob.glob(os.path.join(examples, "*.nc")))[0]
    with tempfile.TemporaryDirectory() as folder:
        nc = os.path.join(folder, "part.rev.nc")
        shutil.copy(sample, nc)
        dxf = os.path.join(folder, "part.rev.dxf")
        for expected_backup in (None, "part.rev_old.dxf", "part.rev_old-01.dxf", "part.rev_old-02.dxf"):
            result = run(cli, "dxf", nc)
            assert result.returncode == 0, result.stderr
            assert result.stdout == f"{dxf}\nDXF_File saved successfully.\n", result.stdout
            if expected_backup:
                assert os.path.exists(os.path.join(folder, expected_backup)), os.listdir(folder)
        assert sorted(os.listdir(folder)) == sorted(
            ["part.rev.nc", "part.rev.dxf", "part.rev_old.dxf", "part.rev_old-01.dxf", "part.rev_old-02.dxf"])

        # 10^308 twice in incremental mode: the sum is beyond the largest number.
        overflow = os.path.join(folder, "overflow.nc")
        with open(overflow, "w") as program:
            program.write("G91G01X1.\n" + ("X1" + "0" * 308 + ".\n") * 2)
        before = sorted(os.listdir(folder))
        failures = [
            (["dxf", overflow], "line 3: a coordinate is not a finite number"),
            (["dxf", nc, "--templates", os.path.join(folder, "none")], "Hedder.dat"),
            (["dxf", os.path.join(folder, "missing.nc")], "missing.nc"),
            (["dxf", nc, "-o", os.path.join(nc, "x.dxf")], "x.dxf"),
            (["dxf", nc, "-o", nc], "part.rev.nc"),
        ]
        for args, named in failures:
            result = run(cli, *args)
            assert result.returncode == 2, f"{args}: exit {result.returncode}"
            assert named in result.stderr, f"{args}: {result.stderr}"
            assert "successfully" not in result.stdout, f"{args}: {result.stdout}"
        assert sorted(os.listdir(folder)) == before, os.listdir(folder)

        for args in ([], ["-o"], [nc, "extra.nc"], [nc, "--bogus"]):
            result = run(cli, "dxf", *args)
            assert result.returncode == 1, f"{args}: exit {result.returncode}"
            assert "usage" in result.stderr, result.stderr
    print("velmora-cli dxf: location, backups, failures and usage as expected")
    return 0


def main():
    mode, cli, examples = sys.argv[1:4]
    return check_examples(cli, examples) if mode == "examples" else check_cli(cli, examples)


if __name__ == "__main__":
    sys.exit(main())
