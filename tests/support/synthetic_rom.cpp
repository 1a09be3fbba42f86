#include "tests/support/synthetic_rom.hpp"

#include <algorithm>
#include <bit>
#include <limits>
#include <stdexcept>
#include <string>

namespace synthetic {
namespace {

namespace L = layout;
using L::Table;

// The two bytes behind a part stream that the part stream walk may look at.
constexpr std::uint32_t kStreamGuard = 2;

std::uint32_t alignUp(std::uint32_t value) {
  return (value + L::kDataAlignment - 1) / L::kDataAlignment * L::kDataAlignment;
}

std::uint32_t checkedLength(std::size_t size) {
  if (size > L::kDataAreaEnd - L::kDataAreaBegin) {
    throw std::length_error("synthetic: data larger than the data area");
  }
  return static_cast<std::uint32_t>(size);
}

}  // namespace

std::uint16_t lastId(Table table) {
  if (table == Table::Unit || table == Table::UnitAnime || table == Table::UnitIconIndex) {
    return L::kLastUnitId;
  }
  if (table == Table::Weapon || table == Table::FixedAnime) {
    return L::kLastWeaponId;
  }
  for (const L::ExtendableTable& extendable : L::kExtendable) {
    if (extendable.table == table) {
      return extendable.lastId;
    }
  }
  throw std::invalid_argument("synthetic: the table has no ID space");
}

RomBuilder::RomBuilder(std::size_t size) : image_(size, 0) {
  if (size < L::kMinimumImageSize) {
    throw std::invalid_argument("synthetic: image too small for the game's tables");
  }
  std::copy(L::kGameCode.begin(), L::kGameCode.end(), image_.begin() + L::kGameCodeOffset);
  for (const L::DirectoryEntry& entry : L::kDirectory) {
    synthetic::putU32(image_, entry.locator, gbaPointer(entry.offset));
  }
  for (const L::TableReferences& references : L::kReferences) {
    for (std::uint32_t offset : references.offsets) {
      synthetic::putU32(image_, offset, gbaPointer(L::tableOffset(references.table)));
    }
  }
}

void RomBuilder::writeRecord(Table table, std::uint16_t id, std::uint16_t last,
                             const Bytes& record) {
  if (id > last) {
    throw std::out_of_range("synthetic: ID " + std::to_string(id) + " beyond its table");
  }
  putBytes(L::recordOffset(table, id), record);
}

void RomBuilder::setPointerEntry(Table table, std::uint16_t id, std::uint32_t romOffset) {
  if (id > lastId(table)) {
    throw std::out_of_range("synthetic: ID " + std::to_string(id) + " beyond its table");
  }
  putU32(L::recordOffset(table, id), gbaPointer(romOffset));
}

void RomBuilder::setUnit(std::uint16_t id, const UnitSpec& spec) {
  writeRecord(Table::Unit, id, L::kLastUnitId, unitRecord(spec));
}

void RomBuilder::setEmptyUnit(std::uint16_t id) {
  writeRecord(Table::Unit, id, L::kLastUnitId, emptyUnitRecord());
}

void RomBuilder::setWeapon(std::uint16_t id, const WeaponSpec& spec) {
  writeRecord(Table::Weapon, id, L::kLastWeaponId, weaponRecord(spec));
}

void RomBuilder::setEmptyWeapon(std::uint16_t id) {
  writeRecord(Table::Weapon, id, L::kLastWeaponId, emptyWeaponRecord());
}

void RomBuilder::setUnitAnimeHeader(std::uint16_t unit, const UnitAnimeSpec& spec) {
  writeRecord(Table::UnitAnime, unit, L::kLastUnitId, unitAnimeRecord(spec));
}

void RomBuilder::setFixedAnimeHeader(std::uint16_t weapon, const FixedAnimeSpec& spec) {
  writeRecord(Table::FixedAnime, weapon, L::kLastWeaponId, fixedAnimeRecord(spec));
}

void RomBuilder::setSystemAnime(std::uint16_t id, const SystemAnimeSpec& spec) {
  writeRecord(Table::SystemAnime, id, lastId(Table::SystemAnime), systemAnimeRecord(spec));
}

void RomBuilder::setGraphicDifinition(std::uint16_t id, const GraphicDifinitionSpec& spec) {
  writeRecord(Table::GraphicDifinition, id, lastId(Table::GraphicDifinition),
              graphicDifinitionRecord(spec));
}

void RomBuilder::setUnitCutin(std::uint16_t id, const UnitCutinSpec& spec) {
  writeRecord(Table::UnitCutin, id, lastId(Table::UnitCutin), unitCutinRecord(spec));
}

void RomBuilder::setIcon(std::uint16_t id, std::span<const std::uint8_t> icon) {
  if (icon.size() != L::kIconSize) {
    throw std::invalid_argument("synthetic: an icon is 384 bytes");
  }
  writeRecord(Table::IconData, id, lastId(Table::IconData), Bytes(icon.begin(), icon.end()));
}

void RomBuilder::setUnitIcon(std::uint16_t unit, std::uint16_t icon) {
  Bytes entry(L::recordSize(Table::UnitIconIndex), 0);
  synthetic::putU16(entry, 0, icon);
  writeRecord(Table::UnitIconIndex, unit, L::kLastUnitId, entry);
}

std::uint32_t RomBuilder::setSprite(std::uint16_t id, std::span<const std::uint8_t> lz77Stream) {
  const std::uint32_t offset = allocate(lz77Stream);
  setPointerEntry(Table::Sprite, id, offset);
  placements_.sprites[id] = {offset, checkedLength(lz77Stream.size())};
  return offset;
}

std::uint32_t RomBuilder::setPallet(std::uint16_t id, std::span<const std::uint8_t> colours) {
  if (colours.empty() || colours.size() % L::kPaletteBankSize != 0) {
    throw std::invalid_argument("synthetic: palette data is a whole number of 32-byte banks");
  }
  const std::uint32_t offset = allocate(colours);
  setPointerEntry(Table::Pallet, id, offset);
  placements_.pallets[id] = {offset, checkedLength(colours.size())};
  return offset;
}

std::uint32_t RomBuilder::setBGMap(std::uint16_t id, std::uint16_t wSize, std::uint16_t wParam1,
                                   std::span<const std::uint8_t> lz77Stream) {
  if (id > lastId(Table::BGMap)) {
    throw std::out_of_range("synthetic: BG map ID beyond its table");
  }
  const std::uint32_t offset = allocate(lz77Stream);
  const std::uint32_t header = L::recordOffset(Table::BGMap, id);
  putU32(header + L::bgMap::kAddress, gbaPointer(offset));
  putU16(header + L::bgMap::kSize, wSize);
  putU16(header + L::bgMap::kParam1, wParam1);
  placements_.bgMaps[id] = {offset, checkedLength(lz77Stream.size())};
  return offset;
}

PlacedMotionPart RomBuilder::setMotionPart(std::uint16_t id, const MotionPartSpec& spec) {
  namespace M = L::motionPart;
  if (spec.parts.size() > std::numeric_limits<std::uint8_t>::max()) {
    throw std::invalid_argument("synthetic: a MotionPart routine has at most 255 parts");
  }
  PlacedMotionPart placed;
  placed.header = allocate(Bytes(M::kHeaderSize, 0));
  placed.partTable = allocate(Bytes(M::kPartEntrySize * spec.parts.size(), 0));
  for (std::size_t i = 0; i < spec.parts.size(); ++i) {
    const MotionPartSpec::Part& part = spec.parts[i];
    const std::uint32_t stream = allocate(part.stream, kStreamGuard);
    const std::uint32_t entry =
        placed.partTable + static_cast<std::uint32_t>(M::kPartEntrySize * i);
    putU32(entry, gbaPointer(stream));
    putBytes(entry + M::kPartEntryExtra, part.extra);
    placed.parts.push_back({stream, checkedLength(part.stream.size())});
  }
  if (spec.keyBlock) {
    placed.keyBlock = {allocate(*spec.keyBlock), checkedLength(spec.keyBlock->size())};
  }
  putU8(placed.header + M::kPartCount, static_cast<std::uint8_t>(spec.parts.size()));
  putU8(placed.header + M::kExtra1, spec.extra1);
  putU16(placed.header + M::kTotalFrames, spec.totalFrames);
  putU32(placed.header + M::kExtra4, spec.extra4);
  putU32(placed.header + M::kPartTable, gbaPointer(placed.partTable));
  putU32(placed.header + M::kKeyBlock, spec.keyBlock ? gbaPointer(placed.keyBlock.offset) : 0);
  setPointerEntry(Table::MotionPart, id, placed.header);
  placements_.motionParts[id] = placed;
  return placed;
}

PlacedShadowEtc RomBuilder::setShadowEtc(std::uint16_t id, const ShadowEtcSpec& spec) {
  namespace S = L::shadowEtc;
  if (static_cast<std::size_t>(std::popcount(spec.mask)) != spec.streams.size()) {
    throw std::invalid_argument("synthetic: one ShadowEtc stream per set mask bit");
  }
  PlacedShadowEtc placed;
  placed.header = allocate(Bytes(S::kHeaderSize, 0));
  placed.list = allocate(Bytes(S::kListEntrySize * spec.streams.size(), 0));
  for (std::size_t i = 0; i < spec.streams.size(); ++i) {
    const std::uint32_t stream = allocate(spec.streams[i], kStreamGuard);
    putU32(placed.list + static_cast<std::uint32_t>(S::kListEntrySize * i), gbaPointer(stream));
    placed.streams.push_back({stream, checkedLength(spec.streams[i].size())});
  }
  putU16(placed.header + S::kMask, spec.mask);
  putU16(placed.header + S::kExtra, spec.extra);
  putU32(placed.header + S::kList, gbaPointer(placed.list));
  setPointerEntry(Table::ShadowEtc, id, placed.header);
  placements_.shadowEtcs[id] = placed;
  return placed;
}

PlacedCutinScroll RomBuilder::setCutinScroll(std::uint16_t id, const CutinScrollSpec& spec) {
  namespace C = L::cutinScroll;
  if (spec.commands.size() > std::numeric_limits<std::uint16_t>::max()) {
    throw std::invalid_argument("synthetic: too many CutinScroll commands");
  }
  Bytes commands;
  for (const CutinCommand& command : spec.commands) {
    commands.insert(commands.end(), command.begin(), command.end());
  }
  PlacedCutinScroll placed;
  placed.header = allocate(Bytes(C::kHeaderSize, 0));
  placed.commands = {allocate(commands), checkedLength(commands.size())};
  putU16(placed.header + C::kCount, static_cast<std::uint16_t>(spec.commands.size()));
  putU16(placed.header + C::kExtra, spec.extra);
  putU32(placed.header + C::kCommands, gbaPointer(placed.commands.offset));
  setPointerEntry(Table::CutinScroll, id, placed.header);
  placements_.cutinScrolls[id] = placed;
  return placed;
}

void RomBuilder::putU8(std::uint32_t offset, std::uint8_t value) {
  synthetic::putU8(image_, offset, value);
}

void RomBuilder::putU16(std::uint32_t offset, std::uint16_t value) {
  synthetic::putU16(image_, offset, value);
}

void RomBuilder::putU32(std::uint32_t offset, std::uint32_t value) {
  synthetic::putU32(image_, offset, value);
}

void RomBuilder::putBytes(std::uint32_t offset, std::span<const std::uint8_t> bytes) {
  detail::requireRange(image_, offset, bytes.size());
  std::copy(bytes.begin(), bytes.end(), image_.begin() + offset);
}

std::uint32_t RomBuilder::allocate(std::span<const std::uint8_t> bytes, std::uint32_t zeroGuard) {
  const std::uint32_t length = checkedLength(bytes.size());
  const std::uint32_t offset = cursor_;
  if (L::kDataAreaEnd - offset < length || L::kDataAreaEnd - offset - length < zeroGuard) {
    throw std::length_error("synthetic: the data area is full");
  }
  putBytes(offset, bytes);
  cursor_ = alignUp(offset + length + zeroGuard);
  return offset;
}

}  // namespace synthetic
