#include "editor/unit_folder.hpp"

#include "editor/routine_serializer.hpp"
#include "editor/unit_all_text.hpp"
#include "shell/path_text.hpp"
#include "tests/doubles/scripted_shell.hpp"
#include "tests/editor/editor_test_support.hpp"
#include "tests/support/demo_scenario.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace {

using namespace editor;
using namespace editor_test;
using testing_doubles::ScriptedShell;

template <class Routine>
Bytes serialized(Routine routine)
{
    return SerializeRoutine(routine, 0).block;
}

class UnitFolderTest : public ::testing::Test {
protected:
    ScratchFolder scratch;
    ScriptedShell shell;
    rom::CharacterTable table = characterTable();

    std::filesystem::path save(UnitDataSet& set)
    {
        const std::optional<SavedUnitFolder> saved = SaveUnitFolder(shell, set, table, scratch.path());
        EXPECT_TRUE(saved);
        return saved ? saved->folder : std::filesystem::path();
    }
};

TEST_F(UnitFolderTest, SavedFolderHoldsEveryFileAndLoadsBackToTheSameUnit)
{
    const synthetic::DemoScenario demo = synthetic::makeDemoScenarioA();
    const shell::Bytes image = asImage(demo.image);
    for (const synthetic::DemoUnit& unit : demo.units) {
        UnitDataSet romSide = readUnit(image, unit.id);
        const UnitDataSet asRead = romSide;
        shell.messages.clear();
        const std::optional<SavedUnitFolder> saved = SaveUnitFolder(shell, romSide, table, scratch.path());
        ASSERT_TRUE(saved);
        EXPECT_EQ(saved->folder, scratch.path() / shell::pathFromUtf8(unit.name));
        EXPECT_TRUE(shell.messages.empty());
        EXPECT_EQ(savedFolderMessage(*saved), "フォルダ「" + unit.name + "」にユニットデータを保存しました");
        EXPECT_EQ(fileText(saved->folder / shell::pathFromUtf8("ID一覧表.txt")), saved->report);

        UnitDataSet fileSide;
        ASSERT_TRUE(LoadUnitFolder(shell, saved->folder / "unitall.dat", fileSide)) << unit.name;
        EXPECT_TRUE(shell.messages.empty());

        // Records, IDs and data come back as read; the routine slots serialize to the saved files.
        EXPECT_EQ(rom::serializeRecord(fileSide.anime), rom::serializeRecord(asRead.anime));
        EXPECT_EQ(fileSide.unit.wWeapon, asRead.unit.wWeapon);
        EXPECT_EQ(fileSide.wIdSprite, asRead.wIdSprite);
        EXPECT_EQ(fileSide.wIdPallet, asRead.wIdPallet);
        EXPECT_EQ(fileSide.wIdIcon, asRead.wIdIcon);
        EXPECT_EQ(fileSide.icon, asRead.icon);
        EXPECT_EQ(fileSide.wIdBGMap, asRead.wIdBGMap);
        EXPECT_EQ(fileSide.bgMap.data, asRead.bgMap.data);
        EXPECT_EQ(rom::serializeRecord(fileSide.bgMap.record), rom::serializeRecord(asRead.bgMap.record));
        for (std::size_t i = 0; i < asRead.bNumFixedWeapon; ++i) {
            EXPECT_EQ(rom::serializeRecord(fileSide.weapons[i]), rom::serializeRecord(asRead.weapons[i]));
            EXPECT_EQ(rom::serializeRecord(fileSide.weaponAnimes[i]),
                      rom::serializeRecord(asRead.weaponAnimes[i]));
        }
        for (std::size_t i = 0; i < asRead.bNumSprite; ++i)
            EXPECT_EQ(fileSide.sprites[i].data, asRead.sprites[i].data);
        for (std::size_t i = 0; i < asRead.bNumPallet; ++i) {
            EXPECT_EQ(fileSide.pallets[i].bNumPalette, asRead.pallets[i].bNumPalette);
            EXPECT_EQ(fileSide.pallets[i].colours, asRead.pallets[i].colours);
        }
        for (std::size_t i = 0; i < asRead.bNumMotionPart; ++i) {
            const Bytes file = fileBytes(saved->folder / folder_files::numberedFile("motion", i));
            EXPECT_EQ(serialized(fileSide.motionParts[i]), file);
            EXPECT_EQ(serialized(asRead.motionParts[i]), file);
            EXPECT_EQ(fileSide.dwAdrMotionPart[i], romSide.dwAdrMotionPart[i]);
        }
        for (std::size_t i = 0; i < asRead.bNumShadowEtc; ++i)
            EXPECT_EQ(serialized(fileSide.shadowEtcs[i]),
                      fileBytes(saved->folder / folder_files::numberedFile("shadow", i)));
        for (std::size_t i = 0; i < asRead.bNumCutinScroll; ++i)
            EXPECT_EQ(serialized(fileSide.cutinScrolls[i]),
                      fileBytes(saved->folder / folder_files::numberedFile("cutin", i)));

        // Saving the loaded side again writes the same bytes.
        if (&unit != &demo.units.front())
            continue;
        UnitDataSet again = fileSide;
        ScratchFolder second;
        const std::optional<SavedUnitFolder> resaved = SaveUnitFolder(shell, again, table, second.path());
        ASSERT_TRUE(resaved);
        for (const auto& entry : std::filesystem::directory_iterator(saved->folder))
            EXPECT_EQ(fileBytes(entry.path()), fileBytes(resaved->folder / entry.path().filename()))
                << entry.path().filename();
    }
}

