// Morvane, the unit animation editor: its command line, or its window from the module beside it.

#include "editor/morvane_cli.hpp"
#include "shell/tool_start.hpp"

int main(int argc, char* argv[])
{
    return shell::startTool(argc, argv, editor::morvaneCommandLine());
}
