#include "tests/support/demo_scenario.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "tests/support/character_table_file.hpp"
#include "tests/support_selftest/oracles.hpp"

namespace synthetic {
namespace {

namespace L = layout;
using L::Table;

const DemoScenario& scenarioA() {
  static const DemoScenario scenario = makeDemoScenarioA();
  return scenario;
}
const DemoScenario& scenarioB() {
  static const DemoScenario scenario = makeDemoScenarioB();
  return scenario;
}

std::uint32_t entryTarget(const Bytes& image, Table table, std::uint16_t id) {
  return getU32(image, L::recordOffset(table, id)) - L::kGbaBase;
}

bool entryIsZero(const Bytes& image, Table table, std::uint16_t id) {
  const auto begin = image.begin() + L::recordOffset(table, id);
  return std::all_of(begin, begin + L::recordSize(table), [](std::uint8_t b) { return b == 0; });
}

// The sprites of a unit's own header and its weapons' headers, which the editor loads.
std::set<std::uint16_t> editorSprites(const DemoScenario& s, const DemoUnit& unit) {
  std::set<std::uint16_t> sprites{unit.anime.wIdSpriteBG};
  for (const UnitMotionGroup& g : unit.anime.groups) {
    sprites.insert({g.wIdSprite1, g.wIdSprite2});
  }
  for (std::uint16_t slot : unit.record.wWeapon) {
    if (slot <= L::kLastWeaponId) {
      const FixedAnimeSpec& w = s.weapon(slot).anime;
      sprites.insert({w.wIdSprite1_1, w.wIdSprite1_2, w.wIdSprite1_3, w.wIdSprite1_4,
                      w.wIdSprite2_1, w.wIdSprite2_2, w.wIdSprite2_3, w.wIdSprite3_1,
                      w.wIdSprite3_2, w.wIdSprite3_3});
    }
  }
  sprites.erase(L::kNoId);
  return sprites;
}

class DemoScenarios : public ::testing::TestWithParam<const DemoScenario* (*)()> {
 protected:
  const DemoScenario& scenario() const { return *GetParam()(); }
};

TEST_P(DemoScenarios, EveryPlacedStreamMeasuresItsPlacedLength) {
  const DemoScenario& s = scenario();
  for (const auto& [id, placed] : s.placed.sprites) {
    EXPECT_EQ(oracle::lz77Length(s.image, placed.offset), placed.length) << "sprite " << id;
  }
  for (const auto& [id, placed] : s.placed.bgMaps) {
    EXPECT_EQ(oracle::lz77Length(s.image, placed.offset), placed.length) << "BG map " << id;
  }
  for (const auto& [id, placed] : s.placed.motionParts) {
    const std::uint16_t frames = s.motionParts.at(id).totalFrames;
    for (const Placed& part : placed.parts) {
      EXPECT_EQ(oracle::partStreamLength(s.image, part.offset, frames), part.length) << id;
    }
    if (placed.keyBlock.length != 0) {
      EXPECT_EQ(oracle::keyBlockLength(s.image, placed.keyBlock.offset, frames),
                placed.keyBlock.length)
          << id;
    }
  }
  for (const auto& [id, placed] : s.placed.shadowEtcs) {
    for (const Placed& stream : placed.streams) {
      EXPECT_EQ(oracle::partStreamLength(s.image, stream.offset, 0x400), stream.length) << id;
    }
  }
}

TEST_P(DemoScenarios, PointerTablesLeadToThePlacedData) {
  const DemoScenario& s = scenario();
  for (const auto& [id, placed] : s.placed.sprites) {
    ASSERT_EQ(entryTarget(s.image, Table::Sprite, id), placed.offset);
    const Bytes stream(s.image.begin() + placed.offset,
                       s.image.begin() + placed.offset + placed.length);
    const oracle::Lz77Decoded decoded = oracle::lz77Decode(stream);
    EXPECT_EQ(decoded.output, s.spriteSheets.at(id)) << "sprite " << id;
    EXPECT_GT(decoded.backReferences, 0u);
  }
  for (const auto& [id, palette] : s.palettes) {
    const std::uint32_t at = entryTarget(s.image, Table::Pallet, id);
    EXPECT_TRUE(std::equal(palette.begin(), palette.end(), s.image.begin() + at)) << id;
  }
  for (const auto& [id, placed] : s.placed.motionParts) {
    EXPECT_EQ(entryTarget(s.image, Table::MotionPart, id), placed.header);
  }
  for (const auto& [id, placed] : s.placed.cutinScrolls) {
    EXPECT_EQ(entryTarget(s.image, Table::CutinScroll, id), placed.header);
  }
  EXPECT_TRUE(entryIsZero(s.image, Table::SystemAnime, 119));
  EXPECT_TRUE(entryIsZero(s.image, Table::GraphicDifinition, 0));
  EXPECT_TRUE(entryIsZero(s.image, Table::GraphicDifinition, 1));
}

TEST_P(DemoScenarios, UnnamedSlotsCarryTheEmptyMarkers) {
  const DemoScenario& s = scenario();
  for (std::uint16_t id = 0; id <= L::kLastUnitId; ++id) {
    const auto name = s.image.begin() + L::recordOffset(Table::Unit, id) + L::unit::kName;
    const bool named =
        std::any_of(s.units.begin(), s.units.end(), [id](const DemoUnit& u) { return u.id == id; });
    const Bytes expected = named ? nameField(encodeGameText(s.unit(id).name)) : emptyUnitName();
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), name)) << id;
  }
  std::size_t emptyWeapons = 0;
  for (std::uint16_t id = 0; id <= L::kLastWeaponId; ++id) {
    const Bytes marker = emptyWeaponName();
    emptyWeapons +=
        std::equal(marker.begin(), marker.end(),
                   s.image.begin() + L::recordOffset(Table::Weapon, id) + L::weapon::kName);
  }
  EXPECT_EQ(emptyWeapons, 650 - s.weapons.size());
}

