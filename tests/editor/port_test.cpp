#include "editor/port.hpp"

#include "editor/anime_fields.hpp"
#include "editor/routine_serializer.hpp"
#include "editor/unit_folder.hpp"
#include "tests/doubles/scripted_shell.hpp"
#include "tests/editor/editor_test_support.hpp"
#include "tests/support/demo_scenario.hpp"

#include <gtest/gtest.h>

namespace {

using namespace editor;
using namespace editor_test;
using testing_doubles::ScriptedShell;

constexpr std::uint16_t kSourceUnit = 2;    // demo A: 2 weapons, a BG map, 19 sprites and palettes
constexpr std::uint16_t kTargetUnit = 0x10;  // demo B: the same counts

template <class Routine>
Bytes serialized(Routine routine)
{
    return SerializeRoutine(routine, 0).block;
}

// The ID at the position of `id` in `from`, taken from `to`; unlisted IDs stay.
template <std::size_t N>
std::uint16_t mapped(std::uint16_t id, const IdList<N>& from, const IdList<N>& to)
{
    const std::optional<std::size_t> j = from.find(id);
    return j ? to.ids[*j] : id;
}

class PortTest : public ::testing::Test {
protected:
    ScratchFolder scratch;
    ScriptedShell shell;

    // Unit `unit` of `image` saved to a folder and loaded back as a file side.
    UnitDataSet fileSideOf(const shell::Bytes& image, std::uint16_t unit)
    {
        UnitDataSet romSide = readUnit(image, unit);
        const std::optional<SavedUnitFolder> saved =
            SaveUnitFolder(shell, romSide, characterTable(), scratch.path());
        UnitDataSet fileSide;
        EXPECT_TRUE(saved && LoadUnitFolder(shell, saved->folder / "unitall.dat", fileSide));
        shell.messages.clear();
        return fileSide;
    }
};

TEST_F(PortTest, PortedUnitReadsBackAsTheSourceUnderTheTargetsIds)
{
    const shell::Bytes imageA = asImage(synthetic::makeDemoScenarioA().image);
    shell::Bytes imageB = asImage(synthetic::makeDemoScenarioB().image);
    const shell::Bytes originalB = imageB;
    const UnitDataSet source = readUnit(imageA, kSourceUnit);
    const UnitDataSet target = readUnit(imageB, kTargetUnit);
    const UnitDataSet neighbour = readUnit(imageB, 0);
    const UnitIdSet from = CollectUnitIds(source);
    const UnitIdSet to = CollectUnitIds(target);

    UnitDataSet fileSide = fileSideOf(imageA, kSourceUnit);
    ASSERT_TRUE(PortUnit(shell, imageB, offsetsOf(imageB), fileSide, CollectUnitIds(fileSide), to));
    EXPECT_EQ(shell.texts(), std::vector<std::string>{"GBAに移植完了"});
    EXPECT_EQ(shell.messages[0].caption, std::nullopt);
    EXPECT_EQ(fileSide.wUnitID, kTargetUnit);

    const std::size_t oldSize = originalB.size();
    ASSERT_GT(imageB.size(), oldSize);
    EXPECT_TRUE(std::equal(originalB.begin(), originalB.begin() + 0x1000, imageB.begin()));
    const UnitDataSet ported = readUnit(imageB, kTargetUnit);

    // The first appended item (the BG map) starts 17 to 32 bytes after the old end, aligned.
    const std::uint32_t firstItem = ported.bgMap.record.dwAddress - 0x08000000;
    EXPECT_GE(firstItem - oldSize, 17u);
    EXPECT_LE(firstItem - oldSize, 32u);
    EXPECT_EQ(firstItem % 16, 0u);

    // Records: the source's, with its IDs replaced position for position by the target's.
    rom::UnitDataRecord unit = source.unit;
    for (std::uint16_t& weapon : unit.wWeapon)
        weapon = mapped(weapon, from.fixedWeapon, to.fixedWeapon);
    unit.bUnnamed47 = target.unit.bUnnamed47;
    EXPECT_EQ(rom::serializeRecord(ported.unit), rom::serializeRecord(unit));

    rom::UNIT_ANIME_HEADER anime = source.anime;
    anime.wIdUnit = kTargetUnit;
    anime.wIdBGMap = target.wIdBGMap;
    anime.wIdSpriteBG = mapped(anime.wIdSpriteBG, from.sprite, to.sprite);
    anime.wIdPalletBG = mapped(anime.wIdPalletBG, from.pallet, to.pallet);
    for (std::uint16_t* field : unitMotionSprites(anime))
        *field = mapped(*field, from.sprite, to.sprite);
    for (std::uint16_t* field : unitMotionPallets(anime))
        *field = mapped(*field, from.pallet, to.pallet);
    for (std::uint16_t* field : unitMotionParts(anime))
        *field = mapped(*field, from.motionPart, to.motionPart);
    for (std::uint16_t* field : unitShadowEtcs(anime))
        *field = mapped(*field, from.shadowEtc, to.shadowEtc);
    for (std::uint16_t* field : unitCutinScrolls(anime))
        *field = mapped(*field, from.cutinScroll, to.cutinScroll);
    EXPECT_EQ(rom::serializeRecord(ported.anime), rom::serializeRecord(anime));

    ASSERT_EQ(ported.bNumFixedWeapon, source.bNumFixedWeapon);
    for (std::size_t k = 0; k < source.bNumFixedWeapon; ++k) {
        EXPECT_EQ(ported.wIdFixedWeapon[k], target.wIdFixedWeapon[k]);
        EXPECT_EQ(rom::serializeRecord(ported.weapons[k]), rom::serializeRecord(source.weapons[k]));
        rom::FIXED_ANIME_HEADER weapon = source.weaponAnimes[k];
        for (std::uint16_t* field : weaponSprites(weapon))
            *field = mapped(*field, from.sprite, to.sprite);
        for (std::uint16_t* field : weaponPallets(weapon))
            *field = mapped(*field, from.pallet, to.pallet);
        for (std::uint16_t* field : weaponMotionParts(weapon))
            *field = mapped(*field, from.motionPart, to.motionPart);
        for (std::uint16_t* field : weaponShadowEtcs(weapon))
            *field = mapped(*field, from.shadowEtc, to.shadowEtc);
        for (std::uint16_t* field : weaponCutinScrolls(weapon))
            *field = mapped(*field, from.cutinScroll, to.cutinScroll);
        EXPECT_EQ(rom::serializeRecord(ported.weaponAnimes[k]), rom::serializeRecord(weapon));
    }

    // Data blocks: the source's, under the target's IDs.
    EXPECT_EQ(ported.wIdIcon, target.wIdIcon);
    EXPECT_EQ(ported.icon, source.icon);
    EXPECT_EQ(ported.wIdBGMap, target.wIdBGMap);
    EXPECT_EQ(ported.bgMap.data, source.bgMap.data);
    EXPECT_EQ(ported.bgMap.record.wSize, source.bgMap.record.wSize);
    ASSERT_EQ(ported.bNumSprite, source.bNumSprite);
    for (std::size_t j = 0; j < source.bNumSprite; ++j) {
        EXPECT_EQ(ported.wIdSprite[j], target.wIdSprite[j]);
        EXPECT_EQ(ported.sprites[j].data, source.sprites[j].data);
    }
    ASSERT_EQ(ported.bNumPallet, source.bNumPallet);
    for (std::size_t j = 0; j < source.bNumPallet; ++j) {
        EXPECT_EQ(ported.wIdPallet[j], target.wIdPallet[j]);
        EXPECT_EQ(ported.pallets[j].bNumPalette, source.pallets[j].bNumPalette);
        EXPECT_EQ(ported.pallets[j].colours, source.pallets[j].colours);
    }
    ASSERT_EQ(ported.bNumMotionPart, source.bNumMotionPart);
    for (std::size_t j = 0; j < source.bNumMotionPart; ++j) {
        EXPECT_EQ(ported.wIdMotionPart[j], target.wIdMotionPart[j]);
        EXPECT_EQ(serialized(ported.motionParts[j]), serialized(source.motionParts[j]));
    }
    ASSERT_EQ(ported.bNumShadowEtc, source.bNumShadowEtc);
    for (std::size_t j = 0; j < source.bNumShadowEtc; ++j)
        EXPECT_EQ(serialized(ported.shadowEtcs[j]), serialized(source.shadowEtcs[j]));
    ASSERT_EQ(ported.bNumCutinScroll, source.bNumCutinScroll);
    for (std::size_t j = 0; j < source.bNumCutinScroll; ++j)
        EXPECT_EQ(serialized(ported.cutinScrolls[j]), serialized(source.cutinScrolls[j]));

    // Other units keep their records.
    const UnitDataSet neighbourAfter = readUnit(imageB, 0);
    EXPECT_EQ(rom::serializeRecord(neighbourAfter.unit), rom::serializeRecord(neighbour.unit));
    EXPECT_EQ(rom::serializeRecord(neighbourAfter.anime), rom::serializeRecord(neighbour.anime));
}

TEST_F(PortTest, RefusalsChangeNeitherTheImageNorTheFileSide)
{
    const shell::Bytes imageA = asImage(synthetic::makeDemoScenarioA().image);
    shell::Bytes imageB = asImage(synthetic::makeDemoScenarioB().image);
    const shell::Bytes originalB = imageB;
    const RomTableOffsets offsets = offsetsOf(imageB);
    UnitDataSet fileSide = fileSideOf(imageA, kSourceUnit);  // 19 sprites
    const UnitIdSet fileIds = CollectUnitIds(fileSide);
    const std::vector<std::uint32_t> addresses(fileSide.dwAdrMotionPart.begin(), fileSide.dwAdrMotionPart.end());

    EXPECT_FALSE(PortUnit(shell, imageB, offsets, fileSide, fileIds, CollectUnitIds(readUnit(imageB, 0x2A))));
    EXPECT_EQ(shell.details, (std::vector<std::string>{
                                 "bNumFixedWeapon: 必要 2, 空き 1", "bNumSprite: 必要 19, 空き 12",
                                 "bNumPallet: 必要 19, 空き 12", "bNumMotionPart: 必要 11, 空き 7",
                                 "bNumShadowEtc: 必要 5, 空き 3", "bNumCutinScroll: 必要 3, 空き 2"}));
    shell.details.clear();
    EXPECT_FALSE(PortUnit(shell, imageB, offsets, fileSide, fileIds, UnitIdSet()));  // nothing selected
    EXPECT_EQ(shell.details.front(), "bNumUnit: 必要 1, 空き 0");
    ASSERT_EQ(shell.messages.size(), 2u);
    for (const auto& message : shell.messages) {
        EXPECT_EQ(message.text, "IDが足りません");
        EXPECT_EQ(message.caption, std::string("エラー"));
    }

    // A stream that a folder load would refuse: the ported unit does not read back.
    UnitDataSet unreadable = fileSide;
    unreadable.sprites[0].data = {0x10, 0xFF, 0xFF, 0xFF, 0x00};  // 0xFFFFFF bytes claimed
    shell.messages.clear();
    EXPECT_FALSE(PortUnit(shell, imageB, offsets, unreadable, fileIds,
                          CollectUnitIds(readUnit(imageB, kTargetUnit))));
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_TRUE(shell.messages[0].text.starts_with("移植したユニットを読み直せません: Unit 0x010: "))
        << shell.messages[0].text;
    EXPECT_NE(shell.messages[0].text.find("LZ77データ はROMの範囲外です"), std::string::npos);
    EXPECT_TRUE(imageB == originalB);

    // Enough IDs, but the image would pass 32 MiB.
    imageB.resize(kMaxImageSize - 0x100, 0);
    const shell::Bytes padded = imageB;
    shell.messages.clear();
    EXPECT_FALSE(PortUnit(shell, imageB, offsets, fileSide, fileIds,
                          CollectUnitIds(readUnit(imageB, kTargetUnit))));
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_NE(shell.messages[0].text.find("32MB"), std::string::npos);
    EXPECT_TRUE(imageB == padded);
    EXPECT_TRUE(std::equal(originalB.begin(), originalB.end(), imageB.begin()));
    EXPECT_EQ(fileSide.wUnitID, kSourceUnit);
    EXPECT_TRUE(std::equal(addresses.begin(), addresses.end(), fileSide.dwAdrMotionPart.begin()));
}

TEST_F(PortTest, IdsMapByPositionAndNoneStaysNone)
{
    shell::Bytes image = sceneImage();
    const RomTableOffsets offsets = offsetsOf(image);
    UnitDataSet romSide = readUnit(image, kSceneUnit);
    UnitIdSet romIds = CollectUnitIds(romSide);
    romIds.sprite.ids[0] = 7;
    romIds.sprite.ids[1] = 9;

    UnitDataSet fileSide = romSide;
    fileSide.wIdSprite[0] = 5;
    fileSide.wIdSprite[1] = 7;
    fileSide.anime.wIdSpriteBG = 5;
    fileSide.anime.motion[0].wIdSprite_1 = 7;
    fileSide.anime.motion[1].wIdSprite_1 = 0xFFFF;
    fileSide.weaponAnimes[0].wIdSprite1_1 = 5;
    fileSide.unit.bUnnamed47 = 0;
    fileSide.wIdBGMap = 0xFFFF;  // no BG map in the folder
    fileSide.anime.wIdBGMap = 0xFFFF;
    const rom::BGMAP bgMapBefore = *rom::readRecord<rom::BGMAP>(image, offsets.directory, kSceneBGMap);
    const std::size_t oldSize = image.size();

    ASSERT_TRUE(PortUnit(shell, image, offsets, fileSide, CollectUnitIds(fileSide), romIds));
    EXPECT_EQ(fileSide.anime.wIdSpriteBG, 7);
    EXPECT_EQ(fileSide.anime.motion[0].wIdSprite_1, 9);
    EXPECT_EQ(fileSide.anime.motion[1].wIdSprite_1, 0xFFFF);
    EXPECT_EQ(fileSide.weaponAnimes[0].wIdSprite1_1, 7);
    EXPECT_EQ(fileSide.weaponAnimes[0].wIdWeapon, kSceneWeaponA);

    const UnitDataSet ported = readUnit(image, kSceneUnit);
    EXPECT_EQ(ported.unit.bUnnamed47, kSceneByte47);
    EXPECT_EQ(ported.anime.wIdBGMap, 0xFFFF);
    EXPECT_EQ(rom::serializeRecord(*rom::readRecord<rom::BGMAP>(image, offsets.directory, kSceneBGMap)),
              rom::serializeRecord(bgMapBefore));
    // Sprite 7 now holds the file's first sprite, sprite 9 its second, both appended.
    EXPECT_EQ(ported.wIdSprite[0], 7);
    EXPECT_EQ(ported.wIdSprite[1], 9);
    EXPECT_EQ(ported.sprites[0].data, romSide.sprites[0].data);
    EXPECT_EQ(ported.sprites[1].data, romSide.sprites[1].data);
    const auto spriteTable = offsets.offset(rom::GameTable::Sprite);
    EXPECT_GT(rom::loadU32(image, spriteTable + 4 * 9) - 0x08000000u, oldSize);
    EXPECT_EQ(rom::loadU32(image, spriteTable + 4 * 9), fileSide.sprites[1].dwAddress);
}

}  // namespace
