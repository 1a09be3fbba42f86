#!/bin/sh
# Runs the benchmarks of the default build; each fails when a speed budget is exceeded.
set -eu
cd "$(dirname "$0")/.."
for program in build/bin/*_benchmark; do
    echo "== $program"
    "$program" --benchmark_min_time=0.5
done
