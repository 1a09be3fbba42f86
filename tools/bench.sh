#!/bin/sh
# Runs the benchmarks of the default build; each fails when a speed budget is exceeded.
set -eu
cd "$(dirname "$0")/.."
# Every benchmark runs even when an earlier one is over its budget; the script fails at the end.
status=0
for program in build/bin/*_benchmark; do
    echo "== $program"
    "$program" --benchmark_min_time=0.5 || status=1
done
echo "== tools/keldra_speed.sh"
tools/keldra_speed.sh build/bin || status=1
exit "$status"
