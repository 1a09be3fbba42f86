#pragma once
// Extraction: the part of a unit's resources the user keeps, and the file set that holds them.
// Everything is read and built in memory first, so a unit whose data leaves the image is refused
// before a single file is written.

#include "rom/byte_io.hpp"
#include "rom/game_tables.hpp"
#include "rom/resource_kind.hpp"
#include "rom/rom_error.hpp"
#include "rom/unit_resources.hpp"
#include "shell/files.hpp"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace transplant {

// Which items of the selected unit are kept, by their position in the selected set's lists (not by
// ID). Weapons use the FixedWeapon kind.
class SelectionFlags {
public:
    static constexpr std::size_t kPositions = 256;

    void selectAll();
    // Clears the system animations, graphic change definitions and unit cut-ins.
    void bulkOff();
    void set(rom::ResourceKind kind, std::size_t position, bool selected);
    // Positions past the flags' range stay selected.
    bool isSelected(rom::ResourceKind kind, std::size_t position) const;

private:
    std::array<std::array<bool, kPositions>, rom::kResourceKindCount> flags_{};
};

// The set that extraction writes: the kept weapons, graphic change definitions, system
// animations and unit cut-ins of `selected`, and every sprite, palette, BG map and routine that
// the unit's animation header and the kept records reach, whatever their own flags say.
rom::RomResult<rom::UnitResourceSet> buildExtractionSet(rom::ByteSpan image,
                                                        const rom::TableDirectory& directory,
                                                        const rom::UnitResourceSet& selected,
                                                        const SelectionFlags& flags);

using FileSetFile = shell::FolderFile;

// Every file of the set in the order it is written. An empty pointer-table entry (or a BG map
// header without data) gives an empty data file, which the transplant keeps empty. Fails when a
// record or block leaves the image, or a list is too long for the index.
rom::RomResult<std::vector<FileSetFile>> buildFileSet(rom::ByteSpan image,
                                                      const rom::TableDirectory& directory,
                                                      const rom::UnitResourceSet& set);

// The folder name for a unit: its decoded name (UTF-8) with the characters that file systems
// refuse in a name replaced by "_"; "Unit" and the ID in three hexadecimal digits when nothing
// usable is left.
std::string unitFolderName(std::string_view displayName, std::uint16_t unitId);

}  // namespace transplant
