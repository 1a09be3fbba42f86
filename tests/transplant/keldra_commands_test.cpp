// The transplant tool's commands on whole images: ID area extension and extension-info files,
// free IDs, unit deletion, and the transplant's refusals, which must leave the image as it was.

#include "rom/gba_address.hpp"
#include "rom/records.hpp"
#include "shell/path_text.hpp"
#include "tests/doubles/scripted_shell.hpp"
#include "tests/support/character_table_file.hpp"
#include "tests/support/demo_scenario.hpp"
#include "tests/transplant/test_rom_files.hpp"
#include "transplant/file_set.hpp"
#include "transplant/free_ids.hpp"
#include "transplant/id_extension.hpp"
#include "transplant/keldra_session.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <tuple>

namespace {

using rom::ResourceKind;
using shell::Answer;
using testing_doubles::ScriptedShell;
using transplant::KeldraSession;

constexpr std::uint32_t kDemoSize = 0x1000000;

void writeBytes(const std::filesystem::path& path, const shell::Bytes& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

class KeldraCommandsTest : public ::testing::Test {
protected:
    synthetic::DemoScenario a = synthetic::makeDemoScenarioA();
    rom::CharacterTable table{synthetic::makeCharacterTableFile()};
    transplant_test::ScratchFolder folder;
    ScriptedShell shell;
    KeldraSession session{shell, table};

    void open(const synthetic::Bytes& image)
    {
        ASSERT_TRUE(session.OpenRom(folder.write("rom.gba", shell::Bytes(image.begin(), image.end()))));
        shell.messages.clear();
    }

    // Extends without saving the info.
    void extend()
    {
        shell.answers = {Answer::Ok, Answer::Cancel};
        ASSERT_TRUE(session.ExtendIdArea().extended);
        shell.messages.clear();
    }

    std::filesystem::path extractFromA(std::uint16_t unit)
    {
        ScriptedShell quiet;
        KeldraSession source(quiet, table);
        EXPECT_TRUE(source.OpenRom(folder.write("a.gba", shell::Bytes(a.image.begin(), a.image.end()))));
        EXPECT_TRUE(source.selectUnit(unit));
        transplant::SelectionFlags all;
        all.selectAll();
        return source.ExtractUnit(all, folder.path() / "sets" / source.extractionFolderName(unit))
            .value()
            .folder;
    }

    bool loadSet(const std::filesystem::path& set)
    {
        return session.LoadUnitFileSet(set / transplant::file_set::kIndexFile);
    }

    std::uint32_t u32At(std::uint32_t offset) const { return rom::loadU32(session.rom().bytes, offset); }
};

TEST_F(KeldraCommandsTest, ExtensionMovesTheTablesBehindTheImageAndRepointsTheCode)
{
    open(a.image);
    const shell::Bytes before = session.rom().bytes;
    extend();
    const shell::Bytes& after = session.rom().bytes;
    ASSERT_EQ(after.size(), 0x1069200u);
    // The old tables stay where they were.
    const std::uint32_t oldSprites = rom::tableLocation(rom::GameTable::Sprite).unextendedOffset;
    EXPECT_TRUE(std::equal(before.begin() + oldSprites, before.begin() + oldSprites + 821 * 4,
                           after.begin() + oldSprites));

    const auto& info = session.extensionInfo();
    EXPECT_TRUE(info.loaded);
    EXPECT_EQ(info.table(ResourceKind::Sprite).dwAddress, kDemoSize);
    EXPECT_EQ(info.table(ResourceKind::IconData).dwAddress, kDemoSize + 0x39000);
    EXPECT_EQ(info.table(ResourceKind::GraphicDifinition).wNumLastEntryId, 0x500);
    for (ResourceKind kind : rom::kExtendableKinds) {
        const auto& moved = info.table(kind);
        const auto gameTable = rom::tableOf(kind);
        EXPECT_EQ(session.directory().offset(gameTable), moved.dwAddress) << rom::kindName(kind);
        // The locator is one of the rewritten references.
        EXPECT_EQ(u32At(rom::tableLocation(gameTable).locatorOffset), rom::gbaPointerOf(moved.dwAddress));
        // The old entries are copied; the new ones past the old last ID are empty.
        const std::uint32_t oldStart = rom::tableLocation(gameTable).unextendedOffset;
        const std::size_t oldBytes = (rom::unextendedLastId(kind) + 1u) * moved.wSizeItem;
        EXPECT_TRUE(std::equal(before.begin() + oldStart, before.begin() + oldStart + oldBytes,
                               after.begin() + moved.dwAddress));
        EXPECT_TRUE(std::all_of(after.begin() + moved.dwAddress + oldBytes,
                                after.begin() + moved.dwAddress + (moved.wNumLastEntryId + 1u) * moved.wSizeItem,
                                [](std::uint8_t b) { return b == 0; }));
    }
    // One of the references that is not a locator.
    EXPECT_EQ(u32At(0xF3A6F4), rom::gbaPointerOf(kDemoSize));
    EXPECT_EQ(u32At(0x3EB0), rom::gbaPointerOf(kDemoSize + 0x39000));
    EXPECT_TRUE(session.extensionStatusText().starts_with(
        "拡張情報 読み込み済\r\nSprite\t01000000\t1000\t"));
}

TEST_F(KeldraCommandsTest, ExtensionAsksTwiceAndCancelChangesNothing)
{
    open(a.image);
    shell.answers = {Answer::Cancel};
    EXPECT_FALSE(session.ExtendIdArea().extended);
    EXPECT_EQ(session.rom().bytes.size(), kDemoSize);
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].text, "Id領域拡張を行います\r\n開始アドレス:0x1000000");
    EXPECT_EQ(shell.messages[0].caption, "拡張");

