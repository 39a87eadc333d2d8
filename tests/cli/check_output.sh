#!/bin/sh
# velmora-cli check: the compiler-style and JSON problem lines, the summaries, the exit statuses, and the
# order of the files checked in parallel.
# usage: check_output.sh CLI SCRATCH_FOLDER CASE
command=check
. "$(dirname "$0")/case_support.sh"

# A clean program, one with a warning only, one with an error and a warning, one with nothing to draw.
printf 'G00X0Y0\nG01X10.Y0F100\nG02X20.Y10.R10.\n' >clean.nc
printf 'G00X0Y0\nG10G01X10.F100\n' >warning.nc
printf 'G00X0Y0\nG01X10.Y0F100\nG02X20.Y10.R4.\nG01X#500\n' >error.nc
printf 'G00Z5.\nG01Z-1.F50\n' >flat.nc

case $case in
  text)
    run 3 clean.nc error.nc flat.nc
    expect_output <<'EOF'
{"summary":{"file":"clean.nc","blocks":4,"minX":0,"maxX":20,"minY":0,"maxY":10,"minZ":9999,"maxZ":-9999,"error":null,"errors":0,"warnings":0,"suppressed":0}}
error.nc:3: error: R 4.0000 is too small for the chord: half the chord is 7.0711, 3.0711 more (76.7767 % of R); rejected by strict, linuxcnc, grbl, mach3 [arc-r-too-small]
error.nc:4: warning: #500 is machine data a viewer cannot know: words using it are left out [macro-unknown-value]
{"summary":{"file":"error.nc","blocks":5,"minX":0,"maxX":20,"minY":0,"maxY":10,"minZ":9999,"maxZ":-9999,"error":null,"errors":1,"warnings":1,"suppressed":0}}
flat.nc: warning: the program has no X or Y movement: there is nothing to draw [nothing-to-draw]
{"summary":{"file":"flat.nc","blocks":3,"minX":9999,"maxX":-9999,"minY":9999,"maxY":-9999,"minZ":-1,"maxZ":5,"error":null,"errors":0,"warnings":1,"suppressed":0}}
EOF
    [ -s "$err" ] && fail "output on stderr"
    ;;
  json)
    run 3 --format json error.nc
    python3 - "$out" <<'PY' || fail "malformed JSON output"
