#pragma once
// Paths and the UTF-8 text the suite keeps everywhere else (command-line words, names made from
// the game's texts, messages). On Linux both are the same bytes. On Windows a path is UTF-16, and
// a path made from a std::string takes it in the ANSI code page (as string() gives it back with
// some compilers), which mangles any name outside ASCII: text and paths meet only through these.

#include <filesystem>
#include <string>
#include <string_view>

namespace shell {

// A path as the tools print it: UTF-8, with "/" between the folders, on every system (Windows
// takes "/" as well), so that a tool prints the same bytes everywhere.
std::string pathText(const std::filesystem::path& path);

// The path that UTF-8 text names, on every system.
std::filesystem::path pathFromUtf8(std::string_view text);

}  // namespace shell
