#pragma once
// The transplant tool's command line: each subcommand runs the same session the window uses, with
// a command-line Shell, and prints what the window would show.

#include <ostream>
#include <span>
#include <string>
#include <string_view>

namespace transplant {

bool isKeldraCommand(std::string_view word);

// `arguments` starts with the subcommand. Returns the process exit status.
int runKeldraCommand(std::span<const std::string> arguments, std::ostream& out, std::ostream& err);

}  // namespace transplant
