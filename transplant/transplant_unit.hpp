#pragma once
// The transplant itself: a file set's records are written over free records of the target image
// with every ID reference remapped, and its data blocks are appended behind the image's end with
// the pointer tables set to their new places.

#include "rom/byte_io.hpp"
#include "rom/game_tables.hpp"
#include "rom/rom_error.hpp"
#include "rom/unit_resources.hpp"
#include "transplant/unit_file_set.hpp"

#include <cstdint>

namespace transplant {

// True when `freeIds` has an ID for every item of `loaded`, a free icon and a free unit.
bool hasRoomFor(const rom::UnitResourceSet& freeIds, const rom::UnitResourceSet& loaded);

// Transplants `files` (listed by `loaded`) into unit slot freeIds.wIdUnit of `image`, mapping the
// j-th ID of each kind of `loaded` to the j-th free ID, and returns the icon the unit received.
// The blocks are appended from the old end, each on a 16-byte boundary strictly after the
// previous one's end; the image grows in place (give it the capacity to avoid a copy). Every
// record and block is checked before the first byte changes, and the placed unit is then read
// back as show and extract read it; a failure (no room, a record outside the image, a damaged
// block, a result past the cartridge limit, a unit that cannot be read back) leaves `image` as it
// was, size included.
rom::RomResult<std::uint16_t> transplantUnit(rom::Bytes& image, const rom::TableDirectory& directory,
                                             const rom::UnitResourceSet& freeIds,
                                             const rom::UnitResourceSet& loaded,
                                             const UnitFileSet& files);

// The cursor after a block of `size` bytes placed at `cursor`.
constexpr std::uint64_t nextBlockCursor(std::uint64_t cursor, std::uint64_t size)
{
    constexpr std::uint64_t kBlockAlignment = 16;
    const std::uint64_t end = cursor + size;
    return end + kBlockAlignment - end % kBlockAlignment;
}

}  // namespace transplant
