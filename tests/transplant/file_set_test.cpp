// The file set's text index, the forgiving number reading of the tool's text files, the folder
// names, and the routine blocks with their relocation and ID remapping.

#include "rom/gba_address.hpp"
#include "tests/support/demo_streams.hpp"
#include "tests/support/synthetic_rom.hpp"
#include "transplant/extraction.hpp"
#include "transplant/file_set.hpp"
#include "transplant/key_value_text.hpp"
#include "transplant/routine_blocks.hpp"
#include "transplant/transplant_unit.hpp"

#include <gtest/gtest.h>

namespace {

using rom::ResourceKind;
using transplant::findKeyValue;
using transplant::readFileNumber;

TEST(UnitAllDataText, ListsIdsCountsAndEntriesInTheirOrderAndReadsBack)
{
    rom::UnitResourceSet set;
    set.valid = true;
    set.wIdUnit = 0x2A;
    set.wIdIcon = 0x100;
    set.list(ResourceKind::Sprite) = {0x10, 0x0, 0xABC};
    set.list(ResourceKind::FixedWeapon) = {0x289};
    set.list(ResourceKind::SystemAnime) = {0x1F};

    const std::string text = transplant::unitAllDataText(set);
    EXPECT_EQ(text,
              "[wIdUnit]=&H2A\r\n[wIdIcon]=&H100\r\n"
              "[bNumBGMap]=&H0\r\n[bNumCutinScroll]=&H0\r\n[bNumFixedWeapon]=&H1\r\n"
              "[bNumGraphicDifinition]=&H0\r\n[bNumMotionPart]=&H0\r\n[bNumPallet]=&H0\r\n"
              "[bNumShadowEtc]=&H0\r\n[bNumSprite]=&H3\r\n[bNumUnitCutin]=&H0\r\n"
              "[bNumSystemAnime]=&H1\r\n"
              "[wIdFixedWeapon0]=&H289\r\n"
              "[wIdSprite0]=&H10\r\n[wIdSprite1]=&H0\r\n[wIdSprite2]=&HABC\r\n"
              "[wIdSystemAnime0]=&H1F\r\n");

    auto parsed = transplant::parseUnitAllData(text);
    ASSERT_TRUE(parsed);
    EXPECT_TRUE(parsed->valid);
    EXPECT_EQ(parsed->wIdUnit, 0x2A);
    EXPECT_EQ(parsed->wIdIcon, 0x100);
    EXPECT_EQ(parsed->lists, set.lists);
}

TEST(UnitAllDataText, AnIndexCutShortOrHoldingAMistakenValueIsRefused)
{
    rom::UnitResourceSet set;
    set.list(ResourceKind::Sprite) = {5, 7};
    const std::string whole = transplant::unitAllDataText(set);
    // Cut before its last line, in its counts, and emptied: each loses a key it must hold.
    const std::string lastLine = "[wIdSprite1]=&H7\r\n";
    ASSERT_TRUE(whole.ends_with(lastLine));
    const std::string cutLists = whole.substr(0, whole.size() - lastLine.size());
    const std::string cutCounts = whole.substr(0, whole.find("[bNumSprite]"));
    for (const std::string& text : {cutLists, cutCounts, std::string()}) {
        auto parsed = transplant::parseUnitAllData(text);
        ASSERT_FALSE(parsed);
        EXPECT_TRUE(parsed.error().message.starts_with("UnitAllData.dat に ["));
    }
    EXPECT_EQ(transplant::parseUnitAllData(cutLists).error().message, "UnitAllData.dat に [wIdSprite1] の行がありません");

    // wIdSprite10 must not be taken for wIdSprite1; unit and icon IDs may be missing.
    std::string noIds = whole.substr(whole.find("[bNumBGMap]"));
    noIds.replace(noIds.find(lastLine), lastLine.size(), "[wIdSprite10]=&H9\r\n");
    EXPECT_FALSE(transplant::parseUnitAllData(noIds));
    auto parsed = transplant::parseUnitAllData(whole.substr(whole.find("[bNumBGMap]")));
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->wIdUnit, 0);
    EXPECT_EQ(parsed->list(ResourceKind::Sprite), (std::vector<std::uint16_t>{5, 7}));