import json, sys
objects = [json.loads(line) for line in open(sys.argv[1], encoding="utf-8").read().splitlines()]
assert objects[:-1] == [
    {"file": "error.nc", "line": 3, "column": 0, "severity": "error", "rule": "arc-r-too-small",
     "message": "R 4.0000 is too small for the chord: half the chord is 7.0711, 3.0711 more (76.7767 % of R); "
                "rejected by strict, linuxcnc, grbl, mach3",
     "controls": {"strict": "rejected", "linuxcnc": "rejected", "grbl": "rejected", "mach3": "rejected"}},
    {"file": "error.nc", "line": 4, "column": 0, "severity": "warning", "rule": "macro-unknown-value",
     "message": "#500 is machine data a viewer cannot know: words using it are left out"},
], objects[:-1]
summary = objects[-1]["summary"]
assert (summary["file"], summary["errors"], summary["warnings"]) == ("error.nc", 1, 1), summary
PY
    run 0 --format=json flat.nc
    grep -q '"line":0,"column":0,"severity":"warning","rule":"nothing-to-draw"' "$out" || fail "no whole-program problem"
    ;;
  statuses)
    run 0 clean.nc
    run 0 warning.nc flat.nc
    run 3 --werror warning.nc
    grep -q '^warning.nc:2:1: error: G10 belongs to no modal group' "$out" || fail "--werror does not report the warning as an error"
    grep -q '"errors":1,"warnings":0' "$out" || fail "--werror does not count the warning as an error"
    run 3 clean.nc error.nc
    # A file that cannot be read outweighs an error; the other files are still checked and reported.
    run 2 error.nc missing.nc clean.nc
    grep -q "missing.nc" "$err" || fail "the unreadable file is not named"
    [ "$(grep -c summary "$out")" -eq 2 ] || fail "the readable files are not all reported"
    run 2 .
    # A comment syntax error is an error of the program, not a failure to read it.
    printf 'G01X1.\n)G01X5.\n' >syntax.nc
    run 3 syntax.nc
    grep -q '^syntax.nc:2: error: comment syntax error' "$out" || fail "the syntax error is not reported"
    ;;
  usage)
    run 1
    grep -qi usage "$err" || fail "no usage text"
    run 1 --werror
    run 1 --format xml clean.nc
    run 1 --format
    run 1 --color clean.nc
    run 1 --format sarif
    run 1 --stock-top high clean.nc
    run 1 --stock-top
    run 0 --stock-top=-1.5 clean.nc
    run 1 --list-rules clean.nc
    # After "--" a name that begins with a dash is a file.
    cp clean.nc ./-dash.nc
    run 0 -- -dash.nc
    ;;
  profile)
    # A radius 0.0094 longer at the end than at the start: within LinuxCNC's and grbl's limits.
    mkdir -p shop/job
    printf 'G00X0Y0\nG01X10.Y0F100\nG02X30.Y0I10.0047J0\n' >shop/job/arc.nc
    run 3 shop/job/arc.nc
    grep -q 'rejected by strict, mach3; accepted by linuxcnc, grbl \[arc-radius-mismatch\]' "$out" ||
      fail "the arc message does not name the controls"
    run 0 --control linuxcnc shop/job/arc.nc
    run 1 --control siemens shop/job/arc.nc
    # The profile file of the nearest folder above the program; a setting it cannot use is told by line.
    printf '[check]\ncontrol = GRBL\ncolour = red\n' >shop/.velmora.ini
    run 0 shop/job/arc.nc
    grep -q '/shop/.velmora.ini:3: warning: unknown key "colour" in \[check\]' "$err" || fail "the unknown key is not told"
    run 3 --no-config shop/job/arc.nc
    run 3 --control mach3 shop/job/arc.nc
    # fanuc with a file's arc tolerance; X10000 without a point is 10 mm with standard decimal input.
    printf '[check]\ncontrol = fanuc\narc_tolerance = 0.01\n' >fanuc.ini
    printf 'G00X0Y0\nG01X10000Y0F100\nG02X30.Y0I10.0047J0\n' >fanuc.nc
    run 0 --config fanuc.ini fanuc.nc
    run 3 --config fanuc.ini --control strict fanuc.nc
    grep -q '^fanuc.nc:3: error: arc radius 10.0047 at the start and 9980.0047 at the end' "$out" || fail "X10000 is not 10000 under strict"
    ;;
  order)
    names=""
    for n in 1 2 3 4 5 6 7 8 9 10 11 12; do
      if [ $((n % 3)) -eq 0 ]; then cp error.nc "f$n.nc"; else cp clean.nc "f$n.nc"; fi
      names="$names f$n.nc"
    done
    # shellcheck disable=SC2086
    run 3 $names
    got=$(sed -n 's/.*"summary":{"file":"\([^"]*\)".*/\1/p' "$out" | tr '\n' ' ')
    [ "$got" = "$(echo $names) " ] || fail "files reported as $got"
    [ "$(grep -c '^f3.nc:3: error' "$out")" -eq 1 ] || fail "the problems of f3.nc are missing"
    line_of() { grep -n "$1" "$out" | head -n 1 | cut -d: -f1; }
    [ "$(line_of '^f3.nc:3:')" -lt "$(line_of '"file":"f3.nc"')" ] || fail "problems after their summary"
    [ "$(line_of '"file":"f2.nc"')" -lt "$(line_of '^f3.nc:3:')" ] || fail "problems before the file ahead"
    ;;
  rules)
    run 0 --list-rules
    head -n 1 "$out" | grep -q '^RULE  *SEVERITY  *ON FOR  *WHY$' || fail "no heading"
    grep -q '^feed-undefined  *error  *all  *a feed move without a feed rate' "$out" || fail "feed-undefined not listed"
    grep -q '^rapid-plunge  *warning  *none (enable it in \[rules\])  *a rapid plunge' "$out" ||
      fail "an off rule not listed as off"
    grep -q '^comp-without-d  *warning  *strict, fanuc, haas, grbl, mach3  ' "$out" || fail "the controls not named"
    grep -q '^program-end-missing  *warning  *linuxcnc  ' "$out" || fail "a rule of one control not named"
    [ "$(wc -l <"$out")" -eq 45 ] || fail "not one line per rule"
    ;;
  sarif)
    # One run over all files: a silenced problem is a result suppressed in the source, a file that cannot be
    # read makes the run unsuccessful.
    printf 'G00X0Y0\nG01X10. (velmora: disable=feed-undefined)\nG02X20.Y10.R4.F100\n' >'with space.nc'
    run 2 --format sarif error.nc 'with space.nc' missing.nc
    grep -q "missing.nc" "$err" || fail "the unreadable file is not named"
    python3 - "$out" "$(dirname "$0")/sarif_subset.json" <<'PY' || fail "not a SARIF log as expected"
import json, sys
log = json.load(open(sys.argv[1], encoding="utf-8"))
try:
    import jsonschema
    jsonschema.Draft7Validator(json.load(open(sys.argv[2], encoding="utf-8")),
                               format_checker=jsonschema.FormatChecker()).validate(log)
except ImportError:
    pass  # the structure below is still checked
assert log["version"] == "2.1.0" and len(log["runs"]) == 1, log
run = log["runs"][0]
rules = run["tool"]["driver"]["rules"]
ids = [r["id"] for r in rules]
assert len(ids) == len(set(ids)) and all(r["help"]["text"] for r in rules), ids
assert run["invocations"] == [{"executionSuccessful": False}], run["invocations"]
def where(r):
    location = r["locations"][0]["physicalLocation"]
    return (location["artifactLocation"]["uri"], location["region"].get("startLine"), location["region"].get("startColumn"))
for r in run["results"]:
    assert ids[r["ruleIndex"]] == r["ruleId"], r
got = [(r["ruleId"], r["level"], where(r), "suppressions" in r) for r in run["results"]]
assert got == [
    ("arc-r-too-small", "error", ("error.nc", 3, None), False),
    ("macro-unknown-value", "warning", ("error.nc", 4, None), False),
    ("arc-r-too-small", "error", ("with%20space.nc", 3, None), False),
    ("feed-undefined", "error", ("with%20space.nc", 2, None), True),
], got
assert run["results"][0]["message"]["text"].startswith("R 4.0000 is too small for the chord"), run["results"][0]
PY
    # A problem of the whole program has a file but no region.
    run 3 --format=sarif --werror clean.nc flat.nc
    grep -q '"ruleId":"nothing-to-draw","ruleIndex":[0-9]*,"level":"error",.*"uri":"flat.nc"}}}\]}' "$out" ||
      fail "--werror does not make errors, or a whole-program problem has a region"
    grep -q '"executionSuccessful":true' "$out" || fail "a complete run is not successful"
    ;;
  *)
    fail "unknown case"
    ;;
esac
exit 0
