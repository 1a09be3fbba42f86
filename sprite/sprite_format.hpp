#pragma once
// The numbers of the sprite formats, each named once: the 4-bit tiled sprite sheet, the BGR555
// palette and the Windows bitmap that the compressor reads.

#include <cstddef>
#include <cstdint>

namespace sprite {

// Sprite sheet: 4-bit pixels in 8 x 8 tiles, 256 pixels (32 tiles) wide.
inline constexpr int kSheetWidth = 256;
inline constexpr int kTileSize = 8;
inline constexpr std::size_t kTileBytes = 32;
inline constexpr std::size_t kTileRowBytes = 1024;
inline constexpr int kPixelsPerTileRow = 2048;
inline constexpr std::uint8_t kPixelMask = 0x0F;

// Palette: 16 colours of 16 bits, BGR555.
inline constexpr int kPaletteColours = 16;
inline constexpr std::size_t kPaletteBytes = 32;
inline constexpr std::uint16_t kChannelMask = 0x1F;
inline constexpr int kChannelScaleShift = 3;  // a 5-bit channel times 8 is its 8-bit display value
inline constexpr int kGreenShift = 5;
inline constexpr int kBlueShift = 10;

// Windows bitmap: a 14-byte file header and a 40-byte info header, then the colour table of
// 4-byte entries (blue, green, red, reserved).
inline constexpr std::uint16_t kBitmapType = 0x4D42;  // "BM"
inline constexpr std::size_t kBitmapFileHeaderSize = 14;
inline constexpr std::uint32_t kBitmapInfoHeaderSize = 40;
inline constexpr std::size_t kBitmapHeadersSize = kBitmapFileHeaderSize + kBitmapInfoHeaderSize;
inline constexpr std::size_t kColourTableEntryBytes = 4;
inline constexpr int kColourTableEntries = 256;
inline constexpr int kBitmapWidth = 256;
inline constexpr std::uint16_t kBitmapPlanes = 1;
inline constexpr std::uint16_t kBitmapBitCount = 8;
inline constexpr std::uint32_t kBitmapUncompressed = 0;

}  // namespace sprite
