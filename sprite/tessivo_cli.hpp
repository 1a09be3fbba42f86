#pragma once
// The compressor's command line: `Tessivo convert` makes the compressor's two files from a bitmap
// or a palette-mode PNG.
// It runs the session the window uses, with a command-line Shell, and needs no display.

#include <ostream>
#include <span>
#include <string>
#include <string_view>

namespace sprite {

bool isTessivoCommand(std::string_view word);

// `arguments` starts with the subcommand. Returns the process exit status.
int runTessivoCommand(std::span<const std::string> arguments, std::ostream& out, std::ostream& err);

}  // namespace sprite
