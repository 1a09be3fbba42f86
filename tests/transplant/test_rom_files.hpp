#pragma once
// A small scene for the transplant tool's tests: an image with two named units and their weapons,
// and a character table that names them; tests keep their files in a scratch folder.

#include "shell/bytes.hpp"
#include "tests/doubles/scratch_folder.hpp"

#include <filesystem>
#include <string>

namespace transplant_test {

// Unit 0x2A "アイ" (HP 12345, EN 150, mobility 110, armour 1200) with the weapons 0x001 "ウ" and
// 0x289 "エ" in slots 0 and 5 and 0x28A/0xFFFF elsewhere; unit 0 is named "ア".
shell::Bytes sceneImage();

// string.txt for the scene (Shift-JIS, CR LF).
std::string sceneCharacterTable();


using testing_doubles::ScratchFolder;

}  // namespace transplant_test
