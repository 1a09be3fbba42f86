// The game's ROM layout as the synthetic image builder writes it: where the tables lie in an
// unextended image, where their locators and code references are, record sizes and ID spaces.
// Every number of the format that the builder uses is named here, once.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace synthetic::layout {

// A GBA pointer is a ROM file offset plus this bus base.
inline constexpr std::uint32_t kGbaBase = 0x08000000;

inline constexpr std::size_t kDefaultImageSize = 0x1000000;  // 16 MiB
inline constexpr std::uint32_t kGameCodeOffset = 0xAC;
inline constexpr std::array<std::uint8_t, 4> kGameCode{'K', 'X', '4', 'M'};

// The 24 tables of the directory, in directory order; the enumerator is the directory index.
enum class Table : std::uint8_t {
  Unit,
  Weapon,
  UnitAnime,
  FixedAnime,
  Unused4,
  Unused5,
  Unused6,
  SystemAnime,
  GraphicDifinition,
  UnitCutin,
  Unused10,
  Unused11,
  Unused12,
  Unused13,
  Unused14,
  Unused15,
  MotionPart,
  ShadowEtc,
  CutinScroll,
  Sprite,
  BGMap,
  Pallet,
  UnitIconIndex,
  IconData,
};
inline constexpr std::size_t kTableCount = 24;

struct DirectoryEntry {
  std::uint32_t locator;     // offset of the u32 GBA pointer that tells where the table is
  std::uint32_t offset;      // the table's offset in an unextended image
  std::uint32_t recordSize;  // bytes per ID; 0 for tables the tools never index
};

inline constexpr std::array<DirectoryEntry, kTableCount> kDirectory{{
    {0x1F890, 0xC38C4, 104}, {0x1C030, 0xD7CA0, 64},  {0x55E74, 0x9D0B68, 140},
    {0x6AB24, 0x9C1908, 76}, {0x6B748, 0x9CDA00, 0},  {0x6B3A0, 0x9CE400, 0},
    {0x6AEEC, 0x9CFFA0, 0},  {0x6AAB4, 0x9D5D80, 16}, {0x65F6C, 0x9D64F0, 8},
    {0x6BCB8, 0x9D6A20, 40}, {0x6C2EC, 0x9D7588, 0},  {0x56190, 0x9D7BF8, 0},
    {0xF2114C, 0x9DB870, 0}, {0xF21150, 0x9DB9FC, 0}, {0xF21154, 0x9DBBA0, 0},
    {0xF21158, 0x9DBC54, 0}, {0x6A450, 0xF3088C, 4},  {0x6A4A8, 0xF31BD8, 4},
    {0x6A4A4, 0xF32CF8, 4},  {0x5E278, 0xF1FA7C, 4},  {0x5DE80, 0x9C085C, 8},
    {0x5E274, 0xF20750, 4},  {0x3DB4, 0x153074, 2},   {0x3DB8, 0x1498F4, 384},
}};

constexpr const DirectoryEntry& entry(Table table) {
  return kDirectory[static_cast<std::size_t>(table)];
}
constexpr std::uint32_t tableOffset(Table table) { return entry(table).offset; }
constexpr std::uint32_t recordSize(Table table) { return entry(table).recordSize; }
// Offset of the record of `id` in an unextended image.
constexpr std::uint32_t recordOffset(Table table, std::uint16_t id) {
  return tableOffset(table) + std::uint32_t{id} * recordSize(table);
}

// ID spaces: the last valid ID of each indexed table in an unextended image.
inline constexpr std::uint16_t kLastUnitId = 149;
inline constexpr std::uint16_t kLastWeaponId = 649;  // 0x289; 0x28A and above mean "no weapon"
inline constexpr std::uint16_t kNoId = 0xFFFF;
inline constexpr std::uint16_t kNoBGMapAlt = 0xFFFE;  // BG map fields also use this for "none"

// The ten extendable tables, in the order of the extension info, with their last IDs.
struct ExtendableTable {
  Table table;
  std::uint16_t lastId;
};
inline constexpr std::array<ExtendableTable, 10> kExtendable{{
    {Table::Sprite, 820},
    {Table::Pallet, 634},
    {Table::BGMap, 500},
    {Table::MotionPart, 1234},
    {Table::ShadowEtc, 1095},
    {Table::CutinScroll, 1062},
    {Table::GraphicDifinition, 165},
    {Table::SystemAnime, 119},
    {Table::UnitCutin, 72},
    {Table::IconData, 100},
}};

