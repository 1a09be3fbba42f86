#!/bin/sh
# compare_windows.sh [LINUX_BUILD [WINDOWS_BUILD]]: runs every command of the five tools on the demo
# images once with the Linux programs of LINUX_BUILD/bin (default build) and once with the Windows
# programs of WINDOWS_BUILD/bin (default build-windows) under wine64, in the wine prefix
# WINDOWS_BUILD/wine-prefix. Each side works in a scratch folder of its own on copies of the same
# inputs, with paths relative to that folder, and every command's stdout, stderr and exit status is
# kept beside the files it wrote. Exits 1 with the first differences unless both sides wrote the
# same bytes everywhere. Only "Sonnary play" is left out: wine has no sound device to play on.
# Last, checks that each Windows program started without a command says it has no window.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
linux_bin=$(cd "${1:-$root/build}/bin" && pwd)
windows_build=$(cd "${2:-$root/build-windows}" && pwd)
windows_bin="$windows_build/bin"
prefix="$windows_build/wine-prefix"
# Wine reads the names of Unix files in the locale's character set: UTF-8, as the Linux programs.
export LC_ALL=C.UTF-8

work=$(mktemp -d "${TMPDIR:-/tmp}/compare_windows.XXXXXX")
trap 'rm -rf "$work"' EXIT

# The inputs: the demo images, their character table, the sound image and two 8-bit bitmaps
# (one 256 pixels wide as Tessivo takes them, one 255 wide that it refuses).
inputs="$work/inputs"
"$linux_bin/make_demo_roms" "$inputs" >/dev/null
"$linux_bin/sound_demo_rom" "$inputs/sound.gba"
python3 - "$inputs" <<'EOF'
import struct, sys

FILE_HEADER_SIZE = 14
INFO_HEADER_SIZE = 40
COLOURS = 256

