#pragma once
// The compressor's command line: `Tessivo convert` makes the compressor's two files from a bitmap
// or a palette-mode PNG. It runs the session the window uses, with a command-line Shell, and needs
// no display.

#include "shell/command_frame.hpp"

#include <ostream>
#include <span>
#include <string>

namespace sprite {

shell::ToolSpec tessivoCommandLine();

// Runs `words` (the command and its arguments) as Tessivo's command line; the exit status.
int runTessivoCommand(std::span<const std::string> words, std::ostream& out, std::ostream& err);

}  // namespace sprite
