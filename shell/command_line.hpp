#pragma once
// What the tools' command lines share besides their frame: the number grammar, the exit statuses,
// printed texts and paths, and the checks that no output replaces another output or an input.

#include "shell/path_text.hpp"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace shell {

// A number as the command lines take it: decimal ("42") or hexadecimal with "0x" ("0x2A").
std::optional<std::uint32_t> parseNumber(std::string_view text);

// Exit statuses shared by the command lines.
inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// Text printed on stdout: CR LF line ends become LF.
std::string withLineFeeds(std::string_view text);

// True when `a` and `b` name one file, whether it exists or not: the same real path (links and
// "." or ".." resolved), or one existing file under two names (a hard link).
bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b);

// A path given on the command line with the option (or argument name) that gave it.
struct NamedPath {
    std::string_view name;
    std::filesystem::path path;
};

// The files in `folder` that a tool reads from such a folder, each as the input `name`: those named
// one of `fixedNames`, and the numbered item files, one of `itemStems`, a number in decimal and
// ".dat" ("Sprite10.dat").
std::vector<NamedPath> folderInputs(std::string_view name, const std::filesystem::path& folder,
                                    std::span<const std::string_view> fixedNames,
                                    std::span<const std::string_view> itemStems);

// The usage problem when two of `outputs` name the same file, or one of them names one of
// `inputs`; nothing when every output has a file of its own. Checked before anything is read, so
// that no output ever replaces another output or an input.
std::optional<std::string> outputCollision(std::span<const NamedPath> outputs,
                                           std::span<const NamedPath> inputs);

}  // namespace shell