    // Saving the info after the extension writes the ".ExtInfo" text.
    shell.messages.clear();
    const auto outcome = session.ExtendIdArea();
    EXPECT_TRUE(outcome.extended && outcome.infoWanted);
    EXPECT_TRUE(session.SaveExtendInfo(folder.path() / "a.ExtInfo"));
    session.AnnounceExtended();
    EXPECT_EQ(shell.texts(), (std::vector<std::string>{
                                 "Id領域拡張を行います\r\n開始アドレス:0x1000000",
                                 "領域拡張情報を保存しますか？", "拡張情報を保存しました",
                                 "拡張完了しました"}));
    std::ifstream file(folder.path() / "a.ExtInfo", std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(file)), {});
    EXPECT_TRUE(text.starts_with("[BGMap:dwAddress]=&H100A000\r\n[BGMap:wNumLastEntryId]=&H1000\r\n"
                                 "[BGMap:wSizeItem]=&H8\r\n[CutinScroll:dwAddress]=&H101E000\r\n"));
    EXPECT_EQ(std::ranges::count(text, '\n'), 30);
}

TEST_F(KeldraCommandsTest, ASecondExtensionMovesTheTablesBehindTheFirst)
{
    open(a.image);
    extend();
    const std::uint32_t firstSprites = session.directory().offset(rom::GameTable::Sprite);
    const shell::Bytes first = session.rom().bytes;
    extend();
    EXPECT_EQ(session.extensionInfo().table(ResourceKind::Sprite).dwAddress, 0x1069200u);
    const std::uint32_t secondSprites = session.directory().offset(rom::GameTable::Sprite);
    EXPECT_EQ(secondSprites, 0x1069200u);
    // All 0x1001 entries of the first extension come along.
    EXPECT_TRUE(std::equal(first.begin() + firstSprites, first.begin() + firstSprites + 0x1001 * 4,
                           session.rom().bytes.begin() + secondSprites));
}

