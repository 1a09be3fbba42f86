#pragma once
// The folder of files that holds one extracted unit: the file names, the text index
// "UnitAllData.dat" and the list kinds it carries. Extraction writes such a folder and the
// transplant reads it back into another image.

#include "rom/resource_kind.hpp"
#include "rom/rom_error.hpp"
#include "rom/unit_resources.hpp"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace transplant {

namespace file_set {

inline constexpr std::string_view kIndexFile = "UnitAllData.dat";
inline constexpr std::string_view kUnitFile = "UnitData.dat";
inline constexpr std::string_view kUnitAnimeFile = "UnitAnime.dat";
inline constexpr std::string_view kIconFile = "IconData.dat";

// Per-item files are named stem + position in the list + ".dat" ("Sprite10.dat").
inline constexpr std::string_view kWeaponStem = "WeaponData";
inline constexpr std::string_view kFixedWeaponAnimeStem = "FixedWeaponAnime";
inline constexpr std::string_view kUnitCutinStem = "UnitCutin";
inline constexpr std::string_view kGraphicDifinitionStem = "GraphicChangeDifinition";
inline constexpr std::string_view kSystemAnimeStem = "SystemAnime";
inline constexpr std::string_view kBGMapHeaderStem = "BGMapHeader";
inline constexpr std::string_view kSpriteStem = "Sprite";
inline constexpr std::string_view kPalletStem = "Pallet";
inline constexpr std::string_view kBGMapStem = "BGMap";
inline constexpr std::string_view kMotionPartStem = "MotionPart";
inline constexpr std::string_view kShadowEtcStem = "ShadowEtc";
inline constexpr std::string_view kCutinScrollStem = "CutinScroll";

// The files every set holds, and the stems of its per-item files.
inline constexpr std::array<std::string_view, 4> kUnitFiles{kIndexFile, kUnitFile, kUnitAnimeFile,
                                                            kIconFile};
inline constexpr std::array<std::string_view, 12> kItemStems{
    kWeaponStem,      kFixedWeaponAnimeStem, kUnitCutinStem,  kGraphicDifinitionStem,
    kSystemAnimeStem, kBGMapHeaderStem,      kSpriteStem,     kPalletStem,
    kBGMapStem,       kMotionPartStem,       kShadowEtcStem,  kCutinScrollStem,
};

// The index stores each list's count in a byte.
inline constexpr std::size_t kMaxListEntries = 255;

// The ten list kinds of the index, in the order of its count lines and of its list lines.
inline constexpr std::array<rom::ResourceKind, 10> kIndexedKinds{
    rom::ResourceKind::BGMap,       rom::ResourceKind::CutinScroll,
    rom::ResourceKind::FixedWeapon, rom::ResourceKind::GraphicDifinition,
    rom::ResourceKind::MotionPart,  rom::ResourceKind::Pallet,
    rom::ResourceKind::ShadowEtc,   rom::ResourceKind::Sprite,
    rom::ResourceKind::UnitCutin,   rom::ResourceKind::SystemAnime,
};

}  // namespace file_set

std::string itemFileName(std::string_view stem, std::size_t position);

// The text index of `set`: unit and icon IDs, the ten counts, then every list entry.
std::string unitAllDataText(const rom::UnitResourceSet& set);

// Reads a text index into a set with the valid flag set. A missing count or list entry (an index
// cut short), a value that is no number ("&H", "&O" or decimal), a count above 255 and an ID above
// 0xFFFF cannot have been written by extraction and are refused; a missing unit or icon ID reads
// as 0.
rom::RomResult<rom::UnitResourceSet> parseUnitAllData(std::string_view text);

// Refuses a set with a list longer than the index can count.
rom::RomResult<void> checkListsFitIndex(const rom::UnitResourceSet& set);

}  // namespace transplant
