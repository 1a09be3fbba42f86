#pragma once
// Free IDs of an image: unit and weapon slots whose name holds the empty marker, and entries of the
// ten extendable tables whose bytes are all zero. The transplant takes the lowest of them.

#include "rom/byte_io.hpp"
#include "rom/game_tables.hpp"
#include "rom/records.hpp"
#include "rom/rom_error.hpp"
#include "rom/unit_resources.hpp"
#include "transplant/extension_info.hpp"

#include <string>
#include <vector>

namespace transplant {

// The names an empty unit and an empty weapon slot carry, all 32 bytes of the field.
inline constexpr rom::GameName EmptyUnitName{0xBA, 0xA9, 0x90, 0x95, 0xFF};
inline constexpr rom::GameName EmptyWeaponName{0xC9, 0x8A, 0xC1, 0xC8, 0xFF};

// True when a unit record's name holds the empty-unit marker: the slot is free for a transplant.
bool isEmptyUnitRecord(rom::ByteSpan record);

// Every free ID of every kind, ascending. The extendable tables are searched up to the last ID of
// `info`; an entry that holds the first byte of another table is never free, since writing it
// would overwrite that table. Fails when a searched table leaves the image.
rom::RomResult<rom::UnitResourceSet> BuildFreeIdSet(rom::ByteSpan image,
                                                    const rom::TableDirectory& directory,
                                                    const ExtensionInfo& info);

// Twelve lines "label TAB count CR LF": units, weapons, then the ten extendable kinds.
std::string FormatIdCounts(const rom::UnitResourceSet& set);

// One line "label: 必要 N, 空き M" for each kind of which `needed` holds more IDs than `freeIds`,
// in the order of FormatIdCounts.
std::vector<std::string> shortageLines(const rom::UnitResourceSet& freeIds,
                                       const rom::UnitResourceSet& needed);

}  // namespace transplant
