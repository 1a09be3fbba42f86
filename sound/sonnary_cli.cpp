#include "sound/sonnary_cli.hpp"

#include "shell/command_line.hpp"
#include "shell/command_line_shell.hpp"
#include "shell/files.hpp"
#include "sound/sample_export.hpp"
#include "sound/sonnary_session.hpp"
#include "sound/wave.hpp"

#include <algorithm>
#include <filesystem>

namespace sound {
namespace {

constexpr std::string_view kNoSample = "選択したレコードにはサンプルがありません";
// The digits of the numbers that begin the lines of the lists: "7F\t" and "03 ".
constexpr int kInstrumentDigits = 1;
constexpr int kNoteDigits = 2;

// The session of one command, with the command line's Shell, holding the command's ROM image.
struct RomRun {
    RomRun(shell::CommandCall& call, SoundOutput& output) : shell(call.err), session(shell, output) {}

    // Loads the image as "ROM読込" does; false (the reason said) unless a supported game is in it.
    bool load(const std::filesystem::path& rom) { return session.loadRom(rom) == LoadOutcome::Recognised; }

    shell::CommandLineShell shell;
    SonnarySession session;
};

// An instrument and a note line as INSTR and NOTE name them, NOTE line 0 when not given.
struct Selection {
    std::size_t instrument = 0;
    std::size_t note = 0;
};

ListLimit limitOf(const shell::CommandCall& call)
{
    return call.flag("--all") ? ListLimit::Unlimited : ListLimit::To7F;
}

Selection selectionArguments(const shell::CommandCall& call)
{
    Selection selection{call.number(call.argument(1), "INSTR")};
    if (call.arguments().size() > 2)
        selection.note = call.number(call.argument(2), "NOTE");
    return selection;
}

// Whether `instrument` is a line of the instrument list, limited or not; says the range if not.
bool instrumentInRange(shell::CommandCall& call, const SonnarySession& session, std::size_t instrument)
{
    const std::size_t lines = std::max(session.instrumentCount(ListLimit::To7F),
                                       session.instrumentCount(ListLimit::Unlimited));
    if (instrument < lines)
        return true;
    call.err << shell::numberRangeMessage("楽器番号", 0, static_cast<std::uint32_t>(lines - 1),
                                          kInstrumentDigits)
             << '\n';
    return false;
}

// Selects the instrument as the window would, and checks that the note line is one of its list.
bool select(shell::CommandCall& call, SonnarySession& session, const Selection& selection)
{
    if (!instrumentInRange(call, session, selection.instrument))
        return false;
    const std::optional<InstrumentView> view = session.selectInstrument(selection.instrument);
    const std::size_t lines = view ? view->noteLines.size() : 1;
    if (view && selection.note < lines)
        return true;
    call.err << shell::numberRangeMessage("ノート番号", 0, static_cast<std::uint32_t>(lines - 1), kNoteDigits)
             << '\n';
    return false;
}

void printLines(std::ostream& out, const std::vector<std::string>& lines)
{
    for (const std::string& line : lines)
        out << line << '\n';
}

// The usage problem when an output names the ROM image read.
void refuseCollisionWithRom(const shell::CommandCall& call, std::span<const shell::NamedPath> outputs)
{
    const shell::NamedPath inputs[] = {{"ROM", call.pathArgument(0)}};
    if (const std::optional<std::string> collision = shell::outputCollision(outputs, inputs))
        call.usageError(*collision);
}

int printInstruments(shell::CommandCall& call, SoundOutput& output)
{
    RomRun run(call, output);
    if (!run.load(call.pathArgument(0)))
        return shell::kExitFailed;
    call.out << run.session.gameFieldText() << '\n';
    printLines(call.out, run.session.instrumentLines(limitOf(call)));
    return shell::kExitDone;
}

int printNotes(shell::CommandCall& call, SoundOutput& output)
{
    const std::size_t instrument = call.number(call.argument(1), "INSTR");
    RomRun run(call, output);
    if (!run.load(call.pathArgument(0)) || !instrumentInRange(call, run.session, instrument))
        return shell::kExitFailed;
    printLines(call.out, run.session.selectInstrument(instrument)->noteLines);
    return shell::kExitDone;
}

int writeWave(shell::CommandCall& call, SoundOutput& output)
{
    const Selection selection = selectionArguments(call);
    const std::filesystem::path target = *call.pathOption("-o");
    const shell::NamedPath outputs[] = {{"-o", target}};
    refuseCollisionWithRom(call, outputs);
    RomRun run(call, output);
    if (!run.load(call.pathArgument(0)) || !select(call, run.session, selection))
        return shell::kExitFailed;
    const std::expected<shell::Bytes, WaveRefusal> wave =
        run.session.waveFor(selection.instrument, selection.note);
    if (!wave) {
        shell::showMessage(run.shell, wave.error() == WaveRefusal::NoSample ? kNoSample : kSampleOutsideImage);
        return shell::kExitFailed;
    }
    return shell::writeWholeFile(run.shell, target, *wave) ? shell::kExitDone : shell::kExitFailed;
}

int playSample(shell::CommandCall& call, SoundOutput& output)
{
    const Selection selection = selectionArguments(call);
    RomRun run(call, output);
    if (!run.load(call.pathArgument(0)) || !select(call, run.session, selection))
        return shell::kExitFailed;
    switch (run.session.play(selection.instrument, selection.note)) {
    case PlayOutcome::Started:
        output.waitUntilFinished();
        return shell::kExitDone;
    case PlayOutcome::NothingToPlay:
        shell::showMessage(run.shell, kNoSample);
        return shell::kExitFailed;
    case PlayOutcome::Refused:
        break;
    }
    return shell::kExitFailed;
}

int exportAll(shell::CommandCall& call, SoundOutput& output)
{
    RomRun run(call, output);
    if (!run.load(call.pathArgument(0)))
        return shell::kExitFailed;
    const std::optional<InstrumentTable> table = run.session.instrumentTable();
    const std::vector<SampleSource> sources = playableSamples(*table, limitOf(call));
    const std::filesystem::path folder = call.pathArgument(1);
    // The names differ from each other by making; only the image itself can be in the way.
    for (const SampleSource& source : sources) {
        const std::string name = exportFileName(source);
        const shell::NamedPath outputs[] = {{name, folder / shell::pathFromUtf8(name)}};
        refuseCollisionWithRom(call, outputs);
    }

    const ExportSummary summary = exportSamples(run.shell, table->image(), sources, folder, call.out);
    if (summary.failed)
        return shell::kExitFailed;
    call.out << summary.written << " 個のサンプルを書き出しました\n";
    return shell::kExitDone;
}

}  // namespace

shell::ToolSpec sonnaryCommandLine(SoundOutput& output)
{
    const auto with = [&output](int (*command)(shell::CommandCall&, SoundOutput&)) {
        return [&output, command](shell::CommandCall& call) { return command(call, output); };
    };
    const shell::OptionSpec all{"--all", "", "the list as \"7F限定解除\" shows it: every record up to the table's end"};
    return {
        .name = "Sonnary",
        .windowArguments = "[ROM]",
        .windowDescription = "opens the window with ROM already loaded, as \"ROM読込\" would load it",
        .commonOptions = {},
        .commands = {
            {.name = "instruments",
             .forms = {"ROM"},
             .minArguments = 1,
             .maxArguments = 1,
             .options = {all},
             .description = "prints the game field text, then the instrument list",
             .run = with(printInstruments)},
            {.name = "notes",
             .forms = {"ROM INSTR"},
             .minArguments = 2,
             .maxArguments = 2,
             .options = {},
             .description = "prints the note list of instrument INSTR",
             .run = with(printNotes)},
            {.name = "wav",
             .forms = {"ROM INSTR [NOTE]"},
             .minArguments = 2,
             .maxArguments = 3,
             .options = {{"-o", "OUT.wav", "the WAV file to write", true}},
             .description = "writes the WAV file that playing INSTR (note line NOTE, default 0) would write",
             .run = with(writeWave)},
            {.name = "play",
             .forms = {"ROM INSTR [NOTE]"},
             .minArguments = 2,
             .maxArguments = 3,
             .options = {},
             .description = "plays INSTR (note line NOTE, default 0) and returns when it has finished",
             .run = with(playSample)},
            {.name = "export",
             .forms = {"ROM DIR"},
             .minArguments = 2,
             .maxArguments = 2,
             .options = {all},
             .description = "writes every playable sample once as a WAV file into DIR",
             .run = with(exportAll)},
        },
        .notes = "INSTR and NOTE are decimal (42) or hexadecimal with 0x (0x2A): the lists print them in\n"
                 "hexadecimal, so the instrument list's \"1F\" is 0x1F.\n",
    };
}

int runSonnaryCommand(std::span<const std::string> words, std::ostream& out, std::ostream& err,
                      SoundOutput& output)
{
    return shell::runCommandLine(sonnaryCommandLine(output), words, out, err);
}

}  // namespace sound
