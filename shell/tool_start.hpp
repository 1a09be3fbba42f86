#pragma once
// The one start-up of the five programs. A command, an option (--help, --version) or more words
// than the window takes run the tool's command line, which needs neither a display nor Qt. Anything
// else opens the window, which lives in a module beside the program ("KeldraWindow.so" beside
// "Keldra", "KeldraWindow.dll" beside "Keldra.exe") that is loaded only then: a command-line run
// never pays for loading Qt. A build without the windows says so instead. On Windows the words are
// read from the wide command line as UTF-8, and the output streams are made to print UTF-8 bytes
// as they are, as on Linux.

#include "shell/command_frame.hpp"

namespace shell {

// The function every window module exports under kWindowEntryName: it runs the window with the
// program's arguments and returns the exit status.
using WindowEntry = int (*)(int argc, char* argv[]);
inline constexpr const char* kWindowEntryName = "suiteRunWindow";

int startTool(int argc, char* argv[], const ToolSpec& tool);

}  // namespace shell