    // Values that are no number or do not fit are refused, never read as something else.
    const auto refusal = [&](const std::string& line, const std::string& by) {
        std::string text = whole;
        text.replace(text.find(line), line.size(), by);
        const auto refused = transplant::parseUnitAllData(text);
        return refused ? std::string() : refused.error().message;
    };
    EXPECT_EQ(refusal("[bNumPallet]=&H0", "[bNumPallet]=&H100"),
              "UnitAllData.dat: [bNumPallet]=&H100 は範囲外です (0 から 255)");
    EXPECT_EQ(refusal(lastLine, "[wIdSprite1]=&H10000\r\n"),
              "UnitAllData.dat: [wIdSprite1]=&H10000 は範囲外です (0 から 65535)");
    EXPECT_EQ(refusal(lastLine, "[wIdSprite1]=7x\r\n"), "UnitAllData.dat: [wIdSprite1]=7x は数値ではありません");
    EXPECT_EQ(refusal("[wIdUnit]=&H0", "[wIdUnit]=-1"), "UnitAllData.dat: [wIdUnit]=-1 は範囲外です (0 から 65535)");

    rom::UnitResourceSet tooLong;
    tooLong.list(ResourceKind::Pallet).assign(256, 1);
    EXPECT_FALSE(transplant::checkListsFitIndex(tooLong));
}

TEST(FileNumbers, ReadEveryFormTheFilesUse)
{
    EXPECT_EQ(readFileNumber("&H1F"), 0x1Fu);
    EXPECT_EQ(readFileNumber("&hff"), 0xFFu);
    EXPECT_EQ(readFileNumber("  &O17"), 15u);
    EXPECT_EQ(readFileNumber("42"), 42u);
    EXPECT_EQ(readFileNumber("+42.9"), 42u);
    EXPECT_EQ(static_cast<std::uint16_t>(readFileNumber("-1")), 0xFFFF);
    EXPECT_EQ(readFileNumber("&H12Z4"), 0x12u);
    EXPECT_EQ(readFileNumber("&O9"), 0u);
    EXPECT_EQ(readFileNumber(""), 0u);
    // Too large for 64 bits: never wraps round to a small value a field could take.
    EXPECT_EQ(readFileNumber("&H10000000000000001"), UINT64_MAX);
    EXPECT_EQ(readFileNumber("-99999999999999999999"), UINT64_MAX);

    EXPECT_EQ(findKeyValue("x[a]=&H10\r\n[a]=&H20\r\n", "a"), 0x10u);
    EXPECT_EQ(findKeyValue("[a]=&H10", "a"), 0x10u);  // no line end
    EXPECT_EQ(findKeyValue("[ab]=&H10\r\n", "a"), std::nullopt);
}

TEST(UnitFolderName, ReplacesWhatFileSystemsRefuseAndNeverComesOutEmpty)
{
    EXPECT_EQ(transplant::unitFolderName("シュヴァルツ", 0x2A), "シュヴァルツ");
    EXPECT_EQ(transplant::unitFolderName("A/B\\C:D*E?F\"G<H>I|J", 1), "A_B_C_D_E_F_G_H_I_J");
    EXPECT_EQ(transplant::unitFolderName("X\ty", 1), "X_y");
    EXPECT_EQ(transplant::unitFolderName("", 0x2A), "Unit02A");
    EXPECT_EQ(transplant::unitFolderName("..", 0x2A), "Unit02A");
    EXPECT_EQ(transplant::unitFolderName("Name. ", 3), "Name");
}

