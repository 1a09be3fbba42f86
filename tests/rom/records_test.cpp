#include "rom/records.hpp"
#include "rom/routines.hpp"

#include <gtest/gtest.h>

#include <random>

namespace {

using namespace rom;

template <class Record>
std::uint16_t u16At(const Record& record, std::size_t offset)
{
    const auto bytes = serializeRecord(record);
    return static_cast<std::uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
}

template <class Record>
void expectByteForByteRoundTrip()
{
    std::mt19937 random(Record::kSize);
    std::array<std::uint8_t, Record::kSize> bytes{};
    for (auto& byte : bytes)
        byte = static_cast<std::uint8_t>(random());
    EXPECT_EQ(serializeRecord(parseRecord<Record>(bytes)), bytes);
}

TEST(Records, EveryLayoutReadsAndWritesBackEveryByte)
{
    expectByteForByteRoundTrip<UnitDataRecord>();
    expectByteForByteRoundTrip<WEAPON_DATA>();
    expectByteForByteRoundTrip<UNIT_ANIME_HEADER>();
    expectByteForByteRoundTrip<FIXED_ANIME_HEADER>();
    expectByteForByteRoundTrip<SystemAnimeRecord>();
    expectByteForByteRoundTrip<GraphicDifinitionRecord>();
    expectByteForByteRoundTrip<UnitCutinRecord>();
    expectByteForByteRoundTrip<BGMAP>();
    expectByteForByteRoundTrip<IconRecord>();
    expectByteForByteRoundTrip<MotionPartHeader>();
    expectByteForByteRoundTrip<ShadowEtcHeader>();
    expectByteForByteRoundTrip<CutinScrollHeader>();
}

// The offsets below are those at which the transplant rewrites IDs, listed independently of the
// field order of the structs.
TEST(Records, UnitRecordFieldsLieAtTheirOffsets)
{
    UnitDataRecord unit{};
    unit.dwMaxHP = 0x01020304;
    unit.wArmor = 0xA1A2;
    unit.wWeapon[0] = 0x1111;
    unit.wWeapon[11] = 0x2222;
    unit.bUnitName[0] = 0xBA;
    const auto bytes = serializeRecord(unit);
    EXPECT_EQ(bytes[0], 0x04);
    EXPECT_EQ(u16At(unit, 0x08), 0xA1A2);
    EXPECT_EQ(u16At(unit, 0x30), 0x1111);
    EXPECT_EQ(u16At(unit, 0x46), 0x2222);
    EXPECT_EQ(bytes[0x48], 0xBA);

    WEAPON_DATA weapon{};
    weapon.bWeaponName[0] = 0xC9;
    weapon.wPWeaponInfo = 0x3344;
    EXPECT_EQ(serializeRecord(weapon)[0x20], 0xC9);
    EXPECT_EQ(u16At(weapon, 0x1E), 0x3344);
}

TEST(Records, AnimationHeaderIdFieldsLieAtTheirOffsets)
{
    UNIT_ANIME_HEADER unit{};
    unit.wIdSpriteBG = 1;
    unit.wIdPalletBG = 2;
    unit.wIdBGMap = 3;
    for (std::uint16_t k = 0; k < 8; ++k) {
        unit.motion[k].wIdSprite_1 = static_cast<std::uint16_t>(0x100 + k);
        unit.motion[k].wIdPallet_2 = static_cast<std::uint16_t>(0x200 + k);
        unit.motion[k].wIdMotionPart = static_cast<std::uint16_t>(0x300 + k);
        unit.motion[k].wIdShadowEtc = static_cast<std::uint16_t>(0x400 + k);
        unit.motion[k].wIdCutinScroll = static_cast<std::uint16_t>(0x500 + k);
    }
    EXPECT_EQ(u16At(unit, 0x04), 1);
    EXPECT_EQ(u16At(unit, 0x06), 2);
    EXPECT_EQ(u16At(unit, 0x08), 3);
    for (std::size_t k = 0; k < 8; ++k) {
        EXPECT_EQ(u16At(unit, 0x0C + 0x10 * k), 0x100 + k);
        EXPECT_EQ(u16At(unit, 0x12 + 0x10 * k), 0x200 + k);
        EXPECT_EQ(u16At(unit, 0x14 + 0x10 * k), 0x300 + k);
        EXPECT_EQ(u16At(unit, 0x16 + 0x10 * k), 0x400 + k);
        EXPECT_EQ(u16At(unit, 0x18 + 0x10 * k), 0x500 + k);
    }

    FIXED_ANIME_HEADER weapon{};
    std::uint16_t FIXED_ANIME_HEADER::* const sprites[] = {
        &FIXED_ANIME_HEADER::wIdSprite1_1, &FIXED_ANIME_HEADER::wIdSprite1_2,
        &FIXED_ANIME_HEADER::wIdSprite1_3, &FIXED_ANIME_HEADER::wIdSprite1_4,
        &FIXED_ANIME_HEADER::wIdSprite2_1, &FIXED_ANIME_HEADER::wIdSprite2_2,
        &FIXED_ANIME_HEADER::wIdSprite2_3, &FIXED_ANIME_HEADER::wIdSprite3_1,
        &FIXED_ANIME_HEADER::wIdSprite3_2, &FIXED_ANIME_HEADER::wIdSprite3_3};
    const std::size_t spriteOffsets[] = {0x04, 0x08, 0x0C, 0x10, 0x1C, 0x20, 0x24, 0x30, 0x34, 0x38};
    std::uint16_t FIXED_ANIME_HEADER::* const routines[] = {
        &FIXED_ANIME_HEADER::wIdMotionPart1,  &FIXED_ANIME_HEADER::wIdMotionPart2,
        &FIXED_ANIME_HEADER::wIdMotionPart3,  &FIXED_ANIME_HEADER::wIdMotionPart3_2,
        &FIXED_ANIME_HEADER::wIdShadowEtc1,   &FIXED_ANIME_HEADER::wIdShadowEtc2,
        &FIXED_ANIME_HEADER::wIdShadowEtc3,   &FIXED_ANIME_HEADER::wIdShadowEtc3_2,
        &FIXED_ANIME_HEADER::wIdCutinScroll1, &FIXED_ANIME_HEADER::wIdCutinScroll2,
        &FIXED_ANIME_HEADER::wIdCutinScroll3, &FIXED_ANIME_HEADER::wIdCutinScroll3_2};
    const std::size_t routineOffsets[] = {0x14, 0x28, 0x3C, 0x44, 0x16, 0x2A,
                                          0x3E, 0x46, 0x18, 0x2C, 0x40, 0x48};
    for (std::size_t i = 0; i < std::size(sprites); ++i)
        weapon.*sprites[i] = static_cast<std::uint16_t>(0x700 + i);
    for (std::size_t i = 0; i < std::size(routines); ++i)
        weapon.*routines[i] = static_cast<std::uint16_t>(0x800 + i);
    for (std::size_t i = 0; i < std::size(sprites); ++i) {
        EXPECT_EQ(u16At(weapon, spriteOffsets[i]), 0x700 + i) << i;
        EXPECT_EQ(u16At(weapon, spriteOffsets[i] + 2), 0) << "pallet after sprite " << i;
    }
    for (std::size_t i = 0; i < std::size(routines); ++i)
        EXPECT_EQ(u16At(weapon, routineOffsets[i]), 0x800 + i) << i;
}

TEST(Records, SmallRecordIdFieldsLieAtTheirOffsets)
{
    UnitCutinRecord cutin{};
    cutin.wIdSprite3 = 0x31;
    cutin.wIdPallet3 = 0x32;
    cutin.wIdBGMap3 = 0x33;
    cutin.wIdMotionPart = 0x34;
    cutin.wIdShadowEtc = 0x35;
    cutin.wIdCutinScroll = 0x36;
    EXPECT_EQ(u16At(cutin, 0x18), 0x31);
    EXPECT_EQ(u16At(cutin, 0x1A), 0x32);
    EXPECT_EQ(u16At(cutin, 0x10), 0x33);
    EXPECT_EQ(u16At(cutin, 0x1C), 0x34);
    EXPECT_EQ(u16At(cutin, 0x1E), 0x35);
    EXPECT_EQ(u16At(cutin, 0x20), 0x36);

    SystemAnimeRecord system{};
    system.wIdSprite = 1;
    system.wIdCutinScroll = 5;
    EXPECT_EQ(u16At(system, 0x04), 1);
    EXPECT_EQ(u16At(system, 0x0C), 5);

    GraphicDifinitionRecord graphic{};
    graphic.wIdSprite = 7;
    graphic.wIdPallet = 8;
    EXPECT_EQ(u16At(graphic, 0x02), 7);
    EXPECT_EQ(u16At(graphic, 0x04), 8);
}

}  // namespace
