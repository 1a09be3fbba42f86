#pragma once
// What every window module does before and after its window: the application with the Japanese
// system texts, the Shell of the window, and a start that cannot abort. Where Qt finds no display
// it would abort; the tool says so and exits with the failure status instead.

#include "shell/qt/qt_shell.hpp"

#include <filesystem>
#include <functional>
#include <optional>

namespace shell::qt {

// Makes the window with the shell, runs it, and returns the exit status.
using WindowRun = std::function<int(QtShell& shell, const std::optional<std::filesystem::path>& argument)>;

// `argument` given to `run` is the program's only argument, when there is one.
int runToolWindow(int argc, char* argv[], const WindowRun& run);

}  // namespace shell::qt
