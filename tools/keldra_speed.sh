#!/bin/sh
# keldra_speed.sh [BIN]: times `Keldra add` on an image of 31 MiB against copying that image, and
# fails when the add takes more than three times as long as the copy.
#
# The copy it is measured against is `cp` followed by `sync` of the copy: the add flushes its
# output to the disk before renaming it into place (a user's image must survive a power cut), and
# a bare `cp` leaves its data in the page cache, so only a flushed copy does the same work. The
# bare `cp` is shown beside it.
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

for program in "$keldra" "$bin/make_demo_roms"; do
    if [ ! -x "$program" ]; then
        echo "keldra_speed: $program is missing; build the suite first" >&2
        exit 1
    fi
done
case $(date +%N) in
    *[!0-9]* | "")
        echo "keldra_speed: date +%N gives no nanoseconds here" >&2
        exit 1
        ;;
esac

work=$(mktemp -d "${TMPDIR:-/tmp}/keldra_speed.XXXXXX")
trap 'rm -rf "$work"' EXIT
trap 'exit 1' INT TERM

now_us() {
    echo $(($(date +%s%N) / 1000))
}

# Runs a Keldra command quietly; shows its messages and stops when it fails.
keldra() {
    if ! "$keldra" "$@" --table "$work/string.txt" >"$work/out.txt" 2>"$work/err.txt"; then
        echo "keldra_speed: Keldra $1 failed:" >&2
        cat "$work/err.txt" >&2
        exit 1
    fi
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

best_cp=
best_synced=
best_add=
run=0
while [ "$run" -lt "$runs" ]; do
    rm -f "$work/copy.gba" "$work/synced.gba" "$work/added.gba"
    start=$(now_us)
    cp "$work/big.gba" "$work/copy.gba"
    took=$(($(now_us) - start))
    if [ -z "$best_cp" ] || [ "$took" -lt "$best_cp" ]; then best_cp=$took; fi

    start=$(now_us)
    cp "$work/big.gba" "$work/synced.gba"
    sync "$work/synced.gba"
    took=$(($(now_us) - start))
    if [ -z "$best_synced" ] || [ "$took" -lt "$best_synced" ]; then best_synced=$took; fi

    start=$(now_us)
    keldra add "$work/big.gba" "$set_folder" -o "$work/added.gba" --ext-info "$work/big.ExtInfo"
    took=$(($(now_us) - start))
    if [ -z "$best_add" ] || [ "$took" -lt "$best_add" ]; then best_add=$took; fi
    run=$((run + 1))
done

if [ ! -s "$work/added.gba" ] || [ "$(wc -c <"$work/added.gba")" -le "$image_bytes" ]; then
    echo "keldra_speed: the add wrote no grown image" >&2
    exit 1
fi

ms() {
    printf '%d.%01d ms' $(($1 / 1000)) $(($1 % 1000 / 100))
}
budget=$((best_synced * budget_factor))
echo "image $((image_bytes / 1048576)) MiB, best of $runs runs"
echo "cp:         $(ms "$best_cp")"
echo "cp + sync:  $(ms "$best_synced")"
echo "Keldra add: $(ms "$best_add") (budget $budget_factor x (cp + sync) = $(ms "$budget"))"
if [ "$best_add" -gt "$budget" ]; then
    echo "SLOW Keldra add"
    exit 1
fi
echo "OK   Keldra add"
