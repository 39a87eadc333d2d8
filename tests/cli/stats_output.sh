#!/bin/sh
# velmora-cli stats: the figures of a program as one JSON object, checked against values worked out by hand;
# the rapid rate option; files that are no program; usage.
# usage: stats_output.sh CLI SCRATCH_FOLDER CASE
command=stats
. "$(dirname "$0")/case_support.sh"

# Rapids: Z500 (the initial point) down to Z5 is 495, up to Z50 51, back to X0 Y0 sqrt(30² + 20²) = 36.056.
# Feeds: 6 at F60 (6 s), 30 at F600 (3 s), a half circle of radius 10 at F600 (10π = 31.416, 3.142 s).
# Dwells: 2500 ms and 1.5 s. The half circle about X30 Y10 reaches out to X40.
cat >program.nc <<'NC'
G90 G00 X0 Y0 Z5 T1
G01 Z-1 F60
G01 X30 F600
G03 X30 Y20 I0 J10
G04 P2500
G00 Z50
T2
G00 X0 Y0
G04 X1.5
M30
NC

case $case in
  figures)
    run 0 program.nc
    expect_output <<'EOF'
{"file":"program.nc","blocks":11,"minX":0,"maxX":40,"minY":0,"maxY":20,"minZ":-1,"maxZ":50,"feedLength":67.416,"rapidLength":582.056,"rapidRate":10000,"feedSeconds":12.142,"rapidSeconds":3.492,"dwellSeconds":4,"totalSeconds":19.634,"untimedFeedMoves":0,"tools":[1,2]}
EOF
    [ -s "$err" ] && fail "output on stderr"
    ;;
  rapid-rate)
    run 0 --rapid-rate 5000 program.nc
    python3 - "$out" <<'PY' || fail "unexpected figures"
import json, sys
f = json.loads(open(sys.argv[1]).read())
assert (f["rapidRate"], f["rapidSeconds"], f["totalSeconds"]) == (5000, 6.985, 23.126), f
PY
    : >empty.nc
    run 0 empty.nc
    expect_output <<'EOF'
{"file":"empty.nc","blocks":1,"minX":null,"maxX":null,"minY":null,"maxY":null,"minZ":null,"maxZ":null,"feedLength":0,"rapidLength":0,"rapidRate":10000,"feedSeconds":0,"rapidSeconds":0,"dwellSeconds":0,"totalSeconds":0,"untimedFeedMoves":0,"tools":[]}
EOF
    ;;
  tool-centre)
    # Under G41.1 D10 (radius 5) the feeds follow the tool centre: the entry from X0 Y-20 to X-5 Y0 is
    # sqrt(5² + 20²) = 20.616, Y30 is 30, the corner arc about X0 Y30 a quarter of radius 5 (2.5π = 7.854), X30
    # is 30 and the exit from X30 Y35 to X40 Y50 sqrt(10² + 15²) = 18.028: 106.497 in all (programmed 102.361),
    # at F600 10.650 s. Extents and rapids stay as programmed.
    printf 'G90 G0 X0 Y-20 Z0\nG41.1 D10\nG1 X0 Y0 F600\nY30\nX30\nG40 X40 Y50\nM30\n' >contour.nc
    run 0 contour.nc
    expect_output <<'EOF'
{"file":"contour.nc","blocks":8,"minX":0,"maxX":40,"minY":-20,"maxY":50,"minZ":0,"maxZ":0,"feedLength":106.497,"rapidLength":500.4,"rapidRate":10000,"feedSeconds":10.65,"rapidSeconds":3.002,"dwellSeconds":0,"totalSeconds":13.652,"untimedFeedMoves":0,"tools":[]}
EOF
    ;;
  refused)
    printf 'CDF\001\000\000\000\000' >netcdf.nc
    run 2 netcdf.nc
    grep -q "NetCDF.*netcdf.nc" "$err" || fail "the message does not name the file and its kind"
    [ -s "$out" ] && fail "output on stdout"
    head -c 4096 /dev/urandom >random.nc
    run 2 random.nc
    grep -q "binary.*random.nc" "$err" || fail "the message does not name the file and its kind"
    run 2 no-such-file.nc
    grep -q "no-such-file.nc" "$err" || fail "the message does not name the file"
    ;;
  usage)
    run 1
    grep -qi usage "$err" || fail "no usage text"
    run 1 program.nc program.nc
    run 1 --rapid-rate 0 program.nc
    run 1 --rapid-rate fast program.nc
    ;;
  *)
    fail "unknown case"
    ;;
esac
exit 0
