#include <gtest/gtest.h>

#include <algorithm>
#include <memory_resource>
#include <stdexcept>
#include <string>

#include "tests/support/synthetic_rom.hpp"

namespace synthetic {
namespace {

namespace L = layout;
using L::Table;

std::uint32_t u32At(const Bytes& image, std::uint32_t offset) { return getU32(image, offset); }
std::uint16_t u16At(const Bytes& image, std::uint32_t offset) { return getU16(image, offset); }

TEST(RomBuilder, NewImageHasGameCodeLocatorsAndCodeReferences) {
  const RomBuilder rom;
  const Bytes& image = rom.image();
  ASSERT_EQ(image.size(), 0x1000000u);
  EXPECT_EQ(std::string(image.begin() + 0xAC, image.begin() + 0xB0), "KX4M");
  // A few directory entries and references, spelled out.
  EXPECT_EQ(u32At(image, 0x1F890), 0x080C38C4u);   // unit table
  EXPECT_EQ(u32At(image, 0x6AB24), 0x089C1908u);   // fixed weapon animations
  EXPECT_EQ(u32At(image, 0xF21158), 0x089DBC54u);  // directory entry 15
  EXPECT_EQ(u32At(image, 0x3DB8), 0x081498F4u);    // icons
  EXPECT_EQ(u32At(image, 0xF3A6F4), 0x08F1FA7Cu);  // the last Sprite reference
  EXPECT_EQ(u32At(image, 0x6BFB4), 0x089D6A20u);   // the second UnitCutin reference
  for (const L::DirectoryEntry& entry : L::kDirectory) {
    EXPECT_EQ(u32At(image, entry.locator), entry.offset + 0x08000000u) << entry.locator;
  }
  for (const L::TableReferences& references : L::kReferences) {
    for (std::uint32_t offset : references.offsets) {
      EXPECT_EQ(u32At(image, offset), L::tableOffset(references.table) + 0x08000000u) << offset;
    }
  }
}

TEST(RomBuilder, TablesLocatorsAndDataAreaDoNotOverlap) {
  struct Span {
    std::uint32_t begin, end;
    std::string what;
  };
  std::vector<Span> spans;
  for (std::size_t i = 0; i < L::kTableCount; ++i) {
    const auto table = static_cast<Table>(i);
    if (L::recordSize(table) != 0) {
      spans.push_back({L::tableOffset(table),
                       L::tableOffset(table) + (lastId(table) + 1u) * L::recordSize(table),
                       "table " + std::to_string(i)});
    }
  }
  for (const L::DirectoryEntry& entry : L::kDirectory) {
    spans.push_back({entry.locator, entry.locator + 4, "locator"});
  }
  spans.push_back({L::kDataAreaBegin, L::kDataAreaEnd, "data area"});
  for (std::size_t a = 0; a < spans.size(); ++a) {
    for (std::size_t b = a + 1; b < spans.size(); ++b) {
      const bool overlap = spans[a].begin < spans[b].end && spans[b].begin < spans[a].end;
      // The one overlap of the real layout: SystemAnime 119 lies on GraphicDifinition 0 and 1.
      const bool known = spans[a].what == "table 7" && spans[b].what == "table 8";
      EXPECT_EQ(overlap, known) << spans[a].what << " / " << spans[b].what;
    }
  }
  EXPECT_EQ(L::recordOffset(Table::SystemAnime, 119), L::tableOffset(Table::GraphicDifinition));
}

TEST(RomBuilder, FixedRecordsLandAtTablePlusIdTimesSize) {
  RomBuilder rom;
  UnitSpec unit;
  unit.dwMaxHP = 0x12345678;
  unit.wWeapon[0] = 0x0289;
  unit.wWeapon[11] = 0x028A;
  unit.name = {0x0A, 0x0B};
  rom.setUnit(5, unit);
  rom.setEmptyUnit(6);
  rom.setEmptyWeapon(649);
  const Bytes& image = rom.image();
  const std::uint32_t u5 = 0xC38C4 + 5 * 104;
  EXPECT_EQ(u32At(image, u5), 0x12345678u);
  EXPECT_EQ(u16At(image, u5 + 0x30), 0x0289);
  EXPECT_EQ(u16At(image, u5 + 0x46), 0x028A);
  EXPECT_EQ(Bytes(image.begin() + u5 + 0x48, image.begin() + u5 + 0x4C),
            (Bytes{0x0A, 0x0B, 0xFF, 0x00}));
  const std::uint32_t u6 = u5 + 104;
  EXPECT_EQ(Bytes(image.begin() + u6 + 0x48, image.begin() + u6 + 0x68),
            (Bytes{0xBA, 0xA9, 0x90, 0x95, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                   0,    0,    0,    0,    0,    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(u16At(image, u6 + 0x30), 0xFFFF);
  const std::uint32_t w649 = 0xD7CA0 + 649 * 64;
  EXPECT_EQ(Bytes(image.begin() + w649 + 0x20, image.begin() + w649 + 0x25),
            (Bytes{0xC9, 0x8A, 0xC1, 0xC8, 0xFF}));
  EXPECT_THROW(rom.setUnit(150, unit), std::out_of_range);
  EXPECT_THROW(rom.setWeapon(650, {}), std::out_of_range);
  unit.name.assign(33, 0x01);
  EXPECT_THROW(rom.setUnit(0, unit), std::invalid_argument);
}

// The field offsets of the two animation headers as the transplant rewrites them.
TEST(RomBuilder, AnimationHeaderFieldsSitAtTheirRecordOffsets) {
  RomBuilder rom;
  UnitAnimeSpec unit;
  for (std::size_t k = 0; k < 8; ++k) {
    unit.groups[k] = {static_cast<std::uint16_t>(0x100 + k), static_cast<std::uint16_t>(0x200 + k),
                      static_cast<std::uint16_t>(0x300 + k), static_cast<std::uint16_t>(0x400 + k),
                      static_cast<std::uint16_t>(0x500 + k), static_cast<std::uint16_t>(0x600 + k),
                      static_cast<std::uint16_t>(0x700 + k), static_cast<std::uint16_t>(0x800 + k)};
  }
  unit.wIdBGMap = 0xB6;
  unit.wIdSpriteBG = 0x5B;
  unit.wIdPalletBG = 0x9B;
  rom.setUnitAnimeHeader(149, unit);
  const std::uint32_t h = 0x9D0B68 + 149 * 140;
  const Bytes& image = rom.image();
  EXPECT_EQ(u16At(image, h + 0x08), 0xB6);
  EXPECT_EQ(u16At(image, h + 0x04), 0x5B);
  EXPECT_EQ(u16At(image, h + 0x06), 0x9B);
  for (std::uint32_t k = 0; k < 8; ++k) {
    EXPECT_EQ(u16At(image, h + 0x0C + 0x10 * k), 0x100 + k);
    EXPECT_EQ(u16At(image, h + 0x0E + 0x10 * k), 0x200 + k);
    EXPECT_EQ(u16At(image, h + 0x10 + 0x10 * k), 0x300 + k);
    EXPECT_EQ(u16At(image, h + 0x12 + 0x10 * k), 0x400 + k);
    EXPECT_EQ(u16At(image, h + 0x14 + 0x10 * k), 0x500 + k);
    EXPECT_EQ(u16At(image, h + 0x16 + 0x10 * k), 0x600 + k);
    EXPECT_EQ(u16At(image, h + 0x18 + 0x10 * k), 0x700 + k);
  }

  FixedAnimeSpec w;
  w.wIdSprite1_1 = 1, w.wIdSprite1_2 = 2, w.wIdSprite1_3 = 3, w.wIdSprite1_4 = 4;
  w.wIdSprite2_1 = 5, w.wIdSprite2_2 = 6, w.wIdSprite2_3 = 7;
  w.wIdSprite3_1 = 8, w.wIdSprite3_2 = 9, w.wIdSprite3_3 = 10;
  w.wIdPallet1_1 = 11, w.wIdPallet1_2 = 12, w.wIdPallet1_3 = 13, w.wIdPallet1_4 = 14;
  w.wIdPallet2_1 = 15, w.wIdPallet2_2 = 16, w.wIdPallet2_3 = 17;
  w.wIdPallet3_1 = 18, w.wIdPallet3_2 = 19, w.wIdPallet3_3 = 20;
  w.wIdMotionPart1 = 21, w.wIdMotionPart2 = 22, w.wIdMotionPart3 = 23, w.wIdMotionPart3_2 = 24;
  w.wIdShadowEtc1 = 25, w.wIdShadowEtc2 = 26, w.wIdShadowEtc3 = 27, w.wIdShadowEtc3_2 = 28;
  w.wIdCutinScroll1 = 29, w.wIdCutinScroll2 = 30, w.wIdCutinScroll3 = 31, w.wIdCutinScroll3_2 = 32;
  w.wParam4 = 33;
  rom.setFixedAnimeHeader(0x289, w);
  const std::uint32_t f = 0x9C1908 + 0x289 * 76;
  const std::uint32_t sprites[] = {0x04, 0x08, 0x0C, 0x10, 0x1C, 0x20, 0x24, 0x30, 0x34, 0x38};
  for (std::uint16_t i = 0; i < 10; ++i) {
    EXPECT_EQ(u16At(image, f + sprites[i]), 1 + i);
    EXPECT_EQ(u16At(image, f + sprites[i] + 2), 11 + i);
  }
  const std::uint32_t motion[] = {0x14, 0x28, 0x3C, 0x44};
  for (std::uint16_t i = 0; i < 4; ++i) {
    EXPECT_EQ(u16At(image, f + motion[i]), 21 + i);
    EXPECT_EQ(u16At(image, f + motion[i] + 2), 25 + i);
    EXPECT_EQ(u16At(image, f + motion[i] + 4), 29 + i);
  }
  EXPECT_EQ(u16At(image, f + 74), 33);
}

TEST(RomBuilder, VariableDataIsPlacedAlignedAndPointedAt) {
  RomBuilder rom;
  const Bytes stream{0x10, 0x03, 0x00, 0x00, 0x00, 1, 2, 3, 0, 0, 0, 0, 0};
  const std::uint32_t sprite = rom.setSprite(820, stream);
  const std::uint32_t bgMap = rom.setBGMap(500, 3, 0x1234, stream);
  MotionPartSpec motion;
  motion.totalFrames = 9;
  motion.parts = {{{0x09, 0x00, 0x55}, {1, 2, 3, 4}}, {{0x01, 0x00, 0xFF, 0x00}, {}}};
  const PlacedMotionPart placed = rom.setMotionPart(3, motion);
  const PlacedShadowEtc shadow = rom.setShadowEtc(4, {0x0000, 0, {}});
  const PlacedCutinScroll cutin =
      rom.setCutinScroll(5, {0, {plainCommand(0x01, 0), plainCommand(0x10, 0)}});
  const Bytes& image = rom.image();

  EXPECT_EQ(u32At(image, 0xF1FA7C + 820 * 4), sprite + 0x08000000u);
  EXPECT_EQ(Bytes(image.begin() + sprite, image.begin() + sprite + stream.size()), stream);
  EXPECT_EQ(u32At(image, 0x9C085C + 500 * 8), bgMap + 0x08000000u);
  EXPECT_EQ(u16At(image, 0x9C085C + 500 * 8 + 4), 3);
  EXPECT_EQ(u16At(image, 0x9C085C + 500 * 8 + 6), 0x1234);
  EXPECT_EQ(bgMap % 4, 0u);
  EXPECT_GE(bgMap, sprite + stream.size());

  const std::uint32_t header = u32At(image, 0xF3088C + 3 * 4) - 0x08000000u;
  EXPECT_EQ(header, placed.header);
  EXPECT_EQ(image[header], 2);
  EXPECT_EQ(u16At(image, header + 2), 9);
  EXPECT_EQ(u32At(image, header + 12), 0u);  // no key block
  const std::uint32_t table = u32At(image, header + 8) - 0x08000000u;
  EXPECT_EQ(table, placed.partTable);
  const std::uint32_t part0 = u32At(image, table) - 0x08000000u;
  EXPECT_EQ(part0, placed.parts[0].offset);
  EXPECT_EQ(placed.parts[0].length, 3u);
  EXPECT_EQ(u32At(image, table + 4), 0x04030201u);
  EXPECT_EQ(Bytes(image.begin() + part0, image.begin() + part0 + 5),
            (Bytes{0x09, 0x00, 0x55, 0, 0}));

  EXPECT_EQ(u32At(image, 0xF31BD8 + 4 * 4), shadow.header + 0x08000000u);
  EXPECT_EQ(u16At(image, shadow.header), 0);
  EXPECT_EQ(u32At(image, 0xF32CF8 + 5 * 4), cutin.header + 0x08000000u);
  EXPECT_EQ(u16At(image, cutin.header), 2);
  EXPECT_EQ(u32At(image, cutin.header + 4), cutin.commands.offset + 0x08000000u);
  EXPECT_EQ(image[cutin.commands.offset + 16], 0x10);
  EXPECT_EQ(rom.placements().motionParts.at(3).parts.size(), 2u);

  EXPECT_THROW(rom.setSprite(821, stream), std::out_of_range);
  EXPECT_THROW(rom.setShadowEtc(0, {0x0003, 0, {{0x01, 0x00}}}), std::invalid_argument);
  EXPECT_THROW(rom.setPallet(0, Bytes(31, 1)), std::invalid_argument);
  EXPECT_THROW(RomBuilder(0xF00000), std::invalid_argument);
}

TEST(RomBuilder, TakesTheImageAsAnotherByteVector) {
  RomBuilder rom;
  rom.putU8(0x123, 0x45);
  const std::pmr::vector<std::uint8_t> image = rom.take<std::pmr::vector<std::uint8_t>>();
  ASSERT_EQ(image.size(), 0x1000000u);
  EXPECT_EQ(image[0x123], 0x45);
  EXPECT_EQ(image[0xAC], 'K');
  EXPECT_TRUE(rom.image().empty());
}

}  // namespace
}  // namespace synthetic
