#include "sprite/vistrel_cli.hpp"

#include "rom/gba_address.hpp"
#include "shell/command_line.hpp"
#include "shell/command_line_shell.hpp"
#include "shell/files.hpp"
#include "sprite/graphics_ids.hpp"
#include "sprite/vistrel_session.hpp"
#include "sprite/vistrel_unit.hpp"

#include <charconv>
#include <expected>
#include <string>
#include <vector>

namespace sprite {
namespace {

constexpr std::string_view kRenderCommand = "render";
constexpr std::string_view kUnitCommand = "unit";
constexpr std::size_t kMaximumHexDigits = 8;
constexpr std::string_view kHexPrefix = "0x";
// No palette file or group comes near this many 32-byte palettes; the bound keeps offsets small.
constexpr std::uint32_t kLargestBank = 255;
constexpr std::uint32_t kLargestId = 0xFFFF;

constexpr std::string_view kVistrelUsage =
    "usage: Vistrel [PATH]\n"
    "       Vistrel render SPRITE.dat [PALETTE.dat] -o OUT.png [OPTIONS]\n"
    "       Vistrel render --rom ROM --sprite HEX [--palette HEX] -o OUT.png [OPTIONS]\n"
    "       Vistrel render --rom ROM --sprite-id ID [--palette-id ID] -o OUT.png [OPTIONS]\n"
    "       Vistrel unit ROM UNIT --dir DIR [OPTIONS]\n"
    "options: --indexed      write a palette-mode PNG that keeps the pixel indices\n"
    "         --transparent  make index 0 (and pixels no byte reaches) transparent\n"
    "         --bank K       use palette K of a palette group or multi-palette file (default 0)\n"
    "         --seed N       repeatable colours for a sheet without palette\n"
    "ID, UNIT, K and N are decimal or hexadecimal with 0x; HEX is a hexadecimal offset, also with\n"
    "0x or as a GBA pointer (0x08xxxxxx).\n";

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

// The value of a numeric option up to `largest`, nothing when absent; the usage problem when wrong.
std::expected<std::optional<std::uint32_t>, std::string> numberOption(
    const shell::ParsedArguments& parsed, std::string_view option, std::uint32_t largest,
    std::string_view what)
{
    const std::optional<std::string> text = parsed.value(option);
    if (!text)
        return std::nullopt;
    const std::optional<std::uint32_t> value = shell::parseNumber(*text);
    if (!value || *value > largest) {
        return std::unexpected(std::string(option) + " takes " + std::string(what) + " from 0 to " +
                               std::to_string(largest) + ", decimal or hexadecimal with 0x");
    }
    return value;
}

std::expected<std::optional<std::uint32_t>, std::string> addressOption(const shell::ParsedArguments& parsed,
                                                                       std::string_view option)
{
    const std::optional<std::string> text = parsed.value(option);
    if (!text)
        return std::nullopt;
    const std::optional<std::uint32_t> address = parseHexAddress(*text);
    if (!address) {
        return std::unexpected(std::string(option) +
                               " takes a hexadecimal offset (1 to 8 digits, also with 0x) or a GBA pointer");
    }
    return address;
}

// One graphic of a ROM image, by offset or by ID.
struct RomGraphic {
    std::optional<std::uint32_t> address;
    std::optional<std::uint32_t> id;
};

struct RenderRequest {
    std::optional<std::string> rom;
    RomGraphic sprite;
    RomGraphic palette;
    std::string spriteFile;
    std::optional<std::string> paletteFile;
    std::string output;
    DrawOptions draw;
};

std::expected<RomGraphic, std::string> romGraphic(const shell::ParsedArguments& parsed,
                                                  std::string_view addressName, std::string_view idName)
{
    auto address = addressOption(parsed, addressName);
    if (!address)
        return std::unexpected(address.error());
    auto id = numberOption(parsed, idName, kLargestId, "an ID");
    if (!id)
        return std::unexpected(id.error());
    if (*address && *id)
        return std::unexpected(std::string(addressName) + " and " + std::string(idName) + " name one thing twice");
    return RomGraphic{*address, *id};
}

// The options both commands take, or the usage problem when one is wrong.
std::expected<DrawOptions, std::string> drawOptions(const shell::ParsedArguments& parsed)
{
    auto seed = numberOption(parsed, "--seed", 0xFFFFFFFF, "a number");
    if (!seed)
        return std::unexpected(seed.error());
    auto bank = numberOption(parsed, "--bank", kLargestBank, "a palette number");
    if (!bank)
        return std::unexpected(bank.error());
    const PngKind kind = parsed.has("--indexed") ? PngKind::Indexed : PngKind::Colour;
    return DrawOptions{*seed, bank->value_or(0), {kind, parsed.has("--transparent")}};
}

// The request, or the usage problem.
std::expected<RenderRequest, std::string> renderRequest(const shell::ParsedArguments& parsed)
{
    RenderRequest request;
    const std::vector<std::string>& positionals = parsed.positionals;  // [0] is "render"
    if (parsed.value("--dir"))
        return std::unexpected("render writes one file: -o OUT.png, not --dir");
    request.rom = parsed.value("--rom");
    const std::optional<std::string> output = parsed.value("-o");
    if (!output)
        return std::unexpected("-o OUT.png is required");
    request.output = *output;
    auto draw = drawOptions(parsed);
    if (!draw)
        return std::unexpected(draw.error());
    request.draw = *draw;
    const bool bankAsked = parsed.value("--bank").has_value();

    auto sprite = romGraphic(parsed, "--sprite", "--sprite-id");
    if (!sprite)
        return std::unexpected(sprite.error());
    auto palette = romGraphic(parsed, "--palette", "--palette-id");
    if (!palette)
        return std::unexpected(palette.error());
    request.sprite = *sprite;
    request.palette = *palette;
    const bool anyRomGraphic = sprite->address || sprite->id || palette->address || palette->id;

    if (request.rom) {
        if (positionals.size() != 1)
            return std::unexpected("--rom takes no SPRITE.dat or PALETTE.dat");
        if (!sprite->address && !sprite->id)
            return std::unexpected("--rom needs --sprite HEX or --sprite-id ID");
        if (bankAsked && !palette->address && !palette->id)
            return std::unexpected("--bank needs --palette HEX or --palette-id ID");
        return request;
    }
    if (anyRomGraphic)
        return std::unexpected("--sprite, --sprite-id, --palette and --palette-id need --rom ROM");
    if (positionals.size() < 2 || positionals.size() > 3)
        return std::unexpected("render takes SPRITE.dat and an optional PALETTE.dat");
    request.spriteFile = positionals[1];
    if (positionals.size() == 3)
        request.paletteFile = positionals[2];
    else if (bankAsked)
        return std::unexpected("--bank needs PALETTE.dat");
    return request;
}

// The offset a graphic names: its address, or where its ID's pointer-table entry leads.
std::optional<std::uint32_t> romOffset(shell::ByteSpan image, const RomGraphic& graphic,
                                       rom::ResourceKind kind, std::ostream& err)
{
    if (graphic.address)
        return *graphic.address;
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
    if (request->draw.seed)
        session.seedRandomColours(*request->draw.seed);
    session.setPaletteBank(request->draw.bank);
    const std::optional<SheetCanvas> canvas = drawRequested(*request, session, shell, err);
    if (!canvas)
        return shell::kExitFailed;
    const std::optional<shell::Bytes> png = encodePng(*canvas, request->draw.png);
    if (!png)
        return failed(err, "the PNG image could not be made");
    if (!shell::writeWholeFile(shell, request->output, *png))
        return shell::kExitFailed;
    return shell::kExitDone;
}

int unit(const shell::ParsedArguments& parsed, std::ostream& out, std::ostream& err,
         const PngEncoder& encodePng)
{
    if (parsed.positionals.size() != 3)
        return vistrelUsage(err, "unit takes ROM and UNIT");
    const std::optional<std::string> dir = parsed.value("--dir");
    if (!dir)
        return vistrelUsage(err, "--dir DIR is required");
    for (const std::string_view option : {"-o", "--rom", "--sprite", "--sprite-id", "--palette", "--palette-id"}) {
        if (parsed.value(option))
            return vistrelUsage(err, "unit takes no " + std::string(option));
    }
    const auto draw = drawOptions(parsed);
    if (!draw)
        return vistrelUsage(err, draw.error());
    const std::optional<std::uint32_t> unitId = shell::parseNumber(parsed.positionals[2]);
    if (!unitId)
        return vistrelUsage(err, "UNIT must be a number, decimal or hexadecimal with 0x");
    return renderUnit({parsed.positionals[1], *unitId, *dir, *draw}, out, err, encodePng);
}

}  // namespace

bool isVistrelCommand(std::string_view word)
{
    return word == kRenderCommand || word == kUnitCommand;
}

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

int runVistrelCommand(std::span<const std::string> arguments, std::ostream& out, std::ostream& err,
                      const PngEncoder& encodePng)
{
    const shell::ArgumentSpec options{
        {"-o", "--rom", "--sprite", "--palette", "--sprite-id", "--palette-id", "--seed", "--bank", "--dir"},
        {"--indexed", "--transparent"}};
    const std::expected<shell::ParsedArguments, std::string> parsed = parseArguments(arguments, options);
    if (!parsed)
        return vistrelUsage(err, parsed.error());
    if (parsed->positionals.empty() || !isVistrelCommand(parsed->positionals.front()))
        return vistrelUsage(err, "unknown command");
    if (parsed->positionals.front() == kUnitCommand)
        return unit(*parsed, out, err, encodePng);
    return render(*parsed, err, encodePng);
}

}  // namespace sprite