// Code locations that hold a GBA pointer to an extendable table (the locator among them).
struct TableReferences {
  Table table;
  std::span<const std::uint32_t> offsets;
};
inline constexpr std::array<std::uint32_t, 12> kSpriteRefs{0x5E278, 0x65FD8, 0x6A4F4, 0x6C2AC,
                                                           0x6C3D4, 0x6C5D8, 0x6D0DC, 0x6D120,
                                                           0x6F020, 0x6F148, 0x6F51C, 0xF3A6F4};
inline constexpr std::array<std::uint32_t, 12> kPalletRefs{0x5E274, 0x65FDC, 0x6A4F8, 0x6C2B0,
                                                           0x6C3EC, 0x6C5DC, 0x6D124, 0x6D164,
                                                           0x6F024, 0x6F08C, 0x6F14C, 0x6F520};
inline constexpr std::array<std::uint32_t, 11> kBGMapRefs{0x565D8, 0x5D4DC, 0x5DE80, 0x5DFF8,
                                                          0x5E208, 0x5FF1C, 0x6C42C, 0x6CE60,
                                                          0x6CF3C, 0x6D03C, 0x6D0D4};
inline constexpr std::array<std::uint32_t, 8> kMotionPartRefs{0x6A450, 0x6A4A0, 0x6A938, 0x6AAB8,
                                                              0x6AD58, 0x6AE08, 0x6EEF4, 0x6F510};
inline constexpr std::array<std::uint32_t, 6> kShadowEtcRefs{0x6A4A8, 0x6A940, 0x6AAC0,
                                                             0x6AD5C, 0x6AE0C, 0x6EEFC};
inline constexpr std::array<std::uint32_t, 4> kCutinScrollRefs{0x6A4A4, 0x6A93C, 0x6AABC, 0x6EEF8};
inline constexpr std::array<std::uint32_t, 1> kGraphicDifinitionRefs{0x65F6C};
inline constexpr std::array<std::uint32_t, 1> kSystemAnimeRefs{0x6AAB4};
inline constexpr std::array<std::uint32_t, 2> kUnitCutinRefs{0x6BCB8, 0x6BFB4};
inline constexpr std::array<std::uint32_t, 2> kIconDataRefs{0x3DB8, 0x3EB0};

inline constexpr std::array<TableReferences, 10> kReferences{{
    {Table::Sprite, kSpriteRefs},
    {Table::Pallet, kPalletRefs},
    {Table::BGMap, kBGMapRefs},
    {Table::MotionPart, kMotionPartRefs},
    {Table::ShadowEtc, kShadowEtcRefs},
    {Table::CutinScroll, kCutinScrollRefs},
    {Table::GraphicDifinition, kGraphicDifinitionRefs},
    {Table::SystemAnime, kSystemAnimeRefs},
    {Table::UnitCutin, kUnitCutinRefs},
    {Table::IconData, kIconDataRefs},
}};

// The smallest image that holds every table, locator and reference (the last reference ends it).
inline constexpr std::size_t kMinimumImageSize = 0xF3A6F4 + 4;

// Where the builder puts variable-length data: above the sound tables of the game (its
// instrument table lies at 0x3F6AD4) and below the first of the high tables (BGMap, 0x9C085C).
inline constexpr std::uint32_t kDataAreaBegin = 0x600000;
inline constexpr std::uint32_t kDataAreaEnd = 0x9C0000;
inline constexpr std::uint32_t kDataAlignment = 4;

// Record layouts: offsets of the fields the builder writes.
namespace unit {
inline constexpr std::uint32_t kMaxHp = 0;
inline constexpr std::uint32_t kMaxEn = 4;
inline constexpr std::uint32_t kMobility = 6;
inline constexpr std::uint32_t kArmor = 8;
inline constexpr std::uint32_t kOtherStatsBegin = 10;  // up to the weapons, copied as is
inline constexpr std::uint32_t kWeapons = 48;
inline constexpr std::size_t kWeaponSlots = 12;
inline constexpr std::uint32_t kName = 72;
}  // namespace unit

namespace weapon {
inline constexpr std::uint32_t kName = 32;  // after 32 bytes of values copied as they are
}  // namespace weapon

inline constexpr std::size_t kNameSize = 32;
inline constexpr std::uint8_t kNameEnd = 0xFF;
// Name fields of free slots: the marker bytes, then 0xFF, then zeros up to 32 bytes.
inline constexpr std::array<std::uint8_t, 4> kEmptyUnitMarker{0xBA, 0xA9, 0x90, 0x95};
inline constexpr std::array<std::uint8_t, 4> kEmptyWeaponMarker{0xC9, 0x8A, 0xC1, 0xC8};

