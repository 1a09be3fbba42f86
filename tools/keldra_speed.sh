#!/bin/bash
# keldra_speed.sh [BIN]: times three Keldra commands against yardsticks measured in the same run,
# and fails when one is over its budget:
# - `Keldra add` on an image of 31 MiB: at most three times copying that image;
# - `Keldra units` on that image: at most twice `cat` of it (the program's start-up, with no window
#   libraries loaded, and the reading of the image are most of it);
# - `Keldra extract ROM all`, every unit of the demo image in one run: at most one second.
#
# The copy it is measured against is `cp` followed by `sync` of the copy: the add flushes its
# output to the disk before renaming it into place (a user's image must survive a power cut), and
# a bare `cp` leaves its data in the page cache, so only a flushed copy does the same work. The
# bare `cp` is shown beside it.
#
# Both sides are judged on CPU time (user and system) of the commands: a busy machine, a build
# running beside, stretches their wall time by whatever share of the processors it takes, and the
# add, which computes more than the copy, far more than the copy. The wall times are shown for
# information.
#
# The image is demo image B, extended, then filled up with zero bytes to 31 MiB (an image of a
# full 32 MiB cannot take a unit: the result must stay inside the cartridge window); the file set
# is unit 0x2A of demo image A. Each figure is the best of several runs, and the copies and the
# add take turns so that a busy moment hurts them alike. The add is the whole command: start-up,
# reading the image and the set, the transplant, and writing the image with its flush to disk.
# BIN is the folder of Keldra and make_demo_roms (default: build/bin of this tree). The work files
# go into a fresh folder under $TMPDIR (default /tmp), removed at the end.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
bin=${1:-$root/build/bin}
keldra="$bin/Keldra"
runs=${KELDRA_SPEED_RUNS:-7}
image_bytes=$((31 * 1024 * 1024))
budget_factor=3
units_budget_factor=2
# The listing and the cat take a few milliseconds each; each figure is a batch of this many runs,
# so that the clock's granularity does not decide.
units_batch=20
extract_all_budget_ms=1000

for program in "$keldra" "$bin/make_demo_roms"; do
    if [ ! -x "$program" ]; then
        echo "keldra_speed: $program is missing; build the suite first" >&2
        exit 1
    fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/keldra_speed.XXXXXX")
trap 'rm -rf "$work"' EXIT
trap 'exit 1' INT TERM

