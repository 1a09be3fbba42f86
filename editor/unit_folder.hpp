#pragma once
// Unit folders: one unit as files, every record as a definition text, every graphic and routine
// as a binary file, and "unitall.dat" as the index that ties them together. Saving writes the ROM
// side; loading fills the file side, from which a port takes the unit back into an image.

#include "editor/unit_data_set.hpp"
#include "rom/game_text.hpp"
#include "shell/shell.hpp"

#include <array>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace editor {

namespace folder_files {
inline constexpr std::string_view kUnitData = "unitdt.dat";
inline constexpr std::string_view kUnitAnime = "aunit.dat";
inline constexpr std::string_view kIcon = "icon.dat";
inline constexpr std::string_view kWeaponStem = "weapon";
inline constexpr std::string_view kWeaponAnimeStem = "aweapon";
inline constexpr std::string_view kBGMapHeader = "hbgmap.dat";
inline constexpr std::string_view kBGMapData = "bgmap.dat";
inline constexpr std::string_view kSpriteStem = "sprite";
inline constexpr std::string_view kPalletStem = "pallet";
inline constexpr std::string_view kMotionStem = "motion";
inline constexpr std::string_view kShadowStem = "shadow";
inline constexpr std::string_view kCutinStem = "cutin";

// stem + index in decimal + ".dat": "sprite12.dat".
std::string numberedFile(std::string_view stem, std::size_t index);

// The files a load reads: these, and the numbered files of these stems ("unitall.dat" is the
// index, kUnitAllFileName).
inline constexpr std::array<std::string_view, 5> kFixedFiles{kUnitData, kUnitAnime, kIcon,
                                                             kBGMapHeader, kBGMapData};
inline constexpr std::array<std::string_view, 7> kItemStems{
    kWeaponStem, kWeaponAnimeStem, kSpriteStem, kPalletStem, kMotionStem, kShadowStem, kCutinStem};
}  // namespace folder_files

// The digits of a unit number wherever the editor shows one: the unit list ("2A:"), the folder
// names made from it ("unit2A").
inline constexpr int kUnitNumberDigits = 2;

// The folder name for a unit: its decoded name (UTF-8) with the characters that no file system
// takes in a name (\ / : * ? " < > | and control characters) replaced by "_"; a name that is empty
// or only dots becomes "unit" and the unit number in two hexadecimal digits.
std::string unitFolderName(std::string_view decodedName, std::uint16_t unitId);

// A unit to be saved among others, with its decoded name (UTF-8).
struct NamedUnit {
    std::uint16_t unitId = 0;
    std::string decodedName;
};

// The folder names of `units` saved together into one folder, in their order: each unit's
// unitFolderName, as a save of that unit alone names it, except that a name which an earlier unit
// of the list already has (two units of one name, or names equal once made safe) gets "_" and the
// unit number in two hexadecimal digits ("アイ_2B"), and a further "_2", "_3"... in the rare case
// that this is taken too. No two units of the list ever write into one folder, and a unit keeps
// the folder of its own name whenever no earlier unit takes it.
std::vector<std::string> distinctUnitFolderNames(std::span<const NamedUnit> units);

// The index of a unit folder named by the folder itself or by its "unitall.dat".
std::filesystem::path unitAllPathOf(const std::filesystem::path& folderOrIndex);

struct SavedUnitFolder {
    std::filesystem::path folder;
    std::string report;  // the ID list report, Shift-JIS
};

// The closing message of a save: "フォルダ「<folder name>」にユニットデータを保存しました".
std::string savedFolderMessage(const SavedUnitFolder& saved);

// Saves `romSide` into `baseFolder`/`folderName`/, named after the unit (unitFolderName of its
// decoded name) when `folderName` is empty: every file of the folder is built in memory
// (the routine files serialized with base 0, "unitall.dat", the ID list report), then all are
// written or none, the folder created when missing. On success the set keeps the rebased routine
// pointers, and the caller shows the closing message when it has shown the rest; a failure is
// reported once, changes nothing and gives nothing.
std::optional<SavedUnitFolder> SaveUnitFolder(shell::Shell& shell, UnitDataSet& romSide,
                                              const rom::CharacterTable& table,
                                              const std::filesystem::path& baseFolder,
                                              std::string_view folderName = {});

// Loads the folder of `unitAllPath` into `fileSide`, whose old buffers go; fields that the index
// does not name keep their values. Every file is checked as it is read: the texts must hold every
// key with a whole number that fits its field, the sprite and BG map files must hold streams the
// game can decode within the file, and the routine files the structure their headers describe. The
// first file that fails is reported and refuses the whole load: false, and nothing changed.
bool LoadUnitFolder(shell::Shell& shell, const std::filesystem::path& unitAllPath,
                    UnitDataSet& fileSide);

}  // namespace editor
