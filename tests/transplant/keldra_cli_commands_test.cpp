// The transplant tool's changing commands run end to end on the demo images, as scripts run them:
// extract, extend, free, add and delete, with what they print, the files they write and the files
// they must not write when they refuse.

#include "shell/path_text.hpp"
#include "tests/support/character_table_file.hpp"
#include "tests/support/demo_scenario.hpp"
#include "tests/transplant/test_rom_files.hpp"
#include "transplant/keldra_cli.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

namespace {

namespace fs = std::filesystem;

struct CommandRun {
    int status;
    std::string out;
    std::string err;
};

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::string fileText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

constexpr std::uintmax_t kExtendedDemoSize = 0x1069200;  // a 16 MiB image after one extension
constexpr std::uintmax_t kExtensionGrowth = 0x69200;     // a further extension behind it
constexpr std::string_view kNoInfo = "拡張情報が読み込まれてません\n拡張情報を読み込んで下さい\n";

class KeldraCliCommandsTest : public ::testing::Test {
protected:
    // The demo images are built once; every test writes into its own scratch folder.
    static void SetUpTestSuite()
    {
        shared = std::make_unique<transplant_test::ScratchFolder>();
        scenarioA = std::make_unique<synthetic::DemoScenario>(synthetic::makeDemoScenarioA());
        const synthetic::Bytes b = synthetic::makeDemoScenarioB().image;
        shared->write("demo_a.gba", shell::Bytes(scenarioA->image.begin(), scenarioA->image.end()));
        shared->write("demo_b.gba", shell::Bytes(b.begin(), b.end()));
        shared->write("string.txt", synthetic::makeCharacterTableFile());
    }
    static void TearDownTestSuite()
    {
        shared.reset();
        scenarioA.reset();
    }

    static inline std::unique_ptr<transplant_test::ScratchFolder> shared;
    static inline std::unique_ptr<synthetic::DemoScenario> scenarioA;

    transplant_test::ScratchFolder folder;
    const std::string demoA = (shared->path() / "demo_a.gba").string();
    const std::string demoB = (shared->path() / "demo_b.gba").string();

    std::string at(const std::string& name) const { return (folder.path() / name).string(); }

    static CommandRun run(std::vector<std::string> arguments)
    {
        arguments.insert(arguments.end(), {"--table", (shared->path() / "string.txt").string()});
        std::ostringstream out;
        std::ostringstream err;
        const int status = transplant::runKeldraCommand(arguments, out, err);
        return {status, out.str(), err.str()};
    }

    // Extracts unit 0x2A "シュヴァルツ" of image A with `options` into DIR and returns its folder.
    fs::path extract(const std::string& dir, std::vector<std::string> options = {})
    {
        std::vector<std::string> arguments{"extract", demoA, "0x2A", "--dir", at(dir)};
        arguments.insert(arguments.end(), options.begin(), options.end());
        const CommandRun result = run(arguments);
        EXPECT_EQ(result.status, 0) << result.err;
        return fs::path(at(dir)) / u8"シュヴァルツ";
    }

    // Extends image B into "b_ext.gba" and saves its info as "b.ExtInfo".
    void extendB()
    {
        const CommandRun result =
            run({"extend", demoB, "-o", at("b_ext.gba"), "--save-ext-info", at("b.ExtInfo")});
        ASSERT_EQ(result.status, 0) << result.err;
    }
};

TEST_F(KeldraCliCommandsTest, ExtractPrintsTheFolderAndWritesEveryRecordFile)
{
    const CommandRun result = run({"extract", demoA, "42", "--dir", at("sets")});
    const fs::path set = fs::path(at("sets")) / u8"シュヴァルツ";
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, shell::pathText(set) + "\n");
    EXPECT_EQ(result.err, "ユニットデータ保存: シュヴァルツ保存完了\n");

