#include "shell/program_folder.hpp"

#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace shell {

std::filesystem::path programFolder()
{
#ifdef _WIN32
    wchar_t buffer[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameW(nullptr, buffer, static_cast<DWORD>(std::size(buffer)));
    return std::filesystem::path(std::wstring(buffer, length)).parent_path();
#else
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return std::filesystem::current_path(error);
    return executable.parent_path();
#endif
}

}  // namespace shell
