#include "shell/tool_start.hpp"

#include "shell/command_line.hpp"
#include "shell/files.hpp"
#include "shell/program_folder.hpp"

#include <dlfcn.h>
#include <unistd.h>

#include <csignal>

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

namespace shell {
namespace {

constexpr std::string_view kWindowModuleSuffix = "Window.so";

bool hasEnvironment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// Qt opens its window on X or Wayland unless told to use another platform; without any of them
// it could only abort.
bool displayAvailable()
{
    return hasEnvironment("DISPLAY") || hasEnvironment("WAYLAND_DISPLAY") ||
           hasEnvironment("QT_QPA_PLATFORM");
}

int refuseWindow(const ToolSpec& tool, std::string_view reason)
{
    std::cerr << tool.name << ": the window cannot be opened: " << reason << "\n"
              << "The command line needs no display; run \"" << tool.name
              << " --help\" for its commands.\n";
    return kExitFailed;
}

// A mapped input that another program cuts short under the run raises SIGBUS where its lost pages
// are read; the run then ends as a failed one, with no output put in place.
void endOnLostInput(int)
{
    constexpr char kLostInput[] = "an input file was cut short by another program while it was read\n";
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, kLostInput, sizeof kLostInput - 1);
    ::_exit(kExitFailed);
}

int runWindow(int argc, char* argv[], const ToolSpec& tool)
{
    if (!displayAvailable())
        return refuseWindow(tool, "there is no display (neither DISPLAY nor WAYLAND_DISPLAY is set)");
    const std::filesystem::path module =
        programFolder() / (std::string(tool.name) + std::string(kWindowModuleSuffix));
    // The module stays loaded until the process ends: the window runs inside it.
    void* handle = dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* error = dlerror();
        return refuseWindow(tool, error != nullptr ? error : module.c_str());
    }
    const auto entry = reinterpret_cast<WindowEntry>(dlsym(handle, kWindowEntryName));
    if (entry == nullptr)
        return refuseWindow(tool, module.string() + " has no window");
    return entry(argc, argv);
}

}  // namespace

int startTool(int argc, char* argv[], const ToolSpec& tool)
{
    const std::vector<std::string> words(argv + 1, argv + argc);
    if (isCommandLineRun(tool, words)) {
        setFileReading(FileReading::Mapped);
        std::signal(SIGBUS, endOnLostInput);
        return runCommandLine(tool, words, std::cout, std::cerr);
    }
    return runWindow(argc, argv, tool);
}

}  // namespace shell
