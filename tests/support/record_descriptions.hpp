// Plain descriptions of the game's fixed-size records and routines, with their field names, and
// the functions that turn a record description into its exact bytes.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "tests/support/le_bytes.hpp"
#include "tests/support/rom_layout.hpp"

namespace synthetic {

inline constexpr std::uint16_t kNoId = layout::kNoId;

// Unit record (104 bytes).
struct UnitSpec {
  std::uint32_t dwMaxHP = 0;
  std::uint16_t wMaxEN = 0;
  std::uint16_t wMobility = 0;
  std::uint16_t wArmor = 0;
  std::array<std::uint8_t, layout::unit::kWeapons - layout::unit::kOtherStatsBegin> otherStats{};
  std::array<std::uint16_t, layout::unit::kWeaponSlots> wWeapon = noWeapons();
  // Game-coded name without its end byte. Up to 31 bytes get 0xFF and zeros appended; exactly
  // 32 bytes fill the field with no end byte.
  Bytes name{};

  static constexpr std::array<std::uint16_t, layout::unit::kWeaponSlots> noWeapons() {
    std::array<std::uint16_t, layout::unit::kWeaponSlots> slots{};
    slots.fill(kNoId);
    return slots;
  }
};

// Weapon record (64 bytes): 32 bytes of values the tools copy as they are, then the name.
struct WeaponSpec {
  std::array<std::uint8_t, layout::weapon::kName> stats{};
  Bytes name{};  // as UnitSpec::name
};

// One of the eight motion groups of the unit animation header.
struct UnitMotionGroup {
  std::uint16_t wIdSprite1 = kNoId;
  std::uint16_t wIdPallet1 = kNoId;
  std::uint16_t wIdSprite2 = kNoId;
  std::uint16_t wIdPallet2 = kNoId;
  std::uint16_t wIdMotionPart = kNoId;
  std::uint16_t wIdShadowEtc = kNoId;
  std::uint16_t wIdCutinScroll = kNoId;
  std::uint16_t wParam = 0;
};

// Unit animation header (140 bytes); groups[n - 1] is motion group n.
struct UnitAnimeSpec {
  std::uint16_t wIdUnit = 0;
  std::uint16_t wPatternExplosion = 0;
  std::uint16_t wIdSpriteBG = kNoId;
  std::uint16_t wIdPalletBG = kNoId;
  std::uint16_t wIdBGMap = kNoId;
  std::uint16_t wParamBG = 0;
  std::array<UnitMotionGroup, layout::unitAnime::kGroups> groups{};
};

// Fixed weapon animation header (76 bytes), the 38 fields in record order.
struct FixedAnimeSpec {
  std::uint16_t wIdWeapon = 0;
  std::uint16_t wOtherAnime = 0;
  // group 1, at 4
  std::uint16_t wIdSprite1_1 = kNoId, wIdPallet1_1 = kNoId;
  std::uint16_t wIdSprite1_2 = kNoId, wIdPallet1_2 = kNoId;
  std::uint16_t wIdSprite1_3 = kNoId, wIdPallet1_3 = kNoId;
  std::uint16_t wIdSprite1_4 = kNoId, wIdPallet1_4 = kNoId;
  std::uint16_t wIdMotionPart1 = kNoId, wIdShadowEtc1 = kNoId, wIdCutinScroll1 = kNoId;
  std::uint16_t wParam1 = 0;
  // group 2, at 28
  std::uint16_t wIdSprite2_1 = kNoId, wIdPallet2_1 = kNoId;
  std::uint16_t wIdSprite2_2 = kNoId, wIdPallet2_2 = kNoId;
  std::uint16_t wIdSprite2_3 = kNoId, wIdPallet2_3 = kNoId;
  std::uint16_t wIdMotionPart2 = kNoId, wIdShadowEtc2 = kNoId, wIdCutinScroll2 = kNoId;
  std::uint16_t wParam2 = 0;
  // group 3, at 48
  std::uint16_t wIdSprite3_1 = kNoId, wIdPallet3_1 = kNoId;
  std::uint16_t wIdSprite3_2 = kNoId, wIdPallet3_2 = kNoId;
  std::uint16_t wIdSprite3_3 = kNoId, wIdPallet3_3 = kNoId;
  std::uint16_t wIdMotionPart3 = kNoId, wIdShadowEtc3 = kNoId, wIdCutinScroll3 = kNoId;
  std::uint16_t wParam3 = 0;
  std::uint16_t wIdMotionPart3_2 = kNoId, wIdShadowEtc3_2 = kNoId, wIdCutinScroll3_2 = kNoId;
  std::uint16_t wParam4 = 0;
};

// System animation (16 bytes). `raw` supplies the bytes the tools do not interpret; the named
// fields are written over it.
struct SystemAnimeSpec {
  std::array<std::uint8_t, layout::recordSize(layout::Table::SystemAnime)> raw{};
  std::uint16_t wIdSprite = kNoId;
  std::uint16_t wIdPallet = kNoId;
  std::uint16_t wIdMotionPart = kNoId;
  std::uint16_t wIdShadowEtc = kNoId;
  std::uint16_t wIdCutinScroll = kNoId;
};

// Graphic change definition (8 bytes), `raw` as above.
struct GraphicDifinitionSpec {
  std::array<std::uint8_t, layout::recordSize(layout::Table::GraphicDifinition)> raw{};
  std::uint16_t wIdSprite = kNoId;
  std::uint16_t wIdPallet = kNoId;
};

// Unit cut-in (40 bytes), `raw` as above. Sprite i pairs with pallet i.
struct UnitCutinSpec {
  std::array<std::uint8_t, layout::recordSize(layout::Table::UnitCutin)> raw{};
  std::array<std::uint16_t, 3> wIdSprite{kNoId, kNoId, kNoId};
  std::array<std::uint16_t, 3> wIdPallet{kNoId, kNoId, kNoId};
  std::array<std::uint16_t, 3> wIdBGMap{kNoId, kNoId, kNoId};
  std::uint16_t wIdMotionPart = kNoId;
  std::uint16_t wIdShadowEtc = kNoId;
  std::uint16_t wIdCutinScroll = kNoId;
};

// MotionPart routine: header fields, the parts' command streams and the key block.
struct MotionPartSpec {
  struct Part {
    Bytes stream{};  // exactly the bytes the part stream walk measures
    // the bytes of the part table entry behind the stream pointer
    std::array<std::uint8_t,
               layout::motionPart::kPartEntrySize - layout::motionPart::kPartEntryExtra>
        extra{};
  };
  std::uint8_t extra1 = 0;
  std::uint16_t totalFrames = 0;  // T: the walk limit of every part
  std::uint32_t extra4 = 0;
  std::vector<Part> parts{};        // N = parts.size()
  std::optional<Bytes> keyBlock{};  // none: the header's key block pointer is 0
};

// ShadowEtc routine: one stream per set bit of the mask, in bit order.
struct ShadowEtcSpec {
  std::uint16_t mask = 0;
  std::uint16_t extra = 0;
  std::vector<Bytes> streams{};  // each measured by the part stream walk with limit 0x400
};

using CutinCommand = std::array<std::uint8_t, layout::cutinScroll::kCommandSize>;

// CutinScroll routine: K commands of 16 bytes.
struct CutinScrollSpec {
  std::uint16_t extra = 0;
  std::vector<CutinCommand> commands{};
};

// Commands of the effect routine. `fill` seeds the bytes that carry no ID.
CutinCommand plainCommand(std::uint8_t opcode, std::uint8_t fill);
CutinCommand graphicChangeCommand(std::uint16_t graphicDifinitionId, std::uint8_t fill);
CutinCommand unitCutinCommand(std::uint8_t mode, std::uint16_t unitCutinId, std::uint8_t fill);
CutinCommand systemAnimeCommand(std::uint8_t opcode, std::uint16_t systemAnimeId,
                                std::uint8_t fill);

// The exact record bytes.
Bytes unitRecord(const UnitSpec& spec);
Bytes emptyUnitRecord();  // zeros, every weapon slot 0xFFFF, the empty-unit marker as name
Bytes weaponRecord(const WeaponSpec& spec);
Bytes emptyWeaponRecord();  // zeros and the empty-weapon marker as name
Bytes unitAnimeRecord(const UnitAnimeSpec& spec);
Bytes fixedAnimeRecord(const FixedAnimeSpec& spec);
Bytes systemAnimeRecord(const SystemAnimeSpec& spec);
Bytes graphicDifinitionRecord(const GraphicDifinitionSpec& spec);
Bytes unitCutinRecord(const UnitCutinSpec& spec);
// A 32-byte name field: the codes, then 0xFF and zeros (see UnitSpec::name).
Bytes nameField(const Bytes& codes);
Bytes emptyUnitName();
Bytes emptyWeaponName();

}  // namespace synthetic
