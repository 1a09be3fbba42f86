#include "transplant/keldra_cli.hpp"

#include "rom/game_tables.hpp"
#include "shell/command_line.hpp"
#include "shell/command_line_shell.hpp"
#include "shell/files.hpp"
#include "transplant/file_set.hpp"
#include "transplant/free_ids.hpp"
#include "transplant/id_extension.hpp"
#include "transplant/keldra_session.hpp"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <span>
#include <vector>

namespace transplant {
namespace {

constexpr std::string_view kUsage =
    "usage: Keldra [ROM]\n"
    "       Keldra units ROM [--table FILE]\n"
    "       Keldra show ROM UNIT [--table FILE]\n"
    "       Keldra extract ROM UNIT [--dir DIR] [--off KIND:POS[,POS...]]... [--bulk-off]\n"
    "       Keldra status ROM [--ext-info FILE]\n"
    "       Keldra extend ROM -o OUT [--ext-info FILE] [--save-ext-info FILE2]\n"
    "       Keldra free ROM [--ext-info FILE]\n"
    "       Keldra add ROM FILESET -o OUT [--slot UNIT] [--ext-info FILE]\n"
    "       Keldra delete ROM UNIT -o OUT\n"
    "Every command also takes --table FILE (the character table).\n";

constexpr std::string_view kOutput = "-o";
constexpr std::string_view kTable = "--table";
constexpr std::string_view kExtInfo = "--ext-info";
constexpr std::string_view kSaveExtInfo = "--save-ext-info";

struct CommandContext {
    const shell::ParsedArguments& arguments;
    shell::CommandLineShell& shell;
    std::ostream& out;
    std::ostream& err;
};

using Options = std::set<std::string, std::less<>>;

struct Command {
    std::size_t positionals;  // after the subcommand
    Options options;          // besides --table
    Options requiredOptions;
    std::function<int(CommandContext&, KeldraSession&)> run;
};

int usage(std::ostream& err, std::string_view problem)
{
    if (!problem.empty())
        err << "Keldra: " << problem << '\n';
    err << kUsage;
    return shell::kExitUsage;
}

// The unit number of positional argument `index`, or the exit status to return.
std::expected<std::uint16_t, int> unitArgument(CommandContext& context, std::size_t index)
{
    const std::optional<std::uint32_t> unit =
        shell::parseNumber(context.arguments.positionals.at(index));
    if (!unit)
        return std::unexpected(usage(context.err, "UNIT must be a number"));
    if (*unit >= rom::kUnitCount) {
        context.err << "ユニット番号は 0 から " << rom::kUnitCount - 1 << " までです\n";
        return std::unexpected(shell::kExitFailed);
    }
    return static_cast<std::uint16_t>(*unit);
}

// Loads --ext-info FILE when it is given; false when it was given and did not load.
bool loadExtensionInfo(CommandContext& context, KeldraSession& session)
{
    const std::optional<std::string> path = context.arguments.value(kExtInfo);
    if (!path)
        return true;
    context.shell.queueOpenPath(*path);
    return session.LoadExtendInfo();
}

int writeImage(CommandContext& context, const KeldraSession& session)
{
    const std::filesystem::path output = *context.arguments.value(kOutput);
    return shell::writeWholeFile(context.shell, output, session.rom().bytes) ? shell::kExitDone
                                                                             : shell::kExitFailed;
}

int printUnits(CommandContext& context, KeldraSession& session)
{
    for (const std::string& line : session.unitListLines())
        context.out << line << '\n';
    return shell::kExitDone;
}

int showUnit(CommandContext& context, KeldraSession& session)
{
    const auto unit = unitArgument(context, 2);
    if (!unit)
        return unit.error();
    const std::optional<UnitPanels> panels = session.selectUnit(*unit);
    if (!panels)
        return shell::kExitFailed;
    context.out << shell::withLineFeeds(panels->resourceSummary) << '\n'
                << shell::withLineFeeds(panels->unitInformation);
    return shell::kExitDone;
}

// Applies one "--off KIND:POS[,POS...]" to the flags of the selected unit's lists.
std::optional<std::string> clearFlags(std::string_view text, const rom::UnitResourceSet& selected,
                                      SelectionFlags& flags)
{
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos)
        return "--off takes KIND:POS[,POS...]";
    const std::string_view name = text.substr(0, colon);
    const auto* kind = std::ranges::find_if(file_set::kIndexedKinds, [&](rom::ResourceKind k) {
        return rom::kindName(k) == name;
    });
    if (kind == file_set::kIndexedKinds.end())
        return "unknown kind " + std::string(name);
    std::string_view positions = text.substr(colon + 1);
    while (true) {
        const std::size_t comma = positions.find(',');
        const std::optional<std::uint32_t> position =
            shell::parseNumber(positions.substr(0, comma));
        if (!position)
            return "--off " + std::string(text) + ": POS must be a number";
        if (*position >= selected.list(*kind).size())
            return "--off " + std::string(text) + ": the unit has " +
                   std::to_string(selected.list(*kind).size()) + " " + std::string(name) +
                   " entries";
        flags.set(*kind, *position, false);
        if (comma == std::string_view::npos)
            return std::nullopt;
        positions.remove_prefix(comma + 1);
    }
}

int extractUnit(CommandContext& context, KeldraSession& session)
{
    const auto unit = unitArgument(context, 2);
    if (!unit)
        return unit.error();
    if (!session.selectUnit(*unit))
        return shell::kExitFailed;

    SelectionFlags flags;
    flags.selectAll();
    for (const std::string& off : context.arguments.allValues("--off")) {
        if (auto problem = clearFlags(off, session.selectedUnit(), flags))
            return usage(context.err, *problem);
    }
    if (context.arguments.has("--bulk-off"))
        flags.bulkOff();

    std::error_code error;
    const std::filesystem::path base = context.arguments.value("--dir").has_value()
                                           ? std::filesystem::path(*context.arguments.value("--dir"))
                                           : std::filesystem::current_path(error);
    const std::optional<ExtractionResult> result = session.ExtractUnit(flags, base);
    if (!result || !result->complete)
        return shell::kExitFailed;
    context.out << result->folder.string() << '\n';
    return shell::kExitDone;
}

int printStatus(CommandContext& context, KeldraSession& session)
{
    if (!loadExtensionInfo(context, session))
        return shell::kExitFailed;
    context.out << shell::withLineFeeds(session.extensionStatusText());
    return shell::kExitDone;
}

int extendImage(CommandContext& context, KeldraSession& session)
{
    if (!loadExtensionInfo(context, session))
        return shell::kExitFailed;
    const std::optional<std::string> infoPath = context.arguments.value(kSaveExtInfo);
    if (!infoPath) {
        if (!session.ExtendIdArea().extended)
            return shell::kExitFailed;
        return writeImage(context, session);
    }
    // The image and its info are written together or not at all: an info file left beside an
    // image that was never written would describe tables that do not exist.
    const KeldraSession::ExtensionOutcome outcome =
        session.ExtendIdArea(KeldraSession::InfoSaving::ByCaller);
    if (!outcome.extended || !outcome.infoWanted)
        return shell::kExitFailed;
    const std::string text = extensionInfoText(session.extensionInfo());
    const rom::Bytes info(text.begin(), text.end());
    const shell::FileToWrite files[] = {
        {*context.arguments.value(kOutput), session.rom().bytes},
        {*infoPath, info},
    };
    const bool saved = shell::writeWholeFiles(context.shell, files);
    session.AnnounceInfoSaved(saved);
    return saved ? shell::kExitDone : shell::kExitFailed;
}

int printFreeIds(CommandContext& context, KeldraSession& session)
{
    if (!loadExtensionInfo(context, session) || !session.StartAddUnit())
        return shell::kExitFailed;
    for (const std::string& line : session.freeUnitLines())
        context.out << line << '\n';
    context.out << '\n' << shell::withLineFeeds(FormatIdCounts(session.freeIds()));
    return shell::kExitDone;
}

int addUnit(CommandContext& context, KeldraSession& session)
{
    std::optional<std::uint16_t> chosenSlot;
    if (const auto slotText = context.arguments.value("--slot")) {
        const std::optional<std::uint32_t> chosen = shell::parseNumber(*slotText);
        if (!chosen || *chosen >= rom::kUnitCount)
            return usage(context.err, "--slot must be a unit number from 0 to 149");
        chosenSlot = static_cast<std::uint16_t>(*chosen);
    }
    if (!loadExtensionInfo(context, session) || !session.StartAddUnit())
        return shell::kExitFailed;

    std::filesystem::path fileSet = context.arguments.positionals.at(2);
    std::error_code error;
    if (std::filesystem::is_directory(fileSet, error))
        fileSet /= file_set::kIndexFile;
    context.shell.queueOpenPath(fileSet);
    if (!session.LoadUnitFileSet())
        return shell::kExitFailed;

    // Without --slot the unit goes into the first free slot, as the add dialog preselects it.
    const auto& freeUnits = session.freeIds().list(rom::ResourceKind::Unit);
    const std::uint16_t slot =
        chosenSlot.value_or(freeUnits.empty() ? rom::kNoId : freeUnits.front());
    if (!session.TransplantUnit(slot))
        return shell::kExitFailed;
    if (const int status = writeImage(context, session); status != shell::kExitDone)
        return status;
    session.AnnounceAddedUnit(slot);
    return shell::kExitDone;
}

int deleteUnit(CommandContext& context, KeldraSession& session)
{
    const auto unit = unitArgument(context, 2);
    if (!unit)
        return unit.error();
    if (!session.selectUnit(*unit) || !session.DeleteSelectedUnit())
        return shell::kExitFailed;
    return writeImage(context, session);
}

const std::map<std::string, Command, std::less<>>& commands()
{
    static const std::map<std::string, Command, std::less<>> table{
        {"units", {1, {}, {}, printUnits}},
        {"show", {2, {}, {}, showUnit}},
        {"extract", {2, {"--dir", "--off", "--bulk-off"}, {}, extractUnit}},
        {"status", {1, {"--ext-info"}, {}, printStatus}},
        {"extend", {1, {"-o", "--ext-info", std::string(kSaveExtInfo)}, {"-o"}, extendImage}},
        {"free", {1, {"--ext-info"}, {}, printFreeIds}},
        {"add", {2, {"-o", "--slot", "--ext-info"}, {"-o"}, addUnit}},
        {"delete", {2, {"-o"}, {"-o"}, deleteUnit}},
    };
    return table;
}

// The options given that `command` does not take, or nothing.
std::optional<std::string> foreignOption(const shell::ParsedArguments& arguments,
                                         const Command& command)
{
    for (const auto& [option, value] : arguments.values) {
        if (option != kTable && !command.options.contains(option))
            return option;
    }
    for (const std::string& flag : arguments.flags) {
        if (!command.options.contains(flag))
            return flag;
    }
    return std::nullopt;
}

// The files of the file set that `add` reads: the index it is given and every file of a set's
// name in the set's folder.
std::vector<shell::NamedPath> fileSetInputs(const std::filesystem::path& fileSet)
{
    constexpr std::string_view kName = "FILESET";
    std::error_code error;
    const bool isFolder = std::filesystem::is_directory(fileSet, error);
    const std::filesystem::path index = isFolder ? fileSet / file_set::kIndexFile : fileSet;
    std::vector<shell::NamedPath> inputs{{kName, index}};
    const std::vector<shell::NamedPath> files =
        shell::folderInputs(kName, isFolder ? fileSet : fileSet.parent_path(), file_set::kUnitFiles,
                            file_set::kItemStems);
    inputs.insert(inputs.end(), files.begin(), files.end());
    return inputs;
}

// An output that would replace another output or an input, found before anything is read. Only -o
// may name ROM: the image is then changed in place.
std::optional<std::string> outputCollision(const shell::ParsedArguments& arguments,
                                           const std::filesystem::path& tablePath)
{
    std::vector<shell::NamedPath> outputs;
    for (std::string_view option : {kOutput, kSaveExtInfo}) {
        if (const std::optional<std::string> path = arguments.value(option))
            outputs.push_back({option, *path});
    }
    if (outputs.empty())
        return std::nullopt;
    std::vector<shell::NamedPath> inputs{{kTable, tablePath}};
    if (const std::optional<std::string> info = arguments.value(kExtInfo))
        inputs.push_back({kExtInfo, *info});
    if (arguments.positionals.at(0) == "add") {
        const std::vector<shell::NamedPath> set = fileSetInputs(arguments.positionals.at(2));
        inputs.insert(inputs.end(), set.begin(), set.end());
    }
    if (auto collision = shell::outputCollision(outputs, inputs))
        return collision;
    const shell::NamedPath rom[] = {{"ROM", arguments.positionals.at(1)}};
    const std::span<const shell::NamedPath> notReplacingRom =
        std::span(outputs).subspan(outputs.front().name == kOutput ? 1 : 0);
    return shell::outputCollision(notReplacingRom, rom);
}

}  // namespace

