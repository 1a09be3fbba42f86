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

// What a reader walks: the ROM image, or a file that holds one piece of data (a sprite file of a
// file set, a routine file of a unit folder), whose offsets are offsets in that file.
enum class DataSource { Rom, File };

// "<what> はROMの範囲外です (オフセット 0x..., 長さ 0x...)", or "はファイルの範囲外です" for a file.
RomError outOfImage(std::string_view what, std::uint64_t offset, std::uint64_t length,
                    DataSource source = DataSource::Rom);

// The same error with "<context>: " in front, so the user learns which item held the bad data.
RomError withContext(RomError error, std::string_view context);

// A short text naming a record or data block, such as "Sprite 0x01F".
std::string itemName(std::string_view kind, std::uint32_t id);

}  // namespace rom
