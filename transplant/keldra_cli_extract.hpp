#pragma once
// Keldra's extract command: one unit, several, or every unit of an image in one run.

#include "shell/command_frame.hpp"

#include <vector>

namespace transplant::cli {

std::vector<shell::OptionSpec> extractOptions();
int runExtract(shell::CommandCall& call);

}  // namespace transplant::cli