    const synthetic::ExpectedResources expected = synthetic::expectedResources(*scenarioA, 0x2A);
    const std::pair<std::string, std::size_t> stems[] = {
        {"WeaponData", expected.weapons.size()},
        {"FixedWeaponAnime", expected.weapons.size()},
        {"UnitCutin", expected.unitCutins.size()},
        {"GraphicChangeDifinition", expected.graphicDifinitions.size()},
        {"SystemAnime", expected.systemAnimes.size()},
    };
    for (const auto& [stem, count] : stems) {
        ASSERT_GT(count, 0u) << stem;
        EXPECT_TRUE(fs::exists(set / (stem + std::to_string(count - 1) + ".dat"))) << stem;
        EXPECT_FALSE(fs::exists(set / (stem + std::to_string(count) + ".dat"))) << stem;
    }
    for (const char* name : {"UnitAllData.dat", "UnitData.dat", "UnitAnime.dat", "IconData.dat"})
        EXPECT_TRUE(fs::exists(set / name)) << name;
    EXPECT_EQ(fs::file_size(set / "UnitData.dat"), 104u);
}

TEST_F(KeldraCliCommandsTest, ExtractionThatCannotWriteEveryFileWritesNoneAndReportsNoSuccess)
{
    const fs::path blocked = fs::path(at("sets")) / u8"シュヴァルツ" / "UnitAllData.dat";
    fs::create_directories(blocked);
    const CommandRun result = run({"extract", demoA, "0x2A", "--dir", at("sets")});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "ファイルオープンに失敗: " + shell::pathText(blocked) + "\nエラー\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(blocked.parent_path()), fs::directory_iterator()),
              1);
}

TEST_F(KeldraCliCommandsTest, OffAndBulkOffChooseTheRecordsButNeverTheDataTheyReach)
{
    const fs::path full = extract("full");
    const fs::path lessWeapons = extract("weapons", {"--off", "FixedWeapon:0"});
    EXPECT_TRUE(fs::exists(lessWeapons / "WeaponData0.dat"));
    EXPECT_FALSE(fs::exists(lessWeapons / "WeaponData1.dat"));
    const std::string index = fileText(lessWeapons / "UnitAllData.dat");
    EXPECT_NE(index.find("[bNumFixedWeapon]=&H1\r\n"), std::string::npos);
    EXPECT_NE(index.find("[wIdFixedWeapon0]=&H150\r\n"), std::string::npos);

    // Unit 0x2A has three system animations and three unit cut-ins.
    const fs::path several = extract("several", {"--off", "SystemAnime:0,0x2", "--off", "UnitCutin:1"});
    EXPECT_FALSE(fs::exists(several / "SystemAnime1.dat"));
    EXPECT_FALSE(fs::exists(several / "UnitCutin2.dat"));

    const fs::path bulk = extract("bulk", {"--bulk-off"});
    for (const char* name : {"SystemAnime0.dat", "UnitCutin0.dat", "GraphicChangeDifinition0.dat"})
        EXPECT_FALSE(fs::exists(bulk / name)) << name;
    EXPECT_TRUE(fs::exists(bulk / "WeaponData1.dat"));
    EXPECT_TRUE(fs::exists(bulk / "Sprite0.dat"));

    // A sprite of the unit's own animation header is written whatever its flag says.
    const fs::path noSprite = extract("sprite", {"--off", "Sprite:0"});
    EXPECT_EQ(fileText(noSprite / "UnitAllData.dat"), fileText(full / "UnitAllData.dat"));
    EXPECT_EQ(fileText(noSprite / "Sprite0.dat"), fileText(full / "Sprite0.dat"));
}

// Units are extracted in the order given; a name an earlier unit took gets the unit's ID, so that
// no unit writes into another's folder. "all" skips the empty slots.
TEST_F(KeldraCliCommandsTest, SeveralUnitsGetAFolderEachAndAllSkipsEmptySlots)
{
    const fs::path sets(at("sets"));
    const CommandRun some = run({"extract", demoA, "3", "0x2A", "4", "--dir", sets.string()});
    ASSERT_EQ(some.status, 0) << some.err;
    EXPECT_EQ(linesOf(some.out),
              (std::vector<std::string>{shell::pathText(sets / u8"ダミー機"), shell::pathText(sets / u8"シュヴァルツ"),
                                        shell::pathText(sets / u8"ダミー機_004")}));
    EXPECT_TRUE(some.err.starts_with("[1/3] 003: ダミー機\nユニットデータ保存: ダミー機保存完了\n"))
        << some.err;
    EXPECT_TRUE(fs::exists(sets / u8"ダミー機_004" / "UnitAllData.dat"));

    const CommandRun all = run({"extract", demoA, "all", "--dir", at("all"), "--bulk-off"});
    ASSERT_EQ(all.status, 0) << all.err;
    EXPECT_EQ(linesOf(all.out).size(), scenarioA->units.size());
    EXPECT_EQ(std::distance(fs::directory_iterator(at("all")), fs::directory_iterator()),
              static_cast<std::ptrdiff_t>(scenarioA->units.size()));

    const CommandRun off = run({"extract", demoA, "all", "--dir", at("off"), "--off", "UnitCutin:1"});
    EXPECT_EQ(off.status, 2);
    EXPECT_FALSE(fs::exists(at("off")));
}

