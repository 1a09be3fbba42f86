#!/bin/sh
# bench.sh [BIN]: runs the benchmarks of a build (default: build/bin of this tree); each fails when
# a speed budget is exceeded. The budgets are judged on CPU time, the least of several repetitions,
# so that a build or another test run on the same machine does not turn them red, and each repetition is
# divided by how much slower than on the machine the budgets were set on a yardstick ran just before
# it (bench/budget.hpp); wall times are shown beside.
set -eu
cd "$(dirname "$0")/.."
bin=${1:-build/bin}
# Every benchmark runs even when an earlier one is over its budget; the script fails at the end.
status=0
for program in "$bin"/*_benchmark; do
    echo "== $program"
    "$program" --benchmark_min_time=0.5 || status=1
done
echo "== tools/keldra_speed.sh"
tools/keldra_speed.sh "$bin" || status=1
exit "$status"