TEST(BlockPlacement, NextBlockStartsOnABoundaryStrictlyAfterTheEnd)
{
    EXPECT_EQ(transplant::nextBlockCursor(0x800000, 0x20), 0x800030u);
    EXPECT_EQ(transplant::nextBlockCursor(0x800000, 0x1F), 0x800020u);
    EXPECT_EQ(transplant::nextBlockCursor(0x800004, 0x0C), 0x800020u);
}

// A small image holding one routine of each kind, placed by the synthetic builder.
class RoutineBlockTest : public ::testing::Test {
protected:
    synthetic::RomBuilder builder;
};

TEST_F(RoutineBlockTest, MotionPartBlockIsSelfContainedAndRelocates)
{
    using synthetic::StreamEnd;
    synthetic::MotionPartSpec spec;
    spec.totalFrames = 40;
    spec.parts = {{synthetic::makePartStream(40, StreamEnd::Limit, 1), {0x11, 0x11, 0x11, 0x11}},
                  {synthetic::makePartStream(40, StreamEnd::EndMark, 2), {0x22, 0x22, 0x22, 0x22}}};
    const synthetic::PlacedMotionPart placed = builder.setMotionPart(7, spec);
    const shell::Bytes image = builder.take<shell::Bytes>();

    auto block = transplant::buildMotionPartBlock(image, placed.header);
    ASSERT_TRUE(block) << block.error().message;
    // Header, then the part table at 16, then 48 - (32 mod 16) = 48 bytes of padding.
    EXPECT_EQ(rom::loadU32(*block, 8), 0x08000010u);
    const std::uint32_t firstPart = rom::loadU32(*block, 16);
    EXPECT_EQ(firstPart, 0x08000000u + 32 + 48);
    EXPECT_EQ(rom::loadU32(*block, 20), 0x11111111u);  // the entry's second field is kept
    const std::size_t firstLength = spec.parts[0].stream.size();
    EXPECT_TRUE(std::equal(spec.parts[0].stream.begin(), spec.parts[0].stream.end(),
                           block->begin() + 80));
    EXPECT_EQ(rom::loadU32(*block, 24), firstPart + firstLength + 48 - firstLength % 16);
    for (std::size_t i = 32; i < 80; ++i)
        ASSERT_EQ((*block)[i], 0) << i;
    // The routine had no key block; the block gets a pointer to an empty one at its end.
    const std::uint32_t keyBlock = rom::loadU32(*block, 12);
    EXPECT_EQ(rom::romOffsetOf(keyBlock), block->size() - 48);

    auto layout = transplant::readRoutineBlock(ResourceKind::MotionPart, *block);
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->pointerFields, (std::vector<std::size_t>{16, 24, 8, 12}));

    transplant::relocateRoutineBlock(*block, *layout, 0x800000);
    EXPECT_EQ(rom::loadU32(*block, 8), 0x08800010u);
    EXPECT_EQ(rom::loadU32(*block, 16), firstPart + 0x800000);
    EXPECT_EQ(rom::loadU32(*block, 12), keyBlock + 0x800000);
}

// Checks `block` as a file set's block is checked, then rebases it by `base`.
bool relocate(ResourceKind kind, rom::Bytes& block, std::uint32_t base)
{
    const auto layout = transplant::readRoutineBlock(kind, block);
    if (!layout)
        return false;
    transplant::relocateRoutineBlock(block, *layout, base);
    return true;
}

