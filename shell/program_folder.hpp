#pragma once

#include <filesystem>

namespace shell {

// The folder that holds the running executable; side files such as "string.txt" live there.
std::filesystem::path programFolder();

}  // namespace shell
