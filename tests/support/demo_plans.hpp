// The plans of the two demo images: which units and weapons exist, their names and slots, the
// special cases each one carries, and how IDs of each extendable kind are handed out.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "tests/support/rom_layout.hpp"

namespace synthetic::demo {

// IDs of one table are handed out as first, first + step, first + 2 x step, ...
struct IdPool {
  layout::Table table;
  std::uint16_t first;
  std::uint16_t step;
};

enum class BGMapUse { Own, NoneFFFE, NoneFFFF };

struct WeaponPlan {
  std::uint16_t id = 0;
  const char* name = "";
  std::optional<std::uint16_t> spriteOf{};  // take wIdSprite1_1 from this earlier weapon
  std::optional<std::uint16_t> motionOf{};  // take wIdMotionPart1 from this earlier weapon
  bool firstGroupOnly = false;
};

struct UnitPlan {
  std::uint16_t id = 0;
  const char* name = "";
  std::vector<std::uint16_t> slots{};  // weapon slots from the first; the rest stay 0xFFFF
  BGMapUse bgMap = BGMapUse::Own;
  std::size_t groups = 3;  // motion groups in use, from group 1
  bool group4RepeatsGroup1 = false;
  bool pallet1IsFirstWeaponPallet13 = false;  // group 1's wIdPallet1 = first weapon's wIdPallet1_3
  std::optional<std::uint16_t>
      pallet2_1IsBgPalletOf{};  // group 2's wIdPallet1 = that earlier unit's wIdPalletBG
};

struct ScenarioPlan {
  std::uint32_t seed;
  std::vector<IdPool> pools;         // one per extendable table
  std::uint8_t unfollowedCutinMode;  // a 0x17 mode that the collection does not follow
  std::vector<WeaponPlan> weapons;   // in creation order; references point to earlier weapons
  std::vector<UnitPlan> units;       // in creation order; references point to earlier units
};

const ScenarioPlan& planA();
const ScenarioPlan& planB();

}  // namespace synthetic::demo
