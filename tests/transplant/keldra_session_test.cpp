#include "transplant/keldra_session.hpp"

#include "tests/doubles/scripted_shell.hpp"
#include "tests/transplant/test_rom_files.hpp"

#include <gtest/gtest.h>

#include <fstream>

namespace {

using testing_doubles::ScriptedShell;
using transplant::KeldraSession;
using transplant_test::ScratchFolder;

class KeldraSessionTest : public ::testing::Test {
protected:
    rom::CharacterTable table{transplant_test::sceneCharacterTable()};
    ScriptedShell shell;
    ScratchFolder folder;

    bool open(const shell::Bytes& image, KeldraSession& session)
    {
        return session.OpenRom(folder.write("rom.gba", image));
    }
};

TEST_F(KeldraSessionTest, OpeningListsEveryUnitWithItsDecodedName)
{
    KeldraSession session(shell, table);
    ASSERT_TRUE(open(transplant_test::sceneImage(), session));
    EXPECT_TRUE(shell.messages.empty());

    const std::vector<std::string> lines = session.unitListLines();
    ASSERT_EQ(lines.size(), 150u);
    EXPECT_EQ(lines[0], "000: ア");
    EXPECT_EQ(lines[0x2A], "02A: アイ");
    // An all-zero name: code 00 is not in the table, so each byte gives the first entry's
    // character, for the whole 32-byte field.
    std::string unnamed = "095: ";
    for (int i = 0; i < 32; ++i)
        unnamed += "ア";
    EXPECT_EQ(lines[149], unnamed);
    EXPECT_TRUE(session.extensionInfo().loaded);  // unextended: preset
}

TEST_F(KeldraSessionTest, SelectingAUnitFillsBothPanels)
{
    KeldraSession session(shell, table);
    ASSERT_TRUE(open(transplant_test::sceneImage(), session));
    const auto panels = session.selectUnit(0x2A);
    ASSERT_TRUE(panels);
    EXPECT_EQ(panels->resourceSummary,
              "アイ\r\n[wIdUnit]=&H2A\r\n[bNumBGMap]=&H1\r\n[bNumCutinScroll]=&H0\r\n"
              "[bNumFixedWeapon]=&H2\r\n[bNumGraphicDifinition]=&H0\r\n[bNumMotionPart]=&H0\r\n"
              "[bNumPallet]=&H1\r\n[bNumShadowEtc]=&H0\r\n[bNumSprite]=&H1\r\n"
              "[bNumSystemAnime]=&H0\r\n[bNumUnitCutin]=&H0\r\n");
    EXPECT_EQ(panels->unitInformation,
              "アイ\r\nHP: 12345\r\nEN: 150\r\n運動性: 110\r\n装甲: 1200\r\n固定武器\r\n"
              " 001: ウ\r\n 289: エ\r\n");
    EXPECT_TRUE(session.selectedUnit().valid);
    EXPECT_EQ(session.selectedUnit().wIdUnit, 0x2A);
}

TEST_F(KeldraSessionTest, AnotherGameIsRefusedWithItsCodeAsCaptionAndNothingStaysLoaded)
{
    KeldraSession session(shell, table);
    ASSERT_TRUE(open(transplant_test::sceneImage(), session));
    ASSERT_TRUE(session.selectUnit(0x2A));

    shell::Bytes other = transplant_test::sceneImage();
    other[0xAC] = 'A';
    EXPECT_FALSE(open(other, session));
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].text, "Vexaのロムではありません");
    EXPECT_EQ(shell.messages[0].caption, std::string("AX4M"));
    // Bytes outside printable ASCII are shown by their value, never sent raw to a title bar or a
    // terminal.
    other[0xAC] = 0x1B;
    other[0xAD] = 0x8A;
    EXPECT_FALSE(open(other, session));
    EXPECT_EQ(shell.messages.back().caption, std::string("\\x1B\\x8A4M"));
    EXPECT_FALSE(session.isLoaded());
    EXPECT_TRUE(session.unitListLines().empty());
    EXPECT_FALSE(session.selectedUnit().valid);
    EXPECT_FALSE(session.selectUnit(0x2A));
}

TEST_F(KeldraSessionTest, ShortAndTruncatedImagesAreRefusedWithAReason)
{
    KeldraSession session(shell, table);
    shell::Bytes tiny(0xAE, 0);
    tiny[0xAC] = 'K';
    EXPECT_FALSE(open(tiny, session));
    EXPECT_EQ(shell.messages.back().caption, std::string("K"));

    shell::Bytes truncated = transplant_test::sceneImage();
    truncated.resize(0x100000);  // holds the game code, not the tables
    EXPECT_FALSE(open(truncated, session));
    EXPECT_EQ(shell.messages.back().caption, std::string("エラー"));
    EXPECT_NE(shell.messages.back().text.find("ROMのテーブルを読めません"), std::string::npos);
    EXPECT_FALSE(session.isLoaded());
}

TEST_F(KeldraSessionTest, AFailedOpenKeepsTheCurrentImage)
{
    KeldraSession session(shell, table);
    ASSERT_TRUE(open(transplant_test::sceneImage(), session));
    EXPECT_FALSE(session.OpenRom(folder.path() / "missing.gba"));
    EXPECT_EQ(shell.texts(), std::vector<std::string>{"ファイルオープンに失敗"});
    EXPECT_TRUE(session.isLoaded());
    EXPECT_EQ(session.unitListLines().size(), 150u);
}

TEST_F(KeldraSessionTest, SavingWritesTheWholeImageAndSaysSo)
{
    KeldraSession session(shell, table);
    EXPECT_FALSE(session.SaveRom(folder.path() / "saved.gba"));  // nothing loaded: nothing written
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "saved.gba"));

    const shell::Bytes image = transplant_test::sceneImage();
    ASSERT_TRUE(open(image, session));
    ASSERT_TRUE(session.SaveRom(folder.path() / "saved.gba"));
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].text, "保存完了しました");
    EXPECT_EQ(shell.messages[0].caption, std::string("保存完了"));

    std::ifstream saved(folder.path() / "saved.gba", std::ios::binary);
    const shell::Bytes written((std::istreambuf_iterator<char>(saved)), {});
    EXPECT_EQ(written, image);
}

TEST_F(KeldraSessionTest, AUnitWhoseDataLeavesTheImageIsReportedAndLeavesNoSelection)
{
    KeldraSession session(shell, table);
    shell::Bytes broken = transplant_test::sceneImage();
    const std::uint32_t cutinScrollTable = 0xF32CF8;
    // Give unit 0x2A's first motion group an effect routine whose pointer leaves the image.
    const std::uint32_t header = 0x9D0B68 + 0x2A * 0x8C;
    broken[header + 0x18] = 7;
    broken[header + 0x19] = 0;
    broken[cutinScrollTable + 7 * 4 + 3] = 0x0A;  // 0x0A000000: far past 16 MiB
    ASSERT_TRUE(open(broken, session));
    EXPECT_FALSE(session.selectUnit(0x2A));
    EXPECT_FALSE(session.selectedUnit().valid);
    ASSERT_FALSE(shell.messages.empty());
    EXPECT_EQ(shell.messages.back().caption, std::string("エラー"));
    EXPECT_NE(shell.messages.back().text.find("CutinScroll 0x007"), std::string::npos)
        << shell.messages.back().text;
}

}  // namespace
