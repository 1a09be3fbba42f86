// A small LZ77 compressor in the GBA BIOS format (type 0x10) for building test data.
#pragma once

#include <cstdint>
#include <span>

#include "tests/support/le_bytes.hpp"

namespace synthetic {

// Compresses `raw` greedily with real back-references (lengths 3 to 18, distances 1 to 4096).
// The last flag group is completed with zero literals, so the LZ77 length walk of the stream
// measures exactly the returned size; an empty input still gets one group of eight literals.
Bytes compressLz77(std::span<const std::uint8_t> raw);

// Sheet-like bytes, the kind sprites are made of: runs of a few colours, stray pixels, and repeated
// tiles; the same bytes for the same seed.
Bytes sheetLikeBytes(std::size_t size, unsigned seed);

}  // namespace synthetic