TEST_F(KeldraCommandsTest, ExtensionInfoFilesRestoreTheInfoOnlyWhenTheyMatchTheImage)
{
    open(a.image);
    shell.answers = {Answer::Ok, Answer::Ok};
    ASSERT_TRUE(session.ExtendIdArea().infoWanted);
    ASSERT_TRUE(session.SaveExtendInfo(folder.path() / "good.ExtInfo"));
    const std::string status = session.extensionStatusText();

    // A fresh session on the extended image has no info until the file is loaded.
    ASSERT_TRUE(session.OpenRom(folder.write("extended.gba", session.rom().bytes)));
    EXPECT_FALSE(session.extensionInfo().loaded);
    shell.messages.clear();
    EXPECT_FALSE(session.StartAddUnit());
    EXPECT_EQ(shell.texts().back(), "拡張情報が読み込まれてません\r\n拡張情報を読み込んで下さい");

    std::ifstream file(folder.path() / "good.ExtInfo", std::ios::binary);
    const std::string good((std::istreambuf_iterator<char>(file)), {});
    auto load = [&](const std::string& name, const std::string& text) {
        shell.messages.clear();
        return session.LoadExtendInfo(folder.write(name, text));
    };
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string text = good;
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    // A missing address, a wrong record size, a table running over the next one: all refused.
    EXPECT_FALSE(load("missing.ExtInfo", replaced("[Pallet:dwAddress]", "[Pallet:dwAdress]")));
    EXPECT_EQ(shell.texts(), std::vector<std::string>{"拡張情報とROMが一致しません"});
    EXPECT_FALSE(load("size.ExtInfo", replaced("[UnitCutin:wSizeItem]=&H28", "[UnitCutin:wSizeItem]=&H20")));
    EXPECT_FALSE(load("long.ExtInfo", replaced("[Sprite:wNumLastEntryId]=&H1000", "[Sprite:wNumLastEntryId]=&H1400")));
    EXPECT_FALSE(load("past.ExtInfo", replaced("[IconData:wNumLastEntryId]=&H200", "[IconData:wNumLastEntryId]=&H300")));
    EXPECT_FALSE(session.extensionInfo().loaded);

    EXPECT_TRUE(load("good.ExtInfo", good));
    EXPECT_EQ(shell.messages.back().caption, "拡張情報読み込み");
    EXPECT_EQ(session.extensionStatusText(), status);
    // A bad file later keeps the good info.
    EXPECT_FALSE(load("size.ExtInfo", replaced("[IconData:wSizeItem]=&H180", "[IconData:wSizeItem]=&H0")));
    EXPECT_EQ(session.extensionStatusText(), status);
}

TEST_F(KeldraCommandsTest, TheInfoOfAnUnextendedImageSavesAndLoadsBack)
{
    open(a.image);
    ASSERT_TRUE(session.ConfirmSaveExtendInfo());
    ASSERT_TRUE(session.SaveExtendInfo(folder.path() / "preset.ExtInfo"));
    EXPECT_EQ(shell.messages.back().caption, "Brenmark_SaveExtendInfo");
    EXPECT_TRUE(session.LoadExtendInfo(folder.path() / "preset.ExtInfo"));
    EXPECT_EQ(session.extensionInfo().table(ResourceKind::SystemAnime).wNumLastEntryId, 119);
}

TEST_F(KeldraCommandsTest, AnImageOfAnOddSizeGetsItsTablesAtTheNextMultipleOfFour)
{
    synthetic::Bytes odd(a.image.begin(), a.image.end());
    odd.push_back(0x5A);
    open(odd);
    extend();
    EXPECT_EQ(session.extensionInfo().table(ResourceKind::Sprite).dwAddress, kDemoSize + 4);
    EXPECT_EQ(u32At(rom::tableLocation(rom::GameTable::Sprite).locatorOffset), 0x09000004u);
    EXPECT_EQ(u32At(kDemoSize), 0x5Au);  // the image's last byte, then zeros up to the tables
    EXPECT_EQ(session.rom().bytes.size(), 0x1069200u);

    open(odd);
    shell.answers = {Answer::Cancel};
    session.ExtendIdArea();
    EXPECT_EQ(shell.texts(), std::vector<std::string>{"Id領域拡張を行います\r\n開始アドレス:0x1000004"});
}

