#include "rom/game_tables.hpp"

#include "rom/gba_address.hpp"

#include <utility>

namespace rom {
namespace {

constexpr std::array<std::string_view, kGameTableCount> kTableNames{
    "Unit",       "Weapon",      "UnitAnime",        "FixedWeaponAnime", "Table4",    "Table5",
    "Table6",     "SystemAnime", "GraphicDifinition", "UnitCutin",        "Table10",   "Table11",
    "Table12",    "Table13",     "Table14",          "Table15",          "MotionPart", "ShadowEtc",
    "CutinScroll", "Sprite",     "BGMap",            "Pallet",           "UnitIcon",  "IconData",
};

std::uint64_t recordOffset(const TableDirectory& directory, GameTable table, std::uint32_t id)
{
    return static_cast<std::uint64_t>(directory.offset(table)) +
           static_cast<std::uint64_t>(id) * recordSizeOf(table);
}

constexpr std::pair<GameTable, std::uint16_t> kFixedTables[] = {
    {GameTable::Unit, kUnitCount},
    {GameTable::Weapon, kWeaponCount},
    {GameTable::UnitAnimeHeader, kUnitCount},
    {GameTable::FixedWeaponAnime, kWeaponCount},
    {GameTable::UnitIconIndex, kUnitCount},
};

}  // namespace

std::string_view tableName(GameTable table)
{
    return kTableNames[static_cast<std::size_t>(table)];
}

RomResult<TableDirectory> readTableDirectory(ByteSpan image)
{
    TableDirectory directory;
    for (std::size_t i = 0; i < kGameTableCount; ++i) {
        const std::uint32_t locator = kTableLocations[i].locatorOffset;
        const std::optional<std::uint32_t> pointer = readU32(image, locator);
        if (!pointer)
            return std::unexpected(
                outOfImage(std::string(tableName(static_cast<GameTable>(i))) + " のロケータ", locator, 4));
        directory.offsets[i] = romOffsetOf(*pointer);
    }
    return directory;
}

bool isUnextended(const TableDirectory& directory)
{
    for (std::size_t i = 0; i < kGameTableCount; ++i) {
        if (directory.offsets[i] != kTableLocations[i].unextendedOffset)
            return false;
    }
    return true;
}

RomResult<ByteSpan> recordBytes(ByteSpan image, const TableDirectory& directory, GameTable table,
                                std::uint32_t id)
{
    const std::uint64_t offset = recordOffset(directory, table, id);
    const std::uint16_t size = recordSizeOf(table);
    if (!fits(image.size(), offset, size))
        return std::unexpected(outOfImage(itemName(tableName(table), id), offset, size));
    return image.subspan(static_cast<std::size_t>(offset), size);
}

RomResult<MutableByteSpan> mutableRecordBytes(MutableByteSpan image,
                                              const TableDirectory& directory, GameTable table,
                                              std::uint32_t id)
{
    const std::uint64_t offset = recordOffset(directory, table, id);
    const std::uint16_t size = recordSizeOf(table);
    if (!fits(image.size(), offset, size))
        return std::unexpected(outOfImage(itemName(tableName(table), id), offset, size));
    return image.subspan(static_cast<std::size_t>(offset), size);
}

RomResult<void> checkTableFits(ByteSpan image, const TableDirectory& directory, GameTable table,
                               std::uint32_t count)
{
    const std::uint64_t length = static_cast<std::uint64_t>(count) * recordSizeOf(table);
    if (!fits(image.size(), directory.offset(table), length))
        return std::unexpected(outOfImage(std::string(tableName(table)) + " テーブル",
                                          directory.offset(table), length));
    return {};
}

RomResult<void> checkFixedTablesFit(ByteSpan image, const TableDirectory& directory)
{
    for (const auto& [table, count] : kFixedTables) {
        if (auto fits = checkTableFits(image, directory, table, count); !fits)
            return fits;
    }
    return {};
}

RomResult<std::uint32_t> readTablePointer(ByteSpan image, const TableDirectory& directory,
                                          GameTable table, std::uint32_t id)
{
    auto entry = recordBytes(image, directory, table, id);
    if (!entry)
        return std::unexpected(entry.error());
    return loadU32(*entry, 0);
}

}  // namespace rom
