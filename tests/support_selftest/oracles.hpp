// Small reference implementations used to check the builder's output: the three length walks
// and an LZ77 decoder. Reads go through Bytes::at, so a walk that runs off its data fails loudly.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tests/support/le_bytes.hpp"

namespace synthetic::oracle {

std::size_t lz77Length(const Bytes& bytes, std::size_t at);
std::size_t partStreamLength(const Bytes& bytes, std::size_t at, std::uint16_t limit);
std::size_t keyBlockLength(const Bytes& bytes, std::size_t at, std::uint16_t totalFrames);

struct Lz77Decoded {
  Bytes output;
  std::size_t backReferences = 0;
};
Lz77Decoded lz77Decode(const Bytes& stream);

}  // namespace synthetic::oracle
