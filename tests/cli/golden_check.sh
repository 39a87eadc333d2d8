#!/bin/sh
# Runs `velmora-cli dump input.nc` in a golden case folder and compares the output with expected.jsonl exactly.
# usage: golden_check.sh CLI CASE_FOLDER SCRATCH_FOLDER
set -u
cli=$1 case_dir=$2 scratch=$3
mkdir -p "$scratch" || exit 1
actual=$scratch/actual.jsonl
cd "$case_dir" || exit 1
"$cli" dump input.nc >"$actual"
status=$?
if [ "$status" -ne 0 ]; then
  echo "velmora-cli dump exited with $status" >&2
  exit 1
fi
if ! cmp -s "$actual" expected.jsonl; then
  echo "output differs from $case_dir/expected.jsonl:" >&2
  diff expected.jsonl "$actual" >&2
  exit 1
fi
