#include "editor/morvane_cli.hpp"

#include "editor/id_report.hpp"
#include "shell/command_line.hpp"
#include "shell/path_text.hpp"
#include "shell/text_encoding.hpp"
#include "tests/editor/editor_test_support.hpp"
#include "tests/support/character_table_file.hpp"
#include "tests/support/demo_scenario.hpp"
#include "tests/support/rom_layout.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace {

using namespace editor_test;

struct CommandRun {
    int status;
    std::string out;
    std::string err;
};

class MorvaneCliTest : public ::testing::Test {
protected:
    ScratchFolder scratch;
    std::string rom = scratch.write("scene.gba", sceneImage()).string();
    std::string demoA = scratch.write("a.gba", asImage(synthetic::makeDemoScenarioA().image)).string();
    std::string demoB = scratch.write("b.gba", asImage(synthetic::makeDemoScenarioB().image)).string();
    std::string table = scratch.write("string.txt", characterTableText()).string();
    std::string folders = (scratch.path() / "folders").string();

    static CommandRun run(std::vector<std::string> arguments)
    {
        std::ostringstream out;
        std::ostringstream err;
        const int status = editor::runMorvaneCommand(arguments, out, err);
        return {status, out.str(), err.str()};
    }
};

TEST_F(MorvaneCliTest, UnitsAndSummariesPrintWhatTheWindowShows)
{
    const CommandRun units = run({"units", rom, "--table", table});
    EXPECT_EQ(units.status, 0);
    EXPECT_EQ(units.err, "");
    std::istringstream lines(units.out);
    std::vector<std::string> all;
    for (std::string line; std::getline(lines, line);)
        all.push_back(line);
    ASSERT_EQ(all.size(), 150u);
    EXPECT_EQ(all[0], "00:ア");
    EXPECT_EQ(all[0x2A], "2A:アイ");

    const CommandRun summary = run({"summary", rom, "0x2A", "--table", table});
    EXPECT_EQ(summary.status, 0) << summary.err;
    EXPECT_EQ(summary.out,
              "アイ\nbNumUnit:1\nbNumIcon:1\nbNumFixedWeapon:2\nbNumBGMap:1\nbNumSprite:2\n"
              "bNumPallet:3\nbNumMotionPart:1\nbNumShadowEtc:1\nbNumCutinScroll:1\n");
    EXPECT_EQ(run({"summary", rom, "42", "--table", table}).out, summary.out);

    const CommandRun report = run({"report", rom, "42", "--table", table});
    EXPECT_EQ(report.status, 0);
    const std::string expected = shell::withLineFeeds(shell::sjisToUtf8(
        editor::BuildIdReport(readUnit(sceneImage(), kSceneUnit), characterTable())));
    EXPECT_EQ(report.out, expected);
}

TEST_F(MorvaneCliTest, SaveAndSummaryOfTheFolderAgree)
{
    const CommandRun save = run({"save", rom, "42", "--dir", folders, "--table", table});
    EXPECT_EQ(save.status, 0) << save.err;
    const std::filesystem::path folder = std::filesystem::path(folders) / shell::pathFromUtf8("アイ");
    EXPECT_EQ(save.out, shell::pathText(folder) + "\n");
    EXPECT_EQ(save.err, "フォルダ「アイ」にユニットデータを保存しました\n");
    EXPECT_TRUE(std::filesystem::exists(folder / shell::pathFromUtf8("ID一覧表.txt")));

    const CommandRun viaFolder = run({"summary", folder.string(), "--table", table});
    const CommandRun viaIndex = run({"summary", (folder / "unitall.dat").string(), "--table", table});
    const CommandRun fromRom = run({"summary", rom, "42", "--table", table});
    EXPECT_EQ(viaFolder.status, 0) << viaFolder.err;
    EXPECT_EQ(viaFolder.out, fromRom.out);
    EXPECT_EQ(viaIndex.out, fromRom.out);

    const std::string unitData = fileText(folder / "unitdt.dat");
    scratch.write("folders/アイ/unitdt.dat", "[dwMaxHP]=abc" + unitData.substr(unitData.find("\r\n")));
    const CommandRun mistaken = run({"summary", folder.string(), "--table", table});
    EXPECT_EQ(mistaken.status, 1);
    EXPECT_EQ(mistaken.out, "");
    EXPECT_EQ(mistaken.err, "エラー: unitdt.dat 1行目: [dwMaxHP]=abc は数値ではありません\n");

    scratch.write("folders/アイ/unitdt.dat", unitData);
    std::filesystem::remove(folder / "sprite1.dat");
    const CommandRun incomplete = run({"summary", folder.string(), "--table", table});
    EXPECT_EQ(incomplete.status, 1);
    EXPECT_EQ(incomplete.out, "");
    EXPECT_EQ(incomplete.err, "ファイルオープンに失敗: " + shell::pathText(folder / "sprite1.dat") + "\n");

    // A save that cannot make its folder says so once and prints no path.
    const std::string blocked = scratch.write("blocked", std::string("file")).string();
    const CommandRun failed = run({"save", rom, "42", "--dir", blocked, "--table", table});
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.out, "");
    EXPECT_EQ(failed.err,
              "ファイルオープンに失敗: " + shell::pathText(std::filesystem::path(blocked) / shell::pathFromUtf8("アイ")) + "\n");
}

