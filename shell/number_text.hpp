#pragma once
// The number-to-text forms of the windows, and bytes of unknown content made printable.

#include <cstdint>
#include <string>
#include <string_view>

namespace shell {

// Upper-case hexadecimal without leading zeros: 0 -> "0", 255 -> "FF".
std::string hexText(std::uint64_t value);

// At least `minDigits` upper-case hexadecimal digits, zero-padded ("%03X" for 3): 0x2A -> "02A".
std::string paddedHexText(std::uint64_t value, int minDigits);

// Exactly `digits` upper-case hexadecimal digits, zero-padded; a value too wide for them is shown
// as that many "F".
std::string fixedHexText(std::uint64_t value, int digits);

// Plain decimal with a minus sign for negative numbers. Magnitudes of 15 digits or fewer are
// written in full; larger ones as one digit, a point, 14 digits and "e+NNN", keeping the 15
// significant digits that the windows show.
std::string decimalText(std::int64_t value);

// Bytes read from a file as a message shows them: printable ASCII as it is, any other byte as
// "\xNN", so that damaged data never puts control bytes or broken UTF-8 on a screen.
std::string printableText(std::string_view bytes);

}  // namespace shell
