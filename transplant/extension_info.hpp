#pragma once
// What the transplant tool knows about the ten extendable tables of the open image: where each
// lies, its record size and its last valid ID. An extension moves the tables and leaves no trace of
// their new ID range in the image, so this info lives beside the image (and in ".ExtInfo" files).

#include "rom/game_tables.hpp"
#include "rom/resource_kind.hpp"

#include <array>
#include <cstdint>
#include <string>

namespace transplant {

struct ExtensionTable {
    std::uint16_t wSizeItem = 0;
    std::uint32_t dwAddress = 0;
    std::uint16_t wNumLastEntryId = 0;
    // The code locations that point at a table are the game's, the same for every image; the
    // extension takes them from its own list (id_extension.cpp) instead of keeping them here.
};

struct ExtensionInfo {
    bool loaded = false;
    // In the order of rom::kExtendableKinds.
    std::array<ExtensionTable, rom::kExtendableKinds.size()> tables;

    ExtensionTable& table(rom::ResourceKind kind);
    const ExtensionTable& table(rom::ResourceKind kind) const;
};

// The info of an image nobody has extended: the tables where the game has them.
ExtensionInfo presetExtensionInfo();

// The status text of the main window: whether info is loaded, then each table's current offset
// (from the directory) and last ID, two tables per line.
std::string ShowExtendStatus(const ExtensionInfo& info, const rom::TableDirectory& directory);

}  // namespace transplant
