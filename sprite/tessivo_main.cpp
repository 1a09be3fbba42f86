// Tessivo, the sprite compressor: the command line for a command, otherwise its window.

#include "shell/tool_start.hpp"
#include "sprite/tessivo_cli.hpp"

int main(int argc, char* argv[])
{
    return shell::startTool(argc, argv, sprite::tessivoCommandLine());
}
