// The unit resource collection worked out on the demo's record descriptions, independently of
// any reader of the image: the lists a collector must find, in first-met order.
#include <algorithm>
#include <utility>

#include "tests/support/demo_scenario.hpp"

namespace synthetic {
namespace {

namespace L = layout;

constexpr std::uint8_t kBanksBG = L::kBanksPalletBG;
constexpr std::uint8_t kBanksPallet3 = L::kBanksWeaponPallet3;
constexpr std::uint8_t kBanksOther = L::kBanksOtherPallet;
constexpr std::uint8_t kNoBankCount = 0;

class Collector {
 public:
  explicit Collector(ExpectedResources& set) : set_(set) {}

  static void add(std::vector<std::uint16_t>& list, std::uint16_t id) {
    if (std::find(list.begin(), list.end(), id) == list.end()) {
      list.push_back(id);
    }
  }
  static void addUnlessNone(std::vector<std::uint16_t>& list, std::uint16_t id) {
    if (id != L::kNoId) {
      add(list, id);
    }
  }
  void addBGMap(std::uint16_t id) {
    if (id != L::kNoBGMapAlt) {
      addUnlessNone(set_.bgMaps, id);
    }
  }
  void addPallet(std::uint16_t id, std::uint8_t banks) {
    if (id == L::kNoId ||
        std::find(set_.pallets.begin(), set_.pallets.end(), id) != set_.pallets.end()) {
      return;
    }
    set_.pallets.push_back(id);
    set_.palletBanks.push_back(banks);
  }

