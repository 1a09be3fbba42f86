#include "rom/key_value_text.hpp"

#include "shell/number_text.hpp"

namespace rom {
namespace {

constexpr std::string_view kHexadecimalPrefix = "&H";
constexpr std::string_view kLineEnd = "\r\n";

}  // namespace

std::string keyValueLine(std::string_view key, std::string_view value)
{
    std::string line = "[";
    line += key;
    line += "]=";
    line += value;
    line += kLineEnd;
    return line;
}

std::string keyValueLine(std::string_view key, std::uint32_t value, NumberForm form)
{
    if (form == NumberForm::Decimal)
        return keyValueLine(key, std::to_string(value));
    return keyValueLine(key, std::string(kHexadecimalPrefix) + shell::hexText(value));
}

std::optional<std::string_view> findKeyValueText(std::string_view text, std::string_view key)
{
    std::string pattern = "[";
    pattern += key;
    pattern += "]=";
    const std::size_t found = text.find(pattern);
    if (found == std::string_view::npos)
        return std::nullopt;
    const std::string_view value = text.substr(found + pattern.size());
    return value.substr(0, value.find('\r'));
}

}  // namespace rom
