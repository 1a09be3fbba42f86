#pragma once
// Files for the sprite tools' tests: Windows bitmaps written field by field from the published
// layout (never through the loader under test), and the shared scratch folder.

#include "tests/doubles/scratch_folder.hpp"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace sprite_test {

using ByteVector = std::vector<std::uint8_t>;

struct BitmapPlan {
    std::int32_t width = 256;
    std::int32_t height = 64;
    std::uint16_t planes = 1;
    std::uint16_t bitCount = 8;
    std::uint32_t compression = 0;
    std::uint32_t infoSize = 40;
    std::uint32_t coloursUsed = 0;  // 0: a full table of 256
    // Colour i is (i, 2i, 3i) unless given here, as red, green, blue.
    std::vector<std::uint32_t> colours;
    // Pixel at (x, y) from the top is (x + 3y) & 0xFF unless given (top-down, width x |height|).
    ByteVector topDownPixels;
};

// The default plan with another size.
BitmapPlan sizedPlan(std::int32_t width, std::int32_t height);

// The bitmap file of `plan`, bottom-up, with bfSize equal to its length.
ByteVector bitmapFile(const BitmapPlan& plan);

// The pixel `plan` puts at (x, y).
std::uint8_t plannedPixel(const BitmapPlan& plan, int x, int y);

void putU16(ByteVector& bytes, std::size_t offset, std::uint16_t value);
void putU32(ByteVector& bytes, std::size_t offset, std::uint32_t value);

using testing_doubles::ScratchFolder;

}  // namespace sprite_test