TEST_F(UnitFolderTest, FilesOfTheSceneUnitHaveTheirExactShape)
{
    UnitDataSet set = readUnit(sceneImage(), kSceneUnit);
    const std::filesystem::path folder = save(set);
    EXPECT_EQ(folder.filename(), shell::pathFromUtf8("アイ"));
    for (const char* name : {"unitdt.dat", "aunit.dat", "icon.dat", "weapon0.dat", "weapon1.dat",
                             "aweapon0.dat", "aweapon1.dat", "hbgmap.dat", "bgmap.dat",
                             "sprite0.dat", "sprite1.dat", "pallet0.dat", "pallet2.dat",
                             "motion0.dat", "shadow0.dat", "cutin0.dat", "unitall.dat"})
        EXPECT_TRUE(std::filesystem::exists(folder / name)) << name;
    EXPECT_FALSE(std::filesystem::exists(folder / "weapon2.dat"));
    EXPECT_FALSE(std::filesystem::exists(folder / "sprite2.dat"));
    EXPECT_EQ(fileBytes(folder / "pallet0.dat").size(), 5 * kPaletteBytes);
    EXPECT_EQ(fileBytes(folder / "icon.dat").size(), kIconBytes);
    // 48 bytes of commands end on a multiple of 16: a full 32-byte gap before the header.
    EXPECT_EQ(fileBytes(folder / "cutin0.dat").size(), 48u + 32u + 8u);
    const std::string index = fileText(folder / "unitall.dat");
    EXPECT_NE(index.find("[dwAdrCutinScroll:0]=134217808\r\n"), std::string::npos);  // 0x08000050
    EXPECT_EQ(set.dwAdrCutinScroll[0], 0x08000050u);
    EXPECT_NE(index.find("[wIdFixedWeapon:11]=65535\r\n"), std::string::npos);
}

TEST_F(UnitFolderTest, ModelLimitsCutFilesAndRefuseAnIndexBeyondThem)
{
    UnitDataSet set = readUnit(sceneImage(), kSceneUnit);
    const std::filesystem::path folder = save(set);
    const std::filesystem::path index = folder / "unitall.dat";
    scratch.write("アイ/pallet0.dat", Bytes(100, 1));   // three whole palettes
    scratch.write("アイ/pallet1.dat", Bytes(300, 2));   // cut to eight
    scratch.write("アイ/icon.dat", Bytes(10, 3));       // padded with zeros

    UnitDataSet fileSide;
    ASSERT_TRUE(LoadUnitFolder(shell, index, fileSide));
    EXPECT_EQ(fileSide.pallets[0].bNumPalette, 3);
    EXPECT_EQ(fileSide.pallets[1].bNumPalette, 8);
    ASSERT_TRUE(fileSide.icon);
    EXPECT_EQ((*fileSide.icon)[9], 3);
    EXPECT_EQ((*fileSide.icon)[10], 0);

    const UnitDataSet before = fileSide;
    std::string text = fileText(index);
    text.replace(text.find("[bNumSprite]=2"), 14, "[bNumSprite]=33");
    scratch.write("アイ/unitall.dat", text);
    shell.messages.clear();
    EXPECT_FALSE(LoadUnitFolder(shell, index, fileSide));
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].caption, std::string("エラー"));
    EXPECT_NE(shell.messages[0].text.find("bNumSprite"), std::string::npos);
    EXPECT_EQ(fileSide.bNumSprite, before.bNumSprite);
    EXPECT_EQ(fileSide.sprites[1].data, before.sprites[1].data);
}