TEST_F(KeldraCommandsTest, ExtensionThatWouldPassTheCartridgeLimitIsRefused)
{
    synthetic::Bytes big(a.image.begin(), a.image.end());
    big.resize(0x2000000 - 0x60000);
    open(big);
    shell.answers = {Answer::Ok};
    EXPECT_FALSE(session.ExtendIdArea().extended);
    EXPECT_EQ(session.rom().bytes.size(), big.size());
    EXPECT_EQ(shell.messages.back().caption, "エラー");
    EXPECT_TRUE(session.extensionInfo().loaded);
}

TEST_F(KeldraCommandsTest, FreeSlotsNeedTheWholeMarkerAndAreListedInOrder)
{
    synthetic::RomBuilder builder;
    builder.setEmptyUnit(7);
    builder.setEmptyUnit(3);
    builder.setEmptyUnit(9);
    builder.putU8(rom::tableLocation(rom::GameTable::Unit).unextendedOffset + 9 * 0x68 + 0x48 + 31, 1);
    builder.setEmptyWeapon(0x100);
    open(builder.take());
    ASSERT_TRUE(session.StartAddUnit());
    const auto& free = session.freeIds();
    EXPECT_EQ(free.list(ResourceKind::Unit), (std::vector<std::uint16_t>{3, 7}));
    EXPECT_EQ(free.list(ResourceKind::FixedWeapon), (std::vector<std::uint16_t>{0x100}));
    EXPECT_EQ(session.freeUnitLines().size(), 2u);
    EXPECT_EQ(session.freeUnitLines()[0].substr(0, 5), "003: ");
    // Every entry of an empty table is free, except SystemAnime 119, which holds the first bytes
    // of the graphic change definitions.
    EXPECT_EQ(free.list(ResourceKind::Sprite).size(), 821u);
    EXPECT_EQ(free.list(ResourceKind::SystemAnime).size(), 119u);
    EXPECT_EQ(free.list(ResourceKind::GraphicDifinition).front(), 0);
    EXPECT_EQ(transplant::FormatIdCounts(free),
              "ユニット\t2\r\n武器\t1\r\nスプライト\t821\r\nパレット\t635\r\nBGMap\t501\r\n"
              "描画ルーチン１\t1235\r\n描画ルーチン２\t1096\r\n描画ルーチン３\t1063\r\n"
              "システムアニメ\t119\r\n画像変更用定義\t166\r\nユニットカットイン\t73\r\n"
              "アイコン画像\t101\r\n");
}

TEST_F(KeldraCommandsTest, DeletionEmptiesTheUnitAndItsWeaponsForTheNextAdd)
{
    open(a.image);
    // A unit with more than one weapon.
    const auto withWeapons = std::ranges::find_if(a.units, [](const synthetic::DemoUnit& u) {
        return std::ranges::count_if(u.record.wWeapon, rom::isWeaponId) > 1;
    });
    ASSERT_NE(withWeapons, a.units.end());
    const synthetic::DemoUnit& unit = *withWeapons;
    ASSERT_TRUE(session.selectUnit(unit.id));
    const auto weapons = session.selectedUnit().list(ResourceKind::FixedWeapon);

    const shell::Bytes before = session.rom().bytes;
    shell.answers = {Answer::Cancel};
    EXPECT_FALSE(session.DeleteSelectedUnit());
    EXPECT_EQ(session.rom().bytes, before);
    EXPECT_EQ(shell.messages.back().text, "選択ユニットを削除して、\r\n空きユニット欄・武器欄を作ります");
    EXPECT_EQ(shell.messages.back().caption, unit.name);

    const auto line = session.DeleteSelectedUnit();
    ASSERT_TRUE(line);
    EXPECT_EQ(line->substr(0, 5), session.unitListLines()[unit.id].substr(0, 5));
    const auto record = *rom::recordBytes(session.rom().bytes, session.directory(), rom::GameTable::Unit, unit.id);
    EXPECT_TRUE(std::all_of(record.begin(), record.begin() + 0x30, [](auto b) { return b == 0; }));
    EXPECT_TRUE(std::all_of(record.begin() + 0x30, record.begin() + 0x48, [](auto b) { return b == 0xFF; }));
    EXPECT_TRUE(std::ranges::equal(record.subspan(0x48), transplant::EmptyUnitName));

    const shell::Bytes once = session.rom().bytes;
    ASSERT_TRUE(session.DeleteSelectedUnit());
    EXPECT_EQ(session.rom().bytes, once);

    ASSERT_TRUE(session.StartAddUnit());
    const auto& freeUnits = session.freeIds().list(ResourceKind::Unit);
    EXPECT_NE(std::ranges::find(freeUnits, unit.id), freeUnits.end());
    const auto& freeWeapons = session.freeIds().list(ResourceKind::FixedWeapon);
    for (std::uint16_t weapon : weapons)
        EXPECT_NE(std::ranges::find(freeWeapons, weapon), freeWeapons.end()) << weapon;
}