TEST_F(KeldraCliCommandsTest, ExtendWritesTheImageAndTheInfoAndNeedsTheInfoTheSecondTime)
{
    const CommandRun first =
        run({"extend", demoB, "-o", at("b_ext.gba"), "--save-ext-info", at("b.ExtInfo")});
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(first.out, "");
    EXPECT_NE(first.err.find("拡張完了: 拡張完了しました\n"), std::string::npos);
    EXPECT_EQ(fs::file_size(at("b_ext.gba")), kExtendedDemoSize);
    const std::string info = fileText(at("b.ExtInfo"));
    EXPECT_EQ(info.substr(0, info.find('\n') + 1), "[BGMap:dwAddress]=&H100A000\r\n");
    EXPECT_EQ(linesOf(info).size(), 30u);

    const CommandRun without = run({"extend", at("b_ext.gba"), "-o", at("b_twice.gba")});
    EXPECT_EQ(without.status, 1);
    EXPECT_EQ(without.err, kNoInfo);
    EXPECT_FALSE(fs::exists(at("b_twice.gba")));

    // Info of another image is refused and nothing is written.
    const CommandRun mismatch =
        run({"extend", demoA, "-o", at("a_ext.gba"), "--ext-info", at("b.ExtInfo")});
    EXPECT_EQ(mismatch.status, 1);
    EXPECT_NE(mismatch.err.find("拡張情報とROMが一致しません"), std::string::npos);
    EXPECT_FALSE(fs::exists(at("a_ext.gba")));

    const CommandRun second =
        run({"extend", at("b_ext.gba"), "-o", at("b_twice.gba"), "--ext-info", at("b.ExtInfo")});
    EXPECT_EQ(second.status, 0) << second.err;
    EXPECT_EQ(fs::file_size(at("b_twice.gba")), kExtendedDemoSize + kExtensionGrowth);
}

// Without --save-ext-info the new info lies beside OUT, where every later command finds it.
TEST_F(KeldraCliCommandsTest, TheInfoGoesBesideTheImageAndIsFoundThere)
{
    ASSERT_EQ(run({"extend", demoB, "-o", at("e.gba")}).status, 0);
    extendB();
    EXPECT_EQ(fileText(at("e.ExtInfo")), fileText(at("b.ExtInfo")));
    const CommandRun found = run({"free", at("e.gba")});
    EXPECT_EQ(found.status, 0) << found.err;
    EXPECT_TRUE(found.err.starts_with("Keldra: extension info: " + shell::pathText(at("e.ExtInfo")) + "\n")) << found.err;

    ASSERT_EQ(run({"extend", demoB, "-o", at("bare"), "--no-ext-info"}).status, 0);
    EXPECT_TRUE(fs::exists(at("bare")));
    EXPECT_FALSE(fs::exists(at("bare.ExtInfo")));

    // ROM's info describes ROM: a new image elsewhere must not take its place, while ROM itself,
    // extended in place, takes its new info along.
    const CommandRun beside = run({"extend", at("e.gba"), "-o", at("e.bin")});
    EXPECT_EQ(beside.status, 2);
    EXPECT_FALSE(fs::exists(at("e.bin")));
    const CommandRun inPlace = run({"extend", at("e.gba"), "-o", at("e.gba")});
    ASSERT_EQ(inPlace.status, 0) << inPlace.err;
    EXPECT_EQ(fs::file_size(at("e.gba")), kExtendedDemoSize + kExtensionGrowth);
    EXPECT_EQ(run({"status", at("e.gba")}).status, 0);
}

