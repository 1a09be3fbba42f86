#include "rom/game_text.hpp"

#include <cstring>

namespace rom {
namespace {

constexpr std::uint8_t kNameEnd = 0xFF;
constexpr std::uint8_t kFirstTwoByteCode = 0xC0;
constexpr std::size_t kOneByteKeyLength = 2;  // "XX"
constexpr std::size_t kTwoByteKeyLength = 5;  // "XX YY"
constexpr std::size_t kCharacterLength = 2;

// The value of an upper-case hexadecimal digit, or -1. Keys are written in upper case only and the
// search is case-sensitive, so lower-case digits never match.
int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

int hexPair(std::string_view text, std::size_t at)
{
    const int high = hexDigit(text[at]);
    const int low = hexDigit(text[at + 1]);
    return high < 0 || low < 0 ? -1 : high * 16 + low;
}

}  // namespace

CharacterTable::CharacterTable(std::string bytes)
    : bytes_(std::move(bytes)), firstOneByteKey_(256, kAbsent), firstTwoByteKey_(65536, kAbsent)
{
    // Every place where a key could match is a run of hex digits in the shape of a key; record the
    // first position of each key so a lookup needs no search.
    const std::string_view text = bytes_;
    for (std::size_t i = 0; i + kOneByteKeyLength <= text.size(); ++i) {
        const int first = hexPair(text, i);
        if (first < 0)
            continue;
        std::uint32_t& one = firstOneByteKey_[static_cast<std::size_t>(first)];
        if (one == kAbsent)
            one = static_cast<std::uint32_t>(i);
        if (i + kTwoByteKeyLength <= text.size() && text[i + 2] == ' ') {
            const int second = hexPair(text, i + 3);
            if (second >= 0) {
                std::uint32_t& two = firstTwoByteKey_[static_cast<std::size_t>(first * 256 + second)];
                if (two == kAbsent)
                    two = static_cast<std::uint32_t>(i);
            }
        }
    }
}

std::string_view CharacterTable::charactersAfterCommaFrom(std::size_t position) const
{
    const std::string_view text = bytes_;
    const std::size_t comma = text.find(',', position);
    // A search that finds no comma yields position 0, and the two bytes "after" it are the first
    // two of the table.
    const std::size_t start = comma == std::string_view::npos ? 0 : comma + 1;
    return text.substr(std::min(start, text.size()), kCharacterLength);
}

std::string_view CharacterTable::characterOf(std::uint16_t code, bool twoByte,
                                             AbsentCodeRule rule) const
{
    if (bytes_.empty())
        return {};
    const std::uint32_t found = twoByte ? firstTwoByteKey_[code] : firstOneByteKey_[code & 0xFF];
    if (found != kAbsent)
        return charactersAfterCommaFrom(found);
    if (rule == AbsentCodeRule::FirstTableBytes)
        return std::string_view(bytes_).substr(0, kCharacterLength);
    return charactersAfterCommaFrom(0);
}

CharacterTable characterTableFrom(const std::optional<shell::Bytes>& fileBytes)
{
    if (!fileBytes)
        return CharacterTable();
    return CharacterTable(std::string(fileBytes->begin(), fileBytes->end()));
}

std::filesystem::path characterTablePathIn(const std::filesystem::path& folder)
{
    return folder / kCharacterTableFileName;
}

std::string DecodeGameText(shell::ByteSpan encoded, std::size_t maxLength,
                           const CharacterTable& table, AbsentCodeRule rule)
{
    std::string text;
    std::size_t i = 0;
    do {
        if (i >= encoded.size())
            break;
        const std::uint8_t first = encoded[i++];
        if (first == kNameEnd)
            break;
        if (first < kFirstTwoByteCode) {
            text += table.characterOf(first, false, rule);
            continue;
        }
        if (i >= encoded.size())
            break;
        const std::uint8_t second = encoded[i++];
        text += table.characterOf(static_cast<std::uint16_t>(first << 8 | second), true, rule);
    } while (i < maxLength);
    return text;
}

}  // namespace rom
