#include "editor/rom_table_offsets.hpp"

#include "rom/gba_address.hpp"
#include "rom/resource_kind.hpp"

#include <string>
#include <utility>

namespace editor {

rom::RomResult<RomTableOffsets> ReadRomTableOffsets(rom::ByteSpan image)
{
    RomTableOffsets offsets;
    for (rom::GameTable table : kEditorTables) {
        const std::uint32_t locator = rom::tableLocation(table).locatorOffset;
        const std::optional<std::uint32_t> pointer = rom::readU32(image, locator);
        if (!pointer)
            return std::unexpected(
                rom::outOfImage(std::string(rom::tableName(table)) + " のロケータ", locator, 4));
        offsets.directory.offsets[static_cast<std::size_t>(table)] = rom::romOffsetOf(*pointer);
    }
    if (auto fits = rom::checkFixedTablesFit(image, offsets.directory); !fits)
        return std::unexpected(fits.error());
    return offsets;
}

bool isIconInTable(rom::ByteSpan image, const RomTableOffsets& offsets, std::uint16_t iconId)
{
    if (iconId == rom::kNoId)
        return false;
    const std::optional<std::uint16_t> lastId = rom::knownLastId(offsets.directory, rom::ResourceKind::IconData);
    if (lastId && iconId > *lastId)
        return false;
    return rom::recordBytes(image, offsets.directory, rom::GameTable::IconData, iconId).has_value();
}

}  // namespace editor
