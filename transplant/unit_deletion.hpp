#pragma once
// Turning a unit into a free slot: its record and its weapons' records are emptied and marked, so
// that the next transplant offers them. Nothing else the unit used is touched.

#include "rom/byte_io.hpp"
#include "rom/game_tables.hpp"
#include "rom/rom_error.hpp"

#include <cstdint>
#include <span>

namespace transplant {

// Empties weapon records `weapons` (zero bytes, then the empty-weapon name) and unit record
// `unitId` (zero bytes, every weapon slot 0xFFFF, then the empty-unit name). Every record is
// checked first, so a failure changes nothing.
rom::RomResult<void> deleteUnitRecords(rom::MutableByteSpan image,
                                       const rom::TableDirectory& directory, std::uint16_t unitId,
                                       std::span<const std::uint16_t> weapons);

}  // namespace transplant
