#include "sprite/png_file.hpp"

#include "rom/lz77.hpp"
#include "tests/sprite/sprite_test_files.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

using sprite_test::ByteVector;
using sprite_test::PngPlan;

// A sheet of 24 rows drawn from known bytes, with palette colours as the game stores them.
struct KnownSheet {
    shell::Bytes bytes;
    sprite::Palette colours{};
    sprite::SheetCanvas canvas;

    KnownSheet()
    {
        bytes.resize(3 * sprite::kTileRowBytes);
        for (std::size_t p = 0; p < bytes.size(); ++p)
            bytes[p] = static_cast<std::uint8_t>(p * 7 + p / 300);
        for (int i = 0; i < sprite::kPaletteColours; ++i)
            colours[static_cast<std::size_t>(i)] = sprite::displayColour(static_cast<std::uint16_t>(0x1234 * (i + 1)));
        canvas = sprite::drawSheet(24, bytes, colours);
    }
};

ByteVector asVector(const shell::Bytes& bytes)
{
    return ByteVector(bytes.begin(), bytes.end());
}

TEST(PngFile, AnIndexedSheetReadsBackToTheSameSpriteAndPaletteBytes)
{
    const KnownSheet sheet;
    const std::optional<shell::Bytes> png = sprite::encodeSheetPng(sheet.canvas, {sprite::PngKind::Indexed, false});
    ASSERT_TRUE(png);
    const sprite::BitmapReading reading = sprite::readPngBitmap(*png);
    ASSERT_TRUE(reading.bitmap) << reading.refusal;
    EXPECT_EQ(sprite::bitmapSizeText(*reading.bitmap), "幅256x高さ24");
    const auto declared = static_cast<std::uint32_t>(sheet.bytes.size());
    EXPECT_EQ(sprite::spriteFileOf(*reading.bitmap), rom::lz77EncodeLiterals(sheet.bytes, declared));
    EXPECT_EQ(sprite::spriteFileOf(*reading.bitmap, sprite::SpriteEncoding::Compressed),
              rom::lz77Compress(sheet.bytes));
    EXPECT_EQ(sprite::paletteFileOf(*reading.bitmap), sprite::paletteFileBytes(sheet.colours));

    EXPECT_FALSE(sprite::encodeSheetPng(sprite::SheetCanvas{}, {sprite::PngKind::Indexed, false}));
}

TEST(PngFile, IndexZeroAndUnreachedPixelsAreTransparentOnlyWhenAsked)
{
    // The last tile row is not drawn.
    KnownSheet sheet;
    sheet.canvas = sprite::drawSheet(32, sheet.bytes, sheet.colours);
    const auto firstWhere = [&](auto test) {
        return static_cast<std::size_t>(std::ranges::find_if(sheet.canvas.indices, test) - sheet.canvas.indices.begin());
    };
    const std::size_t zero = firstWhere([](std::uint8_t index) { return index == 0; });
    const std::size_t drawn = firstWhere([](std::uint8_t index) { return index != 0; });
    const std::size_t unreached = sheet.canvas.indices.size() - 1;
    for (const sprite::PngKind kind : {sprite::PngKind::Colour, sprite::PngKind::Indexed}) {
        for (const bool transparent : {false, true}) {
            const std::optional<shell::Bytes> png = sprite::encodeSheetPng(sheet.canvas, {kind, transparent});
            ASSERT_TRUE(png);
            const ByteVector rgba = sprite_test::rgbaPixelsOf(asVector(*png));
            ASSERT_EQ(rgba.size(), sheet.canvas.indices.size() * 4);
            const int clear = transparent ? 0 : 0xFF;
            EXPECT_EQ(rgba[zero * 4 + 3], clear) << static_cast<int>(kind);
            EXPECT_EQ(rgba[unreached * 4 + 3], clear) << static_cast<int>(kind);
            EXPECT_EQ(rgba[drawn * 4 + 3], 0xFF) << static_cast<int>(kind);
            const sprite::Rgb colour = sheet.colours[sheet.canvas.indices[drawn]];
            EXPECT_EQ(ByteVector(rgba.begin() + static_cast<std::ptrdiff_t>(drawn * 4),
                                 rgba.begin() + static_cast<std::ptrdiff_t>(drawn * 4 + 3)),
                      (ByteVector{colour.red, colour.green, colour.blue}));
        }
    }
}

