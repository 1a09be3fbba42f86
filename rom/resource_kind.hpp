#pragma once
// The kinds of ID a unit depends on. Their names are part of the file formats (file names, keys of
// the text index and of the extension-info file) and are spelled exactly so.

#include "rom/game_tables.hpp"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace rom {

enum class ResourceKind : std::uint8_t {
    Unit,
    FixedWeapon,
    Sprite,
    Pallet,
    BGMap,
    MotionPart,
    ShadowEtc,
    CutinScroll,
    GraphicDifinition,
    SystemAnime,
    UnitCutin,
    IconData,
};

inline constexpr std::size_t kResourceKindCount = 12;

constexpr std::string_view kindName(ResourceKind kind)
{
    constexpr std::array<std::string_view, kResourceKindCount> names{
        "Unit",      "FixedWeapon", "Sprite",            "Pallet",      "BGMap",     "MotionPart",
        "ShadowEtc", "CutinScroll", "GraphicDifinition", "SystemAnime", "UnitCutin", "IconData",
    };
    return names[static_cast<std::size_t>(kind)];
}

// The table whose records the IDs of a kind index.
constexpr GameTable tableOf(ResourceKind kind)
{
    constexpr std::array<GameTable, kResourceKindCount> tables{
        GameTable::Unit,       GameTable::Weapon,      GameTable::Sprite,
        GameTable::Pallet,     GameTable::BGMap,       GameTable::MotionPart,
        GameTable::ShadowEtc,  GameTable::CutinScroll, GameTable::GraphicDifinition,
        GameTable::SystemAnime, GameTable::UnitCutin,  GameTable::IconData,
    };
    return tables[static_cast<std::size_t>(kind)];
}

// The ten tables whose ID space the extension enlarges, in the order of the extension info.
inline constexpr std::array<ResourceKind, 10> kExtendableKinds{
    ResourceKind::Sprite,     ResourceKind::Pallet,      ResourceKind::BGMap,
    ResourceKind::MotionPart, ResourceKind::ShadowEtc,   ResourceKind::CutinScroll,
    ResourceKind::GraphicDifinition, ResourceKind::SystemAnime, ResourceKind::UnitCutin,
    ResourceKind::IconData,
};

// The last valid ID of each extendable table in an image nobody has extended.
constexpr std::uint16_t unextendedLastId(ResourceKind kind)
{
    switch (kind) {
    case ResourceKind::Sprite: return 820;
    case ResourceKind::Pallet: return 634;
    case ResourceKind::BGMap: return 500;
    case ResourceKind::MotionPart: return 1234;
    case ResourceKind::ShadowEtc: return 1095;
    case ResourceKind::CutinScroll: return 1062;
    case ResourceKind::GraphicDifinition: return 165;
    case ResourceKind::SystemAnime: return 119;
    case ResourceKind::UnitCutin: return 72;
    case ResourceKind::IconData: return 100;
    case ResourceKind::Unit: return kUnitCount - 1;
    case ResourceKind::FixedWeapon: return kLastWeaponId;
    }
    return 0;
}

// The last ID of `kind`'s table while the table stands where the game put it; nothing for a table
// that an ID area extension has moved, whose last ID the image alone cannot tell.
inline std::optional<std::uint16_t> knownLastId(const TableDirectory& directory, ResourceKind kind)
{
    const GameTable table = tableOf(kind);
    if (directory.offset(table) != tableLocation(table).unextendedOffset)
        return std::nullopt;
    return unextendedLastId(kind);
}

}  // namespace rom
