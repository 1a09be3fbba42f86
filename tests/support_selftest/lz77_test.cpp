#include <gtest/gtest.h>

#include "tests/support/demo_streams.hpp"
#include "tests/support/synthetic_lz77.hpp"
#include "tests/support_selftest/oracles.hpp"

namespace synthetic {
namespace {

void expectRoundTrip(const Bytes& raw) {
  const Bytes stream = compressLz77(raw);
  EXPECT_EQ(oracle::lz77Decode(stream).output, raw);
  EXPECT_EQ(oracle::lz77Length(stream, 0), stream.size()) << "the last group must be complete";
}

TEST(Lz77Compressor, RepetitiveDataUsesBackReferencesAndDecodesBack) {
  const Bytes sheet = makeSpriteSheet(32, 7);
  const Bytes stream = compressLz77(sheet);
  const oracle::Lz77Decoded decoded = oracle::lz77Decode(stream);
  EXPECT_EQ(decoded.output, sheet);
  EXPECT_GT(decoded.backReferences, 0u);
  EXPECT_LT(stream.size(), sheet.size() / 2);
  EXPECT_EQ(stream[0], 0x10);
  EXPECT_EQ(getU32(stream, 0) >> 8, sheet.size());
}

TEST(Lz77Compressor, EdgeShapesDecodeBack) {
  expectRoundTrip({});
  expectRoundTrip({0x42});
  expectRoundTrip(Bytes(100, 0xAA));  // overlapping copies at distance 1
  Bytes longRun(5000, 0);             // matches limited by the 4096-byte window
  for (std::size_t i = 0; i < longRun.size(); ++i) {
    longRun[i] = static_cast<std::uint8_t>(i % 4099 % 251);
  }
  expectRoundTrip(longRun);
  Prng rng(3);
  Bytes noise;
  for (int i = 0; i < 777; ++i) {
    noise.push_back(rng.byte());
  }
  expectRoundTrip(noise);
}

TEST(Lz77Compressor, EmptyInputStillHasOneGroup) {
  EXPECT_EQ(compressLz77({}).size(), 4u + 1u + 8u);
}

}  // namespace
}  // namespace synthetic
