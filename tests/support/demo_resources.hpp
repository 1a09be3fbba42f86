// Makes the resources of the demo images: each call takes the next ID of its kind from the
// plan's pool, generates the data, places it through the builder and records it in the scenario.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "tests/support/demo_plans.hpp"
#include "tests/support/demo_scenario.hpp"
#include "tests/support/demo_streams.hpp"

namespace synthetic::demo {

class ResourceMaker {
 public:
  // Also makes the records that several units share and the decoys (see demo_scenario.hpp).
  ResourceMaker(const ScenarioPlan& plan, RomBuilder& rom, DemoScenario& out);

  std::uint16_t take(layout::Table table);
  std::uint16_t value() { return static_cast<std::uint16_t>(rng_.next()); }
  std::uint8_t fill() { return static_cast<std::uint8_t>(rng_.next()); }
  std::uint32_t between(std::uint32_t low, std::uint32_t high) { return rng_.between(low, high); }

  std::uint16_t newSprite();
  std::uint16_t newPallet(std::uint32_t banks);
  std::uint16_t newBGMap();
  std::uint16_t newMotionPart();
  std::uint16_t newShadowEtc();
  std::uint16_t newCutinScroll(std::vector<CutinCommand> commands);
  std::uint16_t newGraphic();
  std::uint16_t newSystemAnime();
  // A cut-in with two sprites and BG maps own, 0xFFFE and 0xFFFF; `withRoutines` adds a shadow
  // routine and an effect routine that names the decoy graphic change definition.
  std::uint16_t newUnitCutin(bool withRoutines);
  std::uint16_t newIcon();

  // The effect routine commands of a weapon's wIdCutinScroll1 and of a unit's group 1.
  std::vector<CutinCommand> weaponCommands();
  std::vector<CutinCommand> unitCommands();

 private:
  const IdPool& poolOf(layout::Table table) const;
  CutinCommand plain();
  template <std::size_t N>
  std::array<std::uint8_t, N> rawRecord(std::uint16_t id);

  const ScenarioPlan& plan_;
  RomBuilder& rom_;
  DemoScenario& out_;
  Prng rng_;
  std::array<std::uint16_t, layout::kTableCount> next_{};
  std::uint32_t bgMaps_ = 0;
  std::uint32_t motionParts_ = 0;
  std::uint32_t shadowEtcs_ = 0;
  std::uint32_t weaponRoutines_ = 0;
  std::uint16_t decoyGraphic_ = 0;
  std::uint16_t decoyCutin_ = 0;
  std::uint16_t sharedSystemAnime_ = 0;
  std::uint16_t sharedCutin_ = 0;
};

}  // namespace synthetic::demo
