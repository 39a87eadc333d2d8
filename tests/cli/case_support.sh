# Sourced by the velmora-cli case scripts once they have set `command`: the script's arguments (CLI,
# SCRATCH_FOLDER, CASE), a fresh scratch folder to work in, and
#   run STATUS ARGS...   runs `CLI command ARGS...` into out.txt and err.txt and checks its exit status
#   expect_output        compares out.txt with the text on standard input
#   fail MESSAGE         reports the case failed, with what the command printed
set -u
cli=$1 scratch=$2 case=$3
rm -rf "$scratch" && mkdir -p "$scratch" || exit 1
cd "$scratch" || exit 1
out=out.txt err=err.txt

fail() {
  echo "$case: $*" >&2
  [ -s "$out" ] && sed 's/^/  stdout: /' "$out" >&2
  [ -s "$err" ] && sed 's/^/  stderr: /' "$err" >&2
  exit 1
}

run() {
  expected=$1
  shift
  "$cli" "$command" "$@" >"$out" 2>"$err"
  status=$?
  [ "$status" -eq "$expected" ] || fail "exit status $status, expected $expected"
}

expect_output() {
  cat >expected.txt
  cmp -s expected.txt "$out" || { diff expected.txt "$out" >&2; fail "unexpected output"; }
}
