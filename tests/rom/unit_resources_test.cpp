#include "rom/unit_resources.hpp"

#include "tests/support/synthetic_rom.hpp"

#include <gtest/gtest.h>

namespace {

using rom::ResourceKind;
using synthetic::CutinCommand;
using synthetic::RomBuilder;
using Ids = std::vector<std::uint16_t>;

constexpr std::uint16_t kUnit = 0x2A;
constexpr std::uint16_t kNone = 0xFFFF;

CutinCommand command(std::uint8_t opcode, std::size_t idField, std::uint16_t id,
                     std::uint8_t byte4 = 0)
{
    CutinCommand bytes{};
    bytes[0] = opcode;
    bytes[4] = byte4;
    bytes[idField] = static_cast<std::uint8_t>(id);
    bytes[idField + 1] = static_cast<std::uint8_t>(id >> 8);
    return bytes;
}

CutinCommand systemAnimeCommand(std::uint8_t opcode, std::uint16_t id)
{
    return command(opcode, 4, id, static_cast<std::uint8_t>(id));
}

rom::RomResult<rom::UnitResourceSet> collect(shell::ByteSpan image, std::uint16_t unit = kUnit)
{
    const auto directory = rom::readTableDirectory(image);
    EXPECT_TRUE(directory);
    return rom::CollectUnitResources(image, *directory, unit);
}

// A unit whose resources are met in a known order through every path of the collection: shared
// and repeated IDs, empty fields, every kind of effect command, and records reached only late.
synthetic::Bytes unitWithEveryPath()
{
    RomBuilder rom;
    synthetic::UnitSpec unit;
    unit.wWeapon = {5, kNone, 0x28A, 0x289, 5, 3, kNone, kNone, kNone, kNone, kNone, kNone};
    rom.setUnit(kUnit, unit);
    rom.setUnitIcon(kUnit, 7);

    synthetic::UnitAnimeSpec header;
    header.wIdBGMap = 10;
    header.wIdSpriteBG = 100;
    header.wIdPalletBG = 50;
    header.groups[0] = {101, 51, 102, 50, 200, 300, 400, 0};
    header.groups[1] = {100, kNone, kNone, kNone, kNone, kNone, 401, 0};
    header.groups[2] = {kNone, kNone, kNone, kNone, 201, 300, 400, 0};
    rom.setUnitAnimeHeader(kUnit, header);

    synthetic::FixedAnimeSpec weapon5;
    weapon5.wIdSprite1_1 = 103;
    weapon5.wIdSprite1_3 = 101;
    weapon5.wIdPallet1_3 = 52;
    weapon5.wIdPallet2_1 = 51;
    weapon5.wIdMotionPart1 = 202;
    weapon5.wIdCutinScroll2 = 402;
    rom.setFixedAnimeHeader(5, weapon5);
    synthetic::FixedAnimeSpec lastWeapon;
    lastWeapon.wIdSprite3_3 = 104;
    lastWeapon.wIdPallet3_3 = 53;
    lastWeapon.wIdPallet1_1 = 54;
    rom.setFixedAnimeHeader(0x289, lastWeapon);
    rom.setFixedAnimeHeader(3, synthetic::FixedAnimeSpec{});

    rom.setCutinScroll(400, {0, {command(0x24, 12, 3), command(0x17, 8, 2, 0),
                                 command(0x17, 8, 9, 1), command(0x17, 8, 4, 2),
                                 systemAnimeCommand(0x05, 6), systemAnimeCommand(0x02, kNone),
                                 command(0x07, 4, 0x55)}});
    // 401 has no routine (its pointer-table entry is zero).
    rom.setCutinScroll(402, {0, {command(0x24, 12, 3), systemAnimeCommand(0x06, 7)}});
    // Reached only through a cut-in: collected, never walked.
    rom.setCutinScroll(403, {0, {command(0x24, 12, 99)}});

    synthetic::UnitCutinSpec cutin2;
    cutin2.wIdBGMap = {11, 0xFFFE, 10};
    cutin2.wIdSprite = {105, 106, kNone};
    cutin2.wIdPallet = {55, kNone, 56};
    cutin2.wIdMotionPart = 203;
    cutin2.wIdShadowEtc = 301;
    cutin2.wIdCutinScroll = 403;
    rom.setUnitCutin(2, cutin2);
    synthetic::UnitCutinSpec cutin4;
    cutin4.wIdSprite[0] = 107;
    rom.setUnitCutin(4, cutin4);

    synthetic::GraphicDifinitionSpec graphic3;
    graphic3.wIdSprite = 108;
    graphic3.wIdPallet = 57;
    rom.setGraphicDifinition(3, graphic3);

    synthetic::SystemAnimeSpec system6;
    system6.wIdSprite = 109;
    system6.wIdPallet = 51;
    system6.wIdMotionPart = 204;
    system6.wIdCutinScroll = 404;
    rom.setSystemAnime(6, system6);
    rom.setSystemAnime(7, synthetic::SystemAnimeSpec{});
    return rom.take();
}

TEST(UnitResources, EveryKindIsCollectedInFirstMetOrder)
{
    const auto set = collect(unitWithEveryPath());
    ASSERT_TRUE(set) << set.error().message;
    EXPECT_TRUE(set->valid);
    EXPECT_EQ(set->wIdUnit, kUnit);
    EXPECT_EQ(set->wIdIcon, 7);
    EXPECT_EQ(set->list(ResourceKind::FixedWeapon), (Ids{5, 0x289, 3}));
    EXPECT_EQ(set->list(ResourceKind::BGMap), (Ids{10, 11}));
    EXPECT_EQ(set->list(ResourceKind::Sprite),
              (Ids{100, 101, 102, 103, 104, 105, 106, 107, 108, 109}));
    EXPECT_EQ(set->list(ResourceKind::Pallet), (Ids{50, 51, 52, 54, 53, 55, 56, 57}));
    EXPECT_EQ(set->palletBankCounts, (std::vector<std::uint8_t>{5, 2, 4, 2, 4, 2, 2, 2}));
    EXPECT_EQ(set->list(ResourceKind::MotionPart), (Ids{200, 201, 202, 203, 204}));
    EXPECT_EQ(set->list(ResourceKind::ShadowEtc), (Ids{300, 301}));
    EXPECT_EQ(set->list(ResourceKind::CutinScroll), (Ids{400, 401, 402, 403, 404}));
    // 99 is named only by routine 403, which is reached through a cut-in and not walked.
    EXPECT_EQ(set->list(ResourceKind::GraphicDifinition), (Ids{3}));
    EXPECT_EQ(set->list(ResourceKind::UnitCutin), (Ids{2, 4}));
    EXPECT_EQ(set->list(ResourceKind::SystemAnime), (Ids{6, 7}));
    EXPECT_TRUE(set->list(ResourceKind::Unit).empty());
    EXPECT_TRUE(set->list(ResourceKind::IconData).empty());
}

TEST(UnitResources, AUnitWithoutWeaponsOrBackgroundCollectsOnlyItsHeader)
{
    RomBuilder rom;
    rom.setUnit(kUnit, synthetic::UnitSpec{});  // every weapon slot 0xFFFF
    synthetic::UnitAnimeSpec header;
    header.wIdBGMap = 0xFFFE;
    header.groups[7] = {20, 21, kNone, kNone, kNone, kNone, kNone, 0};
    rom.setUnitAnimeHeader(kUnit, header);
    const auto set = collect(rom.take());
    ASSERT_TRUE(set) << set.error().message;
    EXPECT_TRUE(set->list(ResourceKind::FixedWeapon).empty());
    EXPECT_TRUE(set->list(ResourceKind::BGMap).empty());
    EXPECT_EQ(set->list(ResourceKind::Sprite), (Ids{20}));
    EXPECT_EQ(set->list(ResourceKind::Pallet), (Ids{21}));
    EXPECT_TRUE(set->list(ResourceKind::CutinScroll).empty());
}

TEST(UnitResources, DataThatLeavesTheImageIsAnErrorNamingIt)
{
    // An effect routine whose pointer leads past the image end.
    RomBuilder pastEnd;
    pastEnd.setUnit(kUnit, synthetic::UnitSpec{});
    synthetic::UnitAnimeSpec header;
    header.groups[0].wIdCutinScroll = 5;
    pastEnd.setUnitAnimeHeader(kUnit, header);
    pastEnd.putU32(synthetic::layout::recordOffset(synthetic::layout::Table::CutinScroll, 5),
                   synthetic::gbaPointer(0xFFFFFC));
    const auto routine = collect(pastEnd.take());
    ASSERT_FALSE(routine);
    EXPECT_NE(routine.error().message.find("CutinScroll 0x005"), std::string::npos)
        << routine.error().message;

    // A command area that runs past the end: 0xFFFF commands of 16 bytes from near the end.
    RomBuilder longCommands;
    longCommands.setUnit(kUnit, synthetic::UnitSpec{});
    longCommands.setUnitAnimeHeader(kUnit, header);
    const auto placed = longCommands.setCutinScroll(5, {0, {command(0x24, 12, 1)}});
    longCommands.putU16(placed.header, 0xFFFF);
    longCommands.putU32(placed.header + 4, synthetic::gbaPointer(0xFFFF00));
    EXPECT_FALSE(collect(longCommands.take()));

    // A weapon whose animation header lies outside a moved table.
    RomBuilder movedTable;
    synthetic::UnitSpec armed;
    armed.wWeapon[0] = 0x289;
    movedTable.setUnit(kUnit, armed);
    movedTable.putU32(synthetic::layout::entry(synthetic::layout::Table::FixedAnime).locator,
                      synthetic::gbaPointer(0xFFFF00));
    EXPECT_FALSE(collect(movedTable.take()));
}

}  // namespace
