#include "sprite/bitmap.hpp"
#include "sprite/tessivo_session.hpp"

#include "shell/file_filter.hpp"
#include "tests/doubles/scripted_shell.hpp"
#include "tests/sprite/sprite_test_files.hpp"

#include <gtest/gtest.h>

#include <functional>

namespace {

using sprite_test::BitmapPlan;
using sprite_test::bitmapFile;
using sprite_test::ByteVector;
using sprite_test::putU16;
using sprite_test::putU32;
using testing_doubles::ScriptedShell;

std::optional<sprite::Bitmap> parse(const ByteVector& file)
{
    return sprite::readBitmap(file).bitmap;
}

std::string_view refusalOf(const ByteVector& file)
{
    const sprite::BitmapReading reading = sprite::readBitmap(file);
    EXPECT_EQ(reading.bitmap.has_value(), reading.refusal.empty());
    return reading.bitmap ? std::string_view("accepted") : reading.refusal;
}

ByteVector withBfSizeFixed(ByteVector file)
{
    putU32(file, 2, static_cast<std::uint32_t>(file.size()));
    return file;
}

TEST(BitmapTests, EachOfTheNineRefusesWithItsMessageInOrder)
{
    struct Case {
        const char* what;
        std::function<void(ByteVector&)> spoil;
        std::string_view message;
    };
    const std::vector<Case> cases = {
        {"type", [](ByteVector& f) { f[1] = 'N'; }, sprite::kNotBitmap},
        {"bfSize", [](ByteVector& f) { putU32(f, 2, static_cast<std::uint32_t>(f.size() + 1)); }, sprite::kBadFileSize},
        {"biSize", [](ByteVector& f) { putU32(f, 14, 108); }, sprite::kNotWindowsFormat},
        {"planes", [](ByteVector& f) { putU16(f, 26, 2); }, sprite::kPlanesNotOne},
        {"width", [](ByteVector& f) { putU32(f, 18, 255); }, sprite::kWidthNot256},
        {"height", [](ByteVector& f) { putU32(f, 22, 63); }, sprite::kHeightNotEven},
        {"bits", [](ByteVector& f) { putU16(f, 28, 4); }, sprite::kNot256Colours},
        {"compression", [](ByteVector& f) { putU32(f, 30, 1); }, sprite::kNotUncompressed},
        {"colours", [](ByteVector& f) { putU32(f, 46, 257); }, sprite::kBadColourCount},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        ByteVector file = bitmapFile({});
        cases[i].spoil(file);
        EXPECT_EQ(refusalOf(file), cases[i].message) << cases[i].what;
        // With every later test failing too, the earlier one still speaks.
        for (std::size_t later = i + 1; later < cases.size(); ++later) {
            if (cases[later].message != sprite::kBadFileSize)
                cases[later].spoil(file);
        }
        EXPECT_EQ(refusalOf(file), cases[i].message) << cases[i].what << " before the later ones";
    }
    EXPECT_EQ(refusalOf(bitmapFile({})), "accepted");
}

TEST(BitmapTests, FilesThatCannotHoldTheirPixelsAreRefusedBeforeAnyRead)
{
    const ByteVector good = bitmapFile({});
    // Shorter than the two headers, with bfSize telling the truth.
    EXPECT_EQ(refusalOf(withBfSizeFixed(ByteVector(good.begin(), good.begin() + 30))), sprite::kBadFileSize);
    EXPECT_EQ(refusalOf(ByteVector{'B'}), sprite::kNotBitmap);
    EXPECT_EQ(refusalOf(ByteVector{}), sprite::kNotBitmap);
    // Shorter than its colour table.
    EXPECT_EQ(refusalOf(withBfSizeFixed(ByteVector(good.begin(), good.begin() + 54 + 1000))), sprite::kBadFileSize);
    // Extra bytes after the pixels, and pixels missing.
    ByteVector longer = good;
    longer.push_back(0);
    EXPECT_EQ(refusalOf(withBfSizeFixed(longer)), sprite::kBadFileSize);
    EXPECT_EQ(refusalOf(withBfSizeFixed(ByteVector(good.begin(), good.end() - 256))), sprite::kBadFileSize);
    // Pixels said to start past the end of the file.
    ByteVector far = good;
    putU32(far, 10, 0xFFFFFF00);
    EXPECT_EQ(refusalOf(far), sprite::kBadFileSize);
    // A top-down bitmap and one without rows.
    EXPECT_EQ(refusalOf(bitmapFile(sprite_test::sizedPlan(256, -64))), sprite::kTopDownBitmap);
    EXPECT_EQ(refusalOf(bitmapFile(sprite_test::sizedPlan(256, 0))), sprite::kBadHeight);
}

TEST(BitmapTests, ColourTableAndPaletteFileTakeTheUsedEntriesAndLeaveTheRestBlack)
{
    BitmapPlan plan;
    plan.coloursUsed = 3;
    plan.colours = {0x102030, 0x405060, 0xFFFFFF};
    const auto bitmap = parse(bitmapFile(plan));
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->colourTable[0], (sprite::Rgb{0x10, 0x20, 0x30}));
    EXPECT_EQ(bitmap->colourTable[2], (sprite::Rgb{0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(bitmap->colourTable[3], sprite::Rgb{});
    EXPECT_EQ(bitmap->colourTable[255], sprite::Rgb{});
    // The palette file: the first sixteen entries as BGR555, the missing ones black.
    const shell::Bytes palette = sprite::paletteFileOf(*bitmap);
    ASSERT_EQ(palette.size(), 32u);
    EXPECT_EQ(palette[4] | palette[5] << 8, 0x7FFF);
    EXPECT_EQ(palette[6] | palette[7] << 8, 0);
    plan.coloursUsed = 0;
    plan.colours = {0x081018};  // (8, 16, 24)
    EXPECT_EQ(sprite::paletteFileOf(*parse(bitmapFile(plan)))[0], 0x41);
    EXPECT_EQ(sprite::paletteFileOf(*parse(bitmapFile(plan)))[1], 0x0C);
}

TEST(SpriteFile, SixtyFourRowsGiveTheLiteralStreamOfTheirSheet)
{
    const auto bitmap = parse(bitmapFile({}));
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(sprite::bitmapSizeText(*bitmap), "幅256x高さ64");
    const shell::Bytes file = sprite::spriteFileOf(*bitmap);
    ASSERT_EQ(file.size(), 9220u);
    EXPECT_EQ(ByteVector(file.begin(), file.begin() + 4), (ByteVector{0x10, 0x00, 0x20, 0x00}));
    // Group one: a zero flag, then bytes 0-7 of tile 0, the top two rows of pixels 0-7.
    EXPECT_EQ(file[4], 0x00);
    const BitmapPlan plan;
    const auto packed = [&](int x, int y) {
        return (sprite_test::plannedPixel(plan, x, y) & 0x0F) | (sprite_test::plannedPixel(plan, x + 1, y) & 0x0F) << 4;
    };
    EXPECT_EQ(file[5], packed(0, 0));
    EXPECT_EQ(file[8], packed(6, 0));
    EXPECT_EQ(file[9], packed(0, 1));
    EXPECT_EQ(file[13], 0x00);
}

TEST(SpriteFile, RoundTripsThroughTheDecoderAndKeepsOnlyTheLowNibble)
{
    // 36 rows end inside a tile row: the file holds it whole, rows 36 to 39 as index 0.
    for (const int height : {40, 36}) {
        BitmapPlan plan;
        plan.height = height;
        plan.topDownPixels.resize(256 * static_cast<std::size_t>(height));
        for (std::size_t i = 0; i < plan.topDownPixels.size(); ++i)
            plan.topDownPixels[i] = static_cast<std::uint8_t>(i * 37 + i / 256);
        plan.topDownPixels[0] = 0x1F;
        const auto bitmap = parse(bitmapFile(plan));
        ASSERT_TRUE(bitmap);
        for (const sprite::SpriteEncoding encoding : {sprite::SpriteEncoding::Literals, sprite::SpriteEncoding::Compressed}) {
            const shell::Bytes file = sprite::spriteFileOf(*bitmap, encoding);
            const rom::Lz77Decoding decoded = rom::lz77Decode(file, 0);
            EXPECT_TRUE(decoded.complete);
            const sprite::SheetCanvas canvas =
                sprite::drawSheet(sprite::canvasHeightOfStream(file, 0), decoded.bytes, sprite::Palette{});
            ASSERT_EQ(canvas.height, 40);  // whole tile rows
            EXPECT_EQ(canvas.indices[0], 0x0F);
            for (std::size_t i = 0; i < canvas.indices.size(); ++i) {
                const int expected = i < plan.topDownPixels.size() ? plan.topDownPixels[i] & 0x0F : 0;
                ASSERT_EQ(canvas.indices[i], expected) << height << " rows, pixel " << i;
            }
        }
    }
}

TEST(SpriteFile, TwoRowsGiveOneWholeTileRowWithNothingReadBelowThem)
{
    BitmapPlan plan;
    plan.height = 2;
    plan.topDownPixels.assign(512, 0x0B);
    const auto bitmap = parse(bitmapFile(plan));
    ASSERT_TRUE(bitmap);
    const shell::Bytes file = sprite::spriteFileOf(*bitmap);
    ASSERT_EQ(file.size(), 4u + 9 * 128);
    EXPECT_EQ(ByteVector(file.begin(), file.begin() + 4), (ByteVector{0x10, 0x00, 0x04, 0x00}));
    // Tile rows 0-1 come from the bitmap, rows 2-7 of each tile lie below it and are index 0.
    const rom::Lz77Decoding decoded = rom::lz77Decode(file, 0);
    ASSERT_EQ(decoded.bytes.size(), 1024u);
    for (std::size_t p = 0; p < decoded.bytes.size(); ++p)
        ASSERT_EQ(decoded.bytes[p], p % 32 < 8 ? 0xBB : 0x00) << p;
}

TEST(Preview, DrawsTheBitmapTopDownAndSixteenSwatchesBelowIt)
{
    BitmapPlan plan;
    plan.height = 4;
    plan.topDownPixels.assign(1024, 0);
    plan.topDownPixels[3 * 256 + 5] = 9;
    plan.colours.assign(16, 0);
    plan.colours[9] = 0x123456;
    plan.colours[15] = 0xABCDEF;
    const auto bitmap = parse(bitmapFile(plan));
    ASSERT_TRUE(bitmap);
    std::vector<std::uint32_t> preview(512 * 512, 0xFFC0C0C0);
    sprite::drawPreview(*bitmap, preview);
    EXPECT_EQ(preview[3 * 512 + 5], 0xFF123456u);
    EXPECT_EQ(preview[3 * 512 + 6], 0xFF000000u);
    EXPECT_EQ(preview[4 * 512], 0xFFC0C0C0u);
    // Swatch 15: second row, last column: x 112-127, y 4 + 10 + 16.
    EXPECT_EQ(preview[30 * 512 + 112], 0xFFABCDEFu);
    EXPECT_EQ(preview[45 * 512 + 127], 0xFFABCDEFu);
    EXPECT_EQ(preview[46 * 512 + 127], 0xFFC0C0C0u);
    EXPECT_EQ(preview[14 * 512 + 128], 0xFFC0C0C0u);
}

class TessivoSessionTest : public ::testing::Test {
protected:
    sprite_test::ScratchFolder folder;
    ScriptedShell shell;
    sprite::TessivoSession session{shell};

    bool load(const std::string& name, const ByteVector& bytes)
    {
        return session.loadBitmap(folder.write(name, bytes));
    }
};

TEST_F(TessivoSessionTest, ARefusedLoadKeepsThePreviousBitmapWhole)
{
    ASSERT_TRUE(load("a.bmp", bitmapFile({})));
    ByteVector other = bitmapFile(sprite_test::sizedPlan(256, 8));
    putU32(other, 2, static_cast<std::uint32_t>(other.size() - 1));
    EXPECT_FALSE(load("b.bmp", other));
    ASSERT_EQ(shell.texts(), (std::vector<std::string>{std::string(sprite::kBadFileSize)}));
    EXPECT_FALSE(shell.messages.back().caption.has_value());
    ASSERT_TRUE(session.bitmap());
    EXPECT_EQ(session.bitmap()->height(), 64);
    EXPECT_EQ(session.bitmapPath().filename(), "a.bmp");

    EXPECT_TRUE(session.makeSpriteFile(folder.path("s.dat")));
    EXPECT_EQ(folder.read("s.dat").size(), 9220u);
    EXPECT_EQ(sprite::spriteSaveFilter(),
              shell::makeFilter({{"スプライトデータ(*.dat)", "*.dat"}, {"すべてのファイル(*.*)", "*.*"}}));
}

TEST_F(TessivoSessionTest, ReportsEverySaveAndEveryCancel)
{
    ASSERT_TRUE(load("a.bmp", bitmapFile({})));
    EXPECT_TRUE(session.makePaletteFile(folder.path("p.dat")));
    EXPECT_FALSE(session.makeSpriteFile(std::nullopt));
    EXPECT_FALSE(session.makeSpriteFile(folder.path("missing/folder/s.dat")));

    // A failed write is no cancel: the file failure alone says it.
    ASSERT_EQ(shell.messages.size(), 3u);
    EXPECT_EQ(shell.messages[0].text, "ファイルの保存に成功しました");
    EXPECT_EQ(shell.messages[0].caption, "パレットの作成");
    EXPECT_EQ(shell.messages[1].text, "キャンセルされました");
    EXPECT_EQ(shell.messages[1].caption, "スプライトの作成");
    EXPECT_EQ(shell.messages[2].text, "ファイルオープンに失敗");
    EXPECT_EQ(shell.failedFiles, std::vector<std::filesystem::path>{folder.path("missing/folder/s.dat")});
    EXPECT_EQ(folder.read("p.dat").size(), 32u);
}

}  // namespace
