#pragma once
// The unit animation editor's command line: each command runs the same session the window uses,
// with a command-line Shell, and prints what the window would show.

#include "shell/command_frame.hpp"

#include <ostream>
#include <span>
#include <string>

namespace editor {

shell::ToolSpec morvaneCommandLine();

// morvaneCommandLine() run on `words` (everything after the program name); the exit status.
int runMorvaneCommand(std::span<const std::string> words, std::ostream& out, std::ostream& err);

}  // namespace editor
