#include "tests/support/record_descriptions.hpp"

#include <algorithm>
#include <initializer_list>
#include <stdexcept>

namespace synthetic {
namespace {

namespace L = layout;

// Writes u16 fields one after another from `offset`.
void putU16Run(Bytes& bytes, std::size_t offset, std::initializer_list<std::uint16_t> values) {
  for (std::uint16_t value : values) {
    putU16(bytes, offset, value);
    offset += 2;
  }
}

Bytes markerName(const std::array<std::uint8_t, 4>& marker) {
  return nameField(Bytes(marker.begin(), marker.end()));
}

}  // namespace

Bytes nameField(const Bytes& codes) {
  if (codes.size() > L::kNameSize) {
    throw std::invalid_argument("synthetic: a name holds at most 32 bytes");
  }
  Bytes field(L::kNameSize, 0);
  std::copy(codes.begin(), codes.end(), field.begin());
  if (codes.size() < L::kNameSize) {
    field[codes.size()] = L::kNameEnd;
  }
  return field;
}

Bytes emptyUnitName() { return markerName(L::kEmptyUnitMarker); }
Bytes emptyWeaponName() { return markerName(L::kEmptyWeaponMarker); }

CutinCommand plainCommand(std::uint8_t opcode, std::uint8_t fill) {
  CutinCommand command{};
  command[0] = opcode;
  for (std::size_t i = 1; i < command.size(); ++i) {
    command[i] = static_cast<std::uint8_t>(fill + i);
  }
  return command;
}

namespace {
void putCommandU16(CutinCommand& command, std::uint32_t offset, std::uint16_t value) {
  command[offset] = static_cast<std::uint8_t>(value);
  command[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}
}  // namespace

CutinCommand graphicChangeCommand(std::uint16_t graphicDifinitionId, std::uint8_t fill) {
  CutinCommand command = plainCommand(L::cutinScroll::kOpGraphicChange, fill);
  putCommandU16(command, L::cutinScroll::kGraphicField, graphicDifinitionId);
  return command;
}

CutinCommand unitCutinCommand(std::uint8_t mode, std::uint16_t unitCutinId, std::uint8_t fill) {
  CutinCommand command = plainCommand(L::cutinScroll::kOpUnitCutin, fill);
  command[L::cutinScroll::kModeField] = mode;
  putCommandU16(command, L::cutinScroll::kCutinField, unitCutinId);
  return command;
}

CutinCommand systemAnimeCommand(std::uint8_t opcode, std::uint16_t systemAnimeId,
                                std::uint8_t fill) {
  if (opcode < L::cutinScroll::kOpSystemAnimeFirst || opcode > L::cutinScroll::kOpSystemAnimeLast) {
    throw std::invalid_argument("synthetic: not a system animation command");
  }
  CutinCommand command = plainCommand(opcode, fill);
  putCommandU16(command, L::cutinScroll::kSystemAnimeField, systemAnimeId);
  return command;
}

Bytes unitRecord(const UnitSpec& spec) {
  Bytes record(L::recordSize(L::Table::Unit), 0);
  putU32(record, L::unit::kMaxHp, spec.dwMaxHP);
  putU16(record, L::unit::kMaxEn, spec.wMaxEN);
  putU16(record, L::unit::kMobility, spec.wMobility);
  putU16(record, L::unit::kArmor, spec.wArmor);
  std::copy(spec.otherStats.begin(), spec.otherStats.end(),
            record.begin() + L::unit::kOtherStatsBegin);
  for (std::size_t slot = 0; slot < spec.wWeapon.size(); ++slot) {
    putU16(record, L::unit::kWeapons + 2 * slot, spec.wWeapon[slot]);
  }
  const Bytes name = nameField(spec.name);
  std::copy(name.begin(), name.end(), record.begin() + L::unit::kName);
  return record;
}

Bytes emptyUnitRecord() {
  UnitSpec spec;
  Bytes record = unitRecord(spec);
  const Bytes name = emptyUnitName();
  std::copy(name.begin(), name.end(), record.begin() + L::unit::kName);
  return record;
}

Bytes weaponRecord(const WeaponSpec& spec) {
  Bytes record(L::recordSize(L::Table::Weapon), 0);
  std::copy(spec.stats.begin(), spec.stats.end(), record.begin());
  const Bytes name = nameField(spec.name);
  std::copy(name.begin(), name.end(), record.begin() + L::weapon::kName);
  return record;
}

Bytes emptyWeaponRecord() {
  Bytes record(L::recordSize(L::Table::Weapon), 0);
  const Bytes name = emptyWeaponName();
  std::copy(name.begin(), name.end(), record.begin() + L::weapon::kName);
  return record;
}

Bytes unitAnimeRecord(const UnitAnimeSpec& spec) {
  Bytes record(L::recordSize(L::Table::UnitAnime), 0);
  putU16Run(record, 0,
            {spec.wIdUnit, spec.wPatternExplosion, spec.wIdSpriteBG, spec.wIdPalletBG,
             spec.wIdBGMap, spec.wParamBG});
  for (std::size_t n = 0; n < spec.groups.size(); ++n) {
    const UnitMotionGroup& g = spec.groups[n];
    putU16Run(record, L::unitAnime::kFirstGroup + L::unitAnime::kGroupSize * n,
              {g.wIdSprite1, g.wIdPallet1, g.wIdSprite2, g.wIdPallet2, g.wIdMotionPart,
               g.wIdShadowEtc, g.wIdCutinScroll, g.wParam});
  }
  return record;
}

Bytes fixedAnimeRecord(const FixedAnimeSpec& s) {
  Bytes record(L::recordSize(L::Table::FixedAnime), 0);
  putU16Run(record, 0, {s.wIdWeapon,         s.wOtherAnime,   s.wIdSprite1_1,     s.wIdPallet1_1,
                        s.wIdSprite1_2,      s.wIdPallet1_2,  s.wIdSprite1_3,     s.wIdPallet1_3,
                        s.wIdSprite1_4,      s.wIdPallet1_4,  s.wIdMotionPart1,   s.wIdShadowEtc1,
                        s.wIdCutinScroll1,   s.wParam1,       s.wIdSprite2_1,     s.wIdPallet2_1,
                        s.wIdSprite2_2,      s.wIdPallet2_2,  s.wIdSprite2_3,     s.wIdPallet2_3,
                        s.wIdMotionPart2,    s.wIdShadowEtc2, s.wIdCutinScroll2,  s.wParam2,
                        s.wIdSprite3_1,      s.wIdPallet3_1,  s.wIdSprite3_2,     s.wIdPallet3_2,
                        s.wIdSprite3_3,      s.wIdPallet3_3,  s.wIdMotionPart3,   s.wIdShadowEtc3,
                        s.wIdCutinScroll3,   s.wParam3,       s.wIdMotionPart3_2, s.wIdShadowEtc3_2,
                        s.wIdCutinScroll3_2, s.wParam4});
  return record;
}

Bytes systemAnimeRecord(const SystemAnimeSpec& spec) {
  Bytes record(spec.raw.begin(), spec.raw.end());
  putU16(record, L::systemAnime::kSprite, spec.wIdSprite);
  putU16(record, L::systemAnime::kPallet, spec.wIdPallet);
  putU16(record, L::systemAnime::kMotionPart, spec.wIdMotionPart);
  putU16(record, L::systemAnime::kShadowEtc, spec.wIdShadowEtc);
  putU16(record, L::systemAnime::kCutinScroll, spec.wIdCutinScroll);
  return record;
}

Bytes graphicDifinitionRecord(const GraphicDifinitionSpec& spec) {
  Bytes record(spec.raw.begin(), spec.raw.end());
  putU16(record, L::graphicDifinition::kSprite, spec.wIdSprite);
  putU16(record, L::graphicDifinition::kPallet, spec.wIdPallet);
  return record;
}

Bytes unitCutinRecord(const UnitCutinSpec& spec) {
  Bytes record(spec.raw.begin(), spec.raw.end());
  for (std::size_t i = 0; i < spec.wIdSprite.size(); ++i) {
    putU16(record, L::unitCutin::kSprites[i], spec.wIdSprite[i]);
    putU16(record, L::unitCutin::kPallets[i], spec.wIdPallet[i]);
    putU16(record, L::unitCutin::kBGMaps[i], spec.wIdBGMap[i]);
  }
  putU16(record, L::unitCutin::kMotionPart, spec.wIdMotionPart);
  putU16(record, L::unitCutin::kShadowEtc, spec.wIdShadowEtc);
  putU16(record, L::unitCutin::kCutinScroll, spec.wIdCutinScroll);
  return record;
}

}  // namespace synthetic
