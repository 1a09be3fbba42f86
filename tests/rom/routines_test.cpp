#include "rom/block_writer.hpp"
#include "rom/gba_address.hpp"
#include "rom/lz77.hpp"
#include "rom/routines.hpp"
#include "rom/unit_resources.hpp"

#include "tests/support/demo_scenario.hpp"

#include <gtest/gtest.h>

namespace {

using rom::ResourceKind;

bool sameRange(const rom::ByteRange& measured, const synthetic::Placed& placed)
{
    return measured.offset == placed.offset && measured.length == placed.length;
}

// A gap ends on a multiple of 16 of the image the block lies in, and is never empty.
TEST(Routines, BlockGapsEndAlignedInTheImageAndAreNeverEmpty)
{
    for (std::uint32_t stride : {rom::kFolderPieceGap, rom::kTransplantPieceGap, rom::kTransplantHeaderGap}) {
        for (std::uint32_t base : {0u, 3u, 0x1000000u, 0x1234567u}) {
            for (std::uint32_t position = 0; position < 64; ++position) {
                rom::BlockWriter writer(base);
                writer.append(shell::Bytes(position, 0xAB));
                writer.gap(stride);
                const std::uint32_t gap = writer.position() - position;
                EXPECT_GE(gap, stride - 15) << stride << " " << base << " " << position;
                EXPECT_LE(gap, stride);
                EXPECT_EQ((base + writer.position()) % 16, 0u);
                EXPECT_EQ(writer.pointerHere(), rom::gbaPointerOf(base + writer.position()));
            }
        }
    }
}

// Every routine and block of both demo images, measured by the readers, ends where the builder
// says it placed it.
TEST(Routines, DemoRoutinesMeasureAsTheyWerePlaced)
{
    for (const synthetic::DemoScenario& demo :
         {synthetic::makeDemoScenarioA(), synthetic::makeDemoScenarioB()}) {
        const shell::ByteSpan image(demo.image);
        for (const auto& [id, placed] : demo.placed.motionParts) {
            const auto layout = rom::readMotionPart(image, placed.header);
            ASSERT_TRUE(layout) << layout.error().message;
            EXPECT_EQ(layout->partTable.offset, placed.partTable) << "MotionPart " << id;
            ASSERT_EQ(layout->parts.size(), placed.parts.size()) << "MotionPart " << id;
            for (std::size_t i = 0; i < placed.parts.size(); ++i)
                EXPECT_TRUE(sameRange(layout->parts[i], placed.parts[i])) << "MotionPart " << id;
            EXPECT_EQ(layout->keyBlock.length, placed.keyBlock.length) << "MotionPart " << id;
            if (placed.keyBlock.length != 0) {
                EXPECT_EQ(layout->keyBlock.offset, placed.keyBlock.offset);
            }
        }
        for (const auto& [id, placed] : demo.placed.shadowEtcs) {
            const auto layout = rom::readShadowEtc(image, placed.header);
            ASSERT_TRUE(layout) << layout.error().message;
            ASSERT_EQ(layout->streams.size(), placed.streams.size()) << "ShadowEtc " << id;
            for (std::size_t i = 0; i < placed.streams.size(); ++i)
                EXPECT_TRUE(sameRange(layout->streams[i], placed.streams[i])) << "ShadowEtc " << id;
        }
        for (const auto& [id, placed] : demo.placed.cutinScrolls) {
            const auto layout = rom::readCutinScroll(image, placed.header);
            ASSERT_TRUE(layout) << layout.error().message;
            EXPECT_TRUE(sameRange(layout->commands, placed.commands)) << "CutinScroll " << id;
        }
        for (const auto& [id, placed] : demo.placed.sprites) {
            const auto length = rom::measureLz77Block(image, placed.offset);
            ASSERT_TRUE(length) << length.error().message;
            EXPECT_EQ(*length, placed.length) << "Sprite " << id;
        }
    }
}

// The collection of every demo unit matches the lists worked out from the record descriptions.
TEST(Routines, DemoUnitsCollectTheirExpectedResources)
{
    for (const synthetic::DemoScenario& demo :
         {synthetic::makeDemoScenarioA(), synthetic::makeDemoScenarioB()}) {
        const auto directory = rom::readTableDirectory(demo.image);
        ASSERT_TRUE(directory);
        for (const synthetic::DemoUnit& unit : demo.units) {
            const synthetic::ExpectedResources expected = synthetic::expectedResources(demo, unit.id);
            const auto set = rom::CollectUnitResources(demo.image, *directory, unit.id);
            ASSERT_TRUE(set) << set.error().message;
            EXPECT_EQ(set->wIdIcon, expected.iconId);
            EXPECT_EQ(set->list(ResourceKind::FixedWeapon), expected.weapons) << unit.id;
            EXPECT_EQ(set->list(ResourceKind::BGMap), expected.bgMaps) << unit.id;
            EXPECT_EQ(set->list(ResourceKind::Sprite), expected.sprites) << unit.id;
            EXPECT_EQ(set->list(ResourceKind::Pallet), expected.pallets) << unit.id;
            EXPECT_EQ(set->list(ResourceKind::MotionPart), expected.motionParts) << unit.id;
            EXPECT_EQ(set->list(ResourceKind::ShadowEtc), expected.shadowEtcs) << unit.id;
            EXPECT_EQ(set->list(ResourceKind::CutinScroll), expected.cutinScrolls) << unit.id;
            EXPECT_EQ(set->list(ResourceKind::GraphicDifinition), expected.graphicDifinitions);
            EXPECT_EQ(set->list(ResourceKind::UnitCutin), expected.unitCutins) << unit.id;
            EXPECT_EQ(set->list(ResourceKind::SystemAnime), expected.systemAnimes) << unit.id;
            // Palettes first met behind cut-ins and the like are counted with two banks.
            std::vector<std::uint8_t> banks = expected.palletBanks;
            for (std::uint8_t& count : banks)
                count = count == 0 ? rom::pallet_banks::kReachedIndirectly : count;
            EXPECT_EQ(set->palletBankCounts, banks) << unit.id;
        }
    }
}

}  // namespace