// Each file damaged in turn: the first problem is the one message, and the file side keeps what
// an earlier load gave it.
TEST_F(UnitFolderTest, AnyFileThatFailsRefusesTheWholeLoad)
{
    UnitDataSet set = readUnit(sceneImage(), kSceneUnit);
    const std::filesystem::path folder = save(set);
    const std::map<std::string, Bytes> pristine = [&] {
        std::map<std::string, Bytes> files;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            files[entry.path().filename().string()] = fileBytes(entry.path());
        return files;
    }();
    const auto replaced = [&](const std::string& name, const std::string& from, const std::string& to) {
        const Bytes& bytes = pristine.at(name);
        std::string text(bytes.begin(), bytes.end());
        text.replace(text.find(from), from.size(), to);
        return Bytes(text.begin(), text.end());
    };
    Bytes cutSprite = pristine.at("sprite1.dat");
    cutSprite.resize(cutSprite.size() / 2);
    Bytes noisySprite = pristine.at("sprite0.dat");
    std::fill(noisySprite.begin() + 4, noisySprite.end(), 0xF0);  // references before the start

    const struct {
        std::string name;
        std::optional<Bytes> damaged;  // nothing: the file is removed
        std::string message;           // or its start, when it ends in "..."
    } rows[] = {
        {"sprite1.dat", std::nullopt, "ファイルオープンに失敗"},
        {"unitdt.dat", replaced("unitdt.dat", "[dwMaxHP]=", "[dwMaxHP]=abc"),
         "unitdt.dat 1行目: [dwMaxHP]=abc" /* and the digits */},
        {"unitall.dat", replaced("unitall.dat", "[wIdIcon]=6", "[wIdIcon]=6.5"),
         "unitall.dat 9行目: [wIdIcon]=6.5 は整数ではありません"},
        {"weapon1.dat", replaced("weapon1.dat", "[bWeaponType1]=", "[bWeaponType1]=300\r\n[x]="),
         "weapon1.dat 2行目: [bWeaponType1]=300 は範囲外です (0 から 255)"},
        {"hbgmap.dat", replaced("hbgmap.dat", "[dwAddress]=", "[dwAddress]=-5\r\n[x]="),
         "hbgmap.dat 2行目: [dwAddress]=-5 は範囲外です (0 から 4294967295)"},
        {"aunit.dat", replaced("aunit.dat", "[wIdSpriteBG]=", "[wIdSpriteBg]="),
         "aunit.dat に [wIdSpriteBG] の行がありません"},
        {"sprite1.dat", cutSprite, "sprite1.dat: LZ77データ はファイルの範囲外です..."},
        {"sprite0.dat", noisySprite, "sprite0.dat: LZ77データ の参照が復元前のデータを指しています..."},
        {"bgmap.dat", Bytes{0x10, 0xFF, 0xFF, 0xFF, 0x00, 1, 2, 3, 4, 5, 6, 7, 8},
         "bgmap.dat: LZ77データ はファイルの範囲外です (オフセット 0xD, 長さ 0x1)"},
        {"shadow0.dat", Bytes(4, 0xFF), "shadow0.dat: ShadowEtcヘッダ はファイルの範囲外です..."},
    };
    UnitDataSet fileSide;
    ASSERT_TRUE(LoadUnitFolder(shell, folder / "unitall.dat", fileSide));
    const UnitDataSet loaded = fileSide;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name + " " + row.message);
        if (row.damaged)
            scratch.write("アイ/" + row.name, *row.damaged);
        else
            std::filesystem::remove(folder / row.name);
        shell.messages.clear();
        EXPECT_FALSE(LoadUnitFolder(shell, folder / "unitall.dat", fileSide));
        ASSERT_EQ(shell.messages.size(), 1u);
        const std::string& text = shell.messages[0].text;
        if (row.message.ends_with("..."))
            EXPECT_TRUE(text.starts_with(row.message.substr(0, row.message.size() - 3))) << text;
        else if (row.name == "unitdt.dat")
            EXPECT_TRUE(text.starts_with(row.message) && text.ends_with(" は数値ではありません")) << text;
        else
            EXPECT_EQ(text, row.message);
        EXPECT_EQ(UnitAllText(fileSide), UnitAllText(loaded));
        EXPECT_EQ(fileSide.sprites[1].data, loaded.sprites[1].data);
        EXPECT_EQ(fileSide.shadowEtcs[0].present, loaded.shadowEtcs[0].present);
        scratch.write("アイ/" + row.name, pristine.at(row.name));
    }

    // Texts with LF line ends, as another editor may save them, load as they are.
    for (const char* name : {"unitdt.dat", "unitall.dat"}) {
        const Bytes& bytes = pristine.at(name);
        std::string text(bytes.begin(), bytes.end());
        for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at))
            text.erase(at, 1);
        scratch.write(std::string("アイ/") + name, text);
    }
    ASSERT_TRUE(LoadUnitFolder(shell, folder / "unitall.dat", fileSide));
    EXPECT_EQ(UnitDataText(fileSide.unit), UnitDataText(loaded.unit));

    shell.messages.clear();
    EXPECT_FALSE(LoadUnitFolder(shell, scratch.path() / "nothing" / "unitall.dat", fileSide));
    EXPECT_EQ(shell.texts(), std::vector<std::string>{"ファイルオープンに失敗"});
}

