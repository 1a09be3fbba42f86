#include "transplant/keldra_filters.hpp"

#include "rom/rom_image.hpp"
#include "shell/file_filter.hpp"
#include "transplant/keldra_messages.hpp"

namespace transplant {

std::string romFilter()
{
    return shell::makeFilter({{std::string(rom::kRomFilterDescription),
                               std::string(rom::kRomFilterPattern)}});
}

std::string extensionInfoFilter()
{
    return shell::makeFilter({{std::string(messages::kInfoFilterDescription),
                               std::string(messages::kInfoFilterPattern)}});
}

std::string fileSetFilter()
{
    return shell::makeFilter({{std::string(messages::kFileSetFilterDescription),
                               std::string(messages::kFileSetFilterPattern)}});
}

}  // namespace transplant
