#include "shell/program_folder.hpp"

#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace shell {

std::filesystem::path programFolder()
{
#ifdef _WIN32
    // The call cuts the path short, without saying so other than by filling the buffer, when the
    // buffer is too small: it is tried again with a larger one.
    std::wstring executable(MAX_PATH, L'\0');
    for (;;) {
        const DWORD size = static_cast<DWORD>(executable.size());
        const DWORD length = GetModuleFileNameW(nullptr, executable.data(), size);
        if (length == 0) {
            std::error_code error;
            return std::filesystem::current_path(error);
        }
        if (length < size) {
            executable.resize(length);
            return std::filesystem::path(executable).parent_path();
        }
        executable.resize(executable.size() * 2);
    }
#else
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return std::filesystem::current_path(error);
    return executable.parent_path();
#endif
}

}  // namespace shell
