#pragma once
// The state of the transplant tool while it runs and the commands on it, with no window: the
// open image and its table directory, the extension info, the character table and the unit picked
// in the list. The window and the command line both drive it and show what it returns; it speaks
// to the user only through the Shell. Its file commands take the path from their caller: the
// window asks its dialog first, the command line passes its argument.

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

    // Opens the image at `path`. Returns true when a new image is loaded; an unreadable file keeps
    // the current image, a refused image leaves none.
    bool OpenRom(const std::filesystem::path& path);
    // Writes the whole image to `path` and says so. Without an image nothing happens.
    bool SaveRom(const std::filesystem::path& path);

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
    // The unit's decoded name, UTF-8.
    std::string unitDisplayName(std::uint16_t unitId) const;
    // True when the unit's slot is empty: its name holds the empty-unit marker, as after deletion.
    bool isEmptyUnitSlot(std::uint16_t unitId) const;
    // The name of the folder an extraction of the unit writes by default: the unit's name.
    std::string extractionFolderName(std::uint16_t unitId) const;

    // Collects the unit's resources into the selected-unit set and returns the panel texts. A unit
    // whose data leaves the image is reported to the user and gives nothing; the selection is
    // then empty.
    std::optional<UnitPanels> selectUnit(std::uint16_t unitId);

    std::string extensionStatusText() const;

    // Extraction of the selected unit with the items `flags` keeps, into `folder`, all files or
    // none. Nothing when no unit is selected or its data cannot be read (then nothing is written).
    std::optional<ExtractionResult> ExtractUnit(const SelectionFlags& flags,
                                                const std::filesystem::path& folder);

    // Empties the selected unit's record and its weapons' after the user confirms. Returns the
    // unit's refreshed list line.
    std::optional<std::string> DeleteSelectedUnit();

    // ID area extension, with its two questions: whether to extend, and once extended, whether to
    // save the new info. The caller then saves the info when it is wanted (SaveExtendInfo, or
    // with the image and AnnounceInfoSaved) and reports the extension with AnnounceExtended.
    struct ExtensionOutcome {
        bool extended = false;
        bool infoWanted = false;  // the user chose to save the new info
    };
    ExtensionOutcome ExtendIdArea();
    void AnnounceExtended();
    // Writes the extension info to `path` and says whether it did.
    bool SaveExtendInfo(const std::filesystem::path& path);
    // The message that says whether the info was saved.
    void AnnounceInfoSaved(bool saved);
    // The menu command's question before the info is saved; false without extension info (then
    // nothing is asked) or when the user declines.
    bool ConfirmSaveExtendInfo();
    // Reads the ".ExtInfo" file at `path`, with or without an image; the info replaces the current
    // one only when it matches the image (without one it matches nothing).
    bool LoadExtendInfo(const std::filesystem::path& path);

    // Starts the add command: refuses without extension info, otherwise finds the free IDs anew.
    bool StartAddUnit();
    const rom::UnitResourceSet& freeIds() const { return freeIds_; }
    // The free unit slots as the add dialog lists them ("003: name").
    std::vector<std::string> freeUnitLines() const;
    // Reads the set's index "UnitAllData.dat" at `indexPath` and its unit name. A refused load
    // keeps the set loaded before.
    bool LoadUnitFileSet(const std::filesystem::path& indexPath);
    const rom::UnitResourceSet& loadedSet() const { return loaded_; }
    const std::string& loadedUnitName() const { return loadedName_; }
    // Transplants the loaded set into free unit slot `slot`; the image changes only on success.
    bool TransplantUnit(std::uint16_t slot);
    // The report after a successful add: the "追加完了" message; returns the slot's new list line.
    std::string AnnounceAddedUnit(std::uint16_t slot);

private:
    void reportError(const std::string& message);
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
