// Vistrel, the sprite viewer: the command line for a command, otherwise its window.

#include "shell/tool_start.hpp"
#include "sprite/vistrel_cli.hpp"

int main(int argc, char* argv[])
{
    return shell::startTool(argc, argv, sprite::vistrelCommandLine());
}
