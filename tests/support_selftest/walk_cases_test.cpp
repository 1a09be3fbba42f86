// The hand-worked walk cases against the reference walks: a disagreement means a slip in the
// hand arithmetic or in the reference.
#include "tests/support/walk_cases.hpp"

#include <gtest/gtest.h>

#include "tests/support_selftest/oracles.hpp"

namespace synthetic {
namespace {

TEST(WalkCases, Lz77LengthsMatchTheReferenceWalk) {
  for (const WalkCase& c : lz77WalkCases()) {
    EXPECT_EQ(oracle::lz77Length(c.bytes, 0), c.length) << c.name;
    EXPECT_LT(c.length, c.bytes.size()) << c.name << ": no bytes behind the stream";
  }
}

TEST(WalkCases, PartStreamLengthsMatchTheReferenceWalk) {
  for (const WalkCase& c : partStreamWalkCases()) {
    EXPECT_EQ(oracle::partStreamLength(c.bytes, 0, c.limit), c.length) << c.name;
  }
}

TEST(WalkCases, KeyBlockLengthsMatchTheReferenceWalk) {
  for (const WalkCase& c : keyBlockWalkCases()) {
    EXPECT_EQ(oracle::keyBlockLength(c.bytes, 0, c.limit), c.length) << c.name;
  }
}

}  // namespace
}  // namespace synthetic
