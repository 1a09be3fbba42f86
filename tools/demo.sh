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

# The road of a unit from one image into another: extract from A, extend B, add to B, write B.
# Messages (the tools' message boxes) go to stderr and are shown as they come.
echo "== Units of demo ROM A"
$keldra units demo/demo_a.gba $table
echo
echo "== Unit 0x2A of demo ROM A"
$keldra show demo/demo_a.gba 0x2A $table
echo
echo "== Extension status of demo ROM B"
$keldra status demo/demo_b.gba $table
echo
echo "== Extracting unit 0x2A of demo ROM A into demo/sets/"
rm -rf demo/sets
mkdir -p demo/sets
unit_folder=$($keldra extract demo/demo_a.gba 0x2A --dir demo/sets $table)
echo "Wrote $(ls "$unit_folder" | wc -l) files into $unit_folder"
echo
# The new extension info goes beside the image (demo/demo_b_extended.ExtInfo), and the commands
# that need it find it there.
echo "== Extending the ID areas of demo ROM B into demo/demo_b_extended.gba"
$keldra extend demo/demo_b.gba -o demo/demo_b_extended.gba $table
$keldra status demo/demo_b_extended.gba $table
echo
echo "== Free IDs of the extended demo ROM B"
$keldra free demo/demo_b_extended.gba $table > demo/free.txt
tail -n 12 demo/free.txt
# The unit goes into the first free unit slot, as the add dialog offers it first.
slot=$(head -n 1 demo/free.txt | cut -d: -f1)
rm -f demo/free.txt
echo
echo "== Adding the unit to demo ROM B in slot $slot, written to demo/demo_b_with_unit.gba"
$keldra add demo/demo_b_extended.gba "$unit_folder" -o demo/demo_b_with_unit.gba \
    --slot "0x$slot" $table
echo "demo/demo_b_extended.gba: $(wc -c < demo/demo_b_extended.gba) bytes;" \
    "demo/demo_b_with_unit.gba: $(wc -c < demo/demo_b_with_unit.gba) bytes"
echo
echo "== Unit $slot as it now lies in demo ROM B"
$keldra show demo/demo_b_with_unit.gba "0x$slot" $table
