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
#include "transplant/extraction.hpp"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace transplant {

// What an extraction wrote.
struct ExtractionResult {
    std::filesystem::path folder;
    bool complete = true;  // false when the files could not be written; then none of them was
};

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
    // One line of that list, "02A: name".
    std::string unitLine(std::uint16_t unitId) const;

    // Collects the unit's resources into the selected-unit set and returns the panel texts. A unit
    // whose data leaves the image is reported to the user and gives nothing; the selection is
    // then empty.
    std::optional<UnitPanels> selectUnit(std::uint16_t unitId);

    std::string extensionStatusText() const;

    // Extraction of the selected unit with the items `flags` keeps, into a folder named after the
    // unit inside `baseFolder`, all files or none. Nothing when no unit is selected or its data
    // cannot be read (then nothing is written).
    std::optional<ExtractionResult> ExtractUnit(const SelectionFlags& flags,
                                                const std::filesystem::path& baseFolder);

    // Empties the selected unit's record and its weapons' after the user confirms. Returns the
    // unit's refreshed list line.
    std::optional<std::string> DeleteSelectedUnit();

    // ID area extension, with its two questions.
    struct ExtensionOutcome {
        bool extended = false;
        bool infoSaved = false;   // the user chose to save the new info and it was saved
        bool infoWanted = false;  // the user chose to save the new info (InfoSaving::ByCaller)
    };
    // Who writes the new info when the user wants it saved: the session at once through the save
    // dialog, or the caller, which writes it together with the image and then calls
    // AnnounceInfoSaved.
    enum class InfoSaving { Now, ByCaller };
    ExtensionOutcome ExtendIdArea(InfoSaving saving = InfoSaving::Now);
    // Saves the extension info through the save dialog and says whether it did.
    bool SaveExtendInfo();
    // The message that says whether the info was saved.
    void AnnounceInfoSaved(bool saved);
    // The menu command: asks first; does nothing without extension info.
    bool SaveExtendInfoCommand();
    // Asks for an ".ExtInfo" file, with or without an image; the info replaces the current one
    // only when it matches the image (without one it matches nothing).
    bool LoadExtendInfo();

    // Starts the add command: refuses without extension info, otherwise finds the free IDs anew.
    bool StartAddUnit();
    const rom::UnitResourceSet& freeIds() const { return freeIds_; }
    // The free unit slots as the add dialog lists them ("003: name").
    std::vector<std::string> freeUnitLines() const;
    // Asks for a "UnitAllData.dat" and reads the set's index and unit name. A refused or
    // cancelled load keeps the set loaded before.
    bool LoadUnitFileSet();
    const rom::UnitResourceSet& loadedSet() const { return loaded_; }
    const std::string& loadedUnitName() const { return loadedName_; }
    // Transplants the loaded set into free unit slot `slot`; the image changes only on success.
    bool TransplantUnit(std::uint16_t slot);
    // The report after a successful add: the "追加完了" message; returns the slot's new list line.
    std::string AnnounceAddedUnit(std::uint16_t slot);

private:
    void reportError(const std::string& message);
    std::string unitDisplayName(std::uint16_t unitId) const;
    rom::RomResult<rom::TableDirectory> readCheckedDirectory(rom::ByteSpan image) const;

    shell::Shell& shell_;
    rom::CharacterTable table_;
    rom::RomImage rom_;
    rom::TableDirectory directory_;
    ExtensionInfo extension_;
    rom::UnitResourceSet selected_;

    rom::UnitResourceSet freeIds_;
    rom::UnitResourceSet loaded_;
    std::filesystem::path unitFolder_;
    std::string loadedName_;
};

}  // namespace transplant
