// Morvane, the unit animation editor. With a subcommand it runs on the command line and opens no
// window (no display is needed). Without one it is meant to open its window, which this build
// does not have yet, so it explains its command line instead.

#include "editor/morvane_cli.hpp"
#include "shell/command_line.hpp"

#include <iostream>
#include <string>
#include <vector>

namespace {

int runWindow()
{
    std::cerr << editor::morvaneUsage();
    return shell::kExitUsage;
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc > 1 && editor::isMorvaneCommand(argv[1])) {
        const std::vector<std::string> arguments(argv + 1, argv + argc);
        return editor::runMorvaneCommand(arguments, std::cout, std::cerr);
    }
    return runWindow();
}
