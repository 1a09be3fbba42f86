#include "transplant/key_value_text.hpp"

#include "shell/number_text.hpp"

namespace transplant {

std::string keyValueLine(std::string_view key, std::uint32_t value)
{
    std::string line = "[";
    line += key;
    line += "]=&H";
    line += shell::hexText(value);
    line += "\r\n";
    return line;
}

}  // namespace transplant