TEST_F(UnitFolderTest, ASaveThatFailsWritesNothingAndSaysSoOnce)
{
    UnitDataSet set = readUnit(sceneImage(), kSceneUnit);
    const UnitDataSet before = set;
    // A file where the unit folder would go.
    scratch.write("アイ", Bytes{1});
    EXPECT_FALSE(SaveUnitFolder(shell, set, table, scratch.path()));
    EXPECT_EQ(shell.texts(), std::vector<std::string>{"ファイルオープンに失敗"});
    EXPECT_EQ(shell.failedFiles, std::vector<std::filesystem::path>{scratch.path() / shell::pathFromUtf8("アイ")});
    EXPECT_EQ(set.dwAdrCutinScroll, before.dwAdrCutinScroll);

    // A folder in place of one file: the others are not written either, files of the user's stay.
    std::filesystem::remove(scratch.path() / shell::pathFromUtf8("アイ"));
    scratch.write("アイ/notes.txt", std::string("mine"));
    std::filesystem::create_directories(scratch.path() / shell::pathFromUtf8("アイ") / "unitall.dat");
    shell.messages.clear();
    EXPECT_FALSE(SaveUnitFolder(shell, set, table, scratch.path()));
    EXPECT_EQ(shell.texts(), std::vector<std::string>{"ファイルオープンに失敗"});
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(scratch.path() / shell::pathFromUtf8("アイ")))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"notes.txt", "unitall.dat"}));
}

TEST_F(UnitFolderTest, UnitsWithoutNameWeaponsOrBGMapStillSaveWholeFolders)
{
    synthetic::RomBuilder builder = sceneBuilder();
    builder.setUnit(9, synthetic::UnitSpec{.name = synthetic::Bytes{0xFF}});
    builder.setUnitAnimeHeader(9, synthetic::UnitAnimeSpec{});
    builder.setUnitIcon(9, 0xFFFF);
    UnitDataSet set = readUnit(builder.take<shell::Bytes>(), 9);
    const std::filesystem::path folder = save(set);
    EXPECT_EQ(folder.filename(), "unit09");
    EXPECT_FALSE(std::filesystem::exists(folder / "weapon0.dat"));
    EXPECT_EQ(fileBytes(folder / "bgmap.dat").size(), 0u);
    EXPECT_EQ(fileBytes(folder / "icon.dat"), Bytes(kIconBytes, 0));
    // Such a folder loads back; no icon, whatever "icon.dat" holds, and older folders' empty
    // icon file loads too.
    UnitDataSet fileSide;
    for (const Bytes& icon : {Bytes(kIconBytes, 0), Bytes(kIconBytes, 7), Bytes()}) {
        scratch.write("unit09/icon.dat", icon);
        ASSERT_TRUE(LoadUnitFolder(shell, folder / "unitall.dat", fileSide));
        EXPECT_EQ(fileSide.wIdIcon, kNoId);
        EXPECT_FALSE(fileSide.icon);
    }
    EXPECT_EQ(fileText(folder / "hbgmap.dat"), "[TYPE]=BGMAP\r\n[dwAddress]=0\r\n[wSize]=0\r\n[wParam1]=0\r\n");
    EXPECT_NE(fileText(folder / "unitall.dat").find("[wIdBGMap]=65535\r\n"), std::string::npos);

    EXPECT_EQ(unitFolderName("A/B:C*?", 1), "A_B_C__");
    EXPECT_EQ(unitFolderName("..", 0x2A), "unit2A");
    EXPECT_EQ(unitFolderName("ア", 0), "ア");
}

// Units saved together never share a folder: a later unit of a taken name gets its number, and a
// number-made name steps aside from any unit's own name.
TEST(UnitFolderNames, UnitsSavedTogetherGetFoldersOfTheirOwn)
{
    const NamedUnit units[] = {{0x2B, "アイ"}, {0x2A, "アイ"}, {0x01, "アイ_2A"},
                               {0x05, ""},     {0x06, "A/B"},  {0x07, "A_B"}};
    EXPECT_EQ(distinctUnitFolderNames(units),
              (std::vector<std::string>{"アイ", "アイ_2A_2", "アイ_2A", "unit05", "A_B", "A_B_07"}));
}

}  // namespace
