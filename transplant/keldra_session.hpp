#pragma once
// The state of the transplant tool while it runs and the commands on it, with no window: the
// open image and its table directory, the extension info, the character table and the unit picked
// in the list. The window and the command line both drive it and show what it returns; it speaks
// to the user only through the Shell.

#include "rom/game_tables.hpp"
#include "rom/game_text.hpp"
#include "rom/rom_image.hpp"
#include "rom/unit_resources.hpp"
#include "shell/shell.hpp"
#include "transplant/extension_info.hpp"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace transplant {

// The two panels filled when a unit is picked in the list.
struct UnitPanels {
    std::string resourceSummary;  // box 1001
    std::string unitInformation;  // box 1002
};

class KeldraSession {
public:
    KeldraSession(shell::Shell& shell, rom::CharacterTable table);

    // Asks for a ".gba" file and opens it. Returns true when a new image is loaded; a cancelled
    // dialog or unreadable file keeps the current image, a refused image leaves none.
    bool OpenRom();
    // Asks for a path and writes the whole image. Without an image nothing happens.
    bool SaveRom();

    bool isLoaded() const { return rom_.loaded; }
    const rom::RomImage& rom() const { return rom_; }
    const rom::TableDirectory& directory() const { return directory_; }
    const ExtensionInfo& extensionInfo() const { return extension_; }
    const rom::CharacterTable& characterTable() const { return table_; }
    const rom::UnitResourceSet& selectedUnit() const { return selected_; }

    // The 150 lines of the unit list; empty without an image.
    std::vector<std::string> unitListLines() const;

    // Collects the unit's resources into the selected-unit set and returns the panel texts. A unit
    // whose data leaves the image is reported to the user and gives nothing; the selection is
    // then empty.
    std::optional<UnitPanels> selectUnit(std::uint16_t unitId);

    std::string extensionStatusText() const;

private:
    void reportError(const std::string& message);

    shell::Shell& shell_;
    rom::CharacterTable table_;
    rom::RomImage rom_;
    rom::TableDirectory directory_;
    ExtensionInfo extension_;
    rom::UnitResourceSet selected_;
};

}  // namespace transplant