bool isKeldraCommand(std::string_view word)
{
    return commands().contains(word);
}

int runKeldraCommand(std::span<const std::string> arguments, std::ostream& out, std::ostream& err)
{
    const shell::ArgumentSpec spec{
        {std::string(kTable), "--dir", "--off", std::string(kExtInfo), std::string(kSaveExtInfo),
         "--slot", std::string(kOutput)},
        {"--bulk-off"}};
    auto parsed = shell::parseArguments(arguments, spec);
    if (!parsed)
        return usage(err, parsed.error());
    if (parsed->positionals.empty())
        return usage(err, "");
    const auto found = commands().find(parsed->positionals.at(0));
    if (found == commands().end())
        return usage(err, "unknown command " + parsed->positionals[0]);
    const Command& command = found->second;
    if (parsed->positionals.size() != command.positionals + 1)
        return usage(err, "wrong number of arguments");
    if (auto option = foreignOption(*parsed, command))
        return usage(err, parsed->positionals[0] + " does not take " + *option);
    for (const std::string& option : command.requiredOptions) {
        if (!parsed->value(option))
            return usage(err, parsed->positionals[0] + " needs " + option);
    }

    const std::filesystem::path tablePath =
        parsed->value(kTable).value_or(rom::defaultCharacterTablePath().string());
    if (auto collision = outputCollision(*parsed, tablePath))
        return usage(err, *collision);

    shell::CommandLineShell shell(err);
    KeldraSession session(shell, rom::characterTableFrom(shell::readWholeFile(shell, tablePath)));
    shell.queueOpenPath(parsed->positionals[1]);
    if (!session.OpenRom())
        return shell::kExitFailed;

    CommandContext context{*parsed, shell, out, err};
    return command.run(context, session);
}

}  // namespace transplant
