#pragma once
// Sonnary's command line: each command loads the ROM image into the same session the window uses,
// with a command-line Shell, and prints what the window would show.

#include "shell/command_frame.hpp"
#include "sound/sound_output.hpp"

#include <ostream>
#include <span>
#include <string>

namespace sound {

// `output` plays for "play".
shell::ToolSpec sonnaryCommandLine(SoundOutput& output);

// Runs `words` (the command and its arguments) as Sonnary's command line; the exit status.
int runSonnaryCommand(std::span<const std::string> words, std::ostream& out, std::ostream& err,
                      SoundOutput& output);

}  // namespace sound
