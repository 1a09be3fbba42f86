#include "editor/unit_folder.hpp"

#include "editor/routine_serializer.hpp"
#include "editor/unit_all_text.hpp"
#include "tests/doubles/scripted_shell.hpp"
#include "tests/editor/editor_test_support.hpp"
#include "tests/support/demo_scenario.hpp"

#include <gtest/gtest.h>

namespace {

using namespace editor;
using namespace editor_test;
using testing_doubles::ScriptedShell;

std::filesystem::path utf8Path(const std::string& name)
{
    return std::filesystem::path(std::u8string(name.begin(), name.end()));
}

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
        return SaveUnitFolder(shell, set, table, scratch.path()).folder;
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
        const SavedUnitFolder saved = SaveUnitFolder(shell, romSide, table, scratch.path());
        EXPECT_TRUE(saved.allWritten);
        EXPECT_EQ(saved.folder, scratch.path() / utf8Path(unit.name));
        ASSERT_EQ(shell.texts(), std::vector<std::string>{"フォルダ「" + unit.name +
                                                          "」にユニットデータを保存しました"});
        EXPECT_EQ(shell.messages[0].caption, std::string());
        EXPECT_EQ(fileText(saved.folder / utf8Path("ID一覧表.txt")), saved.report);

        UnitDataSet fileSide;
        ASSERT_EQ(LoadUnitFolder(shell, saved.folder / "unitall.dat", fileSide), FolderLoad::Complete)
            << unit.name;
        EXPECT_EQ(shell.messages.size(), 1u);

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
            const Bytes file = fileBytes(saved.folder / folder_files::numberedFile("motion", i));
            EXPECT_EQ(serialized(fileSide.motionParts[i]), file);
            EXPECT_EQ(serialized(asRead.motionParts[i]), file);
            EXPECT_EQ(fileSide.dwAdrMotionPart[i], romSide.dwAdrMotionPart[i]);
        }
        for (std::size_t i = 0; i < asRead.bNumShadowEtc; ++i)
            EXPECT_EQ(serialized(fileSide.shadowEtcs[i]),
                      fileBytes(saved.folder / folder_files::numberedFile("shadow", i)));
        for (std::size_t i = 0; i < asRead.bNumCutinScroll; ++i)
            EXPECT_EQ(serialized(fileSide.cutinScrolls[i]),
                      fileBytes(saved.folder / folder_files::numberedFile("cutin", i)));

        // Saving the loaded side again writes the same bytes.
        if (&unit != &demo.units.front())
            continue;
        UnitDataSet again = fileSide;
        ScratchFolder second;
        const SavedUnitFolder resaved = SaveUnitFolder(shell, again, table, second.path());
        for (const auto& entry : std::filesystem::directory_iterator(saved.folder))
            EXPECT_EQ(fileBytes(entry.path()), fileBytes(resaved.folder / entry.path().filename()))
                << entry.path().filename();
    }
}

TEST_F(UnitFolderTest, FilesOfTheSceneUnitHaveTheirExactShape)
{
    UnitDataSet set = readUnit(sceneImage(), kSceneUnit);
    const std::filesystem::path folder = save(set);
    EXPECT_EQ(folder.filename(), utf8Path("アイ"));
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
    ASSERT_EQ(LoadUnitFolder(shell, index, fileSide), FolderLoad::Complete);
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
    EXPECT_EQ(LoadUnitFolder(shell, index, fileSide), FolderLoad::Refused);
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].caption, std::string("エラー"));
    EXPECT_NE(shell.messages[0].text.find("bNumSprite"), std::string::npos);
    EXPECT_EQ(fileSide.bNumSprite, before.bNumSprite);
    EXPECT_EQ(fileSide.sprites[1].data, before.sprites[1].data);
}

TEST_F(UnitFolderTest, UnreadableFilesLeaveTheirItemsEmptyNotStale)
{
    UnitDataSet set = readUnit(sceneImage(), kSceneUnit);
    const std::filesystem::path folder = save(set);
    UnitDataSet fileSide;
    ASSERT_EQ(LoadUnitFolder(shell, folder / "unitall.dat", fileSide), FolderLoad::Complete);
    ASSERT_FALSE(fileSide.sprites[1].data.empty());

    std::filesystem::remove(folder / "sprite1.dat");
    std::filesystem::remove(folder / "motion0.dat");
    scratch.write("アイ/shadow0.dat", Bytes(4, 0xFF));  // its header pointer leaves the file
    shell.messages.clear();
    EXPECT_EQ(LoadUnitFolder(shell, folder / "unitall.dat", fileSide), FolderLoad::Incomplete);
    ASSERT_EQ(shell.messages.size(), 3u);
    EXPECT_EQ(shell.messages[0].text, "ファイルオープンに失敗");
    EXPECT_EQ(shell.messages[1].text, "ファイルオープンに失敗");
    EXPECT_TRUE(shell.messages[2].text.starts_with("shadow0.dat: ")) << shell.messages[2].text;
    EXPECT_TRUE(fileSide.sprites[1].data.empty());
    EXPECT_FALSE(fileSide.sprites[0].data.empty());
    EXPECT_FALSE(fileSide.motionParts[0].present);
    EXPECT_FALSE(fileSide.shadowEtcs[0].present);
    EXPECT_TRUE(fileSide.cutinScrolls[0].present);

    shell.messages.clear();
    EXPECT_EQ(LoadUnitFolder(shell, scratch.path() / "nothing" / "unitall.dat", fileSide),
              FolderLoad::Refused);
    EXPECT_EQ(shell.texts(), std::vector<std::string>{"ファイルオープンに失敗"});
}

TEST_F(UnitFolderTest, UnitsWithoutNameWeaponsOrBGMapStillSaveWholeFolders)
{
    synthetic::RomBuilder builder = sceneBuilder();
    builder.setUnit(9, synthetic::UnitSpec{.name = synthetic::Bytes{0xFF}});
    builder.setUnitAnimeHeader(9, synthetic::UnitAnimeSpec{});
    UnitDataSet set = readUnit(builder.take<shell::Bytes>(), 9);
    const std::filesystem::path folder = save(set);
    EXPECT_EQ(folder.filename(), "unit09");
    EXPECT_FALSE(std::filesystem::exists(folder / "weapon0.dat"));
    EXPECT_EQ(fileBytes(folder / "bgmap.dat").size(), 0u);
    EXPECT_EQ(fileText(folder / "hbgmap.dat"), "[TYPE]=BGMAP\r\n[dwAddress]=0\r\n[wSize]=0\r\n[wParam1]=0\r\n");
    EXPECT_NE(fileText(folder / "unitall.dat").find("[wIdBGMap]=65535\r\n"), std::string::npos);

    EXPECT_EQ(unitFolderName("A/B:C*?", 1), "A_B_C__");
    EXPECT_EQ(unitFolderName("..", 0x2A), "unit2A");
    EXPECT_EQ(unitFolderName("ア", 0), "ア");
}

}  // namespace
