#pragma once
// The catalogue of the game's tables: where the game code keeps each table's address (its
// locator), the size of one record, and where the table lies in an image that nobody has extended.
// The table directory is what a loaded image says about those addresses today.

#include "rom/byte_io.hpp"
#include "rom/rom_error.hpp"

#include <array>
#include <cstdint>
#include <string_view>

namespace rom {

// The 24 directory entries, in locator order.
enum class GameTable : std::uint8_t {
    Unit,
    Weapon,
    UnitAnimeHeader,
    FixedWeaponAnime,
    Unused4,
    Unused5,
    Unused6,
    SystemAnime,
    GraphicDifinition,
    UnitCutin,
    Unused10,
    Unused11,
    Unused12,
    Unused13,
    Unused14,
    Unused15,
    MotionPart,
    ShadowEtc,
    CutinScroll,
    Sprite,
    BGMap,
    Pallet,
    UnitIconIndex,
    IconData,
};

inline constexpr std::size_t kGameTableCount = 24;

struct TableLocation {
    std::uint32_t locatorOffset;     // where the game code holds the table's GBA pointer
    std::uint16_t recordSize;        // 0 for the entries the tools read but never follow
    std::uint32_t unextendedOffset;  // the table's offset in an image nobody has extended
};

inline constexpr std::array<TableLocation, kGameTableCount> kTableLocations{{
    {0x1F890, 0x68, 0xC38C4},     // Unit
    {0x1C030, 0x40, 0xD7CA0},     // Weapon
    {0x55E74, 0x8C, 0x9D0B68},    // UnitAnimeHeader
    {0x6AB24, 0x4C, 0x9C1908},    // FixedWeaponAnime
    {0x6B748, 0, 0x9CDA00},       // Unused4
    {0x6B3A0, 0, 0x9CE400},       // Unused5
    {0x6AEEC, 0, 0x9CFFA0},       // Unused6
    {0x6AAB4, 0x10, 0x9D5D80},    // SystemAnime
    {0x65F6C, 0x08, 0x9D64F0},    // GraphicDifinition
    {0x6BCB8, 0x28, 0x9D6A20},    // UnitCutin
    {0x6C2EC, 0, 0x9D7588},       // Unused10
    {0x56190, 0, 0x9D7BF8},       // Unused11
    {0xF2114C, 0, 0x9DB870},      // Unused12
    {0xF21150, 0, 0x9DB9FC},      // Unused13
    {0xF21154, 0, 0x9DBBA0},      // Unused14
    {0xF21158, 0, 0x9DBC54},      // Unused15
    {0x6A450, 4, 0xF3088C},       // MotionPart
    {0x6A4A8, 4, 0xF31BD8},       // ShadowEtc
    {0x6A4A4, 4, 0xF32CF8},       // CutinScroll
    {0x5E278, 4, 0xF1FA7C},       // Sprite
    {0x5DE80, 8, 0x9C085C},       // BGMap
    {0x5E274, 4, 0xF20750},       // Pallet
    {0x3DB4, 2, 0x153074},        // UnitIconIndex
    {0x3DB8, 0x180, 0x1498F4},    // IconData
}};

constexpr const TableLocation& tableLocation(GameTable table)
{
    return kTableLocations[static_cast<std::size_t>(table)];
}

constexpr std::uint16_t recordSizeOf(GameTable table)
{
    return tableLocation(table).recordSize;
}

std::string_view tableName(GameTable table);

// ID spaces of the two tables whose size the game fixes.
inline constexpr std::uint16_t kUnitCount = 150;
inline constexpr std::uint16_t kWeaponCount = 650;
inline constexpr std::uint16_t kLastWeaponId = kWeaponCount - 1;  // 0x289; 0x28A and up are empty

// 0xFFFF names no record in any ID field; BG map fields also use 0xFFFE for none.
inline constexpr std::uint16_t kNoId = 0xFFFF;
inline constexpr std::uint16_t kNoBGMapId = 0xFFFE;

constexpr bool isWeaponId(std::uint16_t id)
{
    return id <= kLastWeaponId;
}

constexpr bool isBGMapId(std::uint16_t id)
{
    return id != kNoId && id != kNoBGMapId;
}

// The table offsets of one image, read through the locators.
struct TableDirectory {
    std::array<std::uint32_t, kGameTableCount> offsets{};

    std::uint32_t offset(GameTable table) const { return offsets[static_cast<std::size_t>(table)]; }
};

// Fails only when a locator lies outside the image; the tables themselves are checked when read.
RomResult<TableDirectory> readTableDirectory(ByteSpan image);

// True when every entry holds its unextended offset.
bool isUnextended(const TableDirectory& directory);

// The bytes of record `id` of `table`, or an error when the record leaves the image.
RomResult<ByteSpan> recordBytes(ByteSpan image, const TableDirectory& directory, GameTable table,
                                std::uint32_t id);
RomResult<MutableByteSpan> mutableRecordBytes(MutableByteSpan image,
                                              const TableDirectory& directory, GameTable table,
                                              std::uint32_t id);

// Succeeds when records 0 to `count` - 1 of `table` lie inside the image.
RomResult<void> checkTableFits(ByteSpan image, const TableDirectory& directory, GameTable table,
                               std::uint32_t count);

// Succeeds when every record of the tables whose size the game fixes (units, weapons, their
// animation headers, the unit icon index) lies inside the image. The tools read them for every
// unit, so an image that fails this is refused when it is opened.
RomResult<void> checkFixedTablesFit(ByteSpan image, const TableDirectory& directory);

// Entry `id` of a pointer table (Sprite, Pallet, MotionPart, ShadowEtc, CutinScroll): the stored GBA
// pointer, 0 for an empty ID.
RomResult<std::uint32_t> readTablePointer(ByteSpan image, const TableDirectory& directory,
                                          GameTable table, std::uint32_t id);

}  // namespace rom
