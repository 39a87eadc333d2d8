#!/bin/sh
# velmora-cli on inputs that are not ordinary programs: clear exit codes and messages, clean output, no crash.
# usage: bad_input_check.sh CLI SCRATCH_FOLDER CASE
# Large and binary inputs are generated here, into the scratch folder, not kept in the repository.
set -u
cli=$1 scratch=$2 case=$3
rm -rf "$scratch" && mkdir -p "$scratch" || exit 1
out=$scratch/out.jsonl err=$scratch/err.txt

fail() {
  echo "$case: $*" >&2
  [ -s "$err" ] && sed 's/^/  stderr: /' "$err" >&2
  exit 1
}

# Runs the CLI and checks its exit status.
run() {
  expected=$1
  shift
  "$cli" "$@" >"$out" 2>"$err"
  status=$?
  [ "$status" -eq "$expected" ] || fail "exit status $status, expected $expected"
}

# Every output line is JSON, the last one is the summary, and it counts the block lines before it.
check_json() {
  python3 - "$out" "$1" <<'PY' || fail "malformed output"
import json, sys
lines = open(sys.argv[1], encoding="utf-8").read().splitlines()
objects = [json.loads(line) for line in lines]
summary = objects[-1]["summary"]
blocks = objects[:-1]
expected_blocks = int(sys.argv[2])
if sys.argv[2] != "-1" and summary["blocks"] != expected_blocks:
    sys.exit(f"blocks {summary['blocks']}, expected {expected_blocks}")
if blocks and [b["block"] for b in blocks] != list(range(summary["blocks"])):
    sys.exit("block lines do not count 0 .. blocks-1")
PY
}

case $case in
  missing)
    run 2 dump "$scratch/no-such-file.nc"
    grep -q "no-such-file.nc" "$err" || fail "the message does not name the file"
    [ -s "$out" ] && fail "output on stdout"
    ;;
  folder)
    run 2 dump "$scratch"
    [ -s "$err" ] || fail "no message"
    [ -s "$out" ] && fail "output on stdout"
    run 2 check "$scratch"
    ;;
  usage)
    run 1
    grep -qi usage "$err" || fail "no usage text"
    run 1 dump
    grep -qi usage "$err" || fail "no usage text for dump without a file"
    run 1 dump a.nc b.nc
    run 1 check
    run 1 no-such-command x.nc
    ;;
  empty)
    : >"$scratch/empty.nc"
    run 0 dump "$scratch/empty.nc"
    cat >"$scratch/expected.jsonl" <<'JSON'
{"block":0,"text":"G90G00G17","x":0,"y":0,"z":500,"cx":0,"cy":0,"r":0,"dia":10,"state":0,"motion":0,"plane":17,"distance":90,"comp":0,"cycle":80,"feed":""}
{"summary":{"blocks":1,"minX":9999,"maxX":-9999,"minY":9999,"maxY":-9999,"minZ":9999,"maxZ":-9999,"error":null}}
JSON
    cmp -s "$out" "$scratch/expected.jsonl" || fail "unexpected output: $(cat "$out")"
    run 0 check "$scratch/empty.nc"
    cat >"$scratch/expected.txt" <<EOF
$scratch/empty.nc: warning: the program has no X or Y movement: there is nothing to draw [nothing-to-draw]
{"summary":{"file":"$scratch/empty.nc","blocks":1,"minX":9999,"maxX":-9999,"minY":9999,"maxY":-9999,"minZ":9999,"maxZ":-9999,"error":null,"errors":0,"warnings":1,"suppressed":0}}
EOF
    cmp -s "$out" "$scratch/expected.txt" || fail "unexpected check output: $(cat "$out")"
    ;;
  binary)
    # Every byte value, many times over, in a scrambled but fixed order.
    python3 -c "
import sys
sys.stdout.buffer.write(bytes((n * 7919 + n // 256) % 256 for n in range(1 << 18)))" >"$scratch/binary.nc"
    run 0 dump "$scratch/binary.nc"
    check_json -1
    # check refuses what is no program text, naming the file; NetCDF and HDF5 by their first bytes.
    run 2 check "$scratch/binary.nc"
    grep -q "binary data.*binary.nc" "$err" || fail "check does not say the file is binary"
    printf '\211HDF\r\n\032\n' >"$scratch/data.nc"
    run 2 check "$scratch/data.nc" "$scratch/binary.nc"
    grep -q "HDF5.*data.nc" "$err" || fail "check does not say the file is HDF5"
    [ -s "$out" ] && fail "output on stdout for refused files"
    ;;
  long-line)
    { printf 'G01F100X1.'; head -c 10485760 /dev/zero | tr '\0' '5'; printf 'Y2.\n'; } >"$scratch/long.nc"
    run 0 dump "$scratch/long.nc"
    check_json 2
    run 0 check "$scratch/long.nc"
    check_json 2
    ;;
  invalid-sjis)
    # Lead bytes without a valid trail byte, bytes that are never valid, and a lead byte at the end of the file.
    printf 'G01X1.\201 (\377\200)\nX2.\240\375\n\201' >"$scratch/invalid.nc"
    run 0 dump "$scratch/invalid.nc"
    check_json 4
    grep -q "$(printf '\357\277\275')" "$out" || fail "invalid bytes did not become U+FFFD"
    grep -q '"block":2,"text":"X2.' "$out" || fail "the second line was not read as its own block"
    ;;
  hostile)
    # Long lines made to be slow or to flood: many unknown G codes after a comment, unclosed name brackets
    # before a macro character, a letter and a sign far apart, a number of three million digits.
    python3 -c "
parts = ['(C)' + 'G10' * 1000000, '<' * 1000000 + '#', '0' * 3000000 + 'X' * 1000000 + 'M99P' * 100000,
         'X' + '9' * 3000000]
open('$scratch/hostile.nc', 'w').write(chr(10).join(parts) + chr(10))"
    # The line with brackets and a macro character cannot be evaluated: an error, and it is read as written.
    run 3 check "$scratch/hostile.nc"
    grep -q "hostile.nc:2: error: .*\[macro-syntax\]" "$out" || fail "no macro syntax error"
    [ "$(grep -c "hostile.nc:1: warning: G10" "$out")" -eq 16 ] || fail "line 1 is not cut to 16 problems"
    grep -q "hostile.nc:2:1000001: warning: macro variables" "$out" || fail "the macro after the brackets is lost"
    grep -q "hostile.nc:3:.*the jump M99 with P" "$out" || fail "the jump is lost"
    grep -q "hostile.nc:4:1: warning: the number after X has 3000000 digits" "$out" || fail "no overflow"
    ;;
  render-alone)
    # velmora-cli starts without Qt; only render needs it, from velmora-render beside velmora-cli.
    if command -v ldd >/dev/null; then
      ldd "$cli" | grep -qi 'libQt' && fail "velmora-cli links a Qt library"
    fi
    cp "$cli" "$scratch/velmora-cli" || fail "cannot copy velmora-cli"
    printf 'G01X1.\n' >"$scratch/in.nc"
    cli=$scratch/velmora-cli
    run 1 render "$scratch/out.png"
    grep -qi usage "$err" || fail "no usage text"
    run 2 render "$scratch/out.png" "$scratch/in.nc"
    grep -q "velmora-render" "$err" || fail "the message does not name velmora-render"
    [ -e "$scratch/out.png" ] && fail "a picture without velmora-render"
    ;;
  *)
    fail "unknown case"
    ;;
esac
exit 0
