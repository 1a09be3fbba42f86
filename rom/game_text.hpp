#pragma once
// Names in the ROM are written in the game's own one- and two-byte character code. The user's
// character table "string.txt" maps each code to one double-byte Shift-JIS character: entries are
// a key in upper-case hexadecimal ("0A" for a one-byte code, "C1 2A" for a two-byte one), a comma
// and the two bytes of the character. The table is searched as one byte string, not as lines: the
// first occurrence of a key anywhere wins, even inside another entry.

#include "shell/bytes.hpp"

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rom {

// What a code that the table lacks decodes to. The two tools that read names differ here.
enum class AbsentCodeRule {
    CharacterAfterFirstComma,  // the transplant tool: the character of the table's first entry
    FirstTableBytes,           // the editor: the first two bytes of the table
};

// The table's bytes, indexed once so that every lookup gives what a search from the start would.
class CharacterTable {
public:
    CharacterTable() = default;
    explicit CharacterTable(std::string bytes);

    const std::string& bytes() const { return bytes_; }

    // The character of a one-byte code (below 0xC0) or of a two-byte code (first byte 0xC0 and up,
    // second byte in the low eight bits): zero to two bytes, fewer only near the table's end.
    std::string_view characterOf(std::uint16_t code, bool twoByte, AbsentCodeRule rule) const;

private:
    static constexpr std::uint32_t kAbsent = UINT32_MAX;

    std::string_view charactersAfterCommaFrom(std::size_t position) const;

    std::string bytes_;
    std::vector<std::uint32_t> firstOneByteKey_;  // by code; position of "XX"
    std::vector<std::uint32_t> firstTwoByteKey_;  // by code pair; position of "XX YY"
};

inline constexpr std::string_view kCharacterTableFileName = "string.txt";

// The table from the bytes its caller read from "string.txt". A file that could not be read (no
// bytes) gives the empty table, with which every name decodes to nothing.
CharacterTable characterTableFrom(const std::optional<shell::Bytes>& fileBytes);

// The table kept in `folder`. The windows, and the command lines without --table, read the one
// beside the running program (shell::programFolder()).
std::filesystem::path characterTablePathIn(const std::filesystem::path& folder);

// Decodes at most `maxLength` bytes of `encoded` (a two-byte code starting at the last of them
// takes one byte more) up to the first 0xFF. `encoded` may run past the field; nothing past its
// end is read, and a two-byte code cut off by its end ends the name. The result is Shift-JIS.
std::string DecodeGameText(shell::ByteSpan encoded, std::size_t maxLength,
                           const CharacterTable& table,
                           AbsentCodeRule rule = AbsentCodeRule::CharacterAfterFirstComma);

}  // namespace rom
