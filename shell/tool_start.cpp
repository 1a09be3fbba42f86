#include "shell/tool_start.hpp"

#include "shell/command_line.hpp"
#include "shell/files.hpp"
#include "shell/program_folder.hpp"
#include "shell/text_encoding.hpp"

#ifdef _WIN32
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>
#else
#include <dlfcn.h>
#include <unistd.h>

#include <csignal>
#endif

#include <cstdio>
#include <cstdlib>
#include <expected>
#include <iostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace shell {
namespace {

#ifdef _WIN32
// The program's words as UTF-8, its name first. The argv of main holds them in the ANSI code page,
// which cannot hold every file name (a Japanese folder on a Western system); the wide command line
// holds them all.
std::vector<std::string> programWords(int argc, char* argv[])
{
    int count = 0;
    wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
    if (words == nullptr)
        return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> utf8Words;
    utf8Words.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        utf8Words.push_back(utf16ToUtf8(words[i]));
    LocalFree(words);
    return utf8Words;
}

// The programs print UTF-8 with "\n" line ends, byte for byte what they print on Linux: the
// streams are binary, and a console is told that the bytes are UTF-8.
void prepareStreams()
{
    std::fflush(stdout);
    std::fflush(stderr);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    SetConsoleOutputCP(CP_UTF8);
}
#else
std::vector<std::string> programWords(int argc, char* argv[])
{
    return std::vector<std::string>(argv, argv + argc);
}

// A mapped input that another program cuts short under the run raises SIGBUS where its lost pages
// are read; the run then ends as a failed one, with no output put in place.
void endOnLostInput(int)
{
    constexpr char kLostInput[] = "an input file was cut short by another program while it was read\n";
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, kLostInput, sizeof kLostInput - 1);
    ::_exit(kExitFailed);
}

// The streams print the bytes as they are given.
void prepareStreams() {}
#endif

#ifdef SUITE_WITH_WINDOWS
#ifdef _WIN32
constexpr std::string_view kWindowModuleSuffix = "Window.dll";

// Windows always has its desktop.
bool displayAvailable()
{
    return true;
}
#else
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
#endif

int refuseWindow(const ToolSpec& tool, std::string_view reason)
{
    std::cerr << tool.name << ": the window cannot be opened: " << reason << "\n"
              << "The command line needs no display; run \"" << tool.name
              << " --help\" for its commands.\n";
    return kExitFailed;
}

// The module's window entry, or why there is none. The module stays loaded until the process ends:
// the window runs inside it.
#ifdef _WIN32
std::expected<WindowEntry, std::string> loadWindowEntry(const std::filesystem::path& module)
{
    HMODULE handle = LoadLibraryW(module.c_str());
    if (handle == nullptr)
        return std::unexpected(pathText(module) + " cannot be loaded");
    // The address comes typeless; it passes through the generic function pointer type to its own.
    const auto entry = reinterpret_cast<WindowEntry>(
        reinterpret_cast<void (*)()>(GetProcAddress(handle, kWindowEntryName)));
    if (entry == nullptr)
        return std::unexpected(pathText(module) + " has no window");
    return entry;
}
#else
std::expected<WindowEntry, std::string> loadWindowEntry(const std::filesystem::path& module)
{
    void* handle = dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* error = dlerror();
        return std::unexpected(error != nullptr ? std::string(error) : pathText(module));
    }
    const auto entry = reinterpret_cast<WindowEntry>(dlsym(handle, kWindowEntryName));
    if (entry == nullptr)
        return std::unexpected(pathText(module) + " has no window");
    return entry;
}
#endif

int runWindow(std::vector<std::string>& words, const ToolSpec& tool)
{
    if (!displayAvailable())
        return refuseWindow(tool, "there is no display (neither DISPLAY nor WAYLAND_DISPLAY is set)");
    const std::filesystem::path module =
        programFolder() / pathFromUtf8(std::string(tool.name) + std::string(kWindowModuleSuffix));
    const std::expected<WindowEntry, std::string> entry = loadWindowEntry(module);
    if (!entry)
        return refuseWindow(tool, entry.error());
#ifdef _WIN32
    // Started from Explorer, the program has a console of its own that would stay open beside the
    // window; a console the program shares with a command prompt stays.
    DWORD consoleProcesses[2];
    if (GetConsoleProcessList(consoleProcesses, 2) == 1)
        FreeConsole();
#endif
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    return (*entry)(static_cast<int>(words.size()), argv.data());
}
#else
// A build without the Qt windows (the Windows cross build) has the command lines alone.
int runWindow(std::vector<std::string>&, const ToolSpec& tool)
{
    std::cerr << tool.name << ": this build has no window; run \"" << tool.name
              << " --help\" for its command line.\n";
    return kExitFailed;
}
#endif

}  // namespace

int startTool(int argc, char* argv[], const ToolSpec& tool)
{
    prepareStreams();
    std::vector<std::string> words = programWords(argc, argv);
    const std::span<const std::string> commandWords =
        std::span<const std::string>(words).subspan(words.empty() ? 0 : 1);
    if (isCommandLineRun(tool, commandWords)) {
        setFileReading(FileReading::Mapped);
#ifndef _WIN32
        std::signal(SIGBUS, endOnLostInput);
#endif
        return runCommandLine(tool, commandWords, std::cout, std::cerr);
    }
    return runWindow(words, tool);
}

}  // namespace shell
