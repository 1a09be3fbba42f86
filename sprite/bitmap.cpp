#include "sprite/bitmap.hpp"

#include "shell/number_text.hpp"

#include <algorithm>
#include <cstddef>

namespace sprite {
namespace {

constexpr std::uint32_t kOpaque = 0xFF000000;

// Little-endian fields of the headers; bytes past the end of the file read as zero.
class HeaderReader {
public:
    explicit HeaderReader(ByteSpan file) : file_(file) {}

    std::uint32_t unsignedAt(std::size_t offset, std::size_t width) const
    {
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < width; ++i) {
            if (offset + i < file_.size())
                value |= static_cast<std::uint32_t>(file_[offset + i]) << (8 * i);
        }
        return value;
    }
    std::uint16_t u16(std::size_t offset) const { return static_cast<std::uint16_t>(unsignedAt(offset, 2)); }
    std::uint32_t u32(std::size_t offset) const { return unsignedAt(offset, 4); }
    std::int32_t s32(std::size_t offset) const { return static_cast<std::int32_t>(unsignedAt(offset, 4)); }

private:
    ByteSpan file_;
};

BitmapFileHeader readFileHeader(const HeaderReader& in)
{
    return {in.u16(0), in.u32(2), in.u16(6), in.u16(8), in.u32(10)};
}

BitmapInfoHeader readInfoHeader(const HeaderReader& in)
{
    constexpr std::size_t b = kBitmapFileHeaderSize;
    return {in.u32(b), in.s32(b + 4), in.s32(b + 8), in.u16(b + 12), in.u16(b + 14), in.u32(b + 16),
            in.u32(b + 20), in.s32(b + 24), in.s32(b + 28), in.u32(b + 32), in.u32(b + 36)};
}

// The colour table's length in bytes: biClrUsed entries, or 2 to the power biBitCount when it is 0.
std::size_t colourTableBytes(const BitmapInfoHeader& info)
{
    const std::size_t entries = info.biClrUsed != 0 ? info.biClrUsed : std::size_t{1} << kBitmapBitCount;
    return entries * kColourTableEntryBytes;
}

// The first failed test's message, the nine in their order and then the size tests that keep
// every later read inside the file.
std::string_view refusalOf(const BitmapFileHeader& head, const BitmapInfoHeader& info, std::size_t length)
{
    if (head.bfType != kBitmapType)
        return kNotBitmap;
    if (head.bfSize != length || length < kBitmapHeadersSize)
        return kBadFileSize;
    if (info.biSize != kBitmapInfoHeaderSize)
        return kNotWindowsFormat;
    if (info.biPlanes != kBitmapPlanes)
        return kPlanesNotOne;
    if (info.biWidth != kBitmapWidth)
        return kWidthNot256;
    if (info.biHeight % 2 != 0)
        return kHeightNotEven;
    if (info.biBitCount != kBitmapBitCount)
        return kNot256Colours;
    if (info.biCompression != kBitmapUncompressed)
        return kNotUncompressed;
    if (info.biClrUsed > static_cast<std::uint32_t>(kColourTableEntries))
        return kBadColourCount;
    // Rows stored top row first would need a reading of their own; refused rather than shown
    // upside down.
    if (info.biHeight < 0)
        return kTopDownBitmap;
    // A bitmap without rows would make a sprite file that claims no pixels.
    if (info.biHeight == 0 || info.biHeight > kTallestBitmap)
        return kBadHeight;
    if (length - kBitmapHeadersSize < colourTableBytes(info))
        return kBadFileSize;
    const std::size_t pixelBytes = static_cast<std::size_t>(info.biHeight) * kBitmapWidth;
    if (head.bfOffBits > length || length - head.bfOffBits != pixelBytes)
        return kBadFileSize;
    return {};
}

}  // namespace

