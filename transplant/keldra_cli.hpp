#pragma once
// The transplant tool's command line: each command runs the same session the window uses, with a
// command-line Shell, and prints what the window would show.

#include "shell/command_frame.hpp"

#include <ostream>
#include <span>
#include <string>

namespace transplant {

// The commands, their arguments, options and help, as the command-line frame runs them.
shell::ToolSpec keldraCommandLine();

// Runs `words` (everything after the program's name) as Keldra's command line; the exit status.
int runKeldraCommand(std::span<const std::string> words, std::ostream& out, std::ostream& err);

}  // namespace transplant
