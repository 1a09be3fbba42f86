#include "tests/support/demo_scenario.hpp"

#include <algorithm>
#include <stdexcept>

#include "tests/support/character_table_file.hpp"
#include "tests/support/demo_plans.hpp"
#include "tests/support/demo_resources.hpp"

namespace synthetic {
namespace {

namespace L = layout;
using demo::BGMapUse;
using demo::ScenarioPlan;
using demo::UnitPlan;
using demo::WeaponPlan;

constexpr std::uint32_t kBanksBG = L::kBanksPalletBG;
constexpr std::uint32_t kBanksPallet3 = L::kBanksWeaponPallet3;
constexpr std::uint32_t kBanksOther = L::kBanksOtherPallet;

// Builds one demo image from its plan: weapons first, then units, then the empty slots.
class DemoWriter {
 public:
  explicit DemoWriter(const ScenarioPlan& plan) : plan_(plan), make_(plan, rom_, out_) {}

  DemoScenario build() {
    for (const WeaponPlan& weapon : plan_.weapons) {
      buildWeapon(weapon);
    }
    for (const UnitPlan& unit : plan_.units) {
      buildUnit(unit);
    }
    fillEmptySlots();
    std::sort(out_.units.begin(), out_.units.end(),
              [](const DemoUnit& a, const DemoUnit& b) { return a.id < b.id; });
    std::sort(out_.weapons.begin(), out_.weapons.end(),
              [](const DemoWeapon& a, const DemoWeapon& b) { return a.id < b.id; });
    out_.placed = rom_.placements();
    out_.image = rom_.take();
    return std::move(out_);
  }

 private:
  void buildWeapon(const WeaponPlan& plan);
  void buildUnit(const UnitPlan& plan);
  void fillEmptySlots();
  const DemoWeapon& builtWeapon(std::uint16_t id) const;
  const DemoUnit& builtUnit(std::uint16_t id) const;

