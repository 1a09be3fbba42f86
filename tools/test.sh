#!/bin/sh
# Installs what is missing, builds the suite, runs every test, then runs the core tests again under
# AddressSanitizer and UndefinedBehaviorSanitizer, runs every fuzz target over its seed corpus for a
# fixed number of inputs, and checks the speed budgets.
set -eu
cd "$(dirname "$0")/.."

tools/setup.sh

cmake --preset default
cmake --build --preset default
ctest --preset default

cmake --preset sanitize
cmake --build --preset sanitize
ctest --preset sanitize

cmake --preset fuzz
cmake --build --preset fuzz
ctest --preset fuzz

tools/bench.sh
