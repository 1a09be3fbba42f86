#pragma once
// A small scene for the transplant tool's tests: an image with two named units and their weapons,
// a character table that names them, and a scratch folder for the files.

#include "shell/bytes.hpp"

#include <filesystem>
#include <string>

namespace transplant_test {

// Unit 0x2A "アイ" (HP 12345, EN 150, mobility 110, armour 1200) with the weapons 0x001 "ウ" and
// 0x289 "エ" in slots 0 and 5 and 0x28A/0xFFFF elsewhere; unit 0 is named "ア".
shell::Bytes sceneImage();

// string.txt for the scene (Shift-JIS, CR LF).
std::string sceneCharacterTable();

class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path write(const std::string& name, const shell::Bytes& bytes) const;
    std::filesystem::path write(const std::string& name, const std::string& text) const;

private:
    std::filesystem::path path_;
};

}  // namespace transplant_test
