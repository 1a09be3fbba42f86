#include "sprite/tessivo_cli.hpp"

#include "shell/command_line.hpp"
#include "shell/command_line_shell.hpp"
#include "shell/files.hpp"
#include "sprite/tessivo_session.hpp"

#include <string>
#include <vector>

namespace sprite {
namespace {

constexpr std::string_view kConvertCommand = "convert";

constexpr std::string_view kTessivoUsage =
    "usage: Tessivo\n"
    "       Tessivo convert IN.bmp|IN.png [--sprite OUT.dat] [--palette OUT.dat] [--compress]\n";

// "16-31, 40": the indexes in ascending order, runs of neighbours joined.
std::string indexRangesText(const std::vector<std::uint8_t>& indexes)
{
    std::string text;
    for (std::size_t first = 0; first < indexes.size();) {
        std::size_t last = first;
        while (last + 1 < indexes.size() && indexes[last + 1] == indexes[last] + 1)
            ++last;
        if (!text.empty())
            text += ", ";
        text += std::to_string(indexes[first]);
        if (last != first) {
            text += '-';
            text += std::to_string(indexes[last]);
        }
        first = last + 1;
    }
    return text;
}

// Said before a sprite file is made from pixels whose index does not fit four bits.
std::string wideIndexWarning(const WideIndexPixels& wide)
{
    return "色番号が15を超えるピクセルが " + std::to_string(wide.count) + " 個あります (" +
           indexRangesText(wide.indexes) + "): 下位4ビットだけを使います";
}

int tessivoUsage(std::ostream& err, std::string_view problem)
{
    if (!problem.empty())
        err << "Tessivo: " << problem << '\n';
    err << kTessivoUsage;
    return shell::kExitUsage;
}

}  // namespace

bool isTessivoCommand(std::string_view word)
{
    return word == kConvertCommand;
}

int runTessivoCommand(std::span<const std::string> arguments, std::ostream& out, std::ostream& err)
{
    const shell::ArgumentSpec options{{"--sprite", "--palette"}, {"--compress"}};
    const std::expected<shell::ParsedArguments, std::string> parsed = parseArguments(arguments, options);
    if (!parsed)
        return tessivoUsage(err, parsed.error());
    if (parsed->positionals.size() != 2 || !isTessivoCommand(parsed->positionals.front()))
        return tessivoUsage(err, "convert takes one IN.bmp or IN.png");
    const std::string& in = parsed->positionals[1];
    const std::optional<std::string> sprite = parsed->value("--sprite");
    const std::optional<std::string> palette = parsed->value("--palette");
    if (!sprite && !palette)
        return tessivoUsage(err, "convert needs --sprite OUT.dat, --palette OUT.dat or both");
    std::vector<shell::NamedPath> outputs;
    if (sprite)
        outputs.push_back({"--sprite", *sprite});
    if (palette)
        outputs.push_back({"--palette", *palette});
    const shell::NamedPath inputs[] = {{"IN", in}};
    if (const std::optional<std::string> collision = shell::outputCollision(outputs, inputs))
        return tessivoUsage(err, *collision);

    shell::CommandLineShell shell(err);
    TessivoSession session(shell);
    shell.queueOpenPath(in);
    if (!session.loadBitmap())
        return shell::kExitFailed;
    out << bitmapSizeText(*session.bitmap()) << '\n';

    const SpriteEncoding encoding =
        parsed->has("--compress") ? SpriteEncoding::Compressed : SpriteEncoding::Literals;
    if (sprite) {
        const WideIndexPixels wide = wideIndexPixels(*session.bitmap());
        if (wide.count > 0)
            err << wideIndexWarning(wide) << '\n';
    }
    if (sprite && palette) {
        shell.queueSavePath(*sprite);
        shell.queueSavePath(*palette);
        return session.makeSpriteAndPaletteFiles(encoding) ? shell::kExitDone : shell::kExitFailed;
    }
    if (sprite) {
        shell.queueSavePath(*sprite);
        return session.makeSpriteFile(encoding) ? shell::kExitDone : shell::kExitFailed;
    }
    shell.queueSavePath(*palette);
    return session.makePaletteFile() ? shell::kExitDone : shell::kExitFailed;
}

}  // namespace sprite
