#include "transplant/key_value_text.hpp"

#include "shell/text_number.hpp"

#include <limits>

namespace transplant {

std::string keyValueLine(std::string_view key, std::uint32_t value)
{
    return rom::keyValueLine(key, value, rom::NumberForm::Hexadecimal);
}

std::optional<std::uint64_t> findKeyValue(std::string_view text, std::string_view key)
{
    const std::optional<std::string_view> value = findKeyValueText(text, key);
    if (!value)
        return std::nullopt;
    return readFileNumber(*value);
}

std::uint64_t readFileNumber(std::string_view text)
{
    const shell::TextNumber number = shell::readLeadingTextNumber(text);
    if (number.magnitude == std::numeric_limits<std::uint64_t>::max())
        return number.magnitude;
    return number.negative ? ~number.magnitude + 1 : number.magnitude;
}

}  // namespace transplant
