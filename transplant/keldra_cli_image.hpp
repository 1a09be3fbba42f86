#pragma once
// What Keldra's commands share on the command line: the image opened as the window opens it, the
// check that no output replaces an input or another output, unit numbers and the extension info.

#include "shell/command_frame.hpp"
#include "shell/command_line.hpp"
#include "shell/command_line_shell.hpp"
#include "transplant/keldra_session.hpp"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace transplant::cli {

inline constexpr std::string_view kOutput = "-o";
inline constexpr std::string_view kTable = "--table";
inline constexpr std::string_view kExtInfo = "--ext-info";
inline constexpr std::string_view kUnit = "UNIT";
// How a refused unit number is named in its range message.
inline constexpr std::string_view kUnitNumberName = "ユニット番号";

// One command's run on its image.
struct ImageRun {
    shell::CommandCall& call;
    shell::CommandLineShell& shell;
    KeldraSession& session;
};

// The files a command writes (-o first) and those it reads besides ROM and the character table.
struct CommandFiles {
    std::vector<shell::NamedPath> outputs;
    std::vector<shell::NamedPath> inputs;
};

// Refuses outputs that would replace another output or an input before anything is read (only -o
// may name ROM: the image is then changed in place), reads the character table, opens ROM (the
// first argument) as "開く" opens it and runs `command` on it. Returns the exit status.
int runOnImage(shell::CommandCall& call, const CommandFiles& files,
               const std::function<int(ImageRun&)>& command);

// The unit that `text` (the argument or option `name`) names. A number outside the unit table is
// refused with the range message on stderr, and nothing is returned.
std::optional<std::uint16_t> unitNumber(const shell::CommandCall& call, std::string_view text,
                                        std::string_view name);

// `path` with the extension ".ExtInfo": where an image's extension info lies beside it.
std::filesystem::path extensionInfoPathOf(const std::filesystem::path& path);

// The extension info files a command that takes --ext-info reads or must leave alone: FILE when
// given, and ROM's .ExtInfo when it exists, which belongs to ROM. With `pairInPlace` (ROM and its
// info are both rewritten) ROM's .ExtInfo is no input that an output must spare.
std::vector<shell::NamedPath> extensionInfoInputs(const shell::CommandCall& call, bool pairInPlace);

// Loads --ext-info FILE, or when it is not given ROM's .ExtInfo if that file exists, saying so on
// stderr. False when info was given or found and did not load.
bool loadExtensionInfo(ImageRun& run);

}  // namespace transplant::cli
