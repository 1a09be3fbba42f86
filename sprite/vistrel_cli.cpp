#include "sprite/vistrel_cli.hpp"

#include "shell/command_line.hpp"
#include "shell/command_line_shell.hpp"
#include "shell/files.hpp"
#include "sprite/vistrel_session.hpp"

#include <charconv>
#include <expected>
#include <string>
#include <vector>

namespace sprite {
namespace {

constexpr std::string_view kRenderCommand = "render";
constexpr std::size_t kMaximumHexDigits = 8;

constexpr std::string_view kVistrelUsage =
    "usage: Vistrel [PATH]\n"
    "       Vistrel render SPRITE.dat [PALETTE.dat] -o OUT.png [--seed N] [--indexed]\n"
    "       Vistrel render --rom ROM --sprite HEX [--palette HEX] -o OUT.png [--seed N] [--indexed]\n";

// Said when the drawn sheet lacks bytes its stream declares: they are drawn as index 0.
std::string shortfallWarning(const SheetShortfall& shortfall)
{
    return "スプライトのデータが途中で終わっています: " + std::to_string(shortfall.declared) +
           " バイトのうち " + std::to_string(shortfall.missing) + " バイトが足りません";
}

int vistrelUsage(std::ostream& err, std::string_view problem)
{
    if (!problem.empty())
        err << "Vistrel: " << problem << '\n';
    err << kVistrelUsage;
    return shell::kExitUsage;
}

int failed(std::ostream& err, std::string_view reason)
{
    err << "Vistrel: " << reason << '\n';
    return shell::kExitFailed;
}

struct RenderRequest {
    std::optional<std::string> rom;
    std::optional<std::uint32_t> spriteAddress;
    std::optional<std::uint32_t> paletteAddress;
    std::string spriteFile;
    std::optional<std::string> paletteFile;
    std::string output;
    std::optional<std::uint32_t> seed;
    PngKind kind = PngKind::Colour;
};

// The request, or the usage problem.
std::expected<RenderRequest, std::string> renderRequest(const shell::ParsedArguments& parsed)
{
    RenderRequest request;
    const std::vector<std::string>& positionals = parsed.positionals;  // [0] is "render"
    request.rom = parsed.value("--rom");
    const std::optional<std::string> output = parsed.value("-o");
    if (!output)
        return std::unexpected("-o OUT.png is required");
    request.output = *output;
    if (const std::optional<std::string> seed = parsed.value("--seed")) {
        request.seed = shell::parseNumber(*seed);
        if (!request.seed)
            return std::unexpected("--seed takes a number");
    }
    if (parsed.has("--indexed"))
        request.kind = PngKind::Indexed;

    if (request.rom) {
        if (positionals.size() != 1)
            return std::unexpected("--rom takes no SPRITE.dat or PALETTE.dat");
        const std::optional<std::string> sprite = parsed.value("--sprite");
        if (!sprite)
            return std::unexpected("--rom needs --sprite HEX");
        request.spriteAddress = parseHexAddress(*sprite);
        if (!request.spriteAddress)
            return std::unexpected("--sprite takes a hexadecimal address (1 to 8 digits)");
        if (const std::optional<std::string> palette = parsed.value("--palette")) {
            request.paletteAddress = parseHexAddress(*palette);
            if (!request.paletteAddress)
                return std::unexpected("--palette takes a hexadecimal address (1 to 8 digits)");
        }
        return request;
    }
    if (parsed.value("--sprite") || parsed.value("--palette"))
        return std::unexpected("--sprite and --palette addresses need --rom ROM");
    if (positionals.size() < 2 || positionals.size() > 3)
        return std::unexpected("render takes SPRITE.dat and an optional PALETTE.dat");
    request.spriteFile = positionals[1];
    if (positionals.size() == 3)
        request.paletteFile = positionals[2];
    return request;
}

// Draws as the viewer does; the canvas, or nothing when there is none to write (the reason is
// on stderr).
std::optional<SheetCanvas> drawRequested(const RenderRequest& request, VistrelSession& session,
                                         std::ostream& err)
{
    if (request.rom) {
        session.setSpriteAddress(*request.spriteAddress);
        // A sheet the image cannot show has said why once; the palette would only repeat it.
        if (!session.openRomFile(*request.rom) || !session.canvas())
            return std::nullopt;
        if (request.paletteAddress && !session.setPaletteAddress(*request.paletteAddress))
            return std::nullopt;
    } else {
        if (request.paletteFile) {
            session.openPaletteFile(*request.paletteFile);
            if (!session.paletteSet())
                return std::nullopt;
        }
        const SpriteFileLoad load = session.openSpriteFile(request.spriteFile);
        if (load == SpriteFileLoad::NotSpriteData)
            failed(err, "the sprite file does not start with 0x10; it is no sprite data file");
        if (load != SpriteFileLoad::Shown)
            return std::nullopt;
    }
    if (!session.canvas())
        return std::nullopt;
    if (session.canvas()->height == 0) {
        failed(err, "the sheet's declared size is 0, and a canvas of height 0 cannot be written");
        return std::nullopt;
    }
    if (session.shortfall().missing > 0)
        err << shortfallWarning(session.shortfall()) << '\n';
    return session.canvas();
}

// The files `render` reads, each under the name the usage gives it.
std::vector<shell::NamedPath> renderInputs(const RenderRequest& request)
{
    if (request.rom)
        return {{"--rom", *request.rom}};
    std::vector<shell::NamedPath> inputs{{"SPRITE.dat", request.spriteFile}};
    if (request.paletteFile)
        inputs.push_back({"PALETTE.dat", *request.paletteFile});
    return inputs;
}

int render(const shell::ParsedArguments& parsed, std::ostream& err, const PngEncoder& encodePng)
{
    const std::expected<RenderRequest, std::string> request = renderRequest(parsed);
    if (!request)
        return vistrelUsage(err, request.error());
    const shell::NamedPath outputs[] = {{"-o", request->output}};
    if (const std::optional<std::string> collision = shell::outputCollision(outputs, renderInputs(*request)))
        return vistrelUsage(err, *collision);

    shell::CommandLineShell shell(err);
    VistrelSession session(shell);
    if (request->seed)
        session.seedRandomColours(*request->seed);
    const std::optional<SheetCanvas> canvas = drawRequested(*request, session, err);
    if (!canvas)
        return shell::kExitFailed;
    const std::optional<shell::Bytes> png = encodePng(*canvas, request->kind);
    if (!png)
        return failed(err, "the PNG image could not be made");
    if (!shell::writeWholeFile(shell, request->output, *png))
        return shell::kExitFailed;
    return shell::kExitDone;
}

}  // namespace

bool isVistrelCommand(std::string_view word)
{
    return word == kRenderCommand;
}

std::optional<std::uint32_t> parseHexAddress(std::string_view text)
{
    if (text.empty() || text.size() > kMaximumHexDigits)
        return std::nullopt;
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

int runVistrelCommand(std::span<const std::string> arguments, std::ostream& /*out*/, std::ostream& err,
                      const PngEncoder& encodePng)
{
    const shell::ArgumentSpec options{{"-o", "--rom", "--sprite", "--palette", "--seed"}, {"--indexed"}};
    const std::expected<shell::ParsedArguments, std::string> parsed = parseArguments(arguments, options);
    if (!parsed)
        return vistrelUsage(err, parsed.error());
    if (parsed->positionals.empty() || !isVistrelCommand(parsed->positionals.front()))
        return vistrelUsage(err, "unknown command");
    return render(*parsed, err, encodePng);
}

}  // namespace sprite