# Bash's `time` reports seconds with three decimals, so the digits alone are milliseconds.
TIMEFORMAT='%3R %3U %3S'
milliseconds() {
    local digits=${1//[!0-9]/}
    echo $((10#$digits))
}

# timed COMMAND...: runs the command with its output in out.txt and err.txt and sets `wall` and
# `cpu` (user and system) to the milliseconds it took; shows its messages and stops when it fails.
timed() {
    local status=0 real user system
    { time "$@" >"$work/out.txt" 2>"$work/err.txt" || status=$?; } 2>"$work/time.txt"
    if [ "$status" -ne 0 ]; then
        echo "keldra_speed: $* failed:" >&2
        cat "$work/err.txt" >&2
        exit 1
    fi
    read -r real user system <"$work/time.txt"
    wall=$(milliseconds "$real")
    cpu=$(($(milliseconds "$user") + $(milliseconds "$system")))
}

# Runs a Keldra command quietly with the character table.
keldra() {
    timed "$keldra" "$@" --table "$work/string.txt"
}

# least A B: the smaller of two numbers, B alone when A is empty.
least() {
    if [ -z "$1" ] || [ "$2" -lt "$1" ]; then echo "$2"; else echo "$1"; fi
}

"$bin/make_demo_roms" "$work" >/dev/null
keldra extract "$work/demo_a.gba" 0x2A --dir "$work/sets"
set_folder=$(cat "$work/out.txt")
keldra extend "$work/demo_b.gba" -o "$work/big.gba" --save-ext-info "$work/big.ExtInfo"

# Real zero bytes, not a hole: a sparse file would let cp skip most of the copy.
size=$(wc -c <"$work/big.gba")
padding=$((image_bytes - size))
dd if=/dev/zero bs=65536 count=$((padding / 65536)) 2>/dev/null >>"$work/big.gba"
dd if=/dev/zero bs=1 count=$((padding % 65536)) 2>/dev/null >>"$work/big.gba"
if [ "$(wc -c <"$work/big.gba")" -ne "$image_bytes" ]; then
    echo "keldra_speed: the test image did not get its size" >&2
    exit 1
fi

best_cp_cpu= best_cp_wall=
best_synced_cpu= best_synced_wall=
best_add_cpu= best_add_wall=
run=0
while [ "$run" -lt "$runs" ]; do
    rm -f "$work/copy.gba" "$work/synced.gba" "$work/added.gba"
    timed cp "$work/big.gba" "$work/copy.gba"
    best_cp_cpu=$(least "$best_cp_cpu" "$cpu") best_cp_wall=$(least "$best_cp_wall" "$wall")

    timed cp "$work/big.gba" "$work/synced.gba"
    copy_cpu=$cpu copy_wall=$wall
    timed sync "$work/synced.gba"
    best_synced_cpu=$(least "$best_synced_cpu" $((copy_cpu + cpu)))
    best_synced_wall=$(least "$best_synced_wall" $((copy_wall + wall)))

    keldra add "$work/big.gba" "$set_folder" -o "$work/added.gba" --ext-info "$work/big.ExtInfo"
    best_add_cpu=$(least "$best_add_cpu" "$cpu") best_add_wall=$(least "$best_add_wall" "$wall")
    run=$((run + 1))
done

if [ ! -s "$work/added.gba" ] || [ "$(wc -c <"$work/added.gba")" -le "$image_bytes" ]; then
    echo "keldra_speed: the add wrote no grown image" >&2
    exit 1
fi

# batch COMMAND...: the command `units_batch` times over, its output thrown away.
batch() {
    local i=0
    while [ "$i" -lt "$units_batch" ]; do
        "$@" >/dev/null
        i=$((i + 1))
    done
}
best_cat_cpu= best_units_cpu=
run=0
while [ "$run" -lt "$runs" ]; do
    timed batch cat "$work/big.gba"
    best_cat_cpu=$(least "$best_cat_cpu" "$cpu")
    timed batch "$keldra" units "$work/big.gba" --table "$work/string.txt"
    best_units_cpu=$(least "$best_units_cpu" "$cpu")
    run=$((run + 1))
done

# Each run writes into a folder of its own: removing the last run's files just before would make
# the file system's search for free inodes, not the extraction, the larger part of the time.
best_extract_cpu=
run=0
while [ "$run" -lt "$runs" ]; do
    keldra extract "$work/demo_a.gba" all --dir "$work/all$run"
    best_extract_cpu=$(least "$best_extract_cpu" "$cpu")
    run=$((run + 1))
done

# verdict NAME CPU BUDGET: says whether NAME kept its budget; a miss fails the script at the end.
status=0
verdict() {
    if [ "$2" -gt "$3" ]; then
        echo "SLOW $1"
        status=1
    else
        echo "OK   $1"
    fi
}

budget=$((best_synced_cpu * budget_factor))
echo "image $((image_bytes / 1048576)) MiB, best of $runs runs; CPU time judged, wall time shown"
printf '%-12s %5d ms CPU  %5d ms wall\n' "cp:" "$best_cp_cpu" "$best_cp_wall"
printf '%-12s %5d ms CPU  %5d ms wall\n' "cp + sync:" "$best_synced_cpu" "$best_synced_wall"
printf '%-12s %5d ms CPU  %5d ms wall  (budget %d x (cp + sync) = %d ms CPU)\n' "Keldra add:" \
    "$best_add_cpu" "$best_add_wall" "$budget_factor" "$budget"
verdict "Keldra add" "$best_add_cpu" "$budget"

units_budget=$((best_cat_cpu * units_budget_factor))
printf '%-12s %5d ms CPU for %d runs\n' "cat:" "$best_cat_cpu" "$units_batch"
printf '%-12s %5d ms CPU for %d runs  (budget %d x cat = %d ms CPU)\n' "Keldra units:" \
    "$best_units_cpu" "$units_batch" "$units_budget_factor" "$units_budget"
verdict "Keldra units" "$best_units_cpu" "$units_budget"

printf '%-12s %5d ms CPU  (budget %d ms CPU)\n' "extract all:" "$best_extract_cpu" \
    "$extract_all_budget_ms"
verdict "Keldra extract all" "$best_extract_cpu" "$extract_all_budget_ms"
exit "$status"
