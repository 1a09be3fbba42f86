#pragma once
// Where the editor finds the game's tables in a loaded image: each offset comes from the GBA
// pointer at the table's locator. Only the twelve tables the editor reads or writes are located.

#include "rom/game_tables.hpp"
#include "rom/rom_error.hpp"

#include <array>

namespace editor {

inline constexpr std::array<rom::GameTable, 12> kEditorTables{
    rom::GameTable::Unit,        rom::GameTable::Weapon,        rom::GameTable::UnitAnimeHeader,
    rom::GameTable::FixedWeaponAnime, rom::GameTable::MotionPart, rom::GameTable::ShadowEtc,
    rom::GameTable::CutinScroll, rom::GameTable::Sprite,        rom::GameTable::BGMap,
    rom::GameTable::Pallet,      rom::GameTable::UnitIconIndex, rom::GameTable::IconData,
};

struct RomTableOffsets {
    // Entries of the tables outside kEditorTables stay 0 and are never used.
    rom::TableDirectory directory;

    std::uint32_t offset(rom::GameTable table) const { return directory.offset(table); }
};

// Reads the locators and checks that the tables indexed by unit and weapon number (units 0 to
// 149, weapons 0 to 649) lie inside the image, so that the unit list and every unit's records
// can be read.
rom::RomResult<RomTableOffsets> ReadRomTableOffsets(rom::ByteSpan image);

// Whether icon `iconId` names an image of the icon table: 0xFFFF names none, and so does an ID past
// the table. The table's size is known while it stands at its unextended place (it ends where the
// unit icon index table begins); a table moved by an ID area extension is bounded by the image.
bool isIconInTable(rom::ByteSpan image, const RomTableOffsets& offsets, std::uint16_t iconId);

}  // namespace editor