TEST_F(KeldraCliCommandsTest, FreePrintsTheFreeSlotsAnEmptyLineAndTheTwelveCounts)
{
    const CommandRun result = run({"free", demoA});
    ASSERT_EQ(result.status, 0) << result.err;
    const std::vector<std::string> lines = linesOf(result.out);
    const std::size_t freeUnits = 150 - scenarioA->units.size();
    ASSERT_EQ(lines.size(), freeUnits + 1 + 12);
    EXPECT_EQ(lines.front(), "003: ダミー機");  // units 0, 1 and 2 of image A are named
    EXPECT_EQ(lines[freeUnits], "");
    EXPECT_EQ(lines[freeUnits + 1], "ユニット\t" + std::to_string(freeUnits));
    EXPECT_EQ(lines[freeUnits + 2], "武器\t" + std::to_string(650 - scenarioA->weapons.size()));
    EXPECT_EQ(lines.back().substr(0, lines.back().find('\t')), "アイコン画像");

    extendB();
    EXPECT_EQ(run({"free", at("b_ext.gba")}).err, kNoInfo);
    EXPECT_EQ(run({"free", at("b_ext.gba"), "--ext-info", at("b.ExtInfo")}).status, 0);
}

TEST_F(KeldraCliCommandsTest, AddWritesTheImageAndReportsOnStderrOnly)
{
    const fs::path set = extract("sets");
    extendB();
    const CommandRun added = run({"add", at("b_ext.gba"), set.string(), "-o", at("b_add.gba"),
                                  "--ext-info", at("b.ExtInfo")});
    ASSERT_EQ(added.status, 0) << added.err;
    EXPECT_EQ(added.out, "");
    EXPECT_TRUE(added.err.ends_with("追加完了: 001にシュヴァルツを追加しました\n")) << added.err;
    EXPECT_GT(fs::file_size(at("b_add.gba")), kExtendedDemoSize);
    EXPECT_EQ(linesOf(run({"units", at("b_add.gba")}).out)[1], "001: シュヴァルツ");
    // The input image is left as it was.
    EXPECT_EQ(fs::file_size(at("b_ext.gba")), kExtendedDemoSize);

    // The index file names the set as well as its folder; a second add takes the next free slot.
    const CommandRun again = run({"add", at("b_add.gba"), (set / "UnitAllData.dat").string(), "-o",
                                  at("b_add.gba"), "--ext-info", at("b.ExtInfo")});
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_TRUE(again.err.ends_with("追加完了: 002にシュヴァルツを追加しました\n")) << again.err;
    EXPECT_EQ(linesOf(run({"units", at("b_add.gba")}).out)[2], "002: シュヴァルツ");

    const CommandRun chosen = run({"add", at("b_ext.gba"), set.string(), "-o", at("b_slot.gba"),
                                   "--slot", "0x50", "--ext-info", at("b.ExtInfo")});
    ASSERT_EQ(chosen.status, 0) << chosen.err;
    EXPECT_EQ(linesOf(run({"units", at("b_slot.gba")}).out)[0x50], "050: シュヴァルツ");
}

TEST_F(KeldraCliCommandsTest, AddRefusalsWriteNoImage)
{
    const fs::path set = extract("sets");
    extendB();
    auto add = [&](std::vector<std::string> extra) {
        std::vector<std::string> arguments{"add", at("b_ext.gba"), set.string(), "-o", at("out.gba")};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        const CommandRun result = run(arguments);
        EXPECT_FALSE(fs::exists(at("out.gba")));
        EXPECT_EQ(result.out, "");
        return result;
    };
    const std::string info = at("b.ExtInfo");

    const CommandRun occupied = add({"--slot", "0", "--ext-info", info});
    EXPECT_EQ(occupied.status, 1);
    EXPECT_NE(occupied.err.find("追加先のユニットは空きではありません: 000: アークライト"),
              std::string::npos)
        << occupied.err;
    const CommandRun outside = add({"--slot", "0x96", "--ext-info", info});
    EXPECT_EQ(outside.status, 1);
    EXPECT_EQ(outside.err, "ユニット番号は 0x000 から 0x095 までです\n");
    EXPECT_EQ(add({}).err, kNoInfo);

    // -o may name the image itself, but no other input: refused before anything is read.
    const std::string sprite = fileText(set / "Sprite0.dat");
    for (const std::string& input : {(set / "Sprite0.dat").string(), info}) {
        const CommandRun onto =
            run({"add", at("b_ext.gba"), set.string(), "-o", input, "--ext-info", info});
        EXPECT_EQ(onto.status, 2) << input;
        EXPECT_TRUE(onto.err.starts_with("Keldra: -o names the input ")) << onto.err;
    }
    EXPECT_EQ(fileText(set / "Sprite0.dat"), sprite);

    fs::remove(set / "Sprite3.dat");
    const CommandRun incomplete = add({"--ext-info", info});
    EXPECT_EQ(incomplete.status, 1);
    EXPECT_NE(incomplete.err.find("ファイルオープンに失敗"), std::string::npos);

    const CommandRun noSet = run({"add", at("b_ext.gba"), at("nowhere"), "-o", at("out.gba"),
                                  "--ext-info", info});
    EXPECT_EQ(noSet.status, 1);
    EXPECT_FALSE(fs::exists(at("out.gba")));
}

