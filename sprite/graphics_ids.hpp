#pragma once
// Sprites and palettes by their IDs: the offsets that the game's pointer tables hold for them, so
// that a user names a sprite as the game does instead of working out its address by hand.

#include "rom/resource_kind.hpp"
#include "rom/rom_error.hpp"
#include "shell/bytes.hpp"

#include <cstdint>

namespace sprite {

// The ROM offset that entry `id` of the Sprite or Pallet pointer table holds. Refused: an image of
// another game, an ID past the table (its last ID is known while the table stands where the game
// put it; a moved table is bounded by the image), and an empty entry. The data at the offset is
// not checked here: the viewer checks it as it checks a typed address.
rom::RomResult<std::uint32_t> graphicsOffsetOfId(shell::ByteSpan image, rom::ResourceKind kind,
                                                 std::uint16_t id);

}  // namespace sprite
