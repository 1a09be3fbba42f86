#pragma once
// The sprite sheets of one unit as the editor collects them (the unit's animation header, then its
// fixed weapons' headers), each with the palette group of the field beside its sprite field, where
// they lie in the image, and the numbers of the files a unit folder keeps them in.

#include "editor/unit_data_set.hpp"
#include "rom/rom_error.hpp"
#include "shell/bytes.hpp"

#include <cstdint>
#include <optional>
#include <vector>

namespace sprite {

struct UnitSheetPalette {
    std::uint16_t id = 0;
    std::size_t folderIndex = 0;  // "pallet<N>.dat" of the unit folder
    std::uint32_t offset = 0;     // in the image
    std::size_t banks = 0;        // palettes of the group, as the editor reads it
};

struct UnitSheet {
    std::uint16_t spriteId = 0;
    std::size_t folderIndex = 0;  // "sprite<N>.dat" of the unit folder
    std::uint32_t offset = 0;     // of the stream in the image; 0 with an empty entry
    std::optional<UnitSheetPalette> palette;  // none when the field beside says none
};

// The unit as read, and its sprites in first-met order.
struct UnitSheets {
    editor::UnitDataSet set;
    std::vector<UnitSheet> sheets;

    // The measured stream of a sheet; empty for an empty entry.
    shell::ByteSpan stream(const UnitSheet& sheet) const { return set.sprites[sheet.folderIndex].data; }
};

// Reads unit `unitId` as the editor does (every read checked) and lists its sheets.
rom::RomResult<UnitSheets> readUnitSheets(shell::ByteSpan image, std::uint16_t unitId);

// The 32 bytes of palette `bank` of the group, or nothing when the group has fewer palettes.
std::optional<shell::ByteSpan> paletteBank(const editor::UnitDataSet& set,
                                           const UnitSheetPalette& palette, std::size_t bank);

}  // namespace sprite
