#pragma once
// A fresh folder under the system's temporary folder for one test's files, removed with
// everything in it when the test ends.

#include "shell/bytes.hpp"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace testing_doubles {

class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The path of `name` (UTF-8, may hold subfolders) inside the folder.
    std::filesystem::path path(const std::string& name) const;

    // Writes the file, creating its subfolders, and returns its path.
    std::filesystem::path write(const std::string& name, shell::ByteSpan bytes) const;
    std::filesystem::path write(const std::string& name, const std::string& text) const;
    // The file's bytes; empty when it is missing.
    std::vector<std::uint8_t> read(const std::string& name) const;

private:
    std::filesystem::path path_;
};

}  // namespace testing_doubles
