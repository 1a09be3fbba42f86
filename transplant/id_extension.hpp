#pragma once
// The ID area extension: the ten extendable tables are copied behind the end of the image with room
// for many more IDs, and the game code's pointers to them are rewritten. The extension info then
// describes the new layout; it is saved to and loaded from ".ExtInfo" text files.

#include "rom/byte_io.hpp"
#include "rom/game_tables.hpp"
#include "rom/gba_address.hpp"
#include "rom/rom_error.hpp"
#include "transplant/extension_info.hpp"

#include <cstdint>
#include <string>
#include <string_view>

namespace transplant {

// A GBA cartridge maps at most 32 MiB; an image must not grow past it.
inline constexpr std::uint64_t kCartridgeLimit = rom::kCartridgeSize;

struct ExtendedImage {
    rom::Bytes image;
    ExtensionInfo info;  // the new layout, loaded
};

// Moves the tables described by `info` to the end of `image`, from extensionStart on (zero bytes
// fill the gap before it). Fails, changing nothing, when a table or a code reference lies outside
// the image or the result would pass the cartridge limit.
rom::RomResult<ExtendedImage> extendIdArea(rom::ByteSpan image, const ExtensionInfo& info);

// Where the moved tables start behind an image of `imageSize` bytes: the first multiple of 4 at or
// after its end, so that the tables and the pointers to them stay word-aligned as the game reads
// them.
std::uint64_t extensionStart(std::uint64_t imageSize);

// The new layout for an extension that starts at offset `start`.
ExtensionInfo extendedLayout(std::uint32_t start);

// The ".ExtInfo" text: "[Table:key]=&HVALUE" lines, tables in alphabetical order.
std::string extensionInfoText(const ExtensionInfo& info);
// Reads an ".ExtInfo" text; keys that are missing read as 0. The result is not loaded yet: see
// checkExtensionInfo.
ExtensionInfo parseExtensionInfoText(std::string_view text);

// Succeeds when `info` describes the image: every table lies where the directory says, has the
// table's record size, and fits in the image up to its last ID without running over the start of
// another table (which the transplant would then write into).
rom::RomResult<void> checkExtensionInfo(const ExtensionInfo& info, rom::ByteSpan image,
                                        const rom::TableDirectory& directory);

}  // namespace transplant
