#pragma once
// The unit animation editor's command line: each subcommand runs the same session the window
// uses, with a command-line Shell, and prints what the window would show.

#include <ostream>
#include <span>
#include <string>
#include <string_view>

namespace editor {

bool isMorvaneCommand(std::string_view word);

// `arguments` starts with the subcommand. Returns the process exit status.
int runMorvaneCommand(std::span<const std::string> arguments, std::ostream& out, std::ostream& err);

// The usage text, printed on wrong usage.
std::string_view morvaneUsage();

}  // namespace editor