 private:
  ExpectedResources& set_;
};

std::uint16_t commandU16(const CutinCommand& command, std::uint32_t offset) {
  return static_cast<std::uint16_t>(command[offset] | command[offset + 1] << 8);
}

}  // namespace

ExpectedResources expectedResources(const DemoScenario& scenario, std::uint16_t unitId) {
  namespace C = L::cutinScroll;
  const DemoUnit& unit = scenario.unit(unitId);
  ExpectedResources set;
  Collector collect(set);
  set.unitId = unitId;
  set.iconId = unit.icon;

  for (std::uint16_t slot : unit.record.wWeapon) {
    if (slot <= L::kLastWeaponId) {
      Collector::add(set.weapons, slot);
    }
  }

  const UnitAnimeSpec& h = unit.anime;
  collect.addBGMap(h.wIdBGMap);
  Collector::addUnlessNone(set.sprites, h.wIdSpriteBG);
  for (const UnitMotionGroup& g : h.groups) {
    Collector::addUnlessNone(set.sprites, g.wIdSprite1);
    Collector::addUnlessNone(set.sprites, g.wIdSprite2);
  }
  collect.addPallet(h.wIdPalletBG, kBanksBG);
  for (const UnitMotionGroup& g : h.groups) {
    collect.addPallet(g.wIdPallet1, kBanksOther);
    collect.addPallet(g.wIdPallet2, kBanksOther);
  }
  for (const UnitMotionGroup& g : h.groups)
    Collector::addUnlessNone(set.motionParts, g.wIdMotionPart);
  for (const UnitMotionGroup& g : h.groups)
    Collector::addUnlessNone(set.shadowEtcs, g.wIdShadowEtc);
  for (const UnitMotionGroup& g : h.groups)
    Collector::addUnlessNone(set.cutinScrolls, g.wIdCutinScroll);

  for (std::uint16_t weaponId : set.weapons) {
    const FixedAnimeSpec& a = scenario.weapon(weaponId).anime;
    const std::pair<std::uint16_t, std::uint8_t> slots[] = {
        {a.wIdSprite1_1, kBanksOther},   {a.wIdSprite1_2, kBanksOther},
        {a.wIdSprite1_3, kBanksPallet3}, {a.wIdSprite1_4, kBanksOther},
        {a.wIdSprite2_1, kBanksOther},   {a.wIdSprite2_2, kBanksOther},
        {a.wIdSprite2_3, kBanksPallet3}, {a.wIdSprite3_1, kBanksOther},
        {a.wIdSprite3_2, kBanksOther},   {a.wIdSprite3_3, kBanksPallet3}};
    const std::uint16_t pallets[] = {a.wIdPallet1_1, a.wIdPallet1_2, a.wIdPallet1_3, a.wIdPallet1_4,
                                     a.wIdPallet2_1, a.wIdPallet2_2, a.wIdPallet2_3, a.wIdPallet3_1,
                                     a.wIdPallet3_2, a.wIdPallet3_3};
    for (const auto& [sprite, banks] : slots) Collector::addUnlessNone(set.sprites, sprite);
    for (std::size_t i = 0; i < std::size(pallets); ++i)
      collect.addPallet(pallets[i], slots[i].second);
    for (std::uint16_t id :
         {a.wIdMotionPart1, a.wIdMotionPart2, a.wIdMotionPart3, a.wIdMotionPart3_2})
      Collector::addUnlessNone(set.motionParts, id);
    for (std::uint16_t id : {a.wIdShadowEtc1, a.wIdShadowEtc2, a.wIdShadowEtc3, a.wIdShadowEtc3_2})
      Collector::addUnlessNone(set.shadowEtcs, id);
    for (std::uint16_t id :
         {a.wIdCutinScroll1, a.wIdCutinScroll2, a.wIdCutinScroll3, a.wIdCutinScroll3_2})
      Collector::addUnlessNone(set.cutinScrolls, id);
  }

  // Only the effect routines collected so far are walked; IDs from commands are not tested for
  // 0xFFFF.
  const std::vector<std::uint16_t> walked = set.cutinScrolls;
  for (std::uint16_t id : walked) {
    for (const CutinCommand& command : scenario.cutinScrolls.at(id).commands) {
      const std::uint8_t opcode = command[0];
      if (opcode == C::kOpGraphicChange) {
        Collector::add(set.graphicDifinitions, commandU16(command, C::kGraphicField));
      } else if (opcode == C::kOpUnitCutin &&
                 std::find(C::kFollowedModes.begin(), C::kFollowedModes.end(),
                           command[C::kModeField]) != C::kFollowedModes.end()) {
        Collector::add(set.unitCutins, commandU16(command, C::kCutinField));
      } else if (opcode >= C::kOpSystemAnimeFirst && opcode <= C::kOpSystemAnimeLast) {
        Collector::add(set.systemAnimes, commandU16(command, C::kSystemAnimeField));
      }
    }
  }

  for (std::uint16_t id : set.unitCutins) {
    const UnitCutinSpec& cutin = scenario.unitCutins.at(id);
    for (std::uint16_t bgMap : cutin.wIdBGMap) collect.addBGMap(bgMap);
    for (std::uint16_t sprite : cutin.wIdSprite) Collector::addUnlessNone(set.sprites, sprite);
    for (std::uint16_t pallet : cutin.wIdPallet) collect.addPallet(pallet, kNoBankCount);
    Collector::addUnlessNone(set.motionParts, cutin.wIdMotionPart);
    Collector::addUnlessNone(set.shadowEtcs, cutin.wIdShadowEtc);
    Collector::addUnlessNone(set.cutinScrolls, cutin.wIdCutinScroll);
  }
  for (std::uint16_t id : set.graphicDifinitions) {
    const GraphicDifinitionSpec& graphic = scenario.graphicDifinitions.at(id);
    Collector::addUnlessNone(set.sprites, graphic.wIdSprite);
    collect.addPallet(graphic.wIdPallet, kNoBankCount);
  }
  for (std::uint16_t id : set.systemAnimes) {
    const SystemAnimeSpec& anime = scenario.systemAnimes.at(id);
    Collector::addUnlessNone(set.sprites, anime.wIdSprite);
    collect.addPallet(anime.wIdPallet, kNoBankCount);
    Collector::addUnlessNone(set.motionParts, anime.wIdMotionPart);
    Collector::addUnlessNone(set.shadowEtcs, anime.wIdShadowEtc);
    Collector::addUnlessNone(set.cutinScrolls, anime.wIdCutinScroll);
  }
  return set;
}

}  // namespace synthetic
