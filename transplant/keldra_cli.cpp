#include "transplant/keldra_cli.hpp"

#include "rom/game_tables.hpp"
#include "shell/command_line.hpp"
#include "shell/files.hpp"
#include "transplant/file_set.hpp"
#include "transplant/free_ids.hpp"
#include "transplant/id_extension.hpp"
#include "transplant/keldra_cli_extract.hpp"
#include "transplant/keldra_cli_image.hpp"
#include "transplant/keldra_session.hpp"

#include <filesystem>
#include <vector>

namespace transplant {
namespace {

namespace fs = std::filesystem;
using cli::ImageRun;
using cli::kOutput;
using shell::CommandCall;
using shell::NamedPath;

constexpr std::string_view kSlot = "--slot";
constexpr std::string_view kSaveExtInfo = "--save-ext-info";
constexpr std::string_view kNoExtInfo = "--no-ext-info";
constexpr std::string_view kFileSetName = "FILESET";
constexpr std::string_view kDefaultInfoOutputName = "OUT's .ExtInfo";

int writeImage(ImageRun& run)
{
    return shell::writeWholeFile(run.shell, *run.call.pathOption(kOutput), run.session.rom().bytes)
               ? shell::kExitDone
               : shell::kExitFailed;
}

int printUnits(ImageRun& run)
{
    for (const std::string& line : run.session.unitListLines())
        run.call.out << line << '\n';
    return shell::kExitDone;
}

int showUnit(ImageRun& run, std::uint16_t unit)
{
    const std::optional<UnitPanels> panels = run.session.selectUnit(unit);
    if (!panels)
        return shell::kExitFailed;
    run.call.out << shell::withLineFeeds(panels->resourceSummary) << '\n'
                 << shell::withLineFeeds(panels->unitInformation);
    return shell::kExitDone;
}

int printStatus(ImageRun& run)
{
    if (!cli::loadExtensionInfo(run))
        return shell::kExitFailed;
    run.call.out << shell::withLineFeeds(run.session.extensionStatusText());
    return shell::kExitDone;
}

// Where `extend` writes the new info: --save-ext-info FILE2, or beside OUT as OUT's name with the
// extension ".ExtInfo"; nothing with --no-ext-info.
std::optional<NamedPath> extensionInfoOutput(const CommandCall& call)
{
    if (call.flag(kNoExtInfo)) {
        if (call.option(kSaveExtInfo))
            call.usageError(std::string(kSaveExtInfo) + " and " + std::string(kNoExtInfo) +
                            " exclude each other");
        return std::nullopt;
    }
    if (const std::optional<fs::path> path = call.pathOption(kSaveExtInfo))
        return NamedPath{kSaveExtInfo, *path};
    return NamedPath{kDefaultInfoOutputName, cli::extensionInfoPathOf(*call.pathOption(kOutput))};
}

int extendImage(ImageRun& run, const std::optional<NamedPath>& infoOutput)
{
    if (!cli::loadExtensionInfo(run))
        return shell::kExitFailed;
    const KeldraSession::ExtensionOutcome outcome = run.session.ExtendIdArea();
    if (!outcome.extended)
        return shell::kExitFailed;
    run.session.AnnounceExtended();
    if (!infoOutput || !outcome.infoWanted) {
        run.session.AnnounceInfoSaved(false);
        return writeImage(run);
    }
    // The image and its info are written together or not at all: an info file left beside an
    // image that was never written would describe tables that do not exist.
    const std::string text = extensionInfoText(run.session.extensionInfo());
    const rom::Bytes info(text.begin(), text.end());
    const shell::FileToWrite files[] = {
        {*run.call.pathOption(kOutput), run.session.rom().bytes},
        {infoOutput->path, info},
    };
    const bool saved = shell::writeWholeFiles(run.shell, files);
    run.session.AnnounceInfoSaved(saved);
    return saved ? shell::kExitDone : shell::kExitFailed;
}

int printFreeIds(ImageRun& run)
{
    if (!cli::loadExtensionInfo(run) || !run.session.StartAddUnit())
        return shell::kExitFailed;
    for (const std::string& line : run.session.freeUnitLines())
        run.call.out << line << '\n';
    run.call.out << '\n' << shell::withLineFeeds(FormatIdCounts(run.session.freeIds()));
    return shell::kExitDone;
}

// The index of the file set that `add` is given: the "UnitAllData.dat" itself or its folder.
fs::path fileSetIndex(const fs::path& fileSet)
{
    std::error_code error;
    return fs::is_directory(fileSet, error) ? fileSet / file_set::kIndexFile : fileSet;
}

// The files of the file set that `add` reads: its index and every file of a set's name in the
// index's folder.
std::vector<NamedPath> fileSetInputs(const fs::path& fileSet)
{
    const fs::path index = fileSetIndex(fileSet);
    std::vector<NamedPath> inputs{{kFileSetName, index}};
    const std::vector<NamedPath> files = shell::folderInputs(
        kFileSetName, index.parent_path(), file_set::kUnitFiles, file_set::kItemStems);
    inputs.insert(inputs.end(), files.begin(), files.end());
    return inputs;
}

int addUnit(ImageRun& run, std::optional<std::uint16_t> chosenSlot)
{
    if (!cli::loadExtensionInfo(run) || !run.session.StartAddUnit())
        return shell::kExitFailed;
    if (!run.session.LoadUnitFileSet(fileSetIndex(run.call.pathArgument(1))))
        return shell::kExitFailed;
    // Without --slot the unit goes into the first free slot, as the add dialog preselects it.
    const auto& freeUnits = run.session.freeIds().list(rom::ResourceKind::Unit);
    const std::uint16_t slot =
        chosenSlot.value_or(freeUnits.empty() ? rom::kNoId : freeUnits.front());
    if (!run.session.TransplantUnit(slot))
        return shell::kExitFailed;
    if (const int status = writeImage(run); status != shell::kExitDone)
        return status;
    run.session.AnnounceAddedUnit(slot);
    return shell::kExitDone;
}

int deleteUnit(ImageRun& run, std::uint16_t unit)
{
    if (!run.session.selectUnit(unit) || !run.session.DeleteSelectedUnit())
        return shell::kExitFailed;
    return writeImage(run);
}

// The files of a command whose one output is the changed image.
cli::CommandFiles imageOutput(const CommandCall& call)
{
    return {{{kOutput, *call.pathOption(kOutput)}}, {}};
}

// A unit outside the table is refused before ROM is read.
int runShow(CommandCall& call)
{
    const std::optional<std::uint16_t> unit = cli::unitNumber(call, call.argument(1), cli::kUnit);
    if (!unit)
        return shell::kExitFailed;
    return cli::runOnImage(call, {}, [&](ImageRun& run) { return showUnit(run, *unit); });
}

int runDelete(CommandCall& call)
{
    const std::optional<std::uint16_t> unit = cli::unitNumber(call, call.argument(1), cli::kUnit);
    if (!unit)
        return shell::kExitFailed;
    return cli::runOnImage(call, imageOutput(call),
                           [&](ImageRun& run) { return deleteUnit(run, *unit); });
}

int runExtend(CommandCall& call)
{
    const std::optional<NamedPath> infoOutput = extensionInfoOutput(call);
    cli::CommandFiles files = imageOutput(call);
    if (infoOutput)
        files.outputs.push_back(*infoOutput);
    // The info beside ROM belongs to ROM: its new info may replace it only with ROM itself.
    files.inputs =
        cli::extensionInfoInputs(call, shell::sameFile(*call.pathOption(kOutput), call.pathArgument(0)));
    return cli::runOnImage(call, files,
                           [&](ImageRun& run) { return extendImage(run, infoOutput); });
}

int runAdd(CommandCall& call)
{
    std::optional<std::uint16_t> slot;
    if (const std::optional<std::string> text = call.option(kSlot)) {
        slot = cli::unitNumber(call, *text, kSlot);
        if (!slot)
            return shell::kExitFailed;
    }
    cli::CommandFiles files = imageOutput(call);
    files.inputs = cli::extensionInfoInputs(call, false);
    const std::vector<NamedPath> set = fileSetInputs(call.pathArgument(1));
    files.inputs.insert(files.inputs.end(), set.begin(), set.end());
    return cli::runOnImage(call, files, [&](ImageRun& run) { return addUnit(run, slot); });
}

std::function<int(CommandCall&)> onImage(int (*command)(ImageRun&))
{
    return [command](CommandCall& call) { return cli::runOnImage(call, {}, command); };
}

const shell::OptionSpec kExtInfoOption{
    cli::kExtInfo, "FILE",
    "the extension info to load (default: ROM's .ExtInfo, when that file exists)"};
const shell::OptionSpec kOutputOption{kOutput, "OUT", "the changed image (may be ROM itself)", true};

}  // namespace

shell::ToolSpec keldraCommandLine()
{
    using shell::CommandSpec;
    return shell::ToolSpec{
        .name = "Keldra",
        .windowArguments = "[ROM]",
        .windowDescription = "opens the window, with ROM opened as 開く opens it",
        .commonOptions = {{cli::kTable, "FILE",
                           "the character table that decodes names (default: string.txt beside "
                           "the program)"}},
        .commands =
            {
                {"units", {"ROM"}, 1, 1, {}, "prints the 150 lines of the unit list, \"XXX: name\"",
                 onImage(printUnits)},
                {"show", {"ROM UNIT"}, 2, 2, {},
                 "prints the unit's resource summary, an empty line, then its information",
                 runShow},
                {"extract",
                 {"ROM UNIT...", "ROM all"},
                 2,
                 CommandSpec::kAnyCount,
                 cli::extractOptions(),
                 "writes each unit's file set into DIR/<unit name>/ and prints that folder",
                 cli::runExtract},
                {"status", {"ROM"}, 1, 1, {kExtInfoOption},
                 "prints the extension summary of ROM and its extension info", onImage(printStatus)},
                {"extend",
                 {"ROM"},
                 1,
                 1,
                 {kOutputOption, kExtInfoOption,
                  {kSaveExtInfo, "FILE2",
                   "where the new extension info goes (default: OUT's name with the extension "
                   ".ExtInfo)"},
                  {kNoExtInfo, "", "writes no extension info"}},
                 "extends the ID areas; writes the image and its new extension info together",
                 runExtend},
                {"free", {"ROM"}, 1, 1, {kExtInfoOption},
                 "prints the free unit slots, an empty line, then the free IDs of every kind",
                 onImage(printFreeIds)},
                {"add",
                 {"ROM FILESET"},
                 2,
                 2,
                 {kOutputOption,
                  {kSlot, "UNIT", "the free unit slot to fill (default: the first free one)"},
                  kExtInfoOption},
                 "adds the unit of FILESET (a UnitAllData.dat or its folder) into a free slot",
                 runAdd},
                {"delete", {"ROM UNIT"}, 2, 2, {kOutputOption},
                 "empties the unit's slot and its weapons' slots for later additions",
                 runDelete},
            },
        .notes = "UNIT, --slot and POS are decimal (42) or hexadecimal with 0x (0x2A).\n"
                 "A command that changes the image writes it to OUT; ROM changes only when OUT "
                 "names it.\n"
                 "Without --ext-info, the commands that take it load ROM's .ExtInfo (ROM's name "
                 "with the\nextension .ExtInfo) when that file exists.\n"
                 "\"extract ROM all\" takes every slot that holds a unit; a unit whose folder name "
                 "an earlier\nunit took gets \"_\" and its ID appended (\"name_02A\").\n",
    };
}

int runKeldraCommand(std::span<const std::string> words, std::ostream& out, std::ostream& err)
{
    return shell::runCommandLine(keldraCommandLine(), words, out, err);
}

}  // namespace transplant
