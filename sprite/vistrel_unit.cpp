#include "sprite/vistrel_unit.hpp"

#include "editor/unit_folder.hpp"
#include "rom/byte_io.hpp"
#include "rom/game_tables.hpp"
#include "rom/lz77.hpp"
#include "shell/command_frame.hpp"
#include "shell/command_line.hpp"
#include "shell/command_line_shell.hpp"
#include "shell/files.hpp"
#include "shell/number_text.hpp"
#include "sprite/unit_sheets.hpp"
#include "sprite/vistrel_session.hpp"

#include <random>
#include <string>
#include <vector>

namespace sprite {
namespace {

constexpr std::string_view kIndexFile = "index.txt";
constexpr std::string_view kImageStem = "sprite";
constexpr std::string_view kImageExtension = ".png";
constexpr std::string_view kNone = "-";
constexpr int kOffsetDigits = 6;
constexpr int kLengthDigits = 4;
// As the index's first line names the unit: "# unit 0x2A".
constexpr int kUnitDigits = 2;

struct Column {
    std::string_view heading;
    std::size_t width;
};
constexpr std::array<Column, 9> kColumns{{{"sprite", 8}, {"offset", 12}, {"length", 10}, {"size", 10},
                                          {"palette", 9}, {"offset", 12}, {"banks", 7}, {"image", 16},
                                          {"unit folder files", 0}}};

std::string hexText(std::uint64_t value, int digits)
{
    return "0x" + shell::paddedHexText(value, digits);
}

// One line of the index: the cells padded to their columns, the last one as it is.
std::string indexLine(const std::array<std::string, kColumns.size()>& cells)
{
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        line += cells[i];
        if (i + 1 < cells.size())
            line.append(kColumns[i].width > cells[i].size() ? kColumns[i].width - cells[i].size() : 1, ' ');
    }
    return line + '\n';
}

// The size a measured stream declares: bits 8 to 31 of its header, as the game reads them.
std::uint32_t declaredSize(shell::ByteSpan stream)
{
    return rom::loadU32(stream, 0) >> rom::kLz77SizeShift;
}

std::string imageName(std::uint16_t spriteId)
{
    return std::string(kImageStem) + std::to_string(spriteId) + std::string(kImageExtension);
}

// `imaged` says of each sheet whether it has a PNG: an empty entry or a sheet of no rows has none.
std::string indexText(const UnitRequest& request, const UnitSheets& unit, const std::vector<bool>& imaged)
{
    std::string text = "# unit " + hexText(request.unitId, kUnitDigits) + ", palette bank " + std::to_string(request.draw.bank) +
                       "; IDs in decimal, offsets, lengths and decoded sizes in hexadecimal\n";
    std::array<std::string, kColumns.size()> headings;
    for (std::size_t i = 0; i < kColumns.size(); ++i)
        headings[i] = kColumns[i].heading;
    text += indexLine(headings);
    for (std::size_t i = 0; i < unit.sheets.size(); ++i) {
        const UnitSheet& sheet = unit.sheets[i];
        const std::size_t length = unit.stream(sheet).size();
        std::string files = editor::folder_files::numberedFile(editor::folder_files::kSpriteStem, sheet.folderIndex);
        std::array<std::string, kColumns.size()> cells{
            std::to_string(sheet.spriteId),
            length > 0 ? hexText(sheet.offset, kOffsetDigits) : std::string(kNone),
            length > 0 ? hexText(length, kLengthDigits) : std::string(kNone),
            length > 0 ? hexText(declaredSize(unit.stream(sheet)), kLengthDigits) : std::string(kNone),
            std::string(kNone), std::string(kNone), std::string(kNone),
            imaged[i] ? imageName(sheet.spriteId) : std::string(kNone), ""};
        if (sheet.palette) {
            cells[4] = std::to_string(sheet.palette->id);
            cells[5] = sheet.palette->banks > 0 ? hexText(sheet.palette->offset, kOffsetDigits) : std::string(kNone);
            cells[6] = std::to_string(sheet.palette->banks);
            files += ' ' + editor::folder_files::numberedFile(editor::folder_files::kPalletStem,
                                                              sheet.palette->folderIndex);
        }
        cells[8] = files;
        text += indexLine(cells);
    }
    return text;
}

// The palette of every sheet, or the reason one is missing: a bank past its group.
std::optional<std::string> missingBank(const UnitRequest& request, const UnitSheets& unit)
{
    for (const UnitSheet& sheet : unit.sheets) {
        if (sheet.palette && !paletteBank(unit.set, *sheet.palette, request.draw.bank)) {
            return rom::itemName("Pallet", sheet.palette->id) + " のパレットは " +
                   std::to_string(sheet.palette->banks) + " 個です: バンク " + std::to_string(request.draw.bank) +
                   " はありません";
        }
    }
    return std::nullopt;
}

}  // namespace

