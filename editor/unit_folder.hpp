#pragma once
// Unit folders: one unit as files, every record as a definition text, every graphic and routine
// as a binary file, and "unitall.dat" as the index that ties them together. Saving writes the ROM
// side; loading fills the file side, from which a port takes the unit back into an image.

#include "editor/unit_data_set.hpp"
#include "rom/game_text.hpp"
#include "shell/shell.hpp"

#include <filesystem>
#include <string>
#include <string_view>

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
}  // namespace folder_files

// The folder name for a unit: its decoded name (UTF-8) with the characters that no file system
// takes in a name (\ / : * ? " < > | and control characters) replaced by "_"; a name that is empty
// or only dots becomes "unit" and the unit number in two hexadecimal digits.
std::string unitFolderName(std::string_view decodedName, std::uint16_t unitId);

struct SavedUnitFolder {
    std::filesystem::path folder;
    std::string report;     // the ID list report, Shift-JIS
    bool allWritten = true; // false when a file could not be written (the user has been told)
};

// Saves `romSide` into `baseFolder`/<folder name>/: every file of the folder in order, the
// routine files serialized with base 0 (the set keeps the rebased pointers), "unitall.dat", the
// ID list report, and the closing message. A file that cannot be written is reported and the
// others are still written.
SavedUnitFolder SaveUnitFolder(shell::Shell& shell, UnitDataSet& romSide,
                               const rom::CharacterTable& table,
                               const std::filesystem::path& baseFolder);

enum class FolderLoad {
    Complete,
    Incomplete,  // some file could not be read or made no sense: reported, its item left empty
    Refused,     // the index could not be read or goes beyond the model: reported, nothing changed
};

// Loads the folder of `unitAllPath` into `fileSide`. The old buffers are released first; fields
// that the texts do not name keep their values.
FolderLoad LoadUnitFolder(shell::Shell& shell, const std::filesystem::path& unitAllPath,
                          UnitDataSet& fileSide);

}  // namespace editor
