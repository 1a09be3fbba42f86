#!/bin/sh
# Installs what is missing, builds the suite, runs every test, then runs the core tests again under
# AddressSanitizer and UndefinedBehaviorSanitizer, runs every fuzz target over its seed corpus for a
# fixed number of inputs, builds the programs and core tests for Windows and runs them under wine,
# compares what the Windows programs print and write with the Linux ones, and checks the speed
# budgets.
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

cmake --preset windows
cmake --build --preset windows
ctest --preset windows
tools/compare_windows.sh build build-windows

tools/bench.sh
