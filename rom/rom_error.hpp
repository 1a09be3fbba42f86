#pragma once
// Failures met while reading game data. They travel back as values to the command that asked,
// which shows `message` to the user; the core never stops the program over bad data.

#include <cstdint>
#include <expected>
#include <string>
#include <string_view>

namespace rom {

struct RomError {
    std::string message;  // UTF-8, ready to show
};

template <class T>
using RomResult = std::expected<T, RomError>;

// "<what> はROMの範囲外です (オフセット 0x..., 長さ 0x...)"
RomError outOfImage(std::string_view what, std::uint64_t offset, std::uint64_t length);

// The same error with "<context>: " in front, so the user learns which item held the bad data.
RomError withContext(RomError error, std::string_view context);

// A short text naming a record or data block, such as "Sprite 0x01F".
std::string itemName(std::string_view kind, std::uint32_t id);

}  // namespace rom
