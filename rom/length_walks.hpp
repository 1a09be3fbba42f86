#pragma once
// The ROM stores no lengths for its variable-length data; these walks find where a block ends by
// stepping through its structure exactly as the game reads it. Every byte a walk reads, and the
// whole measured block, must lie inside the image; otherwise the walk returns an error.

#include "rom/byte_io.hpp"
#include "rom/rom_error.hpp"

#include <cstdint>

namespace rom {

// `source` only words the error: a walk of a file says it left the file.

// Length of a part command stream (MotionPart parts and ShadowEtc streams) whose frames add up to
// `limit`, or that ends early with FF 00 (terminator included).
RomResult<std::size_t> measurePartStream(ByteSpan image, std::uint32_t offset, std::uint16_t limit,
                                         DataSource source = DataSource::Rom);

// Length of a MotionPart key block whose frame indices run up to `totalFrames`.
RomResult<std::size_t> measureKeyBlock(ByteSpan image, std::uint32_t offset,
                                       std::uint16_t totalFrames,
                                       DataSource source = DataSource::Rom);

}  // namespace rom
