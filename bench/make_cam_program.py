#!/usr/bin/env python3
# A CAM-style NC program for the window benchmark: random-walk G1 XYZ moves and a G2 half circle (I5. J0.)
# every 50 lines.   usage: make_cam_program.py LINES OUT.nc
import random
import sys

lines, path = int(sys.argv[1]), sys.argv[2]
random.seed(1)
x = y = 0.0
z = 5.0
with open(path, "w") as out:
    out.write("G90 G17 G21 G00 X0. Y0. Z5.\nG01 F800.\n")
    for i in range(2, lines):
        if i % 50 == 0:
            x += 10.0
            out.write("G2 X%.3f Y%.3f I5. J0.\n" % (x, y))
            continue
        x = min(max(x + random.uniform(-2, 2), -200), 200)
        y = min(max(y + random.uniform(-2, 2), -150), 150)
        z = min(max(z + random.uniform(-0.2, 0.2), -10), 5)
        out.write("G1 X%.3f Y%.3f Z%.3f\n" % (x, y, z))
