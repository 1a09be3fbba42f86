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

// The number at the start of `text`, read as far as it goes.
struct ScannedNumber {
    TextNumber number;
    std::size_t end = 0;    // the first character that does not belong
    bool digits = false;    // whether any digit was read
    bool fraction = false;  // whether a fraction has a digit other than 0
};

ScannedNumber scanNumber(std::string_view text)
{
    ScannedNumber scanned;
    std::size_t& i = scanned.end;
    if (text.size() >= 2 && text[0] == '&') {
        const char prefix = text[1];
        const bool hex = prefix == 'H' || prefix == 'h';
        const bool octal = prefix == 'O' || prefix == 'o';
        if (hex || octal) {
            i = 2;
            scanned.digits = readDigits(text, i, hex ? 16 : 8, scanned.number.magnitude);
        }
        return scanned;
    }
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        scanned.number.negative = text[0] == '-';
        i = 1;
    }
    scanned.digits = readDigits(text, i, 10, scanned.number.magnitude);
    if (i < text.size() && text[i] == '.') {
        for (++i; i < text.size() && digitValue(text[i], 10); ++i) {
            scanned.digits = true;
            scanned.fraction = scanned.fraction || text[i] != '0';
        }
    }
    return scanned;
}

}  // namespace

std::expected<TextNumber, TextNumberProblem> readTextNumber(std::string_view value)
{
    const std::string_view text = trimmed(value);
    const ScannedNumber scanned = scanNumber(text);
    if (!scanned.digits || scanned.end != text.size())
        return std::unexpected(TextNumberProblem::NotANumber);
    if (scanned.fraction)
        return std::unexpected(TextNumberProblem::NotWhole);
    return scanned.number;
}

TextNumber readLeadingTextNumber(std::string_view text)
{
    const std::size_t start = text.find_first_not_of(kBlanks);
    if (start == std::string_view::npos)
        return {};
    return scanNumber(text.substr(start)).number;
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
