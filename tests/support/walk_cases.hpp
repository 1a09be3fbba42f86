// Hand-built byte sequences with the lengths that the three length walks must measure on them:
// the LZ77 length walk, the part stream length walk and the key block length walk. Each length
// was worked out by hand from the walk rules; the comments in walk_cases.cpp show the arithmetic.
// They give walker tests expected values that do not come from any walker.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/le_bytes.hpp"

namespace synthetic {

struct WalkCase {
  std::string name;
  // The measured data, then bytes that a correct walk may look at but must not count (and that
  // make a faulty walk measure something else).
  Bytes bytes;
  std::uint16_t limit = 0;  // L of the part stream walk, T of the key block walk; 0 for LZ77
  std::size_t length = 0;   // the length the walk must report
};

std::vector<WalkCase> lz77WalkCases();
std::vector<WalkCase> partStreamWalkCases();
std::vector<WalkCase> keyBlockWalkCases();

}  // namespace synthetic
