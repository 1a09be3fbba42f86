#include "tests/support/demo_resources.hpp"

#include <stdexcept>
#include <tuple>
#include <utility>

#include "tests/support/synthetic_lz77.hpp"

namespace synthetic::demo {
namespace {

namespace L = layout;
using L::Table;

// IDs that share bytes in the real layout: SystemAnime 119 lies on GraphicDifinition 0 and 1.
constexpr std::uint16_t kOverlappingSystemAnime = 119;
constexpr std::uint16_t kOverlappingGraphicLast = 1;

constexpr std::uint32_t kBanksOther = L::kBanksOtherPallet;
constexpr std::size_t kCutinSprites = 2;  // of the three sprite and pallet pairs
constexpr std::array<std::uint32_t, 3> kSheetRows{16, 32, 64};
constexpr std::array<std::uint16_t, 5> kShadowMasks{0x0001, 0x0003, 0x0105, 0x8001, 0x0F00};
// Effect routine commands that name no record of another table.
constexpr std::array<std::uint8_t, 7> kPlainOpcodes{0x01, 0x07, 0x0A, 0x10, 0x12, 0x20, 0x30};
constexpr std::uint8_t kFollowedCutinMode = L::cutinScroll::kFollowedModes[0];
constexpr std::uint8_t kOtherFollowedCutinMode = L::cutinScroll::kFollowedModes[1];
constexpr std::uint8_t kSystemAnimeOpcodes =
    L::cutinScroll::kOpSystemAnimeLast - L::cutinScroll::kOpSystemAnimeFirst + 1;

}  // namespace

ResourceMaker::ResourceMaker(const ScenarioPlan& plan, RomBuilder& rom, DemoScenario& out)
    : plan_(plan), rom_(rom), out_(out), rng_(plan.seed) {
  for (const IdPool& pool : plan.pools) {
    next_[static_cast<std::size_t>(pool.table)] = pool.first;
  }
  decoyGraphic_ = newGraphic();
  decoyCutin_ = newUnitCutin(false);
  sharedSystemAnime_ = newSystemAnime();
  sharedCutin_ = newUnitCutin(false);
}

const IdPool& ResourceMaker::poolOf(Table table) const {
  for (const IdPool& pool : plan_.pools) {
    if (pool.table == table) {
      return pool;
    }
  }
  throw std::logic_error("demo: no ID pool for a table");
}

std::uint16_t ResourceMaker::take(Table table) {
  const IdPool& pool = poolOf(table);
  std::uint16_t& next = next_[static_cast<std::size_t>(table)];
  if ((table == Table::SystemAnime && next == kOverlappingSystemAnime) ||
      (table == Table::GraphicDifinition && next <= kOverlappingGraphicLast)) {
    throw std::logic_error("demo: an ID pool reaches the overlapping records");
  }
  if (next > lastId(table)) {
    throw std::logic_error("demo: an ID pool ran out of IDs");
  }
  const std::uint16_t id = next;
  next = static_cast<std::uint16_t>(next + pool.step);
  return id;
}

std::uint16_t ResourceMaker::newSprite() {
  const std::uint16_t id = take(Table::Sprite);
  Bytes sheet = makeSpriteSheet(kSheetRows[between(0, kSheetRows.size() - 1)], rng_.next());
  rom_.setSprite(id, compressLz77(sheet));
  out_.spriteSheets[id] = std::move(sheet);
  return id;
}

std::uint16_t ResourceMaker::newPallet(std::uint32_t banks) {
  const std::uint16_t id = take(Table::Pallet);
  Bytes palette = makePalette(banks, rng_.next());
  rom_.setPallet(id, palette);
  out_.palettes[id] = std::move(palette);
  return id;
}

std::uint16_t ResourceMaker::newBGMap() {
  const std::uint16_t id = take(Table::BGMap);
  const auto wSize = static_cast<std::uint16_t>(bgMaps_++ % L::bgMap::kScreenEntries.size());
  Bytes map = makeBGMapData(wSize, rng_.next());
  rom_.setBGMap(id, wSize, value(), compressLz77(map));
  out_.bgMapData[id] = std::move(map);
  out_.bgMapSizes[id] = wSize;
  return id;
}

std::uint16_t ResourceMaker::newMotionPart() {
  const std::uint16_t id = take(Table::MotionPart);
  const std::uint32_t serial = motionParts_++;
  MotionPartSpec spec;
  spec.extra1 = fill();
  spec.totalFrames = static_cast<std::uint16_t>(between(16, 120));
  spec.extra4 = rng_.next();
  const std::uint32_t parts = between(1, 4);
  for (std::uint32_t i = 0; i < parts; ++i) {
    MotionPartSpec::Part part;
    part.stream =
        makePartStream(spec.totalFrames,
                       (serial + i) % 2 == 0 ? StreamEnd::Limit : StreamEnd::EndMark, rng_.next());
    for (std::uint8_t& byte : part.extra) {
      byte = fill();
    }
    spec.parts.push_back(std::move(part));
  }
  if (serial % 9 != 4) {  // every ninth routine has no key block
    spec.keyBlock =
        makeKeyBlock(spec.totalFrames, static_cast<KeyBlockEnd>(serial % 3), rng_.next());
  }
  rom_.setMotionPart(id, spec);
  out_.motionParts[id] = std::move(spec);
  return id;
}

std::uint16_t ResourceMaker::newShadowEtc() {
  const std::uint16_t id = take(Table::ShadowEtc);
  const std::uint32_t serial = shadowEtcs_++;
  ShadowEtcSpec spec;
  spec.extra = value();
  if (serial % 5 != 2) {  // every fifth routine has mask 0
    spec.mask = kShadowMasks[between(0, kShadowMasks.size() - 1)];
  }
  for (std::uint32_t bit = 0; bit < L::shadowEtc::kMaskBits; ++bit) {
    if (spec.mask & (1u << bit)) {
      spec.streams.push_back(makePartStream(L::shadowEtc::kStreamLimit,
                                            bit % 2 == 0 ? StreamEnd::Limit : StreamEnd::EndMark,
                                            rng_.next()));
    }
  }
  rom_.setShadowEtc(id, spec);
  out_.shadowEtcs[id] = std::move(spec);
  return id;
}

std::uint16_t ResourceMaker::newCutinScroll(std::vector<CutinCommand> commands) {
  const std::uint16_t id = take(Table::CutinScroll);
  CutinScrollSpec spec{value(), std::move(commands)};
  rom_.setCutinScroll(id, spec);
  out_.cutinScrolls[id] = std::move(spec);
  return id;
}

template <std::size_t N>
std::array<std::uint8_t, N> ResourceMaker::rawRecord(std::uint16_t id) {
  std::array<std::uint8_t, N> raw{};
  for (std::uint8_t& byte : raw) {
    byte = fill();
  }
  raw[0] = static_cast<std::uint8_t>(id);  // the game keeps a record's own ID in its first u16
  raw[1] = static_cast<std::uint8_t>(id >> 8);
  return raw;
}

std::uint16_t ResourceMaker::newGraphic() {
  const std::uint16_t id = take(Table::GraphicDifinition);
  GraphicDifinitionSpec spec;
  spec.raw = rawRecord<std::tuple_size_v<decltype(spec.raw)>>(id);
  spec.wIdSprite = newSprite();
  spec.wIdPallet = newPallet(kBanksOther);
  rom_.setGraphicDifinition(id, spec);
  out_.graphicDifinitions[id] = spec;
  return id;
}

std::uint16_t ResourceMaker::newSystemAnime() {
  const std::uint16_t id = take(Table::SystemAnime);
  SystemAnimeSpec spec;
  spec.raw = rawRecord<std::tuple_size_v<decltype(spec.raw)>>(id);
  spec.wIdSprite = newSprite();
  spec.wIdPallet = newPallet(kBanksOther);
  spec.wIdMotionPart = newMotionPart();
  rom_.setSystemAnime(id, spec);
  out_.systemAnimes[id] = spec;
  return id;
}

std::uint16_t ResourceMaker::newUnitCutin(bool withRoutines) {
  const std::uint16_t id = take(Table::UnitCutin);
  UnitCutinSpec spec;
  spec.raw = rawRecord<std::tuple_size_v<decltype(spec.raw)>>(id);
  for (std::size_t i = 0; i < kCutinSprites; ++i) {
    spec.wIdSprite[i] = newSprite();
    spec.wIdPallet[i] = newPallet(kBanksOther);
  }
  spec.wIdBGMap = {newBGMap(), L::kNoBGMapAlt, L::kNoId};
  spec.wIdMotionPart = newMotionPart();
  if (withRoutines) {
    spec.wIdShadowEtc = newShadowEtc();
    spec.wIdCutinScroll =
        newCutinScroll({plain(), graphicChangeCommand(decoyGraphic_, fill()), plain()});
  }
  rom_.setUnitCutin(id, spec);
  out_.unitCutins[id] = spec;
  return id;
}

std::uint16_t ResourceMaker::newIcon() {
  const std::uint16_t id = take(Table::IconData);
  Bytes icon = makeIcon(rng_.next());
  rom_.setIcon(id, icon);
  out_.icons[id] = std::move(icon);
  return id;
}

CutinCommand ResourceMaker::plain() {
  return plainCommand(kPlainOpcodes[between(0, kPlainOpcodes.size() - 1)], fill());
}

std::vector<CutinCommand> ResourceMaker::weaponCommands() {
  const std::uint32_t serial = weaponRoutines_++;
  const auto opcode =
      static_cast<std::uint8_t>(L::cutinScroll::kOpSystemAnimeFirst + serial % kSystemAnimeOpcodes);
  std::vector<CutinCommand> commands{plain(), graphicChangeCommand(newGraphic(), fill()),
                                     systemAnimeCommand(opcode, newSystemAnime(), fill()), plain()};
  if (serial % 3 == 0) {
    commands.push_back(unitCutinCommand(kOtherFollowedCutinMode, newUnitCutin(false), fill()));
  }
  return commands;
}

std::vector<CutinCommand> ResourceMaker::unitCommands() {
  return {plain(),
          unitCutinCommand(kFollowedCutinMode, newUnitCutin(true), fill()),
          unitCutinCommand(plan_.unfollowedCutinMode, decoyCutin_, fill()),
          systemAnimeCommand(L::cutinScroll::kOpSystemAnimeLast, sharedSystemAnime_, fill()),
          graphicChangeCommand(newGraphic(), fill()),
          plain(),
          unitCutinCommand(kOtherFollowedCutinMode, sharedCutin_, fill())};
}

}  // namespace synthetic::demo
