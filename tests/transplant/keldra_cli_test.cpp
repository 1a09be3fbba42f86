#include "transplant/keldra_cli.hpp"

#include "shell/path_text.hpp"
#include "tests/transplant/test_rom_files.hpp"

#include <gtest/gtest.h>

#include <sstream>

namespace {

using transplant_test::ScratchFolder;

struct CommandRun {
    int status;
    std::string out;
    std::string err;
};

class KeldraCliTest : public ::testing::Test {
protected:
    ScratchFolder folder;
    std::string rom = folder.write("rom.gba", transplant_test::sceneImage()).string();
    std::string table = folder.write("string.txt", transplant_test::sceneCharacterTable()).string();

    static CommandRun run(std::vector<std::string> arguments)
    {
        std::ostringstream out;
        std::ostringstream err;
        const int status = transplant::runKeldraCommand(arguments, out, err);
        return {status, out.str(), err.str()};
    }
};

TEST_F(KeldraCliTest, UnitsPrintsTheHundredFiftyListLines)
{
    const CommandRun result = run({"units", rom, "--table", table});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
    std::istringstream lines(result.out);
    std::vector<std::string> all;
    for (std::string line; std::getline(lines, line);)
        all.push_back(line);
    ASSERT_EQ(all.size(), 150u);
    EXPECT_EQ(all[0x2A], "02A: アイ");
}

TEST_F(KeldraCliTest, ShowPrintsBothPanelsSeparatedByAnEmptyLine)
{
    const CommandRun result = run({"show", rom, "0x2A", "--table", table});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out,
              "アイ\n[wIdUnit]=&H2A\n[bNumBGMap]=&H1\n[bNumCutinScroll]=&H0\n"
              "[bNumFixedWeapon]=&H2\n[bNumGraphicDifinition]=&H0\n[bNumMotionPart]=&H0\n"
              "[bNumPallet]=&H1\n[bNumShadowEtc]=&H0\n[bNumSprite]=&H1\n"
              "[bNumSystemAnime]=&H0\n[bNumUnitCutin]=&H0\n"
              "\n"
              "アイ\nHP: 12345\nEN: 150\n運動性: 110\n装甲: 1200\n固定武器\n"
              " 001: ウ\n 289: エ\n");
    EXPECT_EQ(run({"show", rom, "42", "--table", table}).out, result.out);
}

TEST_F(KeldraCliTest, StatusPrintsTheExtensionSummary)
{
    const CommandRun result = run({"status", rom, "--table", table});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out.substr(0, result.out.find('\n')), "拡張情報 読み込み済");
    EXPECT_EQ(std::count(result.out.begin(), result.out.end(), '\n'), 6);
}

TEST_F(KeldraCliTest, WrongUsageExitsTwoWithTheUsage)
{
    for (const auto& arguments : std::vector<std::vector<std::string>>{
             {"units"}, {"show", rom}, {"show", rom, "x2A"}, {"units", rom, "--bogus"},
             {"units", rom, "--table"}, {"status", rom, "extra"}}) {
        const CommandRun result = run(arguments);
        EXPECT_EQ(result.status, 2) << arguments.size();
        EXPECT_NE(result.err.find("usage: Keldra"), std::string::npos);
        EXPECT_EQ(result.out, "");
    }
}

TEST_F(KeldraCliTest, RefusalsExitOneWithTheWindowsMessageOnStderr)
{
    shell::Bytes other = transplant_test::sceneImage();
    other[0xAF] = 'X';
    const std::string otherRom = folder.write("other.gba", other).string();
    const CommandRun wrongGame = run({"units", otherRom, "--table", table});
    EXPECT_EQ(wrongGame.status, 1);
    EXPECT_EQ(wrongGame.err, "KX4X: Vexaのロムではありません\n");
    EXPECT_EQ(wrongGame.out, "");

    const CommandRun missing = run({"units", (folder.path() / "none.gba").string(), "--table", table});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "ファイルオープンに失敗: " + shell::pathText(folder.path() / "none.gba") + "\n");

    const CommandRun outOfRange = run({"show", rom, "150", "--table", table});
    EXPECT_EQ(outOfRange.status, 1);
    EXPECT_EQ(outOfRange.err, "ユニット番号は 0x000 から 0x095 までです\n");
    EXPECT_EQ(outOfRange.out, "");
}

TEST_F(KeldraCliTest, HelpDescribesEveryCommandAndTheOptionsOfOne)
{
    const CommandRun help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("  Keldra extract  writes each unit's file set"), std::string::npos) << help.out;
    const CommandRun extract = run({"extract", "--help"});
    EXPECT_EQ(extract.status, 0);
    EXPECT_TRUE(extract.out.starts_with("usage: Keldra extract ROM UNIT... [--dir DIR]")) << extract.out;
    EXPECT_NE(extract.out.find("  --bulk-off "), std::string::npos);
}

TEST_F(KeldraCliTest, AMissingTableIsReportedAndNamesDecodeToNothing)
{
    const CommandRun result = run({"units", rom, "--table", (folder.path() / "none.txt").string()});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "ファイルオープンに失敗: " + shell::pathText(folder.path() / "none.txt") + "\n");
    EXPECT_EQ(result.out.substr(0, 5), "000: ");
    EXPECT_EQ(result.out.substr(5, 1), "\n");
}

}  // namespace
