#include "transplant/keldra_cli.hpp"

#include "rom/game_tables.hpp"
#include "shell/command_line.hpp"
#include "shell/command_line_shell.hpp"
#include "transplant/keldra_session.hpp"

#include <functional>
#include <map>

namespace transplant {
namespace {

constexpr std::string_view kUsage =
    "usage: Keldra [ROM]\n"
    "       Keldra units ROM [--table FILE]\n"
    "       Keldra show ROM UNIT [--table FILE]\n"
    "       Keldra status ROM [--table FILE]\n";

struct CommandContext {
    const shell::ParsedArguments& arguments;
    std::ostream& out;
    std::ostream& err;
};

struct Command {
    std::size_t positionals;  // after the subcommand
    std::function<int(CommandContext&, KeldraSession&)> run;
};

int usage(std::ostream& err, std::string_view problem)
{
    if (!problem.empty())
        err << "Keldra: " << problem << '\n';
    err << kUsage;
    return shell::kExitUsage;
}

int printUnits(CommandContext& context, KeldraSession& session)
{
    for (const std::string& line : session.unitListLines())
        context.out << line << '\n';
    return shell::kExitDone;
}

int showUnit(CommandContext& context, KeldraSession& session)
{
    const std::optional<std::uint32_t> unit = shell::parseNumber(context.arguments.positionals[2]);
    if (!unit)
        return usage(context.err, "UNIT must be a number");
    if (*unit >= rom::kUnitCount) {
        context.err << "ユニット番号は 0 から " << rom::kUnitCount - 1 << " までです\n";
        return shell::kExitFailed;
    }
    const std::optional<UnitPanels> panels = session.selectUnit(static_cast<std::uint16_t>(*unit));
    if (!panels)
        return shell::kExitFailed;
    context.out << shell::withLineFeeds(panels->resourceSummary) << '\n'
                << shell::withLineFeeds(panels->unitInformation);
    return shell::kExitDone;
}

int printStatus(CommandContext& context, KeldraSession& session)
{
    context.out << shell::withLineFeeds(session.extensionStatusText());
    return shell::kExitDone;
}

const std::map<std::string, Command, std::less<>>& commands()
{
    static const std::map<std::string, Command, std::less<>> table{
        {"units", {1, printUnits}},
        {"show", {2, showUnit}},
        {"status", {1, printStatus}},
    };
    return table;
}

}  // namespace

bool isKeldraCommand(std::string_view word)
{
    return commands().contains(word);
}

int runKeldraCommand(std::span<const std::string> arguments, std::ostream& out, std::ostream& err)
{
    const shell::ArgumentSpec spec{{"--table"}, {}};
    auto parsed = shell::parseArguments(arguments, spec);
    if (!parsed)
        return usage(err, parsed.error());
    const auto found = commands().find(parsed->positionals.at(0));
    if (found == commands().end())
        return usage(err, "unknown command " + parsed->positionals[0]);
    const Command& command = found->second;
    if (parsed->positionals.size() != command.positionals + 1)
        return usage(err, "wrong number of arguments");

    shell::CommandLineShell shell(err);
    const std::filesystem::path tablePath =
        parsed->value("--table").value_or(rom::defaultCharacterTablePath().string());
    KeldraSession session(shell, rom::LoadCharacterTable(shell, tablePath));
    shell.queueOpenPath(parsed->positionals[1]);
    if (!session.OpenRom())
        return shell::kExitFailed;

    CommandContext context{*parsed, out, err};
    return command.run(context, session);
}

}  // namespace transplant
