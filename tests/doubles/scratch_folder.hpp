#pragma once
// A fresh folder under the system's temporary folder for one test's files, removed with
// everything in it when the test ends.

#include "shell/bytes.hpp"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace testing_doubles {

// The whole file at `path`, empty when it cannot be read. One read rather than a character at a
// time: the tests read 16 MiB images over and over, and in the sanitizer build a character-wise
// read of one took seconds.
template <class Container = std::vector<std::uint8_t>>
Container readFileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in)
        return {};
    const std::streamoff size = in.tellg();
    if (size <= 0)
        return {};
    Container bytes(static_cast<std::size_t>(size));
    in.seekg(0);
    in.read(reinterpret_cast<char*>(bytes.data()), size);
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

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
