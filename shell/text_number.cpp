#include "shell/text_number.hpp"

#include <limits>
#include <optional>

namespace shell {
namespace {

constexpr std::string_view kBlanks = " \t";

std::optional<int> digitValue(char c, int base)
{
    int value = -1;
    if (c >= '0' && c <= '9')
        value = c - '0';
    else if (c >= 'A' && c <= 'F')
        value = c - 'A' + 10;
    else if (c >= 'a' && c <= 'f')
        value = c - 'a' + 10;
    if (value < 0 || value >= base)
        return std::nullopt;
    return value;
}

std::string_view trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// Reads digits of `base` from `i` on; false when there is none.
bool readDigits(std::string_view text, std::size_t& i, int base, std::uint64_t& value)
{
    constexpr std::uint64_t kMost = std::numeric_limits<std::uint64_t>::max();
    const std::size_t start = i;
    for (; i < text.size(); ++i) {
        const std::optional<int> digit = digitValue(text[i], base);
        if (!digit)
            break;
        const auto step = static_cast<std::uint64_t>(base);
        value = value > (kMost - *digit) / step ? kMost : value * step + *digit;
    }
    return i > start;
}

}  // namespace

std::expected<TextNumber, TextNumberProblem> readTextNumber(std::string_view value)
{
    const std::string_view text = trimmed(value);
    TextNumber number;
    std::size_t i = 0;
    if (text.size() >= 2 && text[0] == '&') {
        const char prefix = text[1];
        const bool hex = prefix == 'H' || prefix == 'h';
        const bool octal = prefix == 'O' || prefix == 'o';
        const int base = hex ? 16 : octal ? 8 : 0;
        i = 2;
        if (base == 0 || !readDigits(text, i, base, number.magnitude) || i != text.size())
            return std::unexpected(TextNumberProblem::NotANumber);
        return number;
    }
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        number.negative = text[0] == '-';
        i = 1;
    }
    bool digits = readDigits(text, i, 10, number.magnitude);
    bool fraction = false;
    if (i < text.size() && text[i] == '.') {
        for (++i; i < text.size() && digitValue(text[i], 10); ++i) {
            digits = true;
            fraction = fraction || text[i] != '0';
        }
    }
    if (!digits || i != text.size())
        return std::unexpected(TextNumberProblem::NotANumber);
    if (fraction)
        return std::unexpected(TextNumberProblem::NotWhole);
    return number;
}

std::string_view textNumberProblemText(TextNumberProblem problem)
{
    return problem == TextNumberProblem::NotWhole ? "は整数ではありません" : "は数値ではありません";
}

std::string outOfRangeText(std::uint64_t maxValue)
{
    return "は範囲外です (0 から " + std::to_string(maxValue) + ")";
}

}  // namespace shell
