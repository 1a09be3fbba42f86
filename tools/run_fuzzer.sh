#!/bin/sh
# Runs one libFuzzer target for a fixed number of inputs from its seed corpus, with a fixed seed so
# a run can be repeated. New inputs go into a scratch folder, never into the seeds.
# Usage: tools/run_fuzzer.sh TARGET SEED_FOLDER RUNS
set -eu
target=$1
seeds=$2
runs=$3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
"$target" -runs="$runs" -seed=1 -rss_limit_mb=4096 -timeout=60 "$scratch" "$seeds"
