#include "sprite/vistrel_cli.hpp"

#include "rom/gba_address.hpp"
#include "shell/command_line.hpp"
#include "shell/command_line_shell.hpp"
#include "shell/files.hpp"
#include "sprite/graphics_ids.hpp"
#include "sprite/vistrel_session.hpp"
#include "sprite/vistrel_unit.hpp"

#include <charconv>
#include <string>
#include <vector>

namespace sprite {
namespace {

constexpr std::size_t kMaximumHexDigits = 8;
constexpr std::string_view kHexPrefix = "0x";
// The pointer tables hold 16-bit IDs.
constexpr std::uint32_t kLargestId = 0xFFFF;
// The digits the ID messages give an ID: "Sprite 0x335".
constexpr int kIdDigits = 3;

int failed(std::ostream& err, std::string_view reason)
{
    err << "Vistrel: " << reason << '\n';
    return shell::kExitFailed;
}

std::optional<std::uint32_t> addressOption(const shell::CommandCall& call, std::string_view option)
{
    const std::optional<std::string> text = call.option(option);
    if (!text)
        return std::nullopt;
    const std::optional<std::uint32_t> address = parseHexAddress(*text);
    if (!address) {
        call.usageError(std::string(option) + " takes a hexadecimal offset as typed into the address dialog "
                                              "(1A2B3C), also with 0x (0x1A2B3C), or a GBA pointer (0x081A2B3C), not \"" +
                        *text + "\"");
    }
    return address;
}

// One graphic of a ROM image, by offset or by ID.
struct RomGraphic {
    std::optional<std::uint32_t> address;
    std::optional<std::uint32_t> id;
};

struct RenderRequest {
    std::optional<std::filesystem::path> rom;
    RomGraphic sprite;
    RomGraphic palette;
    std::filesystem::path spriteFile;
    std::optional<std::filesystem::path> paletteFile;
    std::filesystem::path output;
    DrawOptions draw;
};

RomGraphic romGraphic(const shell::CommandCall& call, std::string_view addressName, std::string_view idName)
{
    const RomGraphic graphic{addressOption(call, addressName), call.numberOption(idName)};
    if (graphic.address && graphic.id)
        call.usageError(std::string(addressName) + " and " + std::string(idName) + " name one thing twice");
    return graphic;
}

// The options both commands take.
DrawOptions drawOptions(const shell::CommandCall& call)
{
    const PngKind kind = call.flag("--indexed") ? PngKind::Indexed : PngKind::Colour;
    return {call.numberOption("--seed"), call.numberOption("--bank").value_or(0), {kind, call.flag("--transparent")}};
}

// The request as the arguments and options give it; a usage error when they do not make one.
RenderRequest renderRequest(const shell::CommandCall& call)
{
    RenderRequest request;
    request.rom = call.pathOption("--rom");
    request.output = *call.pathOption("-o");
    request.draw = drawOptions(call);
    const bool bankAsked = call.option("--bank").has_value();
    request.sprite = romGraphic(call, "--sprite", "--sprite-id");
    request.palette = romGraphic(call, "--palette", "--palette-id");
    const bool spriteNamed = request.sprite.address || request.sprite.id;
    const bool paletteNamed = request.palette.address || request.palette.id;
    const std::span<const std::string> files = call.arguments();

    if (request.rom) {
        if (!files.empty())
            call.usageError("--rom takes no SPRITE.dat or PALETTE.dat");
        if (!spriteNamed)
            call.usageError("--rom needs --sprite HEX or --sprite-id ID");
        if (bankAsked && !paletteNamed)
            call.usageError("--bank needs --palette HEX or --palette-id ID");
        return request;
    }
    if (spriteNamed || paletteNamed)
        call.usageError("--sprite, --sprite-id, --palette and --palette-id need --rom ROM");
    if (files.empty())
        call.usageError("render takes SPRITE.dat and an optional PALETTE.dat");
    request.spriteFile = call.pathArgument(0);
    if (files.size() == 2)
        request.paletteFile = call.pathArgument(1);
    else if (bankAsked)
        call.usageError("--bank needs PALETTE.dat");
    return request;
}

// The offset a graphic names: its address, or where its ID's pointer-table entry leads.
std::optional<std::uint32_t> romOffset(shell::ByteSpan image, const RomGraphic& graphic,
                                       rom::ResourceKind kind, std::ostream& err)
{
    if (graphic.address)
        return *graphic.address;
    if (*graphic.id > kLargestId) {
        err << shell::numberRangeMessage(std::string(rom::kindName(kind)) + "のID", 0, kLargestId, kIdDigits) << '\n';
        return std::nullopt;
    }
    const rom::RomResult<std::uint32_t> offset =
        graphicsOffsetOfId(image, kind, static_cast<std::uint16_t>(*graphic.id));
    if (!offset) {
        err << offset.error().message << '\n';
        return std::nullopt;
    }
    return *offset;
}

bool drawFromRom(const RenderRequest& request, VistrelSession& session, shell::Shell& shell,
                 std::ostream& err)
{
    std::optional<shell::Bytes> image = shell::readWholeFile(shell, *request.rom);
    if (!image)
        return false;
    const std::optional<std::uint32_t> spriteOffset =
        romOffset(*image, request.sprite, rom::ResourceKind::Sprite, err);
    if (!spriteOffset)
        return false;
    std::optional<std::uint32_t> paletteOffset;
    if (request.palette.address || request.palette.id) {
        paletteOffset = romOffset(*image, request.palette, rom::ResourceKind::Pallet, err);
        if (!paletteOffset)
            return false;
    }
    session.setSpriteAddress(*spriteOffset);
    session.openRomImage(std::move(*image), *request.rom);
    // A sheet the image cannot show has said why once; the palette would only repeat it.
    if (!session.canvas())
        return false;
    return !paletteOffset || session.setPaletteAddress(*paletteOffset);
}

bool drawFromFiles(const RenderRequest& request, VistrelSession& session, std::ostream& err)
{
    if (request.paletteFile) {
        session.openPaletteFile(*request.paletteFile);
        if (!session.paletteSet())
            return false;
    }
    const SpriteFileLoad load = session.openSpriteFile(request.spriteFile);
    if (load == SpriteFileLoad::NotSpriteData)
        failed(err, "the sprite file does not start with 0x10; it is no sprite data file");
    return load == SpriteFileLoad::Shown;
}

// Draws as the viewer does; the canvas, or nothing when there is none to write (the reason is
// on stderr).
std::optional<SheetCanvas> drawRequested(const RenderRequest& request, VistrelSession& session,
                                         shell::Shell& shell, std::ostream& err)
{
    const bool drawn = request.rom ? drawFromRom(request, session, shell, err)
                                   : drawFromFiles(request, session, err);
    if (!drawn || !session.canvas())
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

int render(shell::CommandCall& call, const PngEncoder& encodePng)
{
    const RenderRequest request = renderRequest(call);
    const shell::NamedPath outputs[] = {{"-o", request.output}};
    if (const std::optional<std::string> collision = shell::outputCollision(outputs, renderInputs(request)))
        call.usageError(*collision);

    shell::CommandLineShell shell(call.err);
    VistrelSession session(shell);
    if (request.draw.seed)
        session.seedRandomColours(*request.draw.seed);
    session.setPaletteBank(request.draw.bank);
    const std::optional<SheetCanvas> canvas = drawRequested(request, session, shell, call.err);
    if (!canvas)
        return shell::kExitFailed;
    const std::optional<shell::Bytes> png = encodePng(*canvas, request.draw.png);
    if (!png)
        return failed(call.err, "the PNG image could not be made");
    if (!shell::writeWholeFile(shell, request.output, *png))
        return shell::kExitFailed;
    return shell::kExitDone;
}

int unit(shell::CommandCall& call, const PngEncoder& encodePng)
{
    const DrawOptions draw = drawOptions(call);
    const std::uint32_t unitId = call.number(call.argument(1), "UNIT");
    return renderUnit({call.pathArgument(0), unitId, *call.pathOption("--dir"), draw}, call.out, call.err,
                      encodePng);
}

// The options of the drawing that both commands take.
std::vector<shell::OptionSpec> drawingOptions()
{
    return {{"--indexed", "", "writes a palette-mode PNG that keeps the pixel indices"},
            {"--bank", "K", "uses palette K of a palette group or multi-palette file (default 0)"},
            {"--transparent", "", "makes index 0 (and pixels no byte reaches) transparent"},
            {"--seed", "N", "repeatable colours for a sheet without palette"}};
}

}  // namespace

std::optional<std::uint32_t> parseHexAddress(std::string_view text)
{
    if (text.starts_with(kHexPrefix) || text.starts_with("0X"))
        text.remove_prefix(kHexPrefix.size());
    if (text.empty() || text.size() > kMaximumHexDigits)
        return std::nullopt;
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return rom::isGbaRomPointer(value) ? rom::romOffsetOf(value) : value;
}

shell::ToolSpec vistrelCommandLine(PngEncoder encodePng)
{
    std::vector<shell::OptionSpec> renderOptions{
        {"-o", "OUT.png", "the PNG file to write", true},
        {"--rom", "ROM", "draws from the ROM image, as ROM mode does"},
        {"--sprite", "HEX", "the sprite's offset in ROM"},
        {"--palette", "HEX", "the palette's offset in ROM"},
        {"--sprite-id", "ID", "the sprite found by its ID through the game's pointer table"},
        {"--palette-id", "ID", "the palette found by its ID through the game's pointer table"}};
    std::vector<shell::OptionSpec> unitOptions{{"--dir", "DIR", "the folder to write the images and index.txt into", true}};
    for (const shell::OptionSpec& option : drawingOptions()) {
        renderOptions.push_back(option);
        unitOptions.push_back(option);
    }
    return {
        .name = "Vistrel",
        .windowArguments = "[PATH]",
        .windowDescription = "opens the window, in file mode with PATH as the sprite file when it names a file",
        .commonOptions = {},
        .commands = {
            {.name = "render",
             .forms = {"SPRITE.dat [PALETTE.dat]", "--rom ROM --sprite HEX [--palette HEX]",
                       "--rom ROM --sprite-id ID [--palette-id ID]"},
             .minArguments = 0,
             .maxArguments = 2,
             .options = std::move(renderOptions),
             .description = "draws one sprite sheet as the window does and writes the canvas (256 wide) as PNG",
             .run = [encodePng](shell::CommandCall& call) { return render(call, encodePng); }},
            {.name = "unit",
             .forms = {"ROM UNIT"},
             .minArguments = 2,
             .maxArguments = 2,
             .options = std::move(unitOptions),
             .description = "draws every sprite of the unit with its palette as DIR/sprite<ID>.png and "
                            "writes DIR/index.txt",
             .run = [encodePng](shell::CommandCall& call) { return unit(call, encodePng); }},
        },
        .notes = "ID, UNIT, K and N are decimal (42) or hexadecimal with 0x (0x2A); HEX is a hexadecimal offset as\n"
                 "typed into the address dialog (1A2B3C), also with 0x or as a GBA pointer (0x08xxxxxx).\n"
                 "Without a palette the colours are pseudo-random, as in the window.\n",
    };
}

int runVistrelCommand(std::span<const std::string> words, std::ostream& out, std::ostream& err,
                      const PngEncoder& encodePng)
{
    return shell::runCommandLine(vistrelCommandLine(encodePng), words, out, err);
}

}  // namespace sprite
