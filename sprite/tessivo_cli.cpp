#include "sprite/tessivo_cli.hpp"

#include "shell/command_line.hpp"
#include "shell/command_line_shell.hpp"
#include "shell/files.hpp"
#include "sprite/tessivo_session.hpp"

#include <filesystem>
#include <string>
#include <vector>

namespace sprite {
namespace {

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

int convert(shell::CommandCall& call)
{
    const std::filesystem::path in = call.pathArgument(0);
    const std::optional<std::filesystem::path> sprite = call.pathOption("--sprite");
    const std::optional<std::filesystem::path> palette = call.pathOption("--palette");
    if (!sprite && !palette)
        call.usageError("convert needs --sprite OUT.dat, --palette OUT.dat or both");
    std::vector<shell::NamedPath> outputs;
    if (sprite)
        outputs.push_back({"--sprite", *sprite});
    if (palette)
        outputs.push_back({"--palette", *palette});
    const shell::NamedPath inputs[] = {{"IN", in}};
    if (const std::optional<std::string> collision = shell::outputCollision(outputs, inputs))
        call.usageError(*collision);

    shell::CommandLineShell shell(call.err);
    TessivoSession session(shell);
    if (!session.loadBitmap(in))
        return shell::kExitFailed;
    call.out << bitmapSizeText(*session.bitmap()) << '\n';

    const SpriteEncoding encoding =
        call.flag("--compress") ? SpriteEncoding::Compressed : SpriteEncoding::Literals;
    if (sprite) {
        const WideIndexPixels wide = wideIndexPixels(*session.bitmap());
        if (wide.count > 0)
            call.err << wideIndexWarning(wide) << '\n';
    }
    bool saved = false;
    if (sprite && palette)
        saved = session.makeSpriteAndPaletteFiles(*sprite, *palette, encoding);
    else if (sprite)
        saved = session.makeSpriteFile(*sprite, encoding);
    else
        saved = session.makePaletteFile(*palette);
    return saved ? shell::kExitDone : shell::kExitFailed;
}

}  // namespace

shell::ToolSpec tessivoCommandLine()
{
    return {
        .name = "Tessivo",
        .windowArguments = "",
        .windowDescription = "opens the window",
        .commonOptions = {},
        .commands = {{
            .name = "convert",
            .forms = {"IN.bmp|IN.png"},
            .minArguments = 1,
            .maxArguments = 1,
            .options = {{"--sprite", "OUT.dat", "writes the sprite data file, as \"Sprite作成\" does"},
                        {"--palette", "OUT.dat", "writes the palette file, as \"Pallet作成\" does"},
                        {"--compress", "", "writes the smallest compressed stream instead of literals"}},
            .description = "makes the sprite and/or palette file of a 256-wide bitmap or palette PNG",
            .run = convert,
        }},
        .notes = "convert loads IN with the window's tests; at least one of --sprite and --palette\n"
                 "is needed, and both are written together or not at all.\n",
    };
}

int runTessivoCommand(std::span<const std::string> words, std::ostream& out, std::ostream& err)
{
    return shell::runCommandLine(tessivoCommandLine(), words, out, err);
}

}  // namespace sprite
