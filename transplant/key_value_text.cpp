#include "transplant/key_value_text.hpp"

namespace transplant {
namespace {

std::optional<unsigned> digitValue(char c, unsigned radix)
{
    unsigned value = 0;
    if (c >= '0' && c <= '9')
        value = static_cast<unsigned>(c - '0');
    else if (c >= 'A' && c <= 'F')
        value = static_cast<unsigned>(c - 'A' + 10);
    else if (c >= 'a' && c <= 'f')
        value = static_cast<unsigned>(c - 'a' + 10);
    else
        return std::nullopt;
    if (value >= radix)
        return std::nullopt;
    return value;
}

// Digits of `radix` from the start of `text`; the value wraps modulo 2^64.
std::uint64_t readDigits(std::string_view text, unsigned radix)
{
    std::uint64_t value = 0;
    for (char c : text) {
        const std::optional<unsigned> digit = digitValue(c, radix);
        if (!digit)
            break;
        value = value * radix + *digit;
    }
    return value;
}

bool startsWithPrefix(std::string_view text, char letter)
{
    return text.size() >= 2 && text[0] == '&' && (text[1] == letter || text[1] == letter + 32);
}

}  // namespace

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
    const std::size_t start = text.find_first_not_of(" \t");
    if (start == std::string_view::npos)
        return 0;
    text.remove_prefix(start);
    if (startsWithPrefix(text, 'H'))
        return readDigits(text.substr(2), 16);
    if (startsWithPrefix(text, 'O'))
        return readDigits(text.substr(2), 8);

    bool negative = false;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    const std::uint64_t magnitude = readDigits(text, 10);
    return negative ? ~magnitude + 1 : magnitude;
}

}  // namespace transplant
