#pragma once
// Scenes for the editor's tests: a small image whose unit is worked out by hand, helpers to turn
// synthetic images into the editor's types, and a scratch folder for unit folders.

#include "editor/rom_table_offsets.hpp"
#include "editor/unit_data_set.hpp"
#include "rom/game_text.hpp"
#include "shell/bytes.hpp"
#include "tests/doubles/scratch_folder.hpp"
#include "tests/support/synthetic_rom.hpp"

#include <filesystem>
#include <string>

namespace editor_test {

// The unit of the small scene and what lies behind it.
inline constexpr std::uint16_t kSceneUnit = 0x2A;
inline constexpr std::uint16_t kSceneIcon = 6;
inline constexpr std::uint16_t kSceneWeaponA = 1;      // weapon slot 0
inline constexpr std::uint16_t kSceneWeaponB = 0x289;  // weapon slot 5, the last real weapon
inline constexpr std::uint16_t kSceneSpriteBG = 3;     // also the weapon A's wIdSprite1_1
inline constexpr std::uint16_t kSceneSprite1 = 7;
inline constexpr std::uint16_t kScenePalletBG = 4;     // 5 palettes
inline constexpr std::uint16_t kScenePallet1 = 8;      // 2 palettes
inline constexpr std::uint16_t kScenePalletWeapon = 9;  // weapon A's wIdPallet1_3: 4 palettes
inline constexpr std::uint16_t kSceneBGMap = 5;
inline constexpr std::uint16_t kSceneMotion = 10;  // also weapon A's wIdMotionPart1
inline constexpr std::uint16_t kSceneShadow = 11;
inline constexpr std::uint16_t kSceneCutin = 12;
inline constexpr std::uint16_t kSceneParam8 = 0x1234;  // wParam8 of the unit animation header
inline constexpr std::uint8_t kSceneByte47 = 0x5A;     // the unnamed byte 47 of the unit record

// Unit kSceneUnit "アイ" with weapons "ウ" and "エ", and everything above; unit 0 is "ア".
synthetic::RomBuilder sceneBuilder();
shell::Bytes sceneImage();

// The demo character table ("string.txt" of tests/support).
std::string characterTableText();
rom::CharacterTable characterTable();

// A synthetic image as the editor's buffer type.
shell::Bytes asImage(const synthetic::Bytes& bytes);

editor::RomTableOffsets offsetsOf(const shell::Bytes& image);
editor::UnitDataSet readUnit(const shell::Bytes& image, std::uint16_t unit);

// The bytes of a file (empty when it is missing).
shell::Bytes fileBytes(const std::filesystem::path& path);
std::string fileText(const std::filesystem::path& path);

using testing_doubles::ScratchFolder;

}  // namespace editor_test