int renderUnit(const UnitRequest& request, std::ostream& out, std::ostream& err,
               const PngEncoder& encodePng)
{
    if (request.unitId >= rom::kUnitCount) {
        err << shell::numberRangeMessage("ユニット番号", 0, rom::kUnitCount - 1, kUnitDigits) << '\n';
        return shell::kExitFailed;
    }
    shell::CommandLineShell shell(err);
    const std::optional<shell::Bytes> image = shell::readWholeFile(shell, request.rom);
    if (!image)
        return shell::kExitFailed;
    const rom::RomResult<UnitSheets> unit = readUnitSheets(*image, static_cast<std::uint16_t>(request.unitId));
    if (!unit) {
        err << unit.error().message << '\n';
        return shell::kExitFailed;
    }
    if (const std::optional<std::string> missing = missingBank(request, *unit)) {
        err << *missing << '\n';
        return shell::kExitFailed;
    }

    std::mt19937 randomColours(request.draw.seed.value_or(0));
    std::vector<bool> imaged;
    std::vector<shell::FolderFile> files;
    for (const UnitSheet& sheet : unit->sheets) {
        const shell::ByteSpan stream = unit->stream(sheet);
        imaged.push_back(false);
        if (stream.empty())
            continue;
        const int height = canvasHeightOfStream(stream, 0);
        if (height == 0) {
            err << rom::itemName("Sprite", sheet.spriteId) << ": 大きさが 0 のため画像にしません\n";
            continue;
        }
        const Palette colours = sheet.palette ? paletteFromBytes(*paletteBank(unit->set, *sheet.palette, request.draw.bank))
                                              : randomPalette(randomColours);
        const rom::Lz77Decoding decoded = rom::lz77Decode(stream, 0);
        if (const SheetShortfall shortfall = shortfallOf(decoded); shortfall.missing > 0)
            err << rom::itemName("Sprite", sheet.spriteId) << ": " << shortfallWarning(shortfall) << '\n';
        std::optional<shell::Bytes> png = encodePng(drawSheet(height, decoded.bytes, colours), request.draw.png);
        if (!png) {
            err << "Vistrel: the PNG image of " << rom::itemName("Sprite", sheet.spriteId) << " could not be made\n";
            return shell::kExitFailed;
        }
        files.push_back({imageName(sheet.spriteId), std::move(*png)});
        imaged.back() = true;
    }
    const std::string index = indexText(request, *unit, imaged);
    files.push_back({std::string(kIndexFile), shell::Bytes(index.begin(), index.end())});

    std::vector<shell::NamedPath> outputs;
    for (const shell::FolderFile& file : files)
        outputs.push_back({"--dir", request.dir / shell::pathFromUtf8(file.name)});
    const shell::NamedPath inputs[] = {{"ROM", request.rom}};
    if (const std::optional<std::string> collision = shell::outputCollision(outputs, inputs)) {
        err << "Vistrel: " << *collision << '\n';
        return shell::kExitUsage;
    }
    if (!shell::writeFolderFiles(shell, request.dir, files))
        return shell::kExitFailed;
    out << index;
    return shell::kExitDone;
}

}  // namespace sprite
