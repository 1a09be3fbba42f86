#!/bin/sh
# wine_run.sh PREFIX [PROGRAM.exe [ARGUMENTS...]]: runs a Windows program under wine64 in the wine
# prefix PREFIX (a folder), with wine's own diagnostics off, and exits with the program's status.
# The first run makes the prefix, under a lock so that programs started together wait for one
# set-up instead of each making their own, and with the offers to install Mono and Gecko turned
# off, so that nothing ever waits for an answer. Without PROGRAM it only makes the prefix.
set -eu
if [ $# -eq 0 ]; then
    echo "usage: wine_run.sh PREFIX [PROGRAM.exe [ARGUMENTS...]]" >&2
    exit 2
fi
prefix=$1
shift
# Wine takes only an absolute prefix.
case $prefix in
/*) ;;
*) prefix="$(pwd)/$prefix" ;;
esac
wine=${WINE64:-/usr/lib/wine/wine64}
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Written once the set-up has finished; wine's own files appear while it is still running.
ready="$prefix/.suite-ready"

if [ ! -f "$ready" ]; then
    mkdir -p "$(dirname "$prefix")"
    (
        flock 9
        if [ ! -f "$ready" ]; then
            "$wine" wineboot --init >/dev/null 2>&1
            # The set-up goes on in the background; the prefix is complete when its server ends.
            "$(dirname "$wine")/wineserver" -w
            touch "$ready"
        fi
    ) 9>"$prefix.lock"
fi

if [ $# -gt 0 ]; then
    # The background processes that the first program of a wine session starts keep that
    # program's standard output and error open until the session ends, and a caller reading them
    # through a pipe (ctest, $(...)) would wait that long. The program writes into files instead,
    # passed on when it has finished.
    output=$(mktemp -d "${TMPDIR:-/tmp}/wine_run.XXXXXX")
    trap 'rm -rf "$output"' EXIT
    status=0
    "$wine" "$@" >"$output/out" 2>"$output/err" || status=$?
    cat "$output/out"
    cat "$output/err" >&2
    exit "$status"
fi
