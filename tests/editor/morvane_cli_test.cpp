#include "editor/morvane_cli.hpp"

#include "editor/id_report.hpp"
#include "shell/command_line.hpp"
#include "shell/text_encoding.hpp"
#include "tests/editor/editor_test_support.hpp"
#include "tests/support/demo_scenario.hpp"

#include <gtest/gtest.h>

#include <sstream>

namespace {

using namespace editor_test;

struct CommandRun {
    int status;
    std::string out;
    std::string err;
};

std::filesystem::path utf8Path(const std::string& name)
{
    return std::filesystem::path(std::u8string(name.begin(), name.end()));
}

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
    const std::filesystem::path folder = std::filesystem::path(folders) / utf8Path("アイ");
    EXPECT_EQ(save.out, folder.string() + "\n");
    EXPECT_EQ(save.err, "フォルダ「アイ」にユニットデータを保存しました\n");
    EXPECT_TRUE(std::filesystem::exists(folder / utf8Path("ID一覧表.txt")));

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
    EXPECT_EQ(incomplete.err, "ファイルオープンに失敗: " + (folder / "sprite1.dat").string() + "\n");

    // A save that cannot make its folder says so once and prints no path.
    const std::string blocked = scratch.write("blocked", std::string("file")).string();
    const CommandRun failed = run({"save", rom, "42", "--dir", blocked, "--table", table});
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.out, "");
    EXPECT_EQ(failed.err, "ファイルオープンに失敗: " + (std::filesystem::path(blocked) / utf8Path("アイ")).string() + "\n");
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
    EXPECT_TRUE(std::filesystem::exists(path + "/unitall.dat"));

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

TEST_F(MorvaneCliTest, WrongUsageExitsTwoAndBadInputOne)
{
    for (const auto& arguments : std::vector<std::vector<std::string>>{
             {"units"}, {"summary"}, {"report", rom}, {"save", rom, "x2A"}, {"units", rom, "--bogus"},
             {"units", rom, "--table"}, {"port", rom, "1", folders}, {"summary", rom, "1", "2"}}) {
        const CommandRun result = run(arguments);
        EXPECT_EQ(result.status, 2) << arguments.size();
        EXPECT_NE(result.err.find("usage: Morvane"), std::string::npos);
        EXPECT_EQ(result.out, "");
    }
    EXPECT_FALSE(editor::isMorvaneCommand("show"));
    EXPECT_EQ(run({"summary", rom, "150", "--table", table}).status, 1);
    const CommandRun missing = run({"units", (scratch.path() / "none.gba").string(), "--table", table});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "ファイルオープンに失敗: " + (scratch.path() / "none.gba").string() + "\nエラー: エラー\n");
    const CommandRun noTable = run({"summary", rom, "0", "--table", (scratch.path() / "no.txt").string()});
    EXPECT_EQ(noTable.status, 0);
    EXPECT_EQ(noTable.err, "ファイルオープンに失敗: " + (scratch.path() / "no.txt").string() + "\n");
    EXPECT_TRUE(noTable.out.starts_with("\nbNumUnit:1\n"));
}

}  // namespace
