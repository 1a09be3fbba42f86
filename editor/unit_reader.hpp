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

// `source` words the errors of the walks below: a walk of a file says it left the file.

// Length of the part command stream at `gbaPointer`, whose frames add up to `limit`; 0 when the
// pointer is 0.
rom::RomResult<std::size_t> PartCommandLength(ByteSpan bytes, std::uint32_t gbaPointer,
                                              std::uint16_t limit,
                                              rom::DataSource source = rom::DataSource::Rom);

// Length of a MotionPart script (its key block) at `gbaPointer` for total frame count
// `totalFrames`. The walk never looks at a byte past the length it returns, so the script measures
// the same in a routine file as in the ROM, whatever follows it.
rom::RomResult<std::size_t> ScriptLength(ByteSpan bytes, std::uint32_t gbaPointer,
                                         std::uint16_t totalFrames,
                                         rom::DataSource source = rom::DataSource::Rom);

// Length, header included, of the LZ77 stream at `offset`, walked up to the stream's full
// declared size (header bytes 1 to 3), so no stream is ever copied short.
rom::RomResult<std::size_t> Lz77BlockLength(ByteSpan bytes, std::uint32_t offset);

// Each reads the routine whose header lies at `gbaPointer`; pointer 0 gives a slot that is not
// present. `source` words the errors: a routine file of a unit folder is read as a file.
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
