#include "sprite/sheet.hpp"

#include <gtest/gtest.h>


namespace {

using sprite::canvasHeight;
using sprite::PixelPosition;
using sprite::Rgb;

TEST(SheetLayout, BytesAndPixelsSitWhereTheTilesPutThem)
{
    EXPECT_EQ(sprite::sheetBytePosition(0), (PixelPosition{0, 0}));
    EXPECT_EQ(sprite::sheetBytePosition(4), (PixelPosition{0, 1}));
    EXPECT_EQ(sprite::sheetBytePosition(32), (PixelPosition{8, 0}));
    EXPECT_EQ(sprite::sheetBytePosition(1024), (PixelPosition{0, 8}));
    EXPECT_EQ(sprite::sheetBytePosition(1023), (PixelPosition{254, 7}));

    // Both directions agree, and every pixel of a 256 x 256 sheet is met exactly once.
    std::vector<int> seen(256 * 256, 0);
    for (std::size_t p = 0; p < 32768; ++p) {
        const PixelPosition low = sprite::sheetPixelPosition(2 * p);
        const PixelPosition high = sprite::sheetPixelPosition(2 * p + 1);
        ASSERT_EQ(low, sprite::sheetBytePosition(p));
        ASSERT_EQ(high, (PixelPosition{low.x + 1, low.y}));
        ++seen[static_cast<std::size_t>(low.y * 256 + low.x)];
        ++seen[static_cast<std::size_t>(high.y * 256 + high.x)];
    }
    EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), 256 * 256);
}

TEST(Bgr555, ConvertsBothWaysDroppingTheLowBits)
{
    EXPECT_EQ(sprite::displayColour(0x7FFF), (Rgb{248, 248, 248}));
    EXPECT_EQ(sprite::displayColour(0x001F), (Rgb{248, 0, 0}));
    EXPECT_EQ(sprite::displayColour(0x8000), (Rgb{0, 0, 0}));
    EXPECT_EQ(sprite::displayColour(0x7C00), (Rgb{0, 0, 248}));
    EXPECT_EQ(sprite::bgr555Of({8, 16, 24}), 0x0C41);
    EXPECT_EQ(sprite::bgr555Of({255, 255, 255}), 0x7FFF);
    EXPECT_EQ(sprite::bgr555Of({7, 7, 7}), 0);
    for (std::uint32_t value = 0; value < 0x8000; ++value)
        ASSERT_EQ(sprite::bgr555Of(sprite::displayColour(static_cast<std::uint16_t>(value))), value);
}

TEST(Bgr555, PaletteBytesShortOfThirtyTwoLeaveBlack)
{
    const shell::Bytes bytes{0x1F, 0x00, 0xE0, 0x83, 0x55};
    const sprite::Palette colours = sprite::paletteFromBytes(bytes);
    EXPECT_EQ(colours[0], (Rgb{248, 0, 0}));
    EXPECT_EQ(colours[1], (Rgb{0, 248, 0}));  // bit 15 ignored
    for (std::size_t i = 2; i < colours.size(); ++i)
        EXPECT_EQ(colours[i], Rgb{});
    const shell::Bytes file = sprite::paletteFileBytes(colours);
    ASSERT_EQ(file.size(), 32u);
    EXPECT_EQ(file[3], 0x03);  // written back with bit 15 clear
}

TEST(CanvasHeight, TakesWholeTileRowsOfTheDoubledSize)
{
    EXPECT_EQ(canvasHeight(0x0800), 16);
    EXPECT_EQ(canvasHeight(0x2000), 64);
    EXPECT_EQ(canvasHeight(1000), 8);
    EXPECT_EQ(canvasHeight(1025), 16);
    EXPECT_EQ(canvasHeight(0x8000), 0);   // doubled modulo 65 536
    EXPECT_EQ(canvasHeight(0x8400), 8);
    EXPECT_EQ(canvasHeight(0x7FFF), 256);
    EXPECT_EQ(canvasHeight(0), 0);
    const shell::Bytes header{0x10, 0x00, 0x20, 0x00};
    EXPECT_EQ(sprite::canvasHeightOfStream(header, 0), 64);
    EXPECT_EQ(sprite::canvasHeightOfStream(header, 7), 0);
}

TEST(DrawSheet, DrawsOnlyTheBytesItIsGiven)
{
    shell::Bytes bytes(1000, 0x21);
    sprite::Palette colours{};
    colours[1] = {10, 20, 30};
    colours[2] = {40, 50, 60};
    const sprite::SheetCanvas canvas = sprite::drawSheet(canvasHeight(1000), bytes, colours);
    ASSERT_EQ(canvas.height, 8);
    const std::vector<std::uint32_t> pixels = sprite::canvasPixels(canvas);
    EXPECT_EQ(pixels[0], 0xFF0A141Eu);  // low nibble: the left pixel
    EXPECT_EQ(pixels[1], 0xFF28323Cu);
    // Byte 999 is the last: tile 31 ends at byte 1023, so its last rows stay black.
    const PixelPosition last = sprite::sheetBytePosition(999);
    EXPECT_EQ(canvas.indices[static_cast<std::size_t>(last.y * 256 + last.x)], 1);
    const PixelPosition undrawn = sprite::sheetBytePosition(1000);
    EXPECT_EQ(canvas.indices[static_cast<std::size_t>(undrawn.y * 256 + undrawn.x)], sprite::kUndrawnPixel);
    EXPECT_EQ(pixels[static_cast<std::size_t>(undrawn.y * 256 + undrawn.x)], 0xFF000000u);
}

}  // namespace