  const ScenarioPlan& plan_;
  RomBuilder rom_;
  DemoScenario out_;
  demo::ResourceMaker make_;
};

const DemoWeapon& DemoWriter::builtWeapon(std::uint16_t id) const {
  for (const DemoWeapon& weapon : out_.weapons) {
    if (weapon.id == id) {
      return weapon;
    }
  }
  throw std::logic_error("demo: a plan names a weapon not built before");
}

const DemoUnit& DemoWriter::builtUnit(std::uint16_t id) const {
  for (const DemoUnit& unit : out_.units) {
    if (unit.id == id) {
      return unit;
    }
  }
  throw std::logic_error("demo: a plan names a unit not built before");
}

void DemoWriter::buildWeapon(const WeaponPlan& plan) {
  DemoWeapon weapon;
  weapon.id = plan.id;
  weapon.name = plan.name;
  for (std::uint8_t& byte : weapon.record.stats) {
    byte = make_.fill();
  }
  weapon.record.name = encodeGameText(plan.name);

  FixedAnimeSpec& a = weapon.anime;
  const bool even = out_.weapons.size() % 2 == 0;
  a.wIdWeapon = plan.id;
  a.wOtherAnime = make_.value();
  a.wIdSprite1_1 =
      plan.spriteOf ? builtWeapon(*plan.spriteOf).anime.wIdSprite1_1 : make_.newSprite();
  a.wIdPallet1_1 = make_.newPallet(kBanksOther);
  a.wIdSprite1_2 = make_.newSprite();
  a.wIdPallet1_2 = make_.newPallet(kBanksOther);
  a.wIdSprite1_3 = make_.newSprite();
  a.wIdPallet1_3 = make_.newPallet(kBanksPallet3);
  a.wIdSprite1_4 = make_.newSprite();
  a.wIdPallet1_4 = make_.newPallet(kBanksOther);
  a.wIdMotionPart1 =
      plan.motionOf ? builtWeapon(*plan.motionOf).anime.wIdMotionPart1 : make_.newMotionPart();
  a.wIdShadowEtc1 = make_.newShadowEtc();
  a.wIdCutinScroll1 = make_.newCutinScroll(make_.weaponCommands());
  a.wParam1 = make_.value();
  if (!plan.firstGroupOnly) {
    a.wIdSprite2_1 = make_.newSprite();
    a.wIdPallet2_1 = make_.newPallet(kBanksOther);
    if (even) {
      a.wIdSprite2_3 = make_.newSprite();
      a.wIdPallet2_3 = make_.newPallet(kBanksPallet3);
      a.wIdSprite3_1 = make_.newSprite();
      a.wIdPallet3_1 = make_.newPallet(kBanksOther);
    } else {
      a.wIdSprite2_2 = make_.newSprite();
      a.wIdPallet2_2 = make_.newPallet(kBanksOther);
      a.wIdSprite3_3 = make_.newSprite();
      a.wIdPallet3_3 = make_.newPallet(kBanksPallet3);
    }
    a.wIdMotionPart2 = make_.newMotionPart();
    a.wParam2 = make_.value();
    a.wIdMotionPart3 = make_.newMotionPart();
    a.wIdShadowEtc3 = even ? make_.newShadowEtc() : L::kNoId;
    a.wParam3 = make_.value();
    a.wIdMotionPart3_2 = make_.newMotionPart();
    a.wParam4 = make_.value();
  }
  rom_.setWeapon(plan.id, weapon.record);
  rom_.setFixedAnimeHeader(plan.id, a);
  out_.weapons.push_back(std::move(weapon));
}

void DemoWriter::buildUnit(const UnitPlan& plan) {
  DemoUnit unit;
  unit.id = plan.id;
  unit.name = plan.name;
  unit.record.dwMaxHP = make_.between(2000, 9000);
  unit.record.wMaxEN = static_cast<std::uint16_t>(make_.between(100, 300));
  unit.record.wMobility = static_cast<std::uint16_t>(make_.between(60, 140));
  unit.record.wArmor = static_cast<std::uint16_t>(make_.between(800, 2000));
  for (std::uint8_t& byte : unit.record.otherStats) {
    byte = make_.fill();
  }
  std::copy(plan.slots.begin(), plan.slots.end(), unit.record.wWeapon.begin());
  unit.record.name = encodeGameText(plan.name);

  UnitAnimeSpec& h = unit.anime;
  h.wIdUnit = plan.id;
  h.wPatternExplosion = make_.value();
  h.wIdSpriteBG = make_.newSprite();
  h.wIdPalletBG = make_.newPallet(kBanksBG);
  h.wIdBGMap = plan.bgMap == BGMapUse::Own        ? make_.newBGMap()
               : plan.bgMap == BGMapUse::NoneFFFE ? L::kNoBGMapAlt
                                                  : L::kNoId;
  h.wParamBG = make_.value();
  for (std::size_t n = 0; n < plan.groups; ++n) {
    UnitMotionGroup& g = h.groups[n];
    g.wIdSprite1 = make_.newSprite();
    if (n == 0 && plan.pallet1IsFirstWeaponPallet13) {
      g.wIdPallet1 = builtWeapon(plan.slots.front()).anime.wIdPallet1_3;
    } else if (n == 1 && plan.pallet2_1IsBgPalletOf) {
      g.wIdPallet1 = builtUnit(*plan.pallet2_1IsBgPalletOf).anime.wIdPalletBG;
    } else {
      g.wIdPallet1 = make_.newPallet(kBanksOther);
    }
    if (n % 2 == 1) {
      g.wIdSprite2 = make_.newSprite();
      g.wIdPallet2 = make_.newPallet(kBanksOther);
    }
    g.wIdMotionPart = make_.newMotionPart();
    if (n % 2 == 0) {
      g.wIdShadowEtc = make_.newShadowEtc();
    }
    if (n == 0) {
      g.wIdCutinScroll = make_.newCutinScroll(make_.unitCommands());
    }
    g.wParam = make_.value();
  }
  if (plan.group4RepeatsGroup1) {
    h.groups[3] = h.groups[0];
  }
  unit.icon = make_.newIcon();

  rom_.setUnit(plan.id, unit.record);
  rom_.setUnitAnimeHeader(plan.id, h);
  rom_.setUnitIcon(plan.id, unit.icon);
  out_.units.push_back(std::move(unit));
}

void DemoWriter::fillEmptySlots() {
  for (std::uint16_t id = 0; id <= L::kLastUnitId; ++id) {
    const bool named = std::any_of(out_.units.begin(), out_.units.end(),
                                   [id](const DemoUnit& unit) { return unit.id == id; });
    if (!named) {
      rom_.setEmptyUnit(id);
    }
  }
  for (std::uint16_t id = 0; id <= L::kLastWeaponId; ++id) {
    const bool named = std::any_of(out_.weapons.begin(), out_.weapons.end(),
                                   [id](const DemoWeapon& weapon) { return weapon.id == id; });
    if (!named) {
      rom_.setEmptyWeapon(id);
    }
  }
}

}  // namespace

const DemoUnit& DemoScenario::unit(std::uint16_t id) const {
  for (const DemoUnit& candidate : units) {
    if (candidate.id == id) {
      return candidate;
    }
  }
  throw std::out_of_range("demo: no named unit with this ID");
}

const DemoWeapon& DemoScenario::weapon(std::uint16_t id) const {
  for (const DemoWeapon& candidate : weapons) {
    if (candidate.id == id) {
      return candidate;
    }
  }
  throw std::out_of_range("demo: no named weapon with this ID");
}

DemoScenario makeDemoScenarioA() { return DemoWriter(demo::planA()).build(); }
DemoScenario makeDemoScenarioB() { return DemoWriter(demo::planB()).build(); }

}  // namespace synthetic
