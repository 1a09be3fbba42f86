// The demo's generated streams over many seeds and limits: each must measure exactly its size,
// or data placed behind it would be taken for part of it.
#include <gtest/gtest.h>

#include <initializer_list>

#include "tests/support/demo_streams.hpp"
#include "tests/support_selftest/oracles.hpp"

namespace synthetic {
namespace {

Bytes withGuard(Bytes bytes) {
  bytes.insert(bytes.end(), {0x00, 0x00});  // what the builder leaves behind a stream
  return bytes;
}

TEST(Generators, PartStreamsMeasureTheirSizeAtAnyLimit) {
  for (const std::uint16_t limit : std::initializer_list<std::uint16_t>{2, 3, 7, 16, 120, 0x400}) {
    for (std::uint32_t seed = 0; seed < 40; ++seed) {
      const Bytes toLimit = makePartStream(limit, StreamEnd::Limit, seed);
      EXPECT_EQ(oracle::partStreamLength(withGuard(toLimit), 0, limit), toLimit.size())
          << limit << "/" << seed;
      const Bytes endMark = makePartStream(limit, StreamEnd::EndMark, seed);
      EXPECT_EQ(oracle::partStreamLength(withGuard(endMark), 0, limit), endMark.size())
          << limit << "/" << seed;
      EXPECT_EQ(endMark.back(), 0x00);
      EXPECT_EQ(endMark[endMark.size() - 2], 0xFF);
    }
  }
  EXPECT_THROW(makePartStream(1, StreamEnd::EndMark, 0), std::invalid_argument);
}

TEST(Generators, KeyBlocksMeasureTheirSizeWithEveryEnding) {
  for (const std::uint16_t frames : std::initializer_list<std::uint16_t>{1, 2, 16, 300, 0x7FE}) {
    for (KeyBlockEnd end : {KeyBlockEnd::FFFF, KeyBlockEnd::Zero, KeyBlockEnd::IndexAboveT}) {
      for (std::uint32_t seed = 0; seed < 40; ++seed) {
        const Bytes block = makeKeyBlock(frames, end, seed);
        EXPECT_EQ(oracle::keyBlockLength(withGuard(block), 0, frames), block.size())
            << frames << "/" << seed;
      }
    }
  }
  EXPECT_THROW(makeKeyBlock(0x7FF, KeyBlockEnd::IndexAboveT, 0), std::invalid_argument);
}

TEST(Generators, PalettesMarkTheirLastBank) {
  const Bytes palette = makePalette(3, 9);
  ASSERT_EQ(palette.size(), 3u * 32u);
  EXPECT_EQ(getU16(palette, 0) & 0x8000, 0);
  EXPECT_EQ(getU16(palette, 32) & 0x8000, 0);
  EXPECT_EQ(getU16(palette, 64) & 0x8000, 0x8000);
  for (std::size_t colour = 66; colour < palette.size(); colour += 2) {
    EXPECT_EQ(getU16(palette, colour) & 0x8000, 0);
  }
}

}  // namespace
}  // namespace synthetic
