#!/bin/sh
# start_check.sh BIN REFERENCE: runs the five programs of BIN as a user would, with no display at all (no
# DISPLAY, WAYLAND_DISPLAY or QT_QPA_PLATFORM). Each must answer --help, -h, --version and
# COMMAND --help for every command its help lists, on stdout with status 0; must not link Qt (the
# window is a module loaded only when a window opens); and, started to open its window, must say
# that it cannot and exit with status 1 rather than abort. The command-line reference REFERENCE
# (docs/COMMAND_LINE.md) must be what the programs' help says today.
set -u
bin=$1
reference=$2
tools=$(cd "$(dirname "$0")/../../tools" && pwd)
failures=0
work=$(mktemp -d "${TMPDIR:-/tmp}/start_check.XXXXXX")
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAIL $*" >&2
    failures=$((failures + 1))
}

# headless PROGRAM WORDS...: runs with stdout in out.txt and stderr in err.txt; sets `status`.
headless() {
    status=0
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@" >"$work/out.txt" 2>"$work/err.txt" ||
        status=$?
}

for tool in Keldra Morvane Vistrel Tessivo Sonnary; do
    program="$bin/$tool"
    for words in --help -h --version; do
        headless "$program" "$words"
        if [ "$status" -ne 0 ] || [ ! -s "$work/out.txt" ]; then
            fail "$tool $words: status $status"
        fi
    done
    headless "$program" --help
    commands=$(sed -n "s/^  $tool \([a-z][a-z-]*\) .*/\1/p" "$work/out.txt")
    [ -n "$commands" ] || fail "$tool --help lists no command"
    for command in $commands; do
        headless "$program" "$command" --help
        if [ "$status" -ne 0 ] || ! grep -q "^usage: $tool $command" "$work/out.txt"; then
            fail "$tool $command --help: status $status"
        fi
    done
    if ldd "$program" | grep -q 'libQt'; then
        fail "$tool links Qt"
    fi
    [ -f "$bin/${tool}Window.so" ] || fail "$tool has no window module beside it"
    headless "$program"
    if [ "$status" -ne 1 ] || ! grep -q "window cannot be opened" "$work/err.txt"; then
        fail "$tool without a display: status $status"
    fi
done

if ! "$tools/cli_reference.sh" "$bin" | diff -u "$reference" - >&2; then
    fail "$reference differs from the programs' help; tools/cli_reference.sh > $reference mends it"
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures failures" >&2
    exit 1
fi
echo "all five programs start as they should without a display"
