#!/bin/sh
# cli_reference.sh [BIN]: prints the command-line reference of the five tools, made from their own
# help (`TOOL --help` and `TOOL COMMAND --help` for every command), as docs/COMMAND_LINE.md holds
# it. `tools/cli_reference.sh > docs/COMMAND_LINE.md` brings the document up to date; a test
# compares the two, so the document cannot drift from the programs.
set -eu
bin=${1:-$(cd "$(dirname "$0")/.." && pwd)/build/bin}

echo "# Command line of the five tools"
echo
echo "Made by \`tools/cli_reference.sh\` from the programs' own help. Every tool opens its window"
echo "when started without a command; with a command it runs without any window or display."
for tool in Keldra Morvane Vistrel Tessivo Sonnary; do
    echo
    echo "## $tool"
    echo
    echo '```text'
    "$bin/$tool" --help
    echo '```'
    for command in $("$bin/$tool" --help | sed -n "s/^  $tool \([a-z][a-z-]*\) .*/\1/p"); do
        echo
        echo "### $tool $command"
        echo
        echo '```text'
        "$bin/$tool" "$command" --help
        echo '```'
    done
done
