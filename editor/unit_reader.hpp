#pragma once
// Filling a UnitDataSet from a ROM image, and reading the three routine kinds from any byte
// buffer whose pointers are GBA pointers into it: the ROM image itself, or a routine file of a
// unit folder, whose pointers name offsets in the file. Every read is bounds-checked; data that
// leaves the buffer, or a unit beyond the model's capacities, is a RomError for the caller.

#include "editor/rom_table_offsets.hpp"
#include "editor/unit_data_set.hpp"
#include "rom/rom_error.hpp"

#include <cstdint>

namespace editor {

// Each reads the routine whose header lies at `gbaPointer` with the routine readers of rom/, a part
// or stream pointer of 0 naming no data; pointer 0 gives a slot that is not present. `source`
// words the errors: a routine file of a unit folder is read as a file.
rom::RomResult<MotionPartRoutine> ReadMotionPartRoutine(
    ByteSpan bytes, std::uint32_t gbaPointer, rom::DataSource source = rom::DataSource::Rom);
rom::RomResult<ShadowEtcRoutine> ReadShadowEtcRoutine(
    ByteSpan bytes, std::uint32_t gbaPointer, rom::DataSource source = rom::DataSource::Rom);
rom::RomResult<CutinScrollRoutine> ReadCutinScrollRoutine(
    ByteSpan bytes, std::uint32_t gbaPointer, rom::DataSource source = rom::DataSource::Rom);

// Reads unit `unitId` (0 to 149) and everything it names into a new set.
rom::RomResult<UnitDataSet> ReadUnitFromRom(ByteSpan image, const RomTableOffsets& offsets,
                                            std::uint16_t unitId);

// The palettes of a group at `offset`: at most `limit` (capped at 8), ending after the first
// palette whose first colour has bit 15 set, and before a palette that would leave the buffer.
rom::RomResult<PalletGroup> ReadPalletGroup(ByteSpan bytes, std::uint32_t offset,
                                            std::uint8_t limit);

}  // namespace editor