TEST_F(RoutineBlockTest, ShadowEtcAndCutinScrollBlocksPadTheirHeaderTo16)
{
    synthetic::ShadowEtcSpec shadow;
    shadow.mask = 0x0005;
    shadow.streams = {synthetic::makePartStream(0x400, synthetic::StreamEnd::EndMark, 3),
                      synthetic::makePartStream(0x400, synthetic::StreamEnd::Limit, 4)};
    const auto placedShadow = builder.setShadowEtc(1, shadow);
    synthetic::CutinScrollSpec cutin;
    cutin.commands = {synthetic::plainCommand(0x01, 0x01), synthetic::plainCommand(0x07, 0x07)};
    const auto placedCutin = builder.setCutinScroll(2, cutin);
    const shell::Bytes image = builder.take<shell::Bytes>();

    auto shadowBlock = transplant::buildShadowEtcBlock(image, placedShadow.header);
    ASSERT_TRUE(shadowBlock);
    EXPECT_EQ(rom::loadU32(*shadowBlock, 4), 0x08000010u);
    // Header, 8 bytes of padding, the list of two pointers, 48 - (24 mod 16) bytes of padding.
    EXPECT_EQ(rom::loadU32(*shadowBlock, 16), 0x08000000u + 24 + 48 - 8);
    ASSERT_TRUE(relocate(ResourceKind::ShadowEtc, *shadowBlock, 0x20));
    EXPECT_EQ(rom::loadU32(*shadowBlock, 4), 0x08000030u);
    EXPECT_EQ(rom::loadU32(*shadowBlock, 16), 0x08000000u + 64 + 0x20);

    auto cutinBlock = transplant::buildCutinScrollBlock(image, placedCutin.header);
    ASSERT_TRUE(cutinBlock);
    ASSERT_EQ(cutinBlock->size(), 16u + 32u);  // no padding after the commands
    EXPECT_EQ(rom::loadU32(*cutinBlock, 4), 0x08000010u);
    EXPECT_EQ((*cutinBlock)[16 + 16], 0x07);
    ASSERT_TRUE(relocate(ResourceKind::CutinScroll, *cutinBlock, 0x1000));
    EXPECT_EQ(rom::loadU32(*cutinBlock, 4), 0x08001010u);
}

// An effect routine block with the given commands, as extraction writes it.
rom::Bytes cutinBlock(const std::vector<std::vector<std::uint8_t>>& commands)
{
    rom::Bytes block(16, 0);
    rom::storeU16(block, 0, static_cast<std::uint16_t>(commands.size()));
    rom::storeU32(block, 4, 0x08000010);
    for (const auto& command : commands)
        block.insert(block.end(), command.begin(), command.end());
    return block;
}

std::vector<std::uint8_t> command(std::uint8_t opcode, std::size_t field, std::uint16_t id,
                                  std::uint8_t mode = 0)
{
    std::vector<std::uint8_t> bytes(16, 0);
    bytes[0] = opcode;
    bytes[4] = mode;
    bytes[field] = static_cast<std::uint8_t>(id);
    bytes[field + 1] = static_cast<std::uint8_t>(id >> 8);
    return bytes;
}

TEST(RemapCutinScrollIds, RewritesEachNamedIdOnceAndLeavesTheRest)
{
    rom::UnitResourceSet source;
    rom::UnitResourceSet target;
    source.list(ResourceKind::SystemAnime) = {0x123, 0x20};
    target.list(ResourceKind::SystemAnime) = {0x20, 0x456};  // 0x123 -> 0x20 must not go on to 0x456
    source.list(ResourceKind::GraphicDifinition) = {5};
    target.list(ResourceKind::GraphicDifinition) = {9};
    source.list(ResourceKind::UnitCutin) = {3};
    target.list(ResourceKind::UnitCutin) = {4};

    rom::Bytes block = cutinBlock({
        command(0x03, 4, 0x123),    // a 16-bit system animation ID
        command(0x24, 12, 5),
        command(0x17, 8, 3, 2),
        command(0x17, 8, 3, 1),     // this mode names no cut-in
        command(0x06, 4, 0x777),    // not in the set: stays
        command(0x07, 4, 0x123),    // not an ID-carrying command
    });
    const auto layout = transplant::readRoutineBlock(ResourceKind::CutinScroll, block);
    ASSERT_TRUE(layout);
    transplant::remapCutinScrollIds(block, *layout, target, source);
    auto idAt = [&](std::size_t n, std::size_t field) { return rom::loadU16(block, 16 + 16 * n + field); };
    EXPECT_EQ(idAt(0, 4), 0x20);
    EXPECT_EQ(idAt(1, 12), 9);
    EXPECT_EQ(idAt(2, 8), 4);
    EXPECT_EQ(idAt(3, 8), 3);
    EXPECT_EQ(idAt(4, 4), 0x777);
    EXPECT_EQ(idAt(5, 4), 0x123);
}

