#include "sound/sonnary_cli.hpp"

#include "shell/command_line.hpp"
#include "shell/command_line_shell.hpp"
#include "shell/files.hpp"
#include "sound/sample_export.hpp"
#include "sound/sonnary_session.hpp"
#include "sound/wave.hpp"

#include <algorithm>
#include <functional>
#include <map>

namespace sound {
namespace {

constexpr std::string_view kUsage =
    "usage: Sonnary [ROM]\n"
    "       Sonnary instruments ROM [--all]\n"
    "       Sonnary notes ROM INSTR\n"
    "       Sonnary wav ROM INSTR [NOTE] -o OUT.wav\n"
    "       Sonnary play ROM INSTR [NOTE]\n"
    "       Sonnary export ROM DIR [--all]\n";

constexpr std::string_view kNoSample = "選択したレコードにはサンプルがありません";

struct CommandContext {
    const shell::ParsedArguments& arguments;
    std::ostream& out;
    std::ostream& err;
    shell::Shell& shell;
    SonnarySession& session;
};

struct Command {
    std::size_t minPositionals;  // after the subcommand
    std::size_t maxPositionals;
    std::function<int(CommandContext&)> run;
};

int usage(std::ostream& err, std::string_view problem)
{
    if (!problem.empty())
        err << "Sonnary: " << problem << '\n';
    err << kUsage;
    return shell::kExitUsage;
}

ListLimit limitOf(const shell::ParsedArguments& arguments)
{
    return arguments.has("--all") ? ListLimit::Unlimited : ListLimit::To7F;
}

// The instrument named by positional `position`: a line of the list, limited or not.
std::optional<std::size_t> instrumentArgument(CommandContext& context, std::size_t position,
                                              int& status)
{
    const std::optional<std::uint32_t> index =
        shell::parseNumber(context.arguments.positionals[position]);
    if (!index) {
        status = usage(context.err, "INSTR must be a number");
        return std::nullopt;
    }
    const std::size_t lines = std::max(context.session.instrumentCount(ListLimit::To7F),
                                       context.session.instrumentCount(ListLimit::Unlimited));
    if (*index >= lines) {
        context.err << "楽器番号は 0 から " << lines - 1 << " までです\n";
        status = shell::kExitFailed;
        return std::nullopt;
    }
    return *index;
}

// Selects the instrument and takes the note line (default 0) as the window would have it.
struct Selection {
    std::size_t instrument;
    std::size_t note;
};

std::optional<Selection> selectionArgument(CommandContext& context, int& status)
{
    const std::optional<std::size_t> instrument = instrumentArgument(context, 2, status);
    if (!instrument)
        return std::nullopt;
    std::size_t note = 0;
    if (context.arguments.positionals.size() > 3) {
        const std::optional<std::uint32_t> parsed =
            shell::parseNumber(context.arguments.positionals[3]);
        if (!parsed) {
            status = usage(context.err, "NOTE must be a number");
            return std::nullopt;
        }
        note = *parsed;
    }
    const std::optional<InstrumentView> view = context.session.selectInstrument(*instrument);
    if (!view || note >= view->noteLines.size()) {
        context.err << "ノート番号は 0 から " << (view ? view->noteLines.size() : 1) - 1
                    << " までです\n";
        status = shell::kExitFailed;
        return std::nullopt;
    }
    return Selection{*instrument, note};
}

void printLines(std::ostream& out, const std::vector<std::string>& lines)
{
    for (const std::string& line : lines)
        out << line << '\n';
}

int printInstruments(CommandContext& context)
{
    context.out << context.session.gameFieldText() << '\n';
    printLines(context.out, context.session.instrumentLines(limitOf(context.arguments)));
    return shell::kExitDone;
}

int printNotes(CommandContext& context)
{
    int status = shell::kExitDone;
    const std::optional<std::size_t> instrument = instrumentArgument(context, 2, status);
    if (!instrument)
        return status;
    printLines(context.out, context.session.selectInstrument(*instrument)->noteLines);
    return shell::kExitDone;
}

// The usage problem when an output names the ROM image read.
std::optional<std::string> collisionWithRom(CommandContext& context,
                                            std::span<const shell::NamedPath> outputs)
{
    const shell::NamedPath inputs[] = {{"ROM", context.arguments.positionals[1]}};
    return shell::outputCollision(outputs, inputs);
}

int writeWave(CommandContext& context)
{
    const std::optional<std::string> target = context.arguments.value("-o");
    if (!target)
        return usage(context.err, "wav needs -o OUT.wav");
    const shell::NamedPath outputs[] = {{"-o", *target}};
    if (const std::optional<std::string> collision = collisionWithRom(context, outputs))
        return usage(context.err, *collision);
    int status = shell::kExitDone;
    const std::optional<Selection> selection = selectionArgument(context, status);
    if (!selection)
        return status;
    const std::expected<shell::Bytes, WaveRefusal> wave =
        context.session.waveFor(selection->instrument, selection->note);
    if (!wave) {
        shell::showMessage(context.shell,
                           wave.error() == WaveRefusal::NoSample ? kNoSample : kSampleOutsideImage);
        return shell::kExitFailed;
    }
    return shell::writeWholeFile(context.shell, *target, *wave) ? shell::kExitDone
                                                                 : shell::kExitFailed;
}

int playSample(CommandContext& context)
{
    int status = shell::kExitDone;
    const std::optional<Selection> selection = selectionArgument(context, status);
    if (!selection)
        return status;
    switch (context.session.play(selection->instrument, selection->note)) {
    case PlayOutcome::Started:
        context.session.output().waitUntilFinished();
        return shell::kExitDone;
    case PlayOutcome::NothingToPlay:
        shell::showMessage(context.shell, kNoSample);
        return shell::kExitFailed;
    case PlayOutcome::Refused:
        break;
    }
    return shell::kExitFailed;
}

int exportAll(CommandContext& context)
{
    const std::optional<InstrumentTable> table = context.session.instrumentTable();
    const std::vector<SampleSource> sources = playableSamples(*table, limitOf(context.arguments));
    const std::filesystem::path folder = context.arguments.positionals[2];
    // The names differ from each other by making; only the image itself can be in the way.
    for (const SampleSource& source : sources) {
        const std::string name = exportFileName(source);
        const shell::NamedPath outputs[] = {{name, folder / name}};
        if (const std::optional<std::string> collision = collisionWithRom(context, outputs))
            return usage(context.err, *collision);
    }

    const ExportSummary summary =
        exportSamples(context.shell, table->image(), sources, folder, context.out);
    if (summary.failed)
        return shell::kExitFailed;
    context.out << summary.written << " 個のサンプルを書き出しました\n";
    return shell::kExitDone;
}

const std::map<std::string, Command, std::less<>>& commands()
{
    static const std::map<std::string, Command, std::less<>> table{
        {"instruments", {1, 1, printInstruments}},
        {"notes", {2, 2, printNotes}},
        {"wav", {2, 3, writeWave}},
        {"play", {2, 3, playSample}},
        {"export", {2, 2, exportAll}},
    };
    return table;
}

}  // namespace

bool isSonnaryCommand(std::string_view word)
{
    return commands().contains(word);
}

int runSonnaryCommand(std::span<const std::string> arguments, std::ostream& out,
                      std::ostream& err, SoundOutput& output)
{
    const shell::ArgumentSpec spec{{"-o"}, {"--all"}};
    const auto parsed = shell::parseArguments(arguments, spec);
    if (!parsed)
        return usage(err, parsed.error());
    if (parsed->positionals.empty())
        return usage(err, "no command");
    const auto found = commands().find(parsed->positionals[0]);
    if (found == commands().end())
        return usage(err, "unknown command " + parsed->positionals[0]);
    const Command& command = found->second;
    const std::size_t given = parsed->positionals.size() - 1;
    if (given < command.minPositionals || given > command.maxPositionals)
        return usage(err, "wrong number of arguments");

    shell::CommandLineShell shell(err);
    SonnarySession session(shell, output);
    shell.queueOpenPath(parsed->positionals[1]);
    if (session.loadRom() != LoadOutcome::Recognised)
        return shell::kExitFailed;

    CommandContext context{*parsed, out, err, shell, session};
    return command.run(context);
}

}  // namespace sound
