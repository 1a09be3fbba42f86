// Two rich, realistic demo images (A and B) with a record of everything placed in them.
//
// Each image holds ten named units and ten to twelve named weapons; every other unit and weapon
// slot carries its empty marker. Every named unit has a unit animation header, an icon and its
// icon index entry; every weapon that a unit lists has a fixed weapon animation header. Behind the
// headers lie LZ77 sprites with back-references, palettes (5 banks for wIdPalletBG, 4 for the
// _3 pallets of weapons, 2 otherwise), BG maps of every screen size, MotionPart routines with
// parts and key blocks, ShadowEtc routines, and CutinScroll routines whose commands 0x24, 0x17
// (modes 0 and 2, and one mode that is not followed) and 0x02-0x06 reach graphic change
// definitions, unit cut-ins and system animations, which reach further sprites, palettes, BG
// maps and routines.
//
// Deliberate features (by image A's IDs; B has the same features at other IDs):
// - weapon slots with 0x289 (the last real weapon), 0x28A and 0xFFFF; units sharing weapons; a
//   unit listing one weapon twice; a unit with no weapon at all;
// - two weapons sharing a sprite and two sharing a MotionPart routine;
// - a palette first met as a unit's wIdPallet1_1 (2 banks) that is also the wIdPallet1_3 of the
//   unit's first weapon (placed with 4 banks); a palette that is one unit's wIdPalletBG (placed
//   with 5 banks) and another unit's wIdPallet2_1;
// - a unit whose wIdBGMap is 0xFFFE and one with 0xFFFF; a unit whose motion group 4 repeats
//   group 1; a unit using all eight motion groups;
// - a MotionPart routine with key block pointer 0 and a ShadowEtc routine with mask 0;
// - a decoy unit cut-in named only by a 0x17 command of a mode that is not followed, and a decoy
//   graphic change definition named only by a CutinScroll routine that is reached through a unit
//   cut-in (routines reached in the later steps of the collection are not walked);
// - SystemAnime 119 and GraphicDifinition 0 and 1, which share bytes in the real layout, are
//   left zero.
// IDs of every extendable kind are handed out with gaps (image A: sprites 0, 2, 4, ...), so the
// free IDs of a kind interleave with the used ones; image B uses other gaps, units and names.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tests/support/record_descriptions.hpp"
#include "tests/support/synthetic_rom.hpp"

namespace synthetic {

struct DemoUnit {
  std::uint16_t id = 0;
  std::string name{};  // UTF-8; its game codes are encodeGameText(name)
  UnitSpec record;
  UnitAnimeSpec anime;
  std::uint16_t icon = 0;
};

struct DemoWeapon {
  std::uint16_t id = 0;
  std::string name{};
  WeaponSpec record;
  FixedAnimeSpec anime;
};

// The resource IDs of one unit in first-met order, as the unit resource collection must find
// them; worked out from the records above, not from the image.
struct ExpectedResources {
  std::uint16_t unitId = 0;
  std::uint16_t iconId = 0;
  std::vector<std::uint16_t> weapons;
  std::vector<std::uint16_t> bgMaps;
  std::vector<std::uint16_t> sprites;
  std::vector<std::uint16_t> pallets;
  // Bank count per pallet entry; 0 for a pallet first reached through a unit cut-in, graphic
  // change definition or system animation, which gives no bank count (such data holds 2 banks).
  std::vector<std::uint8_t> palletBanks;
  std::vector<std::uint16_t> motionParts;
  std::vector<std::uint16_t> shadowEtcs;
  std::vector<std::uint16_t> cutinScrolls;
  std::vector<std::uint16_t> graphicDifinitions;
  std::vector<std::uint16_t> unitCutins;
  std::vector<std::uint16_t> systemAnimes;
};

struct DemoScenario {
  Bytes image;
  std::vector<DemoUnit> units;      // the named units, ascending ID
  std::vector<DemoWeapon> weapons;  // the named weapons, ascending ID

  // Everything placed, by ID.
  std::map<std::uint16_t, Bytes> spriteSheets;        // raw sheets; the image holds them compressed
  std::map<std::uint16_t, Bytes> palettes;            // the palette bytes placed
  std::map<std::uint16_t, Bytes> bgMapData;           // raw maps; the image holds them compressed
  std::map<std::uint16_t, std::uint16_t> bgMapSizes;  // wSize of each BG map header
  std::map<std::uint16_t, MotionPartSpec> motionParts;
  std::map<std::uint16_t, ShadowEtcSpec> shadowEtcs;
  std::map<std::uint16_t, CutinScrollSpec> cutinScrolls;
  std::map<std::uint16_t, GraphicDifinitionSpec> graphicDifinitions;
  std::map<std::uint16_t, SystemAnimeSpec> systemAnimes;
  std::map<std::uint16_t, UnitCutinSpec> unitCutins;
  std::map<std::uint16_t, Bytes> icons;
  Placements placed;  // offsets and lengths of the variable-length data

  const DemoUnit& unit(std::uint16_t id) const;
  const DemoWeapon& weapon(std::uint16_t id) const;
};

DemoScenario makeDemoScenarioA();
DemoScenario makeDemoScenarioB();

ExpectedResources expectedResources(const DemoScenario& scenario, std::uint16_t unitId);

}  // namespace synthetic
