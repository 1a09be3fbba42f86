#pragma once
// Files for the sprite tools' tests: Windows bitmaps written field by field from the published
// layout and PNG files written with libpng directly (never through the loaders under test), and
// the shared scratch folder.

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

struct PngPlan {
    int width = 256;
    int height = 16;
    int bitDepth = 4;
    bool palette = true;  // palette mode with `paletteSize` colours (i, 2i, 3i); else 8-bit RGB
    int paletteSize = 16;
    bool interlaced = false;
};

// The pixel index `plan` puts at (x, y): (x + 3y) kept to the bit depth.
std::uint8_t plannedPngIndex(const PngPlan& plan, int x, int y);

// The PNG file of `plan`, written with libpng.
ByteVector pngFile(const PngPlan& plan);

// A PNG file decoded by libpng as 8-bit red, green, blue, alpha, row by row.
ByteVector rgbaPixelsOf(const ByteVector& png);

void putU16(ByteVector& bytes, std::size_t offset, std::uint16_t value);
void putU32(ByteVector& bytes, std::size_t offset, std::uint32_t value);

using testing_doubles::ScratchFolder;

}  // namespace sprite_test
