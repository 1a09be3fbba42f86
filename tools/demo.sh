#!/bin/sh
# Installs what is missing, builds the suite and the two demo ROMs, and runs the transplant tool's
# main job on them.
set -eu
cd "$(dirname "$0")/.."

tools/setup.sh

cmake --preset default
cmake --build --preset default

mkdir -p demo
build/bin/make_demo_roms demo
# The windows read the character table from beside the executable.
cp demo/string.txt build/bin/string.txt
keldra="build/bin/Keldra"
table="--table demo/string.txt"

echo "== Units of demo ROM A"
$keldra units demo/demo_a.gba $table
echo
echo "== Unit 0x2A of demo ROM A"
$keldra show demo/demo_a.gba 0x2A $table
echo
echo "== Extension status of demo ROM B"
$keldra status demo/demo_b.gba $table
