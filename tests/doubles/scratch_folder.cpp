#include "tests/doubles/scratch_folder.hpp"

#include "shell/path_text.hpp"

#include <fstream>
#include <random>

namespace testing_doubles {

ScratchFolder::ScratchFolder()
{
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() / ("suite_test_" + std::to_string(random()));
    std::filesystem::create_directories(path_);
}

ScratchFolder::~ScratchFolder()
{
    std::error_code error;
    std::filesystem::remove_all(path_, error);
}

std::filesystem::path ScratchFolder::path(const std::string& name) const
{
    return path_ / shell::pathFromUtf8(name);
}

std::filesystem::path ScratchFolder::write(const std::string& name, shell::ByteSpan bytes) const
{
    const std::filesystem::path file = path(name);
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return file;
}

std::filesystem::path ScratchFolder::write(const std::string& name, const std::string& text) const
{
    return write(name, shell::ByteSpan(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

std::vector<std::uint8_t> ScratchFolder::read(const std::string& name) const
{
    return readFileBytes(path(name));
}

}  // namespace testing_doubles
