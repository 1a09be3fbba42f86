#pragma once
// The compressor's input: a 256-pixel-wide, 256-colour, uncompressed Windows bitmap, checked by
// the compressor's nine tests (and the size tests that keep every read inside the file), and what
// it is turned into: a sprite data file, a palette file and a preview.

#include "shell/bytes.hpp"
#include "rom/lz77.hpp"
#include "sprite/sheet.hpp"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sprite {

// The refusals, in the order the tests run.
inline constexpr std::string_view kNotBitmap = "ビットマップではありません";
inline constexpr std::string_view kBadFileSize = "ファイルサイズが不正です";
inline constexpr std::string_view kNotWindowsFormat = "ビットマップの形式がWindowsフォーマットではありません";
inline constexpr std::string_view kPlanesNotOne = "プレーン数が１ではありません";
inline constexpr std::string_view kWidthNot256 = "画像の幅が256ではありません";
inline constexpr std::string_view kHeightNotEven = "画像の高さが２の倍数ではありません";
inline constexpr std::string_view kNot256Colours = "２５６色ではありません";
inline constexpr std::string_view kNotUncompressed = "無圧縮ではありません";
inline constexpr std::string_view kBadColourCount = "使用パレット数が不正です";
// Beyond the nine: bitmaps the packer cannot take whole.
inline constexpr std::string_view kTopDownBitmap = "トップダウン形式のビットマップには対応していません";
inline constexpr std::string_view kBadHeight = "画像の高さが不正です";

// The tallest bitmap whose sheet of whole tile rows fits the stream header's 24-bit size.
inline constexpr std::int32_t kTallestBitmap =
    static_cast<std::int32_t>(rom::kLz77LargestDeclaredSize / kTileRowBytes) * kTileSize;

struct BitmapFileHeader {
    std::uint16_t bfType = 0;
    std::uint32_t bfSize = 0;
    std::uint16_t bfReserved1 = 0;
    std::uint16_t bfReserved2 = 0;
    std::uint32_t bfOffBits = 0;
};

struct BitmapInfoHeader {
    std::uint32_t biSize = 0;
    std::int32_t biWidth = 0;
    std::int32_t biHeight = 0;
    std::uint16_t biPlanes = 0;
    std::uint16_t biBitCount = 0;
    std::uint32_t biCompression = 0;
    std::uint32_t biSizeImage = 0;
    std::int32_t biXPelsPerMeter = 0;
    std::int32_t biYPelsPerMeter = 0;
    std::uint32_t biClrUsed = 0;
    std::uint32_t biClrImportant = 0;
};

// The compressor's input. A bitmap file fills both headers as read; a PNG file fills only the
// info header's width and height, the fields the window and the packer use.
struct Bitmap {
    BitmapFileHeader fileHeader;
    BitmapInfoHeader infoHeader;
    // Entries the file's table does not hold are black.
    std::array<Rgb, kColourTableEntries> colourTable{};
    // One byte per pixel, 256 a row, top row first.
    std::vector<std::uint8_t> topDownPixels;

    int height() const { return infoHeader.biHeight; }
};

// The bitmap, or the message of the first test it fails (and no bitmap).
struct BitmapReading {
    std::optional<Bitmap> bitmap;
    std::string_view refusal;
};

// Reads and tests a bitmap file. Missing header bytes read as zero.
BitmapReading readBitmap(ByteSpan file);

// "幅256x高さ64".
std::string bitmapSizeText(const Bitmap& bitmap);

// How the sprite data file's stream is written: literal items only (the compressor's own form,
// about one ninth larger than the sheet), or as small as the format allows.
enum class SpriteEncoding { Literals, Compressed };

// The sprite data file: the sheet in tile order, as an LZ77 stream. It holds whole tile rows, so
// that a height that is not a multiple of 8 keeps its last rows; the rows below the bitmap are
// index 0.
Bytes spriteFileOf(const Bitmap& bitmap, SpriteEncoding encoding = SpriteEncoding::Literals);

// The pixels whose colour index does not fit the sheet's four bits, and those indexes in
// ascending order. The sprite file keeps only their low four bits.
struct WideIndexPixels {
    std::size_t count = 0;
    std::vector<std::uint8_t> indexes;
};
WideIndexPixels wideIndexPixels(const Bitmap& bitmap);

// The palette file: colour-table entries 0 to 15 as BGR555, 32 bytes.
Bytes paletteFileOf(const Bitmap& bitmap);

inline constexpr int kPreviewSize = 512;
inline constexpr int kSwatchSize = 16;
inline constexpr int kSwatchesPerRow = 8;
inline constexpr int kSwatchGap = 10;

// Draws the bitmap at full size from the top-left corner of a 512 x 512 preview of 0xFFRRGGBB
// pixels, and its first 16 colours as squares 10 pixels below it; what falls outside is dropped.
void drawPreview(const Bitmap& bitmap, std::span<std::uint32_t> preview);

}  // namespace sprite
