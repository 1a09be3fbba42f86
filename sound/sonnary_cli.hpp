#pragma once
// Sonnary's command line: each subcommand loads the ROM image into the same session the window
// uses, with a command-line Shell, and prints what the window would show.

#include "sound/sound_output.hpp"

#include <ostream>
#include <span>
#include <string>
#include <string_view>

namespace sound {

bool isSonnaryCommand(std::string_view word);

// `arguments` starts with the subcommand; `output` plays for "play". Returns the exit status.
int runSonnaryCommand(std::span<const std::string> arguments, std::ostream& out,
                      std::ostream& err, SoundOutput& output);

}  // namespace sound
