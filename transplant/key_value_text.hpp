#pragma once
// The transplant tool's lines of its text files and panels (rom/key_value_text): "[key]=&HVALUE"
// and CR LF. Reading the extension info is forgiving, as hand-edited files need: a key is found
// wherever it stands, and the value may be written in any of the number forms the files have used
// ("&H" hexadecimal, "&O" octal, decimal).

#include "rom/key_value_text.hpp"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace transplant {

// The value in upper-case hexadecimal without leading zeros.
std::string keyValueLine(std::string_view key, std::uint32_t value);

using rom::findKeyValueText;

// That value read as a number (readFileNumber). Nothing when the key does not occur.
std::optional<std::uint64_t> findKeyValue(std::string_view text, std::string_view key);

// Reads a number the way the files write it, forgivingly (shell::readLeadingTextNumber): "&H" and
// hexadecimal digits, "&O" and octal digits, or an optionally signed decimal number whose fraction
// is dropped. A negative value comes back in two's complement, as a narrower field stores it; a
// magnitude past 64 bits, of either sign, reads as the largest value, which no field takes.
std::uint64_t readFileNumber(std::string_view text);

}  // namespace transplant