TEST(RoutineBlockChecks, RefuseBlocksWhosePointersLeaveThem)
{
    rom::Bytes shortHeader(7, 0);
    EXPECT_FALSE(transplant::readRoutineBlock(ResourceKind::CutinScroll, shortHeader));

    rom::Bytes commandsPastEnd = cutinBlock({command(0x03, 4, 1)});
    rom::storeU16(commandsPastEnd, 0, 2);  // two commands, one present
    EXPECT_FALSE(transplant::readRoutineBlock(ResourceKind::CutinScroll, commandsPastEnd));
    EXPECT_FALSE(transplant::CheckedRoutineBlock::check(ResourceKind::CutinScroll, commandsPastEnd));

    // A MotionPart whose part stream pointer leaves the block.
    rom::Bytes motion(16 + 8 + 8, 0);
    motion[0] = 1;
    rom::storeU32(motion, 8, 0x08000010);
    rom::storeU32(motion, 12, 0x08000018);
    rom::storeU32(motion, 16, 0x08001000);
    EXPECT_FALSE(transplant::readRoutineBlock(ResourceKind::MotionPart, motion));
    rom::storeU32(motion, 16, 0x08000018);
    EXPECT_TRUE(transplant::readRoutineBlock(ResourceKind::MotionPart, motion));
    // A part stream that never reaches its frame limit T = 5 runs out of the cut block: the
    // pointers all lie inside, but the walk does not end there.
    motion[2] = 5;
    const auto cut = transplant::readRoutineBlock(ResourceKind::MotionPart, motion);
    ASSERT_FALSE(cut);
    EXPECT_NE(cut.error().message.find("はファイルの範囲外です"), std::string::npos) << cut.error().message;
    motion[2] = 0;
    // A pointer below the cartridge base wraps far out of the block.
    rom::storeU32(motion, 12, 0x07FFFFF0);
    EXPECT_FALSE(transplant::readRoutineBlock(ResourceKind::MotionPart, motion));
}

// A routine with no entries may hold any table pointer (0 here, which names an offset far past
// the image): the block is built without following it and points at an empty table of its own.
TEST(RoutineBlocks, EmptyTablesWithPointerZeroGiveSelfContainedBlocks)
{
    const rom::Bytes image(64, 0);  // every header below: no entries, every pointer 0
    auto motion = transplant::buildMotionPartBlock(image, 0);
    ASSERT_TRUE(motion) << motion.error().message;
    EXPECT_TRUE(transplant::readRoutineBlock(ResourceKind::MotionPart, *motion));
    EXPECT_EQ(rom::loadU32(*motion, 8), 0x08000010u);
    auto shadow = transplant::buildShadowEtcBlock(image, 0);
    ASSERT_TRUE(shadow) << shadow.error().message;
    EXPECT_TRUE(transplant::readRoutineBlock(ResourceKind::ShadowEtc, *shadow));
    EXPECT_EQ(rom::loadU32(*shadow, 4), 0x08000010u);
    auto cutin = transplant::buildCutinScrollBlock(image, 0);
    ASSERT_TRUE(cutin) << cutin.error().message;
    EXPECT_EQ(cutin->size(), 16u);
    EXPECT_TRUE(transplant::readRoutineBlock(ResourceKind::CutinScroll, *cutin));
}

}  // namespace
