#include "sprite/vistrel_session.hpp"

#include "rom/lz77.hpp"
#include "tests/doubles/scripted_shell.hpp"
#include "tests/sprite/sprite_test_files.hpp"

#include <gtest/gtest.h>

namespace {

using sprite::VistrelSession;
using sprite_test::ByteVector;
using testing_doubles::ScriptedShell;

// A sheet of `size` bytes whose byte p is p & 0xFF, as a literal stream.
ByteVector spriteStream(std::uint32_t size)
{
    shell::Bytes sheet(size);
    for (std::size_t p = 0; p < size; ++p)
        sheet[p] = static_cast<std::uint8_t>(p);
    const shell::Bytes stream = rom::lz77EncodeLiterals(sheet, size);
    return ByteVector(stream.begin(), stream.end());
}

// Sixteen colours: colour i is i in every channel's five bits.
ByteVector paletteBytes()
{
    ByteVector bytes;
    for (std::uint16_t i = 0; i < 16; ++i) {
        const std::uint16_t value = static_cast<std::uint16_t>(i | i << 5 | i << 10);
        bytes.push_back(static_cast<std::uint8_t>(value));
        bytes.push_back(static_cast<std::uint8_t>(value >> 8));
    }
    return bytes;
}

class VistrelSessionTest : public ::testing::Test {
protected:
    sprite_test::ScratchFolder folder;
    ScriptedShell shell;
    VistrelSession session{shell};
    std::filesystem::path sprite = folder.write("sprite.dat", spriteStream(0x2000));
    std::filesystem::path palette = folder.write("palette.dat", paletteBytes());

    // An image with the sheet at 0x100, the palette at 0x40, and at 0x2F00 a sheet that runs off
    // the image's end: 28 of its groups are inside.
    std::filesystem::path romImage()
    {
        ByteVector rom(0x3000, 0xEE);
        const ByteVector stream = spriteStream(0x800);
        std::copy(stream.begin(), stream.end(), rom.begin() + 0x100);
        std::copy_n(stream.begin(), 0x100, rom.begin() + 0x2F00);
        const ByteVector colours = paletteBytes();
        std::copy(colours.begin(), colours.end(), rom.begin() + 0x40);
        return folder.write("game.gba", rom);
    }
};

TEST_F(VistrelSessionTest, SpriteFileAloneShowsInRandomColoursThatChangeOnEveryShow)
{
    session.seedRandomColours(5);
    EXPECT_EQ(session.openSpriteFile(sprite), sprite::SpriteFileLoad::Shown);
    ASSERT_TRUE(session.canvas());
    EXPECT_EQ(session.canvas()->height, 64);
    EXPECT_EQ(session.canvas()->indices[1], 0x00);  // byte 0 holds pixels 0 and 1
    EXPECT_EQ(session.canvas()->indices[2], 0x01);  // byte 1: low nibble 1
    const sprite::Palette first = session.canvas()->colours;
    session.reloadFiles();
    EXPECT_NE(session.canvas()->colours, first);
    EXPECT_FALSE(session.paletteSet());
}

TEST_F(VistrelSessionTest, PaletteFileColoursTheSheetFromThenOn)
{
    session.openSpriteFile(sprite);
    session.openPaletteFile(palette);
    ASSERT_TRUE(session.canvas());
    EXPECT_EQ(session.canvas()->colours[3], (sprite::Rgb{24, 24, 24}));
    EXPECT_TRUE(shell.messages.empty());
}

TEST_F(VistrelSessionTest, RefusedOrUnreadableSpriteFilesLeaveTheCanvas)
{
    session.openSpriteFile(sprite);
    const std::vector<std::uint8_t> shown = session.canvas()->indices;
    ByteVector notStream = spriteStream(0x800);
    notStream[0] = 0x11;
    EXPECT_EQ(session.openSpriteFile(folder.write("other.dat", notStream)), sprite::SpriteFileLoad::NotSpriteData);
    EXPECT_EQ(session.openSpriteFile(folder.path("none.dat")), sprite::SpriteFileLoad::Unreadable);
    EXPECT_EQ(session.spritePath(), folder.path("none.dat"));
    EXPECT_EQ(session.canvas()->indices, shown);
    EXPECT_EQ(shell.texts(), std::vector<std::string>{"ファイルオープンに失敗"});
}

TEST_F(VistrelSessionTest, PaletteBeforeAnySpriteLoadsWithoutAFailure)
{
    session.openPaletteFile(palette);
    EXPECT_TRUE(session.paletteSet());
    EXPECT_FALSE(session.canvas());
    EXPECT_TRUE(shell.messages.empty());
}

TEST_F(VistrelSessionTest, AddressesOutsideTheImageShowNothingAndStreamsRunningOffItWhatItHolds)
{
    ASSERT_TRUE(session.openRomFile(romImage()));
    session.setSpriteAddress(0x100);
    ASSERT_TRUE(session.canvas());
    EXPECT_EQ(session.shortfall().missing, 0u);

    session.setSpriteAddress(0x2FFE);
    EXPECT_FALSE(session.canvas());
    session.setSpriteAddress(0x100);
    EXPECT_FALSE(session.setPaletteAddress(0x2FF0));
    ASSERT_TRUE(session.canvas());
    EXPECT_EQ(shell.texts(), (std::vector<std::string>{"スプライトのアドレスがROMの範囲外です",
                                                       "パレットのアドレスがROMの範囲外です"}));
    EXPECT_EQ(shell.messages.front().caption, "エラー");

    // A stream that runs off the end shows what the image holds of it, as a cut file does.
    shell.messages.clear();
    session.setSpriteAddress(0x2F00);
    ASSERT_TRUE(session.canvas());
    EXPECT_EQ(session.canvas()->height, 16);
    EXPECT_EQ(session.shortfall().declared, 0x800u);
    EXPECT_EQ(session.shortfall().missing, 0x800u - 28 * 8);
    EXPECT_EQ(session.canvas()->indices[sprite::sheetBytePosition(28 * 8 - 1).y * 256 + sprite::sheetBytePosition(28 * 8 - 1).x + 1], 0xD);
    EXPECT_TRUE(shell.messages.empty());
}

TEST_F(VistrelSessionTest, CancellingTheRomDialogLeavesNoImage)
{
    ASSERT_TRUE(session.openRomFile(romImage()));
    EXPECT_FALSE(session.replaceRom(std::nullopt));
    EXPECT_FALSE(session.romLoaded());
    EXPECT_TRUE(session.romPath().empty());
    session.setSpriteAddress(0x100);
    EXPECT_EQ(session.spriteAddress(), 0x100u);
    EXPECT_TRUE(shell.messages.empty());
}

}  // namespace