TEST_F(MorvaneCliTest, PortWritesTheChangedImageOrNothing)
{
    const CommandRun save = run({"save", demoA, "2", "--dir", folders, "--table", table});
    ASSERT_EQ(save.status, 0);
    const std::string path = save.out.substr(0, save.out.size() - 1);
    const std::string out = (scratch.path() / "ported.gba").string();

    const CommandRun refused = run({"port", demoB, "0x2A", path, "-o", out, "--table", table});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.err.starts_with("エラー: IDが足りません\nbNumFixedWeapon: 必要 2, 空き 1\n"))
        << refused.err;
    EXPECT_FALSE(std::filesystem::exists(out));

    // -o may not replace an input other than ROM.
    for (const std::string& input : {path + "/unitall.dat", path + "/sprite3.dat", table}) {
        const CommandRun collision = run({"port", demoB, "0x10", path, "-o", input, "--table", table});
        EXPECT_EQ(collision.status, 2) << input;
        EXPECT_TRUE(collision.err.starts_with("Morvane: -o names the input ")) << collision.err;
    }
    EXPECT_TRUE(std::filesystem::exists(shell::pathFromUtf8(path) / "unitall.dat"));

    const CommandRun ported = run({"port", demoB, "0x10", path, "-o", out, "--table", table});
    EXPECT_EQ(ported.status, 0) << ported.err;
    EXPECT_EQ(ported.out, "");
    EXPECT_EQ(ported.err, "GBAに移植完了\n");
    EXPECT_GT(std::filesystem::file_size(out), std::filesystem::file_size(demoB));
    const CommandRun summary = run({"summary", out, "0x10", "--table", table});
    const CommandRun source = run({"summary", demoA, "2", "--table", table});
    EXPECT_EQ(summary.out, source.out);
    const CommandRun again = run({"port", out, "0x10", path, "-o", out, "--table", table});
    EXPECT_EQ(again.status, 0) << again.err;
}