TEST_P(DemoScenarios, ExpectedResourcesAreAllPlacedAndFitTheEditorLimits) {
  const DemoScenario& s = scenario();
  std::set<std::uint16_t> reachedCutins;
  for (const DemoUnit& unit : s.units) {
    const ExpectedResources r = expectedResources(s, unit.id);
    for (std::uint16_t id : r.sprites) EXPECT_TRUE(s.spriteSheets.contains(id)) << id;
    for (std::uint16_t id : r.pallets) EXPECT_TRUE(s.palettes.contains(id)) << id;
    for (std::uint16_t id : r.bgMaps) EXPECT_TRUE(s.bgMapData.contains(id)) << id;
    for (std::uint16_t id : r.motionParts) EXPECT_TRUE(s.motionParts.contains(id)) << id;
    for (std::uint16_t id : r.shadowEtcs) EXPECT_TRUE(s.shadowEtcs.contains(id)) << id;
    for (std::size_t i = 0; i < r.pallets.size(); ++i) {
      EXPECT_GE(s.palettes.at(r.pallets[i]).size(), r.palletBanks[i] * 32u);
    }
    EXPECT_LE(r.sprites.size(), 255u);
    EXPECT_LE(editorSprites(s, unit).size(), 32u) << "the editor holds 32 sprites a unit";
    EXPECT_FALSE(r.graphicDifinitions.empty());
    EXPECT_FALSE(r.unitCutins.empty());
    EXPECT_FALSE(r.systemAnimes.empty());
    reachedCutins.insert(r.unitCutins.begin(), r.unitCutins.end());
  }
  // The decoy cut-in, named only by a 0x17 command of an unfollowed mode, is reached by no unit.
  EXPECT_LT(reachedCutins.size(), s.unitCutins.size());
}

TEST(DemoScenario, ImageACarriesItsDeliberateCases) {
  const DemoScenario& a = scenarioA();
  const ExpectedResources u0 = expectedResources(a, 0x00);
  const ExpectedResources u1 = expectedResources(a, 0x01);
  const ExpectedResources u5 = expectedResources(a, 0x05);
  EXPECT_EQ(u5.weapons, (std::vector<std::uint16_t>{0x289, 0x002}));
  EXPECT_TRUE(expectedResources(a, 0x55).weapons.empty());
  EXPECT_EQ(a.unit(0x01).anime.wIdBGMap, 0xFFFE);
  EXPECT_EQ(std::count(u1.bgMaps.begin(), u1.bgMaps.end(), 0xFFFE), 0);
  // A palette met first as the unit's wIdPallet1_1 keeps 2 banks, though its data holds 4.
  const std::uint16_t shared = a.unit(0x00).anime.groups[0].wIdPallet1;
  EXPECT_EQ(shared, a.weapon(0x000).anime.wIdPallet1_3);
  const auto at = std::find(u0.pallets.begin(), u0.pallets.end(), shared) - u0.pallets.begin();
  EXPECT_EQ(u0.palletBanks[static_cast<std::size_t>(at)], 2);
  EXPECT_EQ(a.palettes.at(shared).size(), 4u * 32u);
  // Weapons 0x000 and 0x001 share a sprite, which unit 1 lists once.
  const std::uint16_t sprite = a.weapon(0x000).anime.wIdSprite1_1;
  EXPECT_EQ(a.weapon(0x001).anime.wIdSprite1_1, sprite);
  EXPECT_EQ(std::count(u1.sprites.begin(), u1.sprites.end(), sprite), 1);
  // Routines with no key block and with mask 0 exist.
  EXPECT_TRUE(std::any_of(a.motionParts.begin(), a.motionParts.end(),
                          [](const auto& m) { return !m.second.keyBlock; }));
  EXPECT_TRUE(std::any_of(a.shadowEtcs.begin(), a.shadowEtcs.end(),
                          [](const auto& m) { return m.second.mask == 0; }));
}

TEST(DemoScenario, ImagesAAndBDifferInUnitsAndFreeIds) {
  const DemoScenario& a = scenarioA();
  const DemoScenario& b = scenarioB();
  EXPECT_NE(a.unit(0).name, b.unit(0).name);
  std::set<std::uint16_t> unitsA, unitsB;
  for (const DemoUnit& u : a.units) unitsA.insert(u.id);
  for (const DemoUnit& u : b.units) unitsB.insert(u.id);
  EXPECT_NE(unitsA, unitsB);
  for (const L::ExtendableTable& kind : L::kExtendable) {
    std::set<std::uint16_t> freeA, freeB;
    std::uint16_t highestUsedA = 0;
    for (std::uint16_t id = 0; id <= kind.lastId; ++id) {
      if (entryIsZero(a.image, kind.table, id))
        freeA.insert(id);
      else
        highestUsedA = id;
      if (entryIsZero(b.image, kind.table, id)) freeB.insert(id);
    }
    EXPECT_NE(freeA, freeB) << static_cast<int>(kind.table);
    EXPECT_LT(*freeA.begin(), highestUsedA) << "free IDs interleave with used ones";
    EXPECT_GT(freeB.size(), kind.lastId / 3u);
  }
}

const DemoScenario* pickA() { return &scenarioA(); }
const DemoScenario* pickB() { return &scenarioB(); }
INSTANTIATE_TEST_SUITE_P(AB, DemoScenarios, ::testing::Values(&pickA, &pickB));

}  // namespace
}  // namespace synthetic
