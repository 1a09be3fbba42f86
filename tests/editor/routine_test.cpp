#include "editor/routine_serializer.hpp"
#include "editor/unit_reader.hpp"

#include "rom/byte_io.hpp"
#include "rom/length_walks.hpp"
#include "tests/editor/editor_test_support.hpp"
#include "tests/support/walk_cases.hpp"

#include <gtest/gtest.h>

namespace {

using namespace editor;
using editor_test::readUnit;
using editor_test::sceneImage;

constexpr std::uint32_t kGba = 0x08000000;

TEST(RoutineTest, CutinScrollBlockIsItsCommandsAGapAndItsHeader)
{
    CutinScrollRoutine routine;
    routine.present = true;
    routine.header = {3, {0xAA, 0xBB}, 0x08FFFFFF};
    routine.commands = Bytes(48, 0x5C);
    const SerializedRoutine serialized = SerializeRoutine(routine, 0x100);
    ASSERT_EQ(serialized.block.size(), 0x50u + 8);
    EXPECT_EQ(serialized.pointer, kGba + 0x100 + 0x50);
    EXPECT_EQ(routine.header.dwCommands, kGba + 0x100);
    const Bytes expectedHeader{3, 0, 0xAA, 0xBB, 0x00, 0x01, 0x00, 0x08};
    EXPECT_TRUE(std::equal(expectedHeader.begin(), expectedHeader.end(), serialized.block.begin() + 0x50));
    EXPECT_TRUE(std::all_of(serialized.block.begin() + 48, serialized.block.begin() + 0x50,
                            [](std::uint8_t b) { return b == 0; }));
}

TEST(RoutineTest, NullPointersStayNullAndAbsentRoutinesGiveNothing)
{
    MotionPartRoutine motion;
    motion.present = true;
    motion.header = {2, 0, 10, 0, kGba + 0x500, 0};
    motion.parts.resize(2);
    motion.parts[0].entry = {0, 1, 2};
    motion.parts[1].entry = {kGba + 0x700, 3, 4};
    motion.parts[1].stream = Bytes{0x05, 0x00, 0xFF, 0x00};
    const SerializedRoutine block = SerializeRoutine(motion, 0);
    // part 0 (empty) at 0, gap to 32; part 1 at 32, gap to 64; gap to 96; table at 96 (16 bytes);
    // gap to 144; no script, gap to 176; header.
    EXPECT_EQ(motion.parts[0].entry.dwPointer, 0u);
    EXPECT_EQ(motion.parts[1].entry.dwPointer, kGba + 32);
    EXPECT_EQ(motion.header.dwPartTable, kGba + 96);
    EXPECT_EQ(motion.header.dwKeyBlock, 0u);
    EXPECT_EQ(block.pointer, kGba + 176);
    EXPECT_EQ(block.block.size(), 192u);
    EXPECT_EQ(rom::loadU32(block.block, 96), 0u);
    EXPECT_EQ(rom::loadU32(block.block, 104), kGba + 32);
    EXPECT_EQ(rom::loadU16(block.block, 108), 3);

    ShadowEtcRoutine shadow;
    shadow.present = true;
    shadow.header.wMask = 0b11;
    shadow.entries[1].dwPointer = kGba + 0x40;
    shadow.entries[1].stream = Bytes{0x80, 0xFF, 0x00};
    const SerializedRoutine shadowBlock = SerializeRoutine(shadow, 0);
    EXPECT_EQ(shadow.entries[0].dwPointer, 0u);
    EXPECT_EQ(shadow.entries[1].dwPointer, kGba + 32);
    EXPECT_EQ(rom::loadU32(shadowBlock.block, 96), 0u);
    EXPECT_EQ(rom::loadU32(shadowBlock.block, 100), kGba + 32);

    CutinScrollRoutine absent;
    EXPECT_TRUE(SerializeRoutine(absent, 0).block.empty());
    EXPECT_EQ(SerializeRoutine(absent, 0).pointer, 0u);
}

// A routine read from its own serialized block serializes to the same block again, at any base.
TEST(RoutineTest, SerializedRoutinesReadBackToTheSameBytes)
{
    UnitDataSet unit = readUnit(sceneImage(), editor_test::kSceneUnit);
    ASSERT_EQ(unit.bNumMotionPart, 1);
    for (std::uint32_t base : {0u, 0x1000004u}) {
        MotionPartRoutine motion = unit.motionParts[0];
        const SerializedRoutine first = SerializeRoutine(motion, base);
        Bytes placed(base, 0);
        placed.insert(placed.end(), first.block.begin(), first.block.end());
        auto again = ReadMotionPartRoutine(placed, first.pointer);
        ASSERT_TRUE(again) << again.error().message;
        EXPECT_EQ(again->script, unit.motionParts[0].script);
        ASSERT_EQ(again->parts.size(), 2u);
        EXPECT_EQ(again->parts[1].stream, unit.motionParts[0].parts[1].stream);
        EXPECT_EQ(SerializeRoutine(*again, base).block, first.block);

        ShadowEtcRoutine shadow = unit.shadowEtcs[0];
        const SerializedRoutine shadowBlock = SerializeRoutine(shadow, base);
        Bytes shadowPlaced(base, 0);
        shadowPlaced.insert(shadowPlaced.end(), shadowBlock.block.begin(), shadowBlock.block.end());
        auto shadowAgain = ReadShadowEtcRoutine(shadowPlaced, shadowBlock.pointer);
        ASSERT_TRUE(shadowAgain) << shadowAgain.error().message;
        EXPECT_EQ(shadowAgain->entries[2].stream, unit.shadowEtcs[0].entries[2].stream);
        EXPECT_EQ(SerializeRoutine(*shadowAgain, base).block, shadowBlock.block);
    }
}

// The script walk stops on what the script holds, never on what follows it: a key block cut out
// and followed by zeros (as in a routine file) measures what it measured in place.
TEST(RoutineTest, ScriptMeasuresTheSameWhateverFollowsIt)
{
    for (const synthetic::WalkCase& walk : synthetic::keyBlockWalkCases()) {
        const Bytes inPlace(walk.bytes.begin(), walk.bytes.end());
        Bytes inFile(walk.bytes.begin(), walk.bytes.begin() + static_cast<std::ptrdiff_t>(walk.length));
        inFile.resize(inFile.size() + 32, 0);
        auto measured = rom::measureKeyBlock(inPlace, 0, walk.limit);
        auto again = rom::measureKeyBlock(inFile, 0, walk.limit);
        ASSERT_TRUE(measured && again) << walk.name;
        EXPECT_EQ(*measured, walk.length) << walk.name;
        EXPECT_EQ(*again, walk.length) << walk.name;
    }
    for (const synthetic::WalkCase& walk : synthetic::partStreamWalkCases()) {
        Bytes inFile(walk.bytes.begin(), walk.bytes.begin() + static_cast<std::ptrdiff_t>(walk.length));
        inFile.resize(inFile.size() + 17, 0);
        auto again = rom::measurePartStream(inFile, 0, walk.limit);
        ASSERT_TRUE(again) << walk.name;
        EXPECT_EQ(*again, walk.length) << walk.name;
    }
    // A part pointer of 0 and no key block: a part without data and an empty script.
    Bytes nullPart{1, 0, 10, 0, 0, 0, 0, 0, 0x10, 0, 0, 0x08, 0, 0, 0, 0};
    nullPart.resize(nullPart.size() + PartTableEntry::kSize, 0);
    auto routine = ReadMotionPartRoutine(nullPart, kGba);
    ASSERT_TRUE(routine) << routine.error().message;
    ASSERT_EQ(routine->parts.size(), 1u);
    EXPECT_TRUE(routine->parts[0].stream.empty() && routine->script.empty());
}

TEST(RoutineTest, RoutinesOutsideTheirBufferAreErrorsNotReads)
{
    const Bytes header{1, 0, 10, 0, 0, 0, 0, 0, 0x00, 0x10, 0, 0x08, 0, 0, 0, 0};  // table at 0x1000
    EXPECT_FALSE(ReadMotionPartRoutine(header, kGba));
    EXPECT_FALSE(ReadMotionPartRoutine(header, kGba + 1));
    const Bytes shadow{0x01, 0, 0, 0, 0, 0, 0, 0};  // one stream, list pointer 0
    EXPECT_FALSE(ReadShadowEtcRoutine(shadow, kGba));
    const Bytes cutin{1, 0, 0, 0, 8, 0, 0, 0x08};  // one command at 8: past the buffer
    EXPECT_FALSE(ReadCutinScrollRoutine(cutin, kGba));
    EXPECT_FALSE(ReadCutinScrollRoutine(Bytes{}, 0x10));  // below the GBA base
}

}  // namespace
