#include "editor/morvane_cli.hpp"

#include "editor/morvane_session.hpp"
#include "rom/game_tables.hpp"
#include "shell/command_line.hpp"
#include "shell/command_line_shell.hpp"
#include "shell/files.hpp"

#include <filesystem>
#include <functional>
#include <system_error>
#include <map>

namespace editor {
namespace {

constexpr std::string_view kUsage =
    "usage: Morvane [ROM]\n"
    "       Morvane units ROM [--table FILE]\n"
    "       Morvane summary ROM UNIT [--table FILE]\n"
    "       Morvane summary FOLDER [--table FILE]\n"
    "       Morvane report ROM UNIT [--table FILE]\n"
    "       Morvane save ROM UNIT [--dir DIR] [--table FILE]\n"
    "       Morvane port ROM UNIT FOLDER -o OUT [--table FILE]\n";

struct CommandContext {
    const shell::ParsedArguments& arguments;
    std::filesystem::path tablePath;
    shell::CommandLineShell& shell;
    MorvaneSession& session;
    std::ostream& out;
    std::ostream& err;
};

struct Command {
    std::size_t minPositionals;  // after the subcommand
    std::size_t maxPositionals;
    std::function<int(CommandContext&)> run;
};

int usage(std::ostream& err, std::string_view problem)
{
    if (!problem.empty())
        err << "Morvane: " << problem << '\n';
    err << kUsage;
    return shell::kExitUsage;
}

const std::string& positional(const CommandContext& context, std::size_t index)
{
    return context.arguments.positionals.at(index + 1);
}

bool openRom(CommandContext& context)
{
    context.shell.queueOpenPath(positional(context, 0));
    return context.session.OpenRom();
}

// Opens the ROM and reads UNIT into the ROM side; the exit status on failure.
std::optional<int> openAndSelect(CommandContext& context, std::string* summary = nullptr)
{
    const std::optional<std::uint32_t> unit = shell::parseNumber(positional(context, 1));
    if (!unit)
        return usage(context.err, "UNIT must be a number");
    if (*unit >= rom::kUnitCount) {
        context.err << "ユニット番号は 0 から " << rom::kUnitCount - 1 << " までです\n";
        return shell::kExitFailed;
    }
    if (!openRom(context))
        return shell::kExitFailed;
    const std::optional<std::string> text =
        context.session.SelectUnit(static_cast<std::uint16_t>(*unit));
    if (!text)
        return shell::kExitFailed;
    if (summary)
        *summary = *text;
    return std::nullopt;
}

int printUnits(CommandContext& context)
{
    if (!openRom(context))
        return shell::kExitFailed;
    for (const std::string& line : context.session.unitListLines())
        context.out << line << '\n';
    return shell::kExitDone;
}

int printSummary(CommandContext& context)
{
    if (context.arguments.positionals.size() == 2) {
        const std::optional<std::string> summary =
            context.session.LoadUnitFolder(positional(context, 0));
        if (!summary)
            return shell::kExitFailed;
        context.out << shell::withLineFeeds(*summary);
        return shell::kExitDone;
    }
    std::string summary;
    if (const std::optional<int> failed = openAndSelect(context, &summary))
        return *failed;
    context.out << shell::withLineFeeds(summary);
    return shell::kExitDone;
}

int printReport(CommandContext& context)
{
    if (const std::optional<int> failed = openAndSelect(context))
        return *failed;
    context.out << shell::withLineFeeds(context.session.romSideReport());
    return shell::kExitDone;
}

int saveFolder(CommandContext& context)
{
    if (const std::optional<int> failed = openAndSelect(context))
        return *failed;
    std::error_code error;
    std::filesystem::path base = std::filesystem::current_path(error);
    if (const std::optional<std::string> dir = context.arguments.value("--dir"))
        base = *dir;
    else if (error)
        base = ".";
    const std::optional<SavedUnitFolder> saved = context.session.SaveUnitFolder(base);
    if (!saved)
        return shell::kExitFailed;
    context.out << shell::pathText(saved->folder) << '\n';
    return shell::kExitDone;
}

// -o may name ROM, which then takes the ported image, but no other input: neither a file of the
// unit folder nor the character table.
std::optional<std::string> portOutputCollision(const CommandContext& context,
                                               const std::filesystem::path& output)
{
    constexpr std::string_view kFolder = "FOLDER";
    const std::filesystem::path index = unitAllPathOf(positional(context, 2));
    std::vector<shell::NamedPath> inputs{{kFolder, index}, {"--table", context.tablePath}};
    const std::vector<shell::NamedPath> files = shell::folderInputs(
        kFolder, index.parent_path(), folder_files::kFixedFiles, folder_files::kItemStems);
    inputs.insert(inputs.end(), files.begin(), files.end());
    const shell::NamedPath outputs[] = {{"-o", output}};
    return shell::outputCollision(outputs, inputs);
}

int portFolder(CommandContext& context)
{
    const std::optional<std::string> output = context.arguments.value("-o");
    if (!output)
        return usage(context.err, "port needs -o OUT");
    if (const std::optional<std::string> collision = portOutputCollision(context, *output))
        return usage(context.err, *collision);
    if (const std::optional<int> failed = openAndSelect(context))
        return *failed;
    if (!context.session.LoadUnitFolder(positional(context, 2)))
        return shell::kExitFailed;
    if (!context.session.PortUnit())
        return shell::kExitFailed;
    if (!shell::writeWholeFile(context.shell, *output, context.session.image()))
        return shell::kExitFailed;
    return shell::kExitDone;
}

const std::map<std::string, Command, std::less<>>& commands()
{
    static const std::map<std::string, Command, std::less<>> table{
        {"units", {1, 1, printUnits}},
        {"summary", {1, 2, printSummary}},
        {"report", {2, 2, printReport}},
        {"save", {2, 2, saveFolder}},
        {"port", {3, 3, portFolder}},
    };
    return table;
}

}  // namespace

bool isMorvaneCommand(std::string_view word)
{
    return commands().contains(word);
}

std::string_view morvaneUsage()
{
    return kUsage;
}

int runMorvaneCommand(std::span<const std::string> arguments, std::ostream& out, std::ostream& err)
{
    const shell::ArgumentSpec spec{{"--table", "--dir", "-o"}, {}};
    auto parsed = shell::parseArguments(arguments, spec);
    if (!parsed)
        return usage(err, parsed.error());
    if (parsed->positionals.empty())
        return usage(err, "");
    const auto found = commands().find(parsed->positionals[0]);
    if (found == commands().end())
        return usage(err, "unknown command " + parsed->positionals[0]);
    const Command& command = found->second;
    const std::size_t count = parsed->positionals.size() - 1;
    if (count < command.minPositionals || count > command.maxPositionals)
        return usage(err, "wrong number of arguments");

    shell::CommandLineShell shell(err);
    const std::filesystem::path tablePath =
        parsed->value("--table").value_or(rom::defaultCharacterTablePath().string());
    MorvaneSession session(shell, tablePath);
    CommandContext context{*parsed, tablePath, shell, session, out, err};
    return command.run(context);
}

}  // namespace editor