class TransplantRefusalTest : public KeldraCommandsTest {
protected:
    std::filesystem::path set;
    shell::Bytes before;

    void SetUp() override
    {
        set = extractFromA(a.units.at(2).id);
        open(synthetic::makeDemoScenarioB().image);
        extend();
        before = session.rom().bytes;
    }

    // Runs the add command with the set as it is now; true when the unit was added.
    bool add()
    {
        if (!session.StartAddUnit() || !loadSet(set))
            return false;
        shell.messages.clear();
        return session.TransplantUnit(session.freeIds().list(ResourceKind::Unit).front());
    }

    void expectUnchanged() const { EXPECT_EQ(session.rom().bytes, before); }
};

TEST_F(TransplantRefusalTest, AMissingOrDamagedFileRefusesAndChangesNothing)
{
    std::filesystem::rename(set / "Sprite0.dat", set / "Sprite0.bak");
    EXPECT_FALSE(add());
    EXPECT_EQ(shell.messages.front().text, "ファイルオープンに失敗");
    EXPECT_NE(shell.messages.back().text.find("Sprite0.dat"), std::string::npos);
    expectUnchanged();
    std::filesystem::rename(set / "Sprite0.bak", set / "Sprite0.dat");

    std::filesystem::resize_file(set / "UnitData.dat", 0x69);
    EXPECT_FALSE(add());
    EXPECT_NE(shell.messages.back().text.find("UnitData.dat"), std::string::npos);
    expectUnchanged();
    std::filesystem::resize_file(set / "UnitData.dat", 0x68);

    std::filesystem::resize_file(set / "MotionPart0.dat", 12);
    EXPECT_FALSE(add());
    expectUnchanged();
}