// The two animation headers are runs of u16 fields, written in their record order.
namespace unitAnime {
inline constexpr std::uint32_t kFirstGroup = 12;
inline constexpr std::uint32_t kGroupSize = 16;
inline constexpr std::size_t kGroups = 8;
}  // namespace unitAnime

// Records written field by field; bytes not named here are copied as they are by the tools.
namespace systemAnime {
inline constexpr std::uint32_t kSprite = 4;
inline constexpr std::uint32_t kPallet = 6;
inline constexpr std::uint32_t kMotionPart = 8;
inline constexpr std::uint32_t kShadowEtc = 10;
inline constexpr std::uint32_t kCutinScroll = 12;
}  // namespace systemAnime

namespace graphicDifinition {
inline constexpr std::uint32_t kSprite = 2;
inline constexpr std::uint32_t kPallet = 4;
}  // namespace graphicDifinition

namespace unitCutin {
inline constexpr std::array<std::uint32_t, 3> kSprites{4, 8, 24};
inline constexpr std::array<std::uint32_t, 3> kPallets{6, 10, 26};
inline constexpr std::array<std::uint32_t, 3> kBGMaps{12, 14, 16};
inline constexpr std::uint32_t kMotionPart = 28;
inline constexpr std::uint32_t kShadowEtc = 30;
inline constexpr std::uint32_t kCutinScroll = 32;
}  // namespace unitCutin

namespace bgMap {
inline constexpr std::uint32_t kAddress = 0;
inline constexpr std::uint32_t kSize = 4;
inline constexpr std::uint32_t kParam1 = 6;
// u16 screen entries of the map for each screen size code (256 or 512 pixels a side, 8 per entry).
inline constexpr std::array<std::uint32_t, 4> kScreenEntries{32 * 32, 64 * 32, 32 * 64, 64 * 64};
inline constexpr std::uint16_t kTileNumberMask = 0x3FF;  // screen entry bits 0..9
}  // namespace bgMap

inline constexpr std::size_t kIconSize = 384;
inline constexpr std::size_t kPaletteBankSize = 32;  // 16 BGR555 colours
inline constexpr std::size_t kColoursPerBank = 16;
// Bank counts that the pallet fields of the animation headers give.
inline constexpr std::uint8_t kBanksPalletBG = 5;       // wIdPalletBG
inline constexpr std::uint8_t kBanksWeaponPallet3 = 4;  // wIdPallet1_3, 2_3, 3_3 of a weapon
inline constexpr std::uint8_t kBanksOtherPallet = 2;
inline constexpr std::uint16_t kColourMask = 0x7FFF;
inline constexpr std::uint16_t kLastBankMark = 0x8000;  // bit 15 of a bank's first colour
inline constexpr std::size_t kSheetRowBytes = 128;      // 256 pixels at 4 bits
inline constexpr std::size_t kTileBytes = 32;           // 8 x 8 pixels at 4 bits

// Routine headers and the command records of the effect routine.
namespace motionPart {
inline constexpr std::uint32_t kPartCount = 0;
inline constexpr std::uint32_t kExtra1 = 1;
inline constexpr std::uint32_t kTotalFrames = 2;
inline constexpr std::uint32_t kExtra4 = 4;
inline constexpr std::uint32_t kPartTable = 8;
inline constexpr std::uint32_t kKeyBlock = 12;
inline constexpr std::uint32_t kHeaderSize = 16;
inline constexpr std::uint32_t kPartEntrySize = 8;   // u32 stream pointer, then bytes copied as is
inline constexpr std::uint32_t kPartEntryExtra = 4;  // where those copied bytes start
}  // namespace motionPart

namespace shadowEtc {
inline constexpr std::uint32_t kMask = 0;
inline constexpr std::uint32_t kExtra = 2;
inline constexpr std::uint32_t kList = 4;
inline constexpr std::uint32_t kHeaderSize = 8;
inline constexpr std::uint32_t kListEntrySize = 4;  // one u32 stream pointer per set mask bit
inline constexpr std::uint32_t kMaskBits = 16;
inline constexpr std::uint16_t kStreamLimit = 0x400;  // limit of the part stream walk
}  // namespace shadowEtc