TEST_F(KeldraCliCommandsTest, DeletedUnitAndItsWeaponsShowUpAsFree)
{
    // The image is changed in place: OUT may be the input itself.
    const std::string image = at("a.gba");
    fs::copy_file(demoA, image);
    const CommandRun deleted = run({"delete", image, "0x2A", "-o", image});
    ASSERT_EQ(deleted.status, 0) << deleted.err;
    EXPECT_EQ(deleted.out, "");

    const std::vector<std::string> lines = linesOf(run({"free", image}).out);
    EXPECT_NE(std::ranges::find(lines, "02A: ダミー機"), lines.end());
    // Unit 0x2A listed the weapons 0x100 and 0x150.
    const std::size_t freeUnits = 150 - scenarioA->units.size() + 1;
    EXPECT_EQ(lines.at(freeUnits + 1), "ユニット\t" + std::to_string(freeUnits));
    EXPECT_EQ(lines.at(freeUnits + 2), "武器\t" + std::to_string(650 - scenarioA->weapons.size() + 2));
    EXPECT_EQ(linesOf(run({"units", image}).out)[0x2A], "02A: ダミー機");
}

TEST_F(KeldraCliCommandsTest, WrongUsageAndBadUnitsWriteNothing)
{
    for (const auto& arguments : std::vector<std::vector<std::string>>{
             {"extend", demoB}, {"add", demoB, at("sets")}, {"delete", demoA, "0x2A"},
             {"delete", demoA, "0x2A", "-o"}, {"free", demoA, "-o", at("x.gba")},
             {"extract", demoA, "0x2A", "--dir", at("sets"), "--off", "Bogus:0"},
             {"extract", demoA, "0x2A", "--dir", at("sets"), "--off", "FixedWeapon:2"},
             {"extract", demoA, "0x2A", "--dir", at("sets"), "--off", "FixedWeapon"},
             {"extract", demoA, "0x2A", "--dir", at("sets"), "--off", "Sprite:x"},
             {"extract", demoA, "3", "0x2A", "0x3", "--dir", at("sets")},
             // Outputs that would replace another output or an input.
             {"extend", demoB, "-o", at("x.gba"), "--save-ext-info", at("x.gba")},
             {"extend", demoB, "-o", at("x.gba"), "--save-ext-info", demoB},
             {"extend", demoB, "-o", at("x.gba"), "--ext-info", at("i.ExtInfo"), "--save-ext-info",
              at("i.ExtInfo")},
             {"delete", demoA, "0x2A", "-o", (shared->path() / "string.txt").string()}}) {
        const CommandRun result = run(arguments);
        EXPECT_EQ(result.status, 2) << arguments.back();
        EXPECT_NE(result.err.find("usage: Keldra"), std::string::npos);
        EXPECT_EQ(result.out, "");
    }
    EXPECT_EQ(run({"delete", demoA, "150", "-o", at("x.gba")}).status, 1);
    EXPECT_EQ(run({"extract", demoA, "150", "--dir", at("sets")}).status, 1);
    EXPECT_TRUE(fs::is_empty(folder.path()));
    EXPECT_EQ(fs::file_size(demoB), 0x1000000u);
}

}  // namespace
