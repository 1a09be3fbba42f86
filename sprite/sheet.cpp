#include "sprite/sheet.hpp"

#include <algorithm>

namespace sprite {
namespace {

constexpr std::uint32_t kOpaque = 0xFF000000;
constexpr std::uint32_t kColourRange = 0x1000000;
constexpr std::size_t kBytesPerTilePixelRow = 4;
constexpr std::size_t kPixelsPerTile = 64;

std::uint8_t channelOf(std::uint16_t bgr555, int shift)
{
    return static_cast<std::uint8_t>(((bgr555 >> shift) & kChannelMask) << kChannelScaleShift);
}

std::uint16_t fiveBits(std::uint8_t channel)
{
    return static_cast<std::uint16_t>(channel >> kChannelScaleShift);
}

}  // namespace

Rgb displayColour(std::uint16_t bgr555)
{
    return {channelOf(bgr555, 0), channelOf(bgr555, kGreenShift), channelOf(bgr555, kBlueShift)};
}

std::uint16_t bgr555Of(Rgb colour)
{
    return static_cast<std::uint16_t>(fiveBits(colour.red) | fiveBits(colour.green) << kGreenShift |
                                      fiveBits(colour.blue) << kBlueShift);
}

Palette paletteFromBytes(ByteSpan bytes)
{
    Palette colours{};
    for (std::size_t i = 0; i < colours.size() && 2 * i + 1 < bytes.size(); ++i)
        colours[i] = displayColour(static_cast<std::uint16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8));
    return colours;
}

Bytes paletteFileBytes(const Palette& colours)
{
    Bytes bytes;
    bytes.reserve(kPaletteBytes);
    for (const Rgb& colour : colours) {
        const std::uint16_t value = bgr555Of(colour);
        bytes.push_back(static_cast<std::uint8_t>(value));
        bytes.push_back(static_cast<std::uint8_t>(value >> 8));
    }
    return bytes;
}

Palette randomPalette(std::mt19937& generator)
{
    Palette colours{};
    for (Rgb& colour : colours) {
        const std::uint32_t value = generator() % kColourRange;
        colour = {static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 8),
                  static_cast<std::uint8_t>(value)};
    }
    return colours;
}

PixelPosition sheetBytePosition(std::size_t p)
{
    return {static_cast<int>((p % kBytesPerTilePixelRow) * 2 +
                             ((p % kTileRowBytes) / kTileBytes) * kTileSize),
            static_cast<int>((p % kTileBytes) / kBytesPerTilePixelRow + (p / kTileRowBytes) * kTileSize)};
}

PixelPosition sheetPixelPosition(std::size_t n)
{
    return {static_cast<int>(((n % kPixelsPerTileRow) / kPixelsPerTile) * kTileSize + n % kTileSize),
            static_cast<int>((n % kPixelsPerTile) / kTileSize + (n / kPixelsPerTileRow) * kTileSize)};
}

int canvasHeight(std::uint16_t headerSizeField)
{
    const std::uint32_t pixelCount = (headerSizeField * 2u) & 0xFFFFu;
    const std::uint32_t tileRows = pixelCount / kPixelsPerTileRow + (pixelCount % kPixelsPerTileRow != 0);
    return static_cast<int>(tileRows) * kTileSize;
}

int canvasHeightOfStream(ByteSpan buffer, std::size_t offset)
{
    const auto byteAt = [&](std::size_t index) -> std::uint16_t {
        return offset < buffer.size() && index < buffer.size() - offset ? buffer[offset + index] : 0;
    };
    return canvasHeight(static_cast<std::uint16_t>(byteAt(1) | byteAt(2) << 8));
}

SheetCanvas drawSheet(int height, ByteSpan sheetBytes, const Palette& colours)
{
    SheetCanvas canvas;
    canvas.height = std::max(height, 0);
    canvas.colours = colours;
    canvas.indices.assign(static_cast<std::size_t>(canvas.height) * kSheetWidth, kUndrawnPixel);
    for (std::size_t p = 0; p < sheetBytes.size(); ++p) {
        const PixelPosition at = sheetBytePosition(p);
        if (at.y >= canvas.height)
            continue;
        const std::size_t index = static_cast<std::size_t>(at.y) * kSheetWidth + static_cast<std::size_t>(at.x);
        canvas.indices[index] = sheetBytes[p] & kPixelMask;
        canvas.indices[index + 1] = static_cast<std::uint8_t>(sheetBytes[p] >> 4);
    }
    return canvas;
}

std::vector<std::uint32_t> canvasPixels(const SheetCanvas& canvas)
{
    std::vector<std::uint32_t> pixels(canvas.indices.size(), kOpaque);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        const std::uint8_t index = canvas.indices[i];
        if (index == kUndrawnPixel)
            continue;
        const Rgb& colour = canvas.colours[index];
        pixels[i] = kOpaque | static_cast<std::uint32_t>(colour.red) << 16 |
                    static_cast<std::uint32_t>(colour.green) << 8 | colour.blue;
    }
    return pixels;
}

Bytes packSheet(std::span<const std::uint8_t> topDownPixels, int height, std::size_t byteCount)
{
    Bytes sheet(byteCount, 0);
    const auto pixelAt = [&](std::size_t n) -> std::uint8_t {
        const PixelPosition at = sheetPixelPosition(n);
        if (at.y >= height)
            return 0;
        const std::size_t offset = static_cast<std::size_t>(at.y) * kSheetWidth + static_cast<std::size_t>(at.x);
        return offset < topDownPixels.size() ? topDownPixels[offset] & kPixelMask : 0;
    };
    for (std::size_t p = 0; p < byteCount; ++p)
        sheet[p] = static_cast<std::uint8_t>(pixelAt(2 * p) | pixelAt(2 * p + 1) << 4);
    return sheet;
}

}  // namespace sprite
