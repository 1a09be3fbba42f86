#pragma once
// What the transplant tool knows about the ten extendable tables of the open image: where each
// lies, its record size and its last valid ID. An extension moves the tables and leaves no trace of
// their new ID range in the image, so this info lives beside the image (and in ".ExtInfo" files).

#include "rom/game_tables.hpp"
#include "rom/resource_kind.hpp"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace transplant {

struct ExtensionTable {
    std::uint16_t wSizeItem = 0;
    std::uint32_t dwAddress = 0;
    std::uint16_t wNumLastEntryId = 0;
    std::vector<std::uint32_t> references;  // code locations that point at the table
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
