#pragma once
// The line form of the transplant tool's text files and panels: "[key]=&HVALUE" and CR LF, the
// value in upper-case hexadecimal without leading zeros.

#include <cstdint>
#include <string>
#include <string_view>

namespace transplant {

std::string keyValueLine(std::string_view key, std::uint32_t value);

}  // namespace transplant