# An 8-bit bitmap, rows bottom-up and padded to 4 bytes, its pixels in colours 0 to 15.
def bitmap(path, width, height):
    stride = (width + 3) // 4 * 4
    colours = b"".join(bytes((i * 7 % 256, i * 3 % 256, i * 5 % 256, 0)) for i in range(COLOURS))
    rows = b"".join(bytes((x // 4 + y) % 16 for x in range(width)).ljust(stride, b"\0")
                    for y in range(height))
    pixels_at = FILE_HEADER_SIZE + INFO_HEADER_SIZE + len(colours)
    header = struct.pack("<2sIHHI", b"BM", pixels_at + len(rows), 0, 0, pixels_at)
    info = struct.pack("<IiiHHIIiiII", INFO_HEADER_SIZE, width, height, 1, 8, 0, len(rows), 0, 0,
                       COLOURS, 0)
    with open(path, "wb") as out:
        out.write(header + info + colours + rows)

bitmap(sys.argv[1] + "/絵.bmp", 256, 48)
bitmap(sys.argv[1] + "/narrow.bmp", 255, 48)
EOF

# run TOOL WORDS...: runs one command of TOOL in the current folder and keeps its stdout, stderr
# and exit status in $log, under the number of the command and its first words.
run() {
    step=$((step + 1))
    name=$(printf '%03d_%s_%s' "$step" "$1" "${2:-}" | tr -c 'A-Za-z0-9_\n-' '_')
    status=0
    launch "$@" >"$log/$name.out" 2>"$log/$name.err" </dev/null || status=$?
    echo "$status" >"$log/$name.status"
}

# The commands, in the scratch folder of one side. Later commands read what earlier ones wrote.
commands() {
    T="--table string.txt"
    for tool in Keldra Morvane Vistrel Tessivo Sonnary; do
        run $tool --help
        run $tool -h
        run $tool --version
    done
    for command in units show extract status extend free add delete; do run Keldra $command --help; done
    for command in units summary report save port; do run Morvane $command --help; done
    for command in render unit; do run Vistrel $command --help; done
    run Tessivo convert --help
    for command in instruments notes wav play export; do run Sonnary $command --help; done

    # Keldra: the transplant road of tools/demo.sh, and its refusals.
    run Keldra units demo_a.gba $T
    run Keldra units demo_a.gba --table missing.txt
    run Keldra units demo_a.gba
    run Keldra show demo_a.gba 0x2A $T
    run Keldra show demo_a.gba 5 $T
    run Keldra show demo_a.gba 0x96 $T
    run Keldra show missing.gba 0 $T
    run Keldra show demo_a.gba 0x2A --frob $T
    run Keldra units
    run Keldra extract demo_a.gba 0 1 0x2A --dir 出力/セット $T
    run Keldra extract demo_a.gba all --dir 全部 $T
    run Keldra extract demo_a.gba 0x2A --dir オフ --off FixedWeapon:0 --bulk-off $T
    run Keldra extract demo_a.gba 0x2A --dir オフ $T
    run Keldra extract demo_a.gba 0x2A --dir 全部/シュヴァルツ/UnitAllData.dat $T
    run Keldra status demo_b.gba $T
    run Keldra extend demo_b.gba -o b_ext.gba $T
    run Keldra extend demo_b.gba -o 拡張.gba --save-ext-info 拡張情報.ExtInfo $T
    run Keldra extend demo_b.gba -o b_plain.gba --no-ext-info $T
    run Keldra extend demo_b.gba $T
    run Keldra extend demo_b.gba -o same.gba --save-ext-info same.gba $T
    run Keldra extend demo_b.gba -o no/such/folder.gba $T
    run Keldra status b_ext.gba $T
    run Keldra status 拡張.gba --ext-info 拡張情報.ExtInfo $T
    run Keldra free b_ext.gba $T
    run Keldra free demo_b.gba $T
    run Keldra add b_ext.gba 出力/セット/シュヴァルツ -o b_add.gba $T
    run Keldra add b_ext.gba 出力/セット/ガルディオン/UnitAllData.dat -o b_add.gba --slot 5 $T
    run Keldra show b_add.gba 1 $T
    run Keldra show b_add.gba 5 $T
    run Keldra add b_ext.gba 出力/セット/シュヴァルツ -o refused.gba --slot 0 $T
    run Keldra add b_ext.gba 出力 -o refused.gba $T
    run Keldra add demo_b.gba オフ/シュヴァルツ -o refused.gba $T
    run Keldra delete demo_a.gba 0x2A -o a_del.gba $T
    # An output that names the input replaces it.
    run Keldra delete a_del.gba 0 -o a_del.gba $T
    run Keldra extend b_add.gba -o b_add.gba $T
    run Keldra units a_del.gba $T

    # Morvane: unit folders saved, read back and ported.
    run Morvane units demo_a.gba $T
    run Morvane summary demo_a.gba 0x2A $T
    run Morvane report demo_a.gba 0x2A $T
    run Morvane summary demo_a.gba 0x99 $T
    run Morvane save demo_a.gba 0x2A 5 --dir ユニット $T
    run Morvane save demo_a.gba all --dir 全ユニット $T
    run Morvane save demo_a.gba $T
    run Morvane summary ユニット/シュヴァルツ $T
    run Morvane summary ユニット/ＸＡ０１/unitall.dat $T
    run Morvane summary 出力 $T
    run Morvane port demo_a.gba 0x2A ユニット/シュヴァルツ -o ported.gba $T
    run Morvane port demo_a.gba 5 ユニット/ＸＡ０１ -o ported.gba $T
    run Morvane port ported.gba 0x2A ユニット/シュヴァルツ -o ported.gba $T
    run Morvane port demo_a.gba 0x2A no_folder -o refused.gba $T
    run Morvane summary ported.gba 0x2A $T

    # Vistrel: the sheets of units, and single sheets from files, offsets and IDs.
    run Vistrel unit demo_a.gba 0x2A --dir シート --indexed
    run Vistrel unit demo_a.gba 5 --dir colour --transparent --seed 3
    run Vistrel unit demo_a.gba 0x96 --dir refused
    run Vistrel render ユニット/シュヴァルツ/sprite0.dat ユニット/シュヴァルツ/pallet0.dat -o 絵0.png
    run Vistrel render ユニット/シュヴァルツ/sprite1.dat -o seed.png --seed 7
    run Vistrel render --rom demo_a.gba --sprite-id 316 --palette-id 315 -o id.png --indexed --bank 1
    run Vistrel render --rom demo_a.gba --sprite 629638 --palette 0x6297DC -o offset.png --transparent
    run Vistrel render --rom demo_a.gba --sprite 0x08629638 -o pointer.png --seed 1
    run Vistrel render --rom demo_a.gba --sprite FFFFFFF -o refused.png
    run Vistrel render missing.dat -o refused.png
    run Vistrel render ユニット/シュヴァルツ/sprite0.dat
    run Vistrel render ユニット/シュヴァルツ/sprite0.dat -o no/such/folder.png

    # Tessivo: a bitmap and a PNG drawn by Vistrel back into the game's files.
    run Tessivo convert 絵.bmp --sprite bmp_sprite.dat --palette bmp_pallet.dat
    run Tessivo convert 絵.bmp --sprite bmp_compressed.dat --compress
    run Tessivo convert シート/sprite316.png --sprite 絵316.dat --palette 絵315.dat --compress
    run Tessivo convert narrow.bmp --sprite refused.dat
    run Tessivo convert 絵.bmp
    run Tessivo convert 絵.bmp --sprite twice.dat --palette twice.dat
    run Tessivo convert missing.bmp --palette refused.dat

    # Sonnary: lists, notes, WAV files and the export of every sample.
    run Sonnary instruments sound.gba
    run Sonnary instruments sound.gba --all
    run Sonnary notes sound.gba 0
    run Sonnary notes sound.gba 9
    run Sonnary notes sound.gba 0xB
    run Sonnary notes sound.gba 0x200
    run Sonnary wav sound.gba 0 -o 音.wav
    run Sonnary wav sound.gba 9 3 -o note.wav
    run Sonnary wav sound.gba 0xB 2 -o drum.wav
    run Sonnary wav sound.gba 5 1 -o refused.wav
    run Sonnary wav sound.gba 0x200 -o refused.wav
    run Sonnary wav sound.gba 0
    run Sonnary export sound.gba 書き出し
    run Sonnary export sound.gba 書き出し_all --all
    run Sonnary instruments demo_a.gba
    run Sonnary instruments missing.gba
}

# side NAME: makes the scratch folder of one side and runs the commands there with `launch`.
side() {
    mkdir -p "$work/$1/log"
    cp -r "$inputs" "$work/$1/files"
    log="$work/$1/log"
    step=0
    (cd "$work/$1/files" && commands)
}

launch() { tool=$1; shift; "$linux_bin/$tool" "$@"; }
side linux

"$root/tools/wine_run.sh" "$prefix"
launch() { tool=$1; shift; "$root/tools/wine_run.sh" "$prefix" "$windows_bin/$tool.exe" "$@"; }
side windows

# The default character table lies beside the program, so the message about a missing one names
# a different folder on each side (on Windows on wine's drive Z:). That folder is the only text
# allowed to differ: on stderr it becomes "<program folder>" before the comparison.
for log in "$work/linux/log" "$work/windows/log"; do
    sed -i -e "s|Z:$windows_bin/|<program folder>/|g" -e "s|$linux_bin/|<program folder>/|g" "$log/"*.err
done

if ! diff -ru "$work/linux" "$work/windows" >"$work/differences"; then
    echo "compare_windows: the Windows programs differ from the Linux ones (first differences):" >&2
    head -n 80 "$work/differences" >&2
    exit 1
fi
echo "compare_windows: $(ls "$work/linux/log" | grep -c status) commands wrote the same output, statuses and files on Linux and Windows"

# A start without a command opens the window on Linux; the Windows programs have none, and say so
# with exit status 1.
for tool in Keldra Morvane Vistrel Tessivo Sonnary; do
    status=0
    message=$(launch $tool 2>&1 </dev/null) || status=$?
    case "$status:$message" in
    "1:$tool: this build has no window; run \"$tool --help\" for its command line.") ;;
    *)
        echo "compare_windows: $tool.exe without a command: status $status, \"$message\"" >&2
        exit 1
        ;;
    esac
done
echo "compare_windows: the five Windows programs started without a command say they have no window"