TEST_F(MorvaneCliTest, SeveralUnitsSaveInOneRunEachIntoAFolderOfItsOwn)
{
    // Unit 0x2B has the name of 0x2A; unit 5 cannot be read (its BG sprite lies past the image).
    synthetic::RomBuilder builder = sceneBuilder();
    builder.setUnit(0x2B, synthetic::UnitSpec{.name = synthetic::encodeGameText("アイ")});
    builder.setUnit(5, synthetic::UnitSpec{.name = synthetic::encodeGameText("コ")});
    builder.setUnitAnimeHeader(5, synthetic::UnitAnimeSpec{.wIdUnit = 5, .wIdSpriteBG = 30});
    builder.putU32(synthetic::layout::recordOffset(synthetic::layout::Table::Sprite, 30),
                   synthetic::gbaPointer(static_cast<std::uint32_t>(builder.image().size()) + 0x100));
    const std::string twins = scratch.write("twins.gba", builder.take<shell::Bytes>()).string();
    const std::filesystem::path base(folders);

    const CommandRun two = run({"save", twins, "0x2B", "42", "--dir", folders, "--table", table});
    EXPECT_EQ(two.status, 0) << two.err;
    EXPECT_EQ(two.out, shell::pathText(base / shell::pathFromUtf8("アイ")) + "\n" +
                           shell::pathText(base / shell::pathFromUtf8("アイ_2A")) + "\n");
    EXPECT_EQ(two.err, "[1/2] 2B:アイ\nフォルダ「アイ」にユニットデータを保存しました\n"
                       "[2/2] 2A:アイ\nフォルダ「アイ_2A」にユニットデータを保存しました\n");
    EXPECT_EQ(run({"summary", (base / shell::pathFromUtf8("アイ_2A")).string(), "--table", table}).out,
              run({"summary", twins, "0x2A", "--table", table}).out);
    EXPECT_EQ(run({"summary", (base / shell::pathFromUtf8("アイ")).string(), "--table", table}).out,
              run({"summary", twins, "0x2B", "--table", table}).out);

    // The unit that fails is reported, the others are saved, and the run ends failed.
    const std::filesystem::path allBase = base / "all";
    const CommandRun all = run({"save", twins, "all", "--dir", allBase.string(), "--table", table});
    EXPECT_EQ(all.status, 1);
    EXPECT_EQ(std::ranges::count(all.out, '\n'), 149);
    EXPECT_NE(all.err.find("[6/150] 05:コ\nエラー: "), std::string::npos) << all.err;
    EXPECT_NE(all.err.find("[150/150] 95:"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(allBase / shell::pathFromUtf8("コ")));
    EXPECT_EQ(run({"summary", (allBase / shell::pathFromUtf8("アイ")).string(), "--table", table}).out,
              run({"summary", twins, "0x2A", "--table", table}).out);
    EXPECT_TRUE(std::filesystem::exists(allBase / shell::pathFromUtf8("アイ_2B") / "unitall.dat"));
}

TEST_F(MorvaneCliTest, WrongUsageExitsTwoAndBadInputOne)
{
    for (const auto& arguments : std::vector<std::vector<std::string>>{
             {"units"}, {"summary"}, {"report", rom}, {"save", rom, "x2A"}, {"units", rom, "--bogus"},
             {"units", rom, "--table"}, {"port", rom, "1", folders}, {"summary", rom, "1", "2"},
             {"save", rom, "1", "0x01"}, {"save", rom, "all", "1"}}) {
        const CommandRun result = run(arguments);
        EXPECT_EQ(result.status, 2) << arguments.size();
        EXPECT_NE(result.err.find("usage: Morvane"), std::string::npos);
        EXPECT_EQ(result.out, "");
    }
    EXPECT_NE(run({"report", rom, "2A"}).err.find("decimal (42) or hexadecimal with 0x (0x2A)"),
              std::string::npos);
    for (const auto& arguments : std::vector<std::vector<std::string>>{
             {"summary", rom, "150"}, {"save", rom, "1", "0x96", "--dir", folders}}) {
        const CommandRun outOfRange = run(arguments);
        EXPECT_EQ(outOfRange.status, 1);
        EXPECT_EQ(outOfRange.err, "ユニット番号は 0x00 から 0x95 までです\n");
    }
    EXPECT_FALSE(std::filesystem::exists(folders));
    const CommandRun missing = run({"units", (scratch.path() / "none.gba").string(), "--table", table});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "ファイルオープンに失敗: " + shell::pathText(scratch.path() / "none.gba") + "\nエラー: エラー\n");
    const CommandRun noTable = run({"summary", rom, "0", "--table", (scratch.path() / "no.txt").string()});
    EXPECT_EQ(noTable.status, 0);
    EXPECT_EQ(noTable.err, "ファイルオープンに失敗: " + shell::pathText(scratch.path() / "no.txt") + "\n");
    EXPECT_TRUE(noTable.out.starts_with("\nbNumUnit:1\n"));
}

TEST_F(MorvaneCliTest, HelpDescribesEveryCommand)
{
    const CommandRun help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Morvane save     saves each UNIT"), std::string::npos) << help.out;
    const CommandRun summary = run({"summary", "--help"});
    EXPECT_EQ(summary.status, 0);
    EXPECT_TRUE(summary.out.starts_with("usage: Morvane summary ROM UNIT\n       Morvane summary FOLDER\n\n"
                                        "prints the summary"))
        << summary.out;
}

}  // namespace
