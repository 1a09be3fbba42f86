#pragma once
// Numbers as the tools' key-and-value texts write them, in one grammar: read strictly, a whole value
// in one of the texts' forms or a refusal that says why, never a guess; or, for the files that
// have always been read forgivingly, the number a value starts with.

#include <cstdint>
#include <expected>
#include <string>
#include <string_view>

namespace shell {

// A whole number, its magnitude held at the 64-bit maximum when it is larger (no field takes it).
struct TextNumber {
    bool negative = false;
    std::uint64_t magnitude = 0;

    bool belowZero() const { return negative && magnitude != 0; }  // "-0" is 0
    // Whether it lies in 0 to `maxValue`.
    bool fits(std::uint64_t maxValue) const { return !belowZero() && magnitude <= maxValue; }
};

enum class TextNumberProblem { NotANumber, NotWhole };

// Decimal with an optional sign (a fraction of zeros, "12.0", is whole), "&H" and hexadecimal
// digits, or "&O" and octal digits (either case), with blanks and tabs around it; nothing else.
std::expected<TextNumber, TextNumberProblem> readTextNumber(std::string_view text);

// The number at the start of `text`, as the forgiving reading of hand-edited files takes it: blanks
// before it skipped, reading stopped at the first character that does not belong, a fraction
// dropped, and no digits read as 0.
TextNumber readLeadingTextNumber(std::string_view text);

// The end of a message about a value: "は数値ではありません" or "は整数ではありません".
std::string_view textNumberProblemText(TextNumberProblem problem);
// "は範囲外です (0 から 255)".
std::string outOfRangeText(std::uint64_t maxValue);

}  // namespace shell
