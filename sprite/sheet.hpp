#pragma once
// Sprite sheets and palettes: where each byte's two pixels sit on the 256-pixel-wide sheet, the
// BGR555 colours and their display form, the canvas a stream's header asks for, and drawing.

#include "shell/bytes.hpp"
#include "sprite/sprite_format.hpp"

#include <array>
#include <cstddef>
#include <cstdint>
#include <random>
#include <span>
#include <vector>

namespace sprite {

using shell::Bytes;
using shell::ByteSpan;

// A 24-bit display colour.
struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

using Palette = std::array<Rgb, kPaletteColours>;

// Each 5-bit channel times 8; bit 15 is ignored.
Rgb displayColour(std::uint16_t bgr555);
// Each 8-bit channel divided by 8; bit 15 clear.
std::uint16_t bgr555Of(Rgb colour);

// The colours of the first 32 bytes; colours the bytes do not reach are black.
Palette paletteFromBytes(ByteSpan bytes);
// The 32 bytes of a palette file.
Bytes paletteFileBytes(const Palette& colours);

// Sixteen new pseudo-random 24-bit colours, the look of a sheet that has no palette yet.
Palette randomPalette(std::mt19937& generator);

struct PixelPosition {
    int x = 0;
    int y = 0;
    friend bool operator==(const PixelPosition&, const PixelPosition&) = default;
};

// The pixel of byte `p`'s low nibble; the high nibble's pixel is the one right of it.
PixelPosition sheetBytePosition(std::size_t p);
// Pixel number `n` in sheet order (two per byte, the low nibble first).
PixelPosition sheetPixelPosition(std::size_t n);

// The canvas height for the 16-bit value at header bytes 1-2: that value doubled (modulo 65 536)
// is a pixel count, and the canvas takes whole tile rows, a partial last one at full height.
int canvasHeight(std::uint16_t headerSizeField);
// The same, read from the header that starts at `offset` (bytes missing past the end count zero).
int canvasHeightOfStream(ByteSpan buffer, std::size_t offset);

// Marks canvas pixels that no sheet byte reaches.
inline constexpr std::uint8_t kUndrawnPixel = 0xFF;

// A drawn sheet, 256 pixels wide: the palette index of every pixel (or kUndrawnPixel) and the
// colours it was drawn in.
struct SheetCanvas {
    int height = 0;
    std::vector<std::uint8_t> indices;
    Palette colours{};
};

// Draws the decoded bytes onto a canvas of `height` rows; bytes that fall below it are dropped.
SheetCanvas drawSheet(int height, ByteSpan sheetBytes, const Palette& colours);

// The canvas as 0xFFRRGGBB pixels, row by row; undrawn pixels are black.
std::vector<std::uint32_t> canvasPixels(const SheetCanvas& canvas);

// Packs a 256-pixel-wide, top-down image of one byte per pixel into `byteCount` sheet bytes, each
// pixel reduced to its low four bits. Pixels below the image's last row count as index 0.
Bytes packSheet(std::span<const std::uint8_t> topDownPixels, int height, std::size_t byteCount);

}  // namespace sprite