namespace cutinScroll {
inline constexpr std::uint32_t kCount = 0;
inline constexpr std::uint32_t kExtra = 2;
inline constexpr std::uint32_t kCommands = 4;
inline constexpr std::uint32_t kHeaderSize = 8;
inline constexpr std::size_t kCommandSize = 16;
// Commands that name records of other tables.
inline constexpr std::uint8_t kOpGraphicChange = 0x24;  // GraphicDifinition ID at kGraphicField
inline constexpr std::uint32_t kGraphicField = 12;
inline constexpr std::uint8_t kOpUnitCutin = 0x17;  // UnitCutin ID at kCutinField when mode 0 or 2
inline constexpr std::uint32_t kModeField = 4;
inline constexpr std::array<std::uint8_t, 2> kFollowedModes{0, 2};
inline constexpr std::uint32_t kCutinField = 8;
inline constexpr std::uint8_t kOpSystemAnimeFirst = 0x02;  // 0x02..0x06: SystemAnime ID at 4
inline constexpr std::uint8_t kOpSystemAnimeLast = 0x06;
inline constexpr std::uint32_t kSystemAnimeField = 4;
}  // namespace cutinScroll

// Command streams of MotionPart parts and ShadowEtc entries.
namespace partStream {
inline constexpr std::uint8_t kShortForm = 0x80;  // bit 7 of the first byte: one-byte command
inline constexpr std::uint8_t kShortDurationMask = 0x70;
inline constexpr unsigned kShortDurationShift = 4;
inline constexpr std::uint8_t kShortFlagsMask = 0x0F;
inline constexpr std::uint8_t kLongDurationMax = 0x7F;
// Operand rule: the low nibble of the flags selects one byte, none, or a byte count per bit.
inline constexpr std::uint8_t kLowNibble = 0x0F;
inline constexpr std::uint8_t kOneOperandCode = 5;
inline constexpr std::array<std::uint8_t, 3> kNoOperandCodes{7, 10, 11};
inline constexpr std::array<std::uint8_t, 4> kLowBitOperands{1, 1, 2, 2};  // bits 0..3
inline constexpr std::uint8_t kBit4 = 0x10;                                // two bytes
inline constexpr std::uint8_t kBit5 = 0x20;  // two bytes when bit 7 is clear
inline constexpr std::uint8_t kBit6 = 0x40;  // one byte
inline constexpr std::uint8_t kBit7 = 0x80;  // one byte together with bit 5
// Control codes: commands of duration 0 whose flags set the repeat count and factor.
inline constexpr std::uint8_t kControlRepeatPair = 1;    // then count, factor
inline constexpr std::uint8_t kControlRepeatPacked = 2;  // then count << 4 | factor
inline constexpr unsigned kPackedCountShift = 4;
inline constexpr std::array<std::uint8_t, 2> kEndMark{0xFF, 0x00};
}  // namespace partStream

// The key block of a MotionPart routine.
namespace keyBlock {
inline constexpr std::array<std::uint8_t, 2> kEndOnes{0xFF, 0xFF};
inline constexpr std::array<std::uint8_t, 2> kEndZeros{0x00, 0x00};
inline constexpr std::uint8_t kIndexHighMask = 0x07;  // first byte: index bits 8..10
inline constexpr unsigned kRecordCountShift = 3;      // first byte: records in bits 3..7
inline constexpr std::uint16_t kMaxIndex = 0x7FF;
inline constexpr std::uint8_t kSkipByte = 0x40;  // record byte: one byte follows
inline constexpr std::uint8_t kKeepMask = 0x80;  // record byte: clear when a mask follows
inline constexpr std::uint8_t kRegisterMask = 0x1F;
inline constexpr std::size_t kRegisters = 32;
inline constexpr std::size_t kMaxEntries = 512;
}  // namespace keyBlock

// LZ77 streams in the BIOS format.
namespace lz77 {
inline constexpr std::uint8_t kType = 0x10;
inline constexpr std::size_t kHeaderSize = 4;
inline constexpr std::size_t kItemsPerGroup = 8;
inline constexpr std::uint8_t kFirstItemFlag = 0x80;  // flag bit of item 0; item k is this >> k
inline constexpr unsigned kLengthShift = 4;           // back-reference: (B0 >> 4) + 3 bytes
inline constexpr std::size_t kMinMatch = 3;
inline constexpr std::size_t kMaxMatch = 18;
inline constexpr std::size_t kWindow = 4096;
inline constexpr std::uint32_t kMaxRawSize = 0xFFFFFF;  // 24-bit size field
}  // namespace lz77

}  // namespace synthetic::layout