// Files of the right size whose content the game could not read: each is refused, naming the file
// and where in it the problem lies, before the image changes.
TEST_F(TransplantRefusalTest, ContentTheGameCouldNotReadIsRefusedNamingTheFileAndTheOffset)
{
    const auto firstSystemAnimeCommand = [](const shell::Bytes& block) {
        std::size_t at = 16;
        while (block.at(at) < 0x02 || block.at(at) > 0x06)
            at += 16;
        return at;
    };
    using Damage = std::function<void(shell::Bytes&)>;
    const std::vector<std::tuple<std::string, Damage, std::string>> rows{
        {"Sprite3.dat", [](auto& b) { b.resize(100); },
         "LZ77データ はファイルの範囲外です (オフセット 0x64, 長さ 0x1)"},
        {"Sprite0.dat", [](auto& b) { rom::storeU32(b, 0, 0xFFFFFF10); },
         "LZ77データ はファイルの範囲外です"},
        {"BGMap3.dat", [](auto& b) { b.resize(b.size() / 2); }, "LZ77データ はファイルの範囲外です"},
        {"UnitAnime.dat", [](auto& b) { rom::storeU16(b, 0x04, 0x1001); },
         "オフセット 0x4 の Sprite ID 0x1001 はテーブルの範囲外です (最後のIDは 0x1000)"},
        {"UnitCutin0.dat", [](auto& b) { rom::storeU16(b, 0x0C, 0xFFFD); },
         "オフセット 0xC の BGMap ID 0xFFFD はテーブルの範囲外です"},
        {"CutinScroll0.dat",
         [&](auto& b) { rom::storeU16(b, firstSystemAnimeCommand(b) + 4, 0x501); },
         "の SystemAnime ID 0x501 はテーブルの範囲外です (最後のIDは 0x500)"},
    };
    for (const auto& [name, damage, problem] : rows) {
        SCOPED_TRACE(name);
        const std::filesystem::path file = set / name;
        const auto good = testing_doubles::readFileBytes<shell::Bytes>(file);
        shell::Bytes bad = good;
        damage(bad);
        writeBytes(file, bad);
        EXPECT_FALSE(add());
        ASSERT_EQ(shell.messages.size(), 1u);
        const std::string& text = shell.messages[0].text;
        EXPECT_TRUE(text.starts_with(shell::pathText(file) + "\r\n")) << text;
        EXPECT_NE(text.find(problem), std::string::npos) << text;
        EXPECT_TRUE(text.ends_with("\r\nユニットを追加しませんでした")) << text;
        expectUnchanged();
        writeBytes(file, good);
    }
    // An empty data file is what extraction writes for an empty table entry.
    writeBytes(set / "Sprite3.dat", {});
    EXPECT_TRUE(add()) << ::testing::PrintToString(shell.texts());
}

TEST_F(TransplantRefusalTest, AUnitThatCannotBeReadBackIsRefusedAndTheImageIsPutBack)
{
    // Sprite 0x1000 of the target points far past its end, and the set's unit keeps that ID, which
    // lies inside the table: only reading the placed unit back meets the damage.
    shell::Bytes damaged = before;
    rom::storeU32(damaged, session.directory().offset(rom::GameTable::Sprite) + 0x1000 * 4,
                  rom::gbaPointerOf(0x1F00000));
    open(synthetic::Bytes(damaged.begin(), damaged.end()));
    const std::string info = transplant::extensionInfoText(transplant::extendedLayout(kDemoSize));
    ASSERT_TRUE(session.LoadExtendInfo(folder.write("b.ExtInfo", info)));
    before = session.rom().bytes;
    auto anime = testing_doubles::readFileBytes<shell::Bytes>(set / "UnitAnime.dat");
    rom::storeU16(anime, 0x04, 0x1000);
    writeBytes(set / "UnitAnime.dat", anime);

    EXPECT_FALSE(add());
    EXPECT_EQ(shell.texts(), std::vector<std::string>{
                                 "追加したユニットを読み返せません: Sprite 0x1000: LZ77データ はROMの範囲外です "
                                 "(オフセット 0x1F00000, 長さ 0x4)\r\nユニットを追加しませんでした"});
    expectUnchanged();
}

TEST_F(TransplantRefusalTest, ARefusedLoadKeepsTheSetLoadedBefore)
{
    ASSERT_TRUE(session.StartAddUnit());
    ASSERT_TRUE(loadSet(set));
    const rom::UnitResourceSet loaded = session.loadedSet();
    const std::string name = session.loadedUnitName();

    // Another set whose unit record is missing, then one whose record is too short.
    const std::filesystem::path other = extractFromA(a.units.at(3).id);
    std::filesystem::rename(other / "UnitData.dat", other / "UnitData.bak");
    EXPECT_FALSE(loadSet(other));
    std::filesystem::rename(other / "UnitData.bak", other / "UnitData.dat");
    std::filesystem::resize_file(other / "UnitData.dat", 0x67);
    EXPECT_FALSE(loadSet(other));

    EXPECT_EQ(session.loadedSet().lists, loaded.lists);
    EXPECT_EQ(session.loadedUnitName(), name);
    // "追加" still adds the set the dialog shows, from its own folder.
    shell.messages.clear();
    EXPECT_TRUE(session.TransplantUnit(session.freeIds().list(ResourceKind::Unit).front()));
}

