// Keldra, the unit transplant tool: the command line for a command, otherwise its window.

#include "shell/tool_start.hpp"
#include "transplant/keldra_cli.hpp"

int main(int argc, char* argv[])
{
    return shell::startTool(argc, argv, transplant::keldraCommandLine());
}
