#include "editor/morvane_cli.hpp"

#include "editor/morvane_session.hpp"
#include "rom/game_tables.hpp"
#include "shell/command_line.hpp"
#include "shell/command_line_shell.hpp"
#include "shell/files.hpp"
#include "shell/number_text.hpp"
#include "shell/program_folder.hpp"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>
#include <vector>

namespace editor {
namespace {

constexpr std::string_view kUnit = "UNIT";
constexpr std::string_view kUnitNumberName = "ユニット番号";
constexpr std::string_view kFolder = "FOLDER";

// What every command works with: the session on the command line's Shell, and the character
// table it decodes names with.
struct Run {
    explicit Run(shell::CommandCall& call)
        : tablePath(tablePathOf(call)), shell(call.err), session(shell, tablePath)
    {
    }

    static std::filesystem::path tablePathOf(const shell::CommandCall& call)
    {
        const std::optional<std::filesystem::path> table = call.pathOption("--table");
        return table ? *table : rom::characterTablePathIn(shell::programFolder());
    }

    std::filesystem::path tablePath;
    shell::CommandLineShell shell;
    MorvaneSession session;
};

// A unit number as given; one beyond the list is refused (said on stderr) and gives nothing.
std::optional<std::uint16_t> unitNumber(const shell::CommandCall& call, const std::string& text)
{
    const std::optional<std::uint32_t> unit =
        call.numberBelow(text, kUnit, rom::kUnitCount, kUnitNumberName, kUnitNumberDigits);
    if (!unit)
        return std::nullopt;
    return static_cast<std::uint16_t>(*unit);
}

bool openRom(shell::CommandCall& call, Run& run)
{
    return run.session.OpenRom(call.pathArgument(0));
}

// Opens ROM and reads UNIT (the second argument) into the ROM side; its summary, or nothing when
// the command failed (said on stderr).
std::optional<std::string> openAndSelect(shell::CommandCall& call, Run& run)
{
    const std::optional<std::uint16_t> unit = unitNumber(call, call.argument(1));
    if (!unit || !openRom(call, run))
        return std::nullopt;
    return run.session.SelectUnit(*unit);
}

int printUnits(shell::CommandCall& call)
{
    Run run(call);
    if (!openRom(call, run))
        return shell::kExitFailed;
    for (const std::string& line : run.session.unitListLines())
        call.out << line << '\n';
    return shell::kExitDone;
}

int printSummary(shell::CommandCall& call)
{
    Run run(call);
    const std::optional<std::string> summary =
        call.arguments().size() == 1
            ? run.session.LoadUnitFolder(call.pathArgument(0))
            : openAndSelect(call, run);
    if (!summary)
        return shell::kExitFailed;
    call.out << shell::withLineFeeds(*summary);
    return shell::kExitDone;
}

int printReport(shell::CommandCall& call)
{
    Run run(call);
    if (!openAndSelect(call, run))
        return shell::kExitFailed;
    call.out << shell::withLineFeeds(run.session.romSideReport());
    return shell::kExitDone;
}

// The units that "save" saves: each UNIT given, or with "all" the 150 units of the list in list
// order (a unit that cannot be read is reported and counted as failed, as one given by number).
// Checked whole before the image is read: a wrong number or a unit given twice is wrong usage, a
// unit beyond the list is refused (nothing).
std::optional<std::vector<std::uint16_t>> unitsToSave(const shell::CommandCall& call)
{
    const std::optional<shell::CommandCall::NumbersOrAll> chosen = call.numbersOrAll(
        call.arguments().subspan(1), kUnit, rom::kUnitCount, kUnitNumberName, kUnitNumberDigits);
    if (!chosen)
        return std::nullopt;
    std::vector<std::uint16_t> units;
    for (std::uint32_t unit = 0; unit < rom::kUnitCount; ++unit) {
        if (chosen->all)
            units.push_back(static_cast<std::uint16_t>(unit));
    }
    for (const std::uint32_t unit : chosen->numbers)
        units.push_back(static_cast<std::uint16_t>(unit));
    return units;
}

std::filesystem::path saveBase(const shell::CommandCall& call)
{
    if (const std::optional<std::filesystem::path> dir = call.pathOption("--dir"))
        return *dir;
    std::error_code error;
    std::filesystem::path current = std::filesystem::current_path(error);
    return error ? std::filesystem::path(".") : current;
}

// One unit saves as the window's "保存" does. Several units save in one run of the image, each
// after a progress line on stderr: a unit that fails has been reported, the others are still saved,
// and the run ends failed. Their folders are told apart before anything is written
// (distinctUnitFolderNames): units of one name never overwrite each other's files, and each unit
// keeps the folder a save of it alone would use unless an earlier unit of the run took that name.
// An existing folder is written into, as a save of one unit does.
int saveFolders(shell::CommandCall& call)
{
    const std::optional<std::vector<std::uint16_t>> units = unitsToSave(call);
    if (!units)
        return shell::kExitFailed;
    Run run(call);
    if (!openRom(call, run))
        return shell::kExitFailed;
    const std::filesystem::path base = saveBase(call);

    const bool several = units->size() > 1;
    std::vector<std::string> names;
    // Empty: the unit's own name, read as the unit is saved.
    std::vector<std::string> folderNames(units->size());
    if (several) {
        names = run.session.unitNames();
        std::vector<NamedUnit> named;
        for (const std::uint16_t unit : *units)
            named.push_back({unit, names[unit]});
        folderNames = distinctUnitFolderNames(named);
    }
    bool allSaved = true;
    for (std::size_t i = 0; i < units->size(); ++i) {
        const std::uint16_t unit = (*units)[i];
        if (several)
            call.err << '[' << i + 1 << '/' << units->size() << "] "
                     << unitListLine(unit, names[unit]) << '\n';
        std::optional<SavedUnitFolder> saved;
        if (run.session.SelectUnit(unit))
            saved = run.session.SaveUnitFolder(base, folderNames[i]);
        if (saved)
            call.out << shell::pathText(saved->folder) << '\n';
        else
            allSaved = false;
    }
    return allSaved ? shell::kExitDone : shell::kExitFailed;
}

// -o may name ROM, which then takes the ported image, but no other input: neither a file of the
// unit folder nor the character table.
std::optional<std::string> portOutputCollision(const shell::CommandCall& call, const Run& run,
                                               const std::filesystem::path& output)
{
    const std::filesystem::path index = unitAllPathOf(call.pathArgument(2));
    std::vector<shell::NamedPath> inputs{{kFolder, index}, {"--table", run.tablePath}};
    const std::vector<shell::NamedPath> files = shell::folderInputs(
        kFolder, index.parent_path(), folder_files::kFixedFiles, folder_files::kItemStems);
    inputs.insert(inputs.end(), files.begin(), files.end());
    const shell::NamedPath outputs[] = {{"-o", output}};
    return shell::outputCollision(outputs, inputs);
}

int portFolder(shell::CommandCall& call)
{
    Run run(call);
    const std::filesystem::path output = *call.pathOption("-o");
    if (const std::optional<std::string> collision = portOutputCollision(call, run, output))
        call.usageError(*collision);
    if (!openAndSelect(call, run))
        return shell::kExitFailed;
    if (!run.session.LoadUnitFolder(call.pathArgument(2)))
        return shell::kExitFailed;
    if (!run.session.PortUnit())
        return shell::kExitFailed;
    if (!shell::writeWholeFile(run.shell, output, run.session.image()))
        return shell::kExitFailed;
    return shell::kExitDone;
}

}  // namespace

shell::ToolSpec morvaneCommandLine()
{
    using shell::CommandSpec;
    return shell::ToolSpec{
        .name = "Morvane",
        .windowArguments = "[ROM]",
        .windowDescription = "opens the window, with ROM as its image instead of asking for one",
        .commonOptions = {{"--table", "FILE",
                           "the character table that decodes names (default: string.txt beside "
                           "the program)"}},
        .commands =
            {
                {"units", {"ROM"}, 1, 1, {}, "prints the 150 unit list lines XX:name", printUnits},
                {"summary",
                 {"ROM UNIT", "FOLDER"},
                 1,
                 2,
                 {},
                 "prints the summary of UNIT read from ROM, or of a unit folder (FOLDER or its "
                 "unitall.dat)",
                 printSummary},
                {"report", {"ROM UNIT"}, 2, 2, {}, "prints the ID list report of UNIT",
                 printReport},
                {"save",
                 {"ROM UNIT...", "ROM all"},
                 2,
                 CommandSpec::kAnyCount,
                 {{"--dir", "DIR",
                   "the folder that receives the unit folders (default: the current folder)"}},
                 "saves each UNIT, or every unit, as a unit folder DIR/<unit name>/ and prints "
                 "its path",
                 saveFolders},
                {"port",
                 {"ROM UNIT FOLDER"},
                 3,
                 3,
                 {{"-o", "OUT", "the file that receives the ported image (may be ROM)", true}},
                 "ports the unit folder FOLDER into UNIT of ROM and writes the image to OUT",
                 portFolder},
            },
        .notes = "UNIT: a unit of the list that \"units\" prints, decimal (42) or hexadecimal with "
                 "0x (0x2A).\n"
                 "save of several units: a progress line per unit on stderr; one that fails leaves "
                 "the others saved\n"
                 "(exit 1); a folder name that an earlier unit has gets the unit number "
                 "(\"name_2B\").\n",
    };
}

int runMorvaneCommand(std::span<const std::string> words, std::ostream& out, std::ostream& err)
{
    return shell::runCommandLine(morvaneCommandLine(), words, out, err);
}

}  // namespace editor