TEST_F(TransplantRefusalTest, ABGMapHeaderFileLongerThanEightBytesIsReadAsItsFirstEight)
{
    std::ofstream(set / "BGMapHeader0.dat", std::ios::app | std::ios::binary) << "tail";
    EXPECT_TRUE(add()) << ::testing::PrintToString(shell.texts());
}

TEST_F(TransplantRefusalTest, TooFewFreeIdsOfOneKindRefusesWithTheShortageMessage)
{
    ASSERT_TRUE(loadSet(set));
    const std::size_t sprites = session.loadedSet().list(ResourceKind::Sprite).size();
    // Info that offers fewer sprite IDs than the set needs, all else unchanged.
    std::string info = transplant::extensionInfoText(session.extensionInfo());
    const std::string key = "[Sprite:wNumLastEntryId]=&H1000";
    // Sprite entries 0 to 820 hold image B's sprites; few of the old IDs are free.
    info.replace(info.find(key), key.size(), "[Sprite:wNumLastEntryId]=&H0");
    ASSERT_TRUE(session.LoadExtendInfo(folder.write("few.ExtInfo", info)));
    ASSERT_GT(sprites, 1u);
    EXPECT_FALSE(add());
    EXPECT_EQ(shell.texts(),
              std::vector<std::string>{"空きId領域が足りません\r\n領域拡張などをして空きを確保してください"});
    EXPECT_FALSE(shell.messages.back().caption.has_value());
    // The command line also says which kind fell short.
    const std::size_t freeSprites = session.freeIds().list(ResourceKind::Sprite).size();
    EXPECT_EQ(shell.details, std::vector<std::string>{"スプライト: 必要 " + std::to_string(sprites) +
                                                      ", 空き " + std::to_string(freeSprites)});
    expectUnchanged();
}

TEST_F(TransplantRefusalTest, ATransplantThatWouldPassTheCartridgeLimitIsRefused)
{
    // Grow B to just under 32 MiB: the appended blocks no longer fit.
    shell::Bytes big = before;
    big.resize(0x2000000 - 0x100);
    open(synthetic::Bytes(big.begin(), big.end()));
    ASSERT_TRUE(session.LoadExtendInfo(folder.write(
        "b.ExtInfo", transplant::extensionInfoText(transplant::extendedLayout(kDemoSize)))));
    before = session.rom().bytes;
    EXPECT_FALSE(add());
    EXPECT_NE(shell.texts().back().find("32MB"), std::string::npos);
    expectUnchanged();
}

TEST_F(TransplantRefusalTest, AUnitAddedIntoTheSlotOfItsOwnSourceIdKeepsThatIdInItsHeader)
{
    ASSERT_TRUE(session.StartAddUnit());
    ASSERT_TRUE(loadSet(set));
    const std::uint16_t source = session.loadedSet().wIdUnit;
    const auto& freeUnits = session.freeIds().list(ResourceKind::Unit);
    ASSERT_NE(std::ranges::find(freeUnits, source), freeUnits.end());
    ASSERT_NE(freeUnits.front(), source);
    ASSERT_TRUE(session.TransplantUnit(source));
    const auto header = rom::readRecord<rom::UNIT_ANIME_HEADER>(session.rom().bytes,
                                                                session.directory(), source);
    ASSERT_TRUE(header);
    EXPECT_EQ(header->wIdUnit, source);
}

TEST_F(TransplantRefusalTest, NoSlotOutsideTheFreeListIsEverWritten)
{
    ASSERT_TRUE(session.StartAddUnit());
    ASSERT_TRUE(loadSet(set));
    const auto& freeUnits = session.freeIds().list(ResourceKind::Unit);
    std::uint16_t used = 0;
    while (std::ranges::find(freeUnits, used) != freeUnits.end())
        ++used;
    EXPECT_FALSE(session.TransplantUnit(used));
    expectUnchanged();
}

}  // namespace