TEST(PngFile, EveryBitDepthAndInterlacingReadToTheSameIndices)
{
    struct Case {
        int bitDepth;
        int paletteSize;
        bool interlaced;
    };
    for (const Case c : {Case{1, 2, false}, Case{2, 4, false}, Case{4, 16, false}, Case{8, 256, false},
                         Case{4, 16, true}, Case{8, 3, false}}) {
        PngPlan plan;
        plan.bitDepth = c.bitDepth;
        plan.paletteSize = c.paletteSize;
        plan.interlaced = c.interlaced;
        const sprite::BitmapReading reading = sprite::readPngBitmap(sprite_test::pngFile(plan));
        ASSERT_TRUE(reading.bitmap) << c.bitDepth << ": " << reading.refusal;
        const sprite::Bitmap& bitmap = *reading.bitmap;
        ASSERT_EQ(bitmap.height(), plan.height);
        for (int y = 0; y < plan.height; ++y) {
            for (int x = 0; x < plan.width; ++x)
                ASSERT_EQ(bitmap.topDownPixels[static_cast<std::size_t>(y * 256 + x)],
                          sprite_test::plannedPngIndex(plan, x, y))
                    << c.bitDepth << " bits at " << x << "," << y;
        }
        // The table holds the file's palette; entries it lacks are black.
        const std::size_t last = static_cast<std::size_t>(c.paletteSize - 1);
        EXPECT_EQ(bitmap.colourTable[last], (sprite::Rgb{static_cast<std::uint8_t>(last),
                                                         static_cast<std::uint8_t>(2 * last),
                                                         static_cast<std::uint8_t>(3 * last)}));
        if (last < 255) {
            EXPECT_EQ(bitmap.colourTable[last + 1], sprite::Rgb{});
        }
    }
}

TEST(PngFile, RefusalsNameTheFirstProblem)
{
    const ByteVector good = sprite_test::pngFile({});
    const auto planned = [](std::function<void(PngPlan&)> change) {
        PngPlan plan;
        change(plan);
        return sprite_test::pngFile(plan);
    };
    const auto spoiled = [&good](std::function<void(ByteVector&)> spoil) {
        ByteVector file = good;
        spoil(file);
        return file;
    };
    struct Case {
        const char* what;
        ByteVector file;
        std::string_view message;
    };
    const std::vector<Case> cases = {
        {"colour", planned([](PngPlan& p) { p.palette = false; p.bitDepth = 8; }), sprite::kNotPalettePng},
        {"width", planned([](PngPlan& p) { p.width = 255; }), sprite::kWidthNot256},
        {"odd height", planned([](PngPlan& p) { p.height = 15; }), sprite::kHeightNotEven},
        {"truncated", ByteVector(good.begin(), good.end() - 20), sprite::kDamagedPng},
        {"no end chunk", ByteVector(good.begin(), good.end() - 12), sprite::kDamagedPng},
        {"header only", ByteVector(good.begin(), good.begin() + 33), sprite::kDamagedPng},
        {"header checksum", spoiled([](ByteVector& f) { f[29] ^= 1; }), sprite::kDamagedPng},
        {"data checksum", spoiled([](ByteVector& f) { f[f.size() - 13] ^= 1; }), sprite::kDamagedPng},
        {"signature only", ByteVector(good.begin(), good.begin() + 8), sprite::kDamagedPng},
    };
    for (const Case& c : cases) {
        const sprite::BitmapReading reading = sprite::readPngBitmap(c.file);
        EXPECT_FALSE(reading.bitmap) << c.what;
        EXPECT_EQ(reading.refusal, c.message) << c.what;
    }
}

}  // namespace
