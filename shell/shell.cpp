#include "shell/shell.hpp"

namespace shell {

void Shell::fileFailure(const std::filesystem::path& /*path*/)
{
    message(kFileOpenFailed, std::string(), Buttons::Ok, Icon::Warning);
}

}  // namespace shell
