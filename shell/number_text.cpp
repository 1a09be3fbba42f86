#include "shell/number_text.hpp"

#include <cstdio>

namespace shell {
namespace {

constexpr int kSignificantDigits = 15;

}  // namespace

std::string hexText(std::uint64_t value)
{
    char text[24];
    std::snprintf(text, sizeof text, "%llX", static_cast<unsigned long long>(value));
    return text;
}

std::string paddedHexText(std::uint64_t value, int minDigits)
{
    const std::string full = hexText(value);
    if (static_cast<int>(full.size()) >= minDigits)
        return full;
    return std::string(static_cast<std::size_t>(minDigits) - full.size(), '0') + full;
}

std::string fixedHexText(std::uint64_t value, int digits)
{
    const std::string full = paddedHexText(value, digits);
    if (static_cast<int>(full.size()) > digits)
        return std::string(static_cast<std::size_t>(digits), 'F');
    return full;
}

std::string decimalText(std::int64_t value)
{
    const bool negative = value < 0;
    // Magnitude as unsigned so that the smallest int64 has one too.
    const std::uint64_t magnitude =
        negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    std::string digits = std::to_string(magnitude);
    std::string text = negative ? "-" : "";
    if (static_cast<int>(digits.size()) <= kSignificantDigits)
        return text + digits;

    // Round to 15 significant digits, then write d.dddddddddddddde+NNN.
    const int exponent = static_cast<int>(digits.size()) - 1;
    std::string kept = digits.substr(0, kSignificantDigits);
    int adjustedExponent = exponent;
    if (digits[kSignificantDigits] >= '5') {
        int i = kSignificantDigits - 1;
        while (i >= 0 && kept[static_cast<std::size_t>(i)] == '9')
            kept[static_cast<std::size_t>(i--)] = '0';
        if (i < 0) {
            kept.insert(kept.begin(), '1');
            kept.pop_back();
            ++adjustedExponent;
        } else {
            ++kept[static_cast<std::size_t>(i)];
        }
    }
    char exponentText[16];
    std::snprintf(exponentText, sizeof exponentText, "e+%03d", adjustedExponent);
    return text + kept.substr(0, 1) + "." + kept.substr(1) + exponentText;
}

std::string printableText(std::string_view bytes)
{
    constexpr unsigned char kFirstPrintable = 0x20;
    constexpr unsigned char kLastPrintable = 0x7E;
    constexpr int kByteDigits = 2;
    std::string text;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= kFirstPrintable && byte <= kLastPrintable)
            text += c;
        else
            text += "\\x" + fixedHexText(byte, kByteDigits);
    }
    return text;
}

}  // namespace shell
