#include "editor/unit_reader.hpp"

#include "tests/editor/editor_test_support.hpp"
#include "tests/support/character_table_file.hpp"
#include "tests/support/demo_scenario.hpp"
#include "tests/support/demo_streams.hpp"
#include "tests/support/record_descriptions.hpp"

#include <gtest/gtest.h>

namespace {

using namespace editor;
using namespace editor_test;

template <class Record>
shell::Bytes recordInImage(const shell::Bytes& image, std::uint16_t id)
{
    auto bytes = rom::recordBytes(image, offsetsOf(image).directory, Record::kTable, id);
    return shell::Bytes(bytes->begin(), bytes->end());
}

template <class Record>
shell::Bytes bytesOf(const Record& record)
{
    const auto bytes = rom::serializeRecord(record);
    return shell::Bytes(bytes.begin(), bytes.end());
}

shell::Bytes placedBytes(const shell::Bytes& image, const synthetic::Placed& placed)
{
    const auto begin = image.begin() + placed.offset;
    return shell::Bytes(begin, begin + placed.length);
}

shell::Bytes asBytes(const synthetic::Bytes& bytes)
{
    return shell::Bytes(bytes.begin(), bytes.end());
}

TEST(UnitReaderTest, SceneUnitReadsEveryRecordAndEveryBlockInSlotOrder)
{
    synthetic::RomBuilder builder = sceneBuilder();
    const synthetic::Placements placed = builder.placements();
    const shell::Bytes image = builder.take<shell::Bytes>();
    const UnitDataSet set = readUnit(image, kSceneUnit);

    EXPECT_EQ(set.wUnitID, kSceneUnit);
    EXPECT_EQ(bytesOf(set.unit), recordInImage<rom::UnitDataRecord>(image, kSceneUnit));
    EXPECT_EQ(set.unit.bUnnamed47, kSceneByte47);
    EXPECT_EQ(bytesOf(set.anime), recordInImage<rom::UNIT_ANIME_HEADER>(image, kSceneUnit));
    EXPECT_EQ(set.anime.motion[7].wParam, kSceneParam8);

    EXPECT_EQ(set.wIdIcon, kSceneIcon);
    ASSERT_TRUE(set.icon);
    EXPECT_EQ(shell::Bytes(set.icon->begin(), set.icon->end()), asBytes(synthetic::makeIcon(1)));

    ASSERT_EQ(set.bNumFixedWeapon, 2);
    EXPECT_EQ(set.wIdFixedWeapon[0], kSceneWeaponA);
    EXPECT_EQ(set.wIdFixedWeapon[1], kSceneWeaponB);
    EXPECT_EQ(set.wIdFixedWeapon[2], kNoId);
    EXPECT_EQ(bytesOf(set.weapons[1]), recordInImage<rom::WEAPON_DATA>(image, kSceneWeaponB));
    EXPECT_EQ(bytesOf(set.weaponAnimes[0]), recordInImage<rom::FIXED_ANIME_HEADER>(image, kSceneWeaponA));

    // wIdSpriteBG first; the weapon's use of the same sprite takes no second slot.
    ASSERT_EQ(set.bNumSprite, 2);
    EXPECT_EQ(set.wIdSprite[0], kSceneSpriteBG);
    EXPECT_EQ(set.wIdSprite[1], kSceneSprite1);
    EXPECT_EQ(set.wIdSprite[2], kNoId);
    EXPECT_EQ(set.sprites[0].data, placedBytes(image, placed.sprites.at(kSceneSpriteBG)));
    EXPECT_EQ(set.sprites[1].data, placedBytes(image, placed.sprites.at(kSceneSprite1)));

    ASSERT_EQ(set.bNumPallet, 3);
    EXPECT_EQ(set.wIdPallet[0], kScenePalletBG);
    EXPECT_EQ(set.wIdPallet[1], kScenePallet1);
    EXPECT_EQ(set.wIdPallet[2], kScenePalletWeapon);
    EXPECT_EQ(set.pallets[0].bNumPalette, 5);
    EXPECT_EQ(set.pallets[1].bNumPalette, 2);
    EXPECT_EQ(set.pallets[2].bNumPalette, 4);
    EXPECT_EQ(shell::Bytes(set.pallets[2].bytes().begin(), set.pallets[2].bytes().end()),
              asBytes(synthetic::makePalette(4, 6)));

    EXPECT_TRUE(set.hasBGMap());
    EXPECT_EQ(set.wIdBGMap, kSceneBGMap);
    EXPECT_EQ(set.bgMap.record.wParam1, 0x77);
    EXPECT_EQ(set.bgMap.data, placedBytes(image, placed.bgMaps.at(kSceneBGMap)));

    ASSERT_EQ(set.bNumMotionPart, 1);
    const synthetic::PlacedMotionPart& motion = placed.motionParts.at(kSceneMotion);
    EXPECT_EQ(set.dwAdrMotionPart[0], synthetic::gbaPointer(motion.header));
    EXPECT_EQ(set.motionParts[0].header.wTotalFrame, 40);
    ASSERT_EQ(set.motionParts[0].parts.size(), 2u);
    EXPECT_EQ(set.motionParts[0].parts[0].stream, placedBytes(image, motion.parts[0]));
    EXPECT_EQ(set.motionParts[0].parts[1].stream, placedBytes(image, motion.parts[1]));
    EXPECT_EQ(set.motionParts[0].parts[1].entry.wParam1, 0x0605);
    EXPECT_EQ(set.motionParts[0].script, placedBytes(image, motion.keyBlock));

    ASSERT_EQ(set.bNumShadowEtc, 1);
    const synthetic::PlacedShadowEtc& shadow = placed.shadowEtcs.at(kSceneShadow);
    EXPECT_EQ(set.shadowEtcs[0].entries[0].stream, placedBytes(image, shadow.streams[0]));
    EXPECT_EQ(set.shadowEtcs[0].entries[2].stream, placedBytes(image, shadow.streams[1]));
    EXPECT_TRUE(set.shadowEtcs[0].entries[1].stream.empty());

    ASSERT_EQ(set.bNumCutinScroll, 1);
    EXPECT_EQ(set.cutinScrolls[0].commands,
              placedBytes(image, placed.cutinScrolls.at(kSceneCutin).commands));

    const UnitIdSet ids = CollectUnitIds(set);
    EXPECT_EQ(ids.unit.count, 1);
    EXPECT_EQ(ids.icon.count, 1);
    EXPECT_EQ(ids.fixedWeapon.count, 2);
    EXPECT_EQ(ids.bgMap.count, 1);
    EXPECT_EQ(ids.pallet.ids[2], kScenePalletWeapon);
    EXPECT_EQ(ids.pallet.ids[3], kNoId);
}

TEST(UnitReaderTest, EveryDemoUnitReadsItsBlocksAsPlaced)
{
    const synthetic::DemoScenario demo = synthetic::makeDemoScenarioA();
    const shell::Bytes image = asImage(demo.image);
    for (const synthetic::DemoUnit& unit : demo.units) {
        const UnitDataSet set = readUnit(image, unit.id);
        for (std::size_t i = 0; i < set.bNumSprite; ++i)
            EXPECT_EQ(set.sprites[i].data, placedBytes(image, demo.placed.sprites.at(set.wIdSprite[i])));
        for (std::size_t i = 0; i < set.bNumPallet; ++i) {
            const synthetic::Bytes& palette = demo.palettes.at(set.wIdPallet[i]);
            const ByteSpan group = set.pallets[i].bytes();
            ASSERT_LE(group.size(), palette.size());
            EXPECT_TRUE(std::equal(group.begin(), group.end(), palette.begin()));
        }
        for (std::size_t i = 0; i < set.bNumMotionPart; ++i) {
            const synthetic::MotionPartSpec& spec = demo.motionParts.at(set.wIdMotionPart[i]);
            ASSERT_EQ(set.motionParts[i].parts.size(), spec.parts.size());
            for (std::size_t j = 0; j < spec.parts.size(); ++j)
                EXPECT_EQ(set.motionParts[i].parts[j].stream, asBytes(spec.parts[j].stream));
            EXPECT_EQ(set.motionParts[i].script, asBytes(spec.keyBlock.value_or(synthetic::Bytes())));
        }
        for (std::size_t i = 0; i < set.bNumCutinScroll; ++i)
            EXPECT_EQ(set.cutinScrolls[i].commands.size(),
                      demo.cutinScrolls.at(set.wIdCutinScroll[i]).commands.size() * 16);
    }
}

TEST(UnitReaderTest, PaletteGroupsEndAtTheirLimitTheMarkOrTheBuffer)
{
    shell::Bytes palettes(10 * kPaletteBytes, 0x11);
    EXPECT_EQ(ReadPalletGroup(palettes, 0, 2)->bNumPalette, 2);
    EXPECT_EQ(ReadPalletGroup(palettes, 0, 20)->bNumPalette, 8);  // the model holds eight
    EXPECT_EQ(ReadPalletGroup(palettes, 8 * kPaletteBytes, 5)->bNumPalette, 2);  // the buffer ends
    palettes[1] = 0x80;  // bit 15 of the first colour
    EXPECT_EQ(ReadPalletGroup(palettes, 0, 5)->bNumPalette, 1);
    EXPECT_FALSE(ReadPalletGroup(palettes, 10 * kPaletteBytes - 1, 2));
}

TEST(UnitReaderTest, NoneValuesAndIconsPastTheTableReadNothing)
{
    synthetic::RomBuilder builder = sceneBuilder();
    synthetic::UnitAnimeSpec header;
    header.wIdBGMap = 0xFFFE;
    builder.setUnitAnimeHeader(kSceneUnit, header);
    builder.setUnitIcon(kSceneUnit, 101);  // the unextended icon table ends at 100
    builder.setUnit(3, synthetic::UnitSpec{.name = synthetic::encodeGameText("ア")});
    builder.setUnitIcon(3, 0xFFFF);
    builder.setUnitAnimeHeader(3, synthetic::UnitAnimeSpec{});
    const shell::Bytes image = builder.take<shell::Bytes>();

    const UnitDataSet set = readUnit(image, kSceneUnit);
    EXPECT_FALSE(set.hasBGMap());
    EXPECT_EQ(set.wIdBGMap, 0xFFFE);
    EXPECT_TRUE(set.bgMap.data.empty());
    EXPECT_EQ(set.wIdIcon, kNoId);
    EXPECT_FALSE(set.icon);
    const UnitIdSet ids = CollectUnitIds(set);
    EXPECT_EQ(ids.bgMap.count, 0);
    EXPECT_EQ(ids.icon.count, 0);
    EXPECT_EQ(ids.sprite.count, 1);  // only the weapon's sprite

    const UnitDataSet bare = readUnit(image, 3);
    EXPECT_EQ(bare.bNumFixedWeapon, 0);
    EXPECT_EQ(bare.bNumSprite, 0);
    EXPECT_FALSE(bare.icon);
}

TEST(UnitReaderTest, UnitsBeyondTheModelOrTheImageAreRefused)
{
    synthetic::RomBuilder builder = sceneBuilder();
    synthetic::UnitSpec crowded{.name = synthetic::encodeGameText("ア")};
    for (std::uint16_t slot = 0; slot < 12; ++slot) {
        const auto weapon = static_cast<std::uint16_t>(100 + slot);
        crowded.wWeapon[slot] = weapon;
        synthetic::FixedAnimeSpec anime;
        anime.wIdMotionPart1 = static_cast<std::uint16_t>(300 + 4 * slot);
        anime.wIdMotionPart2 = static_cast<std::uint16_t>(301 + 4 * slot);
        anime.wIdMotionPart3 = static_cast<std::uint16_t>(302 + 4 * slot);
        anime.wIdMotionPart3_2 = static_cast<std::uint16_t>(303 + 4 * slot);
        builder.setFixedAnimeHeader(weapon, anime);
    }
    builder.setUnit(4, crowded);
    synthetic::UnitAnimeSpec header;
    header.wIdSpriteBG = kSceneSpriteBG;
    builder.setUnitAnimeHeader(5, header);
    builder.setUnit(5, synthetic::UnitSpec{.name = synthetic::encodeGameText("イ")});
    const shell::Bytes good = builder.take<shell::Bytes>();

    const RomTableOffsets offsets = offsetsOf(good);
    auto crowdedRead = ReadUnitFromRom(good, offsets, 4);
    ASSERT_FALSE(crowdedRead);
    EXPECT_NE(crowdedRead.error().message.find("MotionPart が多すぎます (最大 48 個)"), std::string::npos)
        << crowdedRead.error().message;

    // A sprite pointer past the image end.
    shell::Bytes damaged = good;
    const std::uint32_t entry = offsets.offset(rom::GameTable::Sprite) + 4 * kSceneSpriteBG;
    rom::storeU32(damaged, entry, 0x08000000 + static_cast<std::uint32_t>(damaged.size()) - 2);
    auto damagedRead = ReadUnitFromRom(damaged, offsets, 5);
    ASSERT_FALSE(damagedRead);
    EXPECT_NE(damagedRead.error().message.find("Sprite 0x003"), std::string::npos);
    EXPECT_FALSE(ReadRomTableOffsets(shell::Bytes(0x1000, 0)));
}

}  // namespace