BitmapReading readBitmap(ByteSpan file)
{
    const HeaderReader in(file);
    BitmapReading reading;
    Bitmap& bitmap = reading.bitmap.emplace();
    bitmap.fileHeader = readFileHeader(in);
    bitmap.infoHeader = readInfoHeader(in);
    reading.refusal = refusalOf(bitmap.fileHeader, bitmap.infoHeader, file.size());
    if (!reading.refusal.empty()) {
        reading.bitmap.reset();
        return reading;
    }

    const std::size_t entries = colourTableBytes(bitmap.infoHeader) / kColourTableEntryBytes;
    for (std::size_t i = 0; i < entries; ++i) {
        const std::size_t at = kBitmapHeadersSize + i * kColourTableEntryBytes;
        bitmap.colourTable[i] = {file[at + 2], file[at + 1], file[at]};
    }

    // Stored rows run bottom-up; the copy runs top-down.
    const std::size_t rows = static_cast<std::size_t>(bitmap.height());
    const std::size_t width = kBitmapWidth;
    const std::uint8_t* pixels = file.data() + bitmap.fileHeader.bfOffBits;
    bitmap.topDownPixels.resize(rows * width);
    for (std::size_t row = 0; row < rows; ++row)
        std::copy_n(pixels + row * width, width, bitmap.topDownPixels.begin() + static_cast<std::ptrdiff_t>((rows - 1 - row) * width));
    return reading;
}

std::string bitmapSizeText(const Bitmap& bitmap)
{
    return "幅" + shell::decimalText(bitmap.infoHeader.biWidth) + "x高さ" +
           shell::decimalText(bitmap.infoHeader.biHeight);
}

Bytes spriteFileOf(const Bitmap& bitmap, SpriteEncoding encoding)
{
    const std::size_t tileRows = (static_cast<std::size_t>(bitmap.height()) + kTileSize - 1) / kTileSize;
    const std::size_t sheetBytes = tileRows * kTileRowBytes;
    const Bytes sheet = packSheet(bitmap.topDownPixels, bitmap.height(), sheetBytes);
    if (encoding == SpriteEncoding::Compressed)
        return rom::lz77Compress(sheet, rom::Lz77Target::Vram);
    return rom::lz77EncodeLiterals(sheet, static_cast<std::uint32_t>(sheetBytes));
}

WideIndexPixels wideIndexPixels(const Bitmap& bitmap)
{
    std::array<std::size_t, kColourTableEntries> counts{};
    for (const std::uint8_t index : bitmap.topDownPixels)
        ++counts[index];
    WideIndexPixels wide;
    for (std::size_t index = kPixelMask + 1; index < counts.size(); ++index) {
        if (counts[index] == 0)
            continue;
        wide.count += counts[index];
        wide.indexes.push_back(static_cast<std::uint8_t>(index));
    }
    return wide;
}

Bytes paletteFileOf(const Bitmap& bitmap)
{
    Palette colours{};
    std::copy_n(bitmap.colourTable.begin(), colours.size(), colours.begin());
    return paletteFileBytes(colours);
}

void drawPreview(const Bitmap& bitmap, std::span<std::uint32_t> preview)
{
    const auto put = [&](int x, int y, const Rgb& colour) {
        if (x < 0 || y < 0 || x >= kPreviewSize || y >= kPreviewSize)
            return;
        preview[static_cast<std::size_t>(y) * kPreviewSize + static_cast<std::size_t>(x)] =
            kOpaque | static_cast<std::uint32_t>(colour.red) << 16 |
            static_cast<std::uint32_t>(colour.green) << 8 | colour.blue;
    };
    const int height = std::min(bitmap.height(), kPreviewSize);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < kBitmapWidth; ++x)
            put(x, y, bitmap.colourTable[bitmap.topDownPixels[static_cast<std::size_t>(y) * kBitmapWidth + static_cast<std::size_t>(x)]]);
    }
    for (int i = 0; i < kPaletteColours; ++i) {
        const int left = (i % kSwatchesPerRow) * kSwatchSize;
        const int top = bitmap.height() + kSwatchGap + (i / kSwatchesPerRow) * kSwatchSize;
        if (top >= kPreviewSize)
            break;
        for (int y = top; y < top + kSwatchSize; ++y) {
            for (int x = left; x < left + kSwatchSize; ++x)
                put(x, y, bitmap.colourTable[static_cast<std::size_t>(i)]);
        }
    }
}

}  // namespace sprite
