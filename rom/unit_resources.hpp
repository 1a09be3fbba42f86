#pragma once
// Everything one unit depends on: the IDs of every kind that its record, its animation header, its
// weapons' animation headers and the routines and records behind them reach.

#include "rom/byte_io.hpp"
#include "rom/game_tables.hpp"
#include "rom/records.hpp"
#include "rom/resource_kind.hpp"
#include "rom/rom_error.hpp"

#include <array>
#include <cstdint>
#include <vector>

namespace rom {

// Palettes carry no length in the ROM: the field that names one says how many 16-colour banks it
// has.
namespace pallet_banks {
inline constexpr std::uint8_t kBackground = 5;    // wIdPalletBG
inline constexpr std::uint8_t kWeaponThird = 4;   // wIdPallet1_3, 2_3 and 3_3 of a weapon header
inline constexpr std::uint8_t kOrdinary = 2;      // every other field of the animation headers
// Palettes first met through cut-ins, graphic change definitions or system animations: their
// fields say nothing, and two banks is what every ordinary field gives.
inline constexpr std::uint8_t kReachedIndirectly = kOrdinary;
}  // namespace pallet_banks

inline constexpr std::size_t kPalletBankBytes = 32;

// One list per kind, each unique and in the order its IDs were first met.
struct UnitResourceSet {
    bool valid = false;
    std::uint16_t wIdUnit = 0;
    std::uint16_t wIdIcon = 0;
    std::array<std::vector<std::uint16_t>, kResourceKindCount> lists;
    std::vector<std::uint8_t> palletBankCounts;  // one per entry of the Pallet list

    std::vector<std::uint16_t>& list(ResourceKind kind)
    {
        return lists[static_cast<std::size_t>(kind)];
    }
    const std::vector<std::uint16_t>& list(ResourceKind kind) const
    {
        return lists[static_cast<std::size_t>(kind)];
    }

    // Appends `id` unless the list already holds it.
    void addUnique(ResourceKind kind, std::uint16_t id);
    // The same for the Pallet list; the bank count is kept only when the palette is new.
    void addPallet(std::uint16_t id, std::uint8_t banks);
};

// The walks over single records, as the collection runs them. Each adds the sprites, palettes,
// BG maps and routines that the record names; none of them reads the image.
void addUnitAnimeHeader(UnitResourceSet& set, const UNIT_ANIME_HEADER& header);
void addFixedAnimeHeader(UnitResourceSet& set, const FIXED_ANIME_HEADER& header);
void addUnitCutin(UnitResourceSet& set, const UnitCutinRecord& record);
void addGraphicDifinition(UnitResourceSet& set, const GraphicDifinitionRecord& record);
void addSystemAnime(UnitResourceSet& set, const SystemAnimeRecord& record);

RomResult<UnitResourceSet> CollectUnitResources(ByteSpan image, const TableDirectory& directory,
                                                std::uint16_t unitId);

}  // namespace rom
