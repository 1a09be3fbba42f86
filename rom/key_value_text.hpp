#pragma once
// The line form of the tools' key-and-value texts, in which records, file set indexes and
// extension info are written: "[key]=value" CR LF. The transplant tool writes a number as "&H"
// and upper-case hexadecimal without leading zeros, the editor in plain decimal; both read every
// number form (shell/text_number).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace rom {

enum class NumberForm { Hexadecimal, Decimal };

std::string keyValueLine(std::string_view key, std::string_view value);
std::string keyValueLine(std::string_view key, std::uint32_t value, NumberForm form);

// The text of the value of the first "[key]=" in `text`, wherever it stands: what follows it up to
// the next carriage return (or the end). Nothing when the key does not occur.
std::optional<std::string_view> findKeyValueText(std::string_view text, std::string_view key);

}  // namespace rom
