#pragma once
// The state of the unit animation editor while it runs, and its commands, with no window: the ROM
// image and its table offsets, the ROM side (the unit selected in the list) and the file side
// (a loaded unit folder), each with its ID summary. The window and the command line both drive it
// and show what it returns; it speaks to the user only through the Shell. Its callers choose the
// files: the window with its dialogs, the command line from its arguments.
//
// Names are decoded with the character table, which is read anew from its file whenever names
// are needed, so that edits to it show without a restart.

#include "editor/rom_table_offsets.hpp"
#include "editor/unit_data_set.hpp"
#include "editor/unit_folder.hpp"
#include "rom/game_text.hpp"
#include "rom/rom_image.hpp"
#include "shell/shell.hpp"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace editor {

class MorvaneSession {
public:
    MorvaneSession(shell::Shell& shell, std::filesystem::path characterTablePath);

    // Reads the ROM image at `path` with its table offsets; nothing for `path` is a cancelled
    // dialog, which says "キャンセル". Cancelling, a file that cannot be read or tables outside the
    // image end with the message "エラー" and give false, and leave the session as it was.
    bool OpenRom(const std::optional<std::filesystem::path>& path);

    bool isLoaded() const { return rom_.loaded; }
    const shell::Bytes& image() const { return rom_.bytes; }
    const RomTableOffsets& offsets() const { return offsets_; }
    const UnitDataSet& romSide() const { return romSide_; }
    const UnitDataSet& fileSide() const { return fileSide_; }
    const UnitIdSet& romIds() const { return romIds_; }
    const UnitIdSet& fileIds() const { return fileIds_; }
    bool hasSelection() const { return selected_; }

    // The 150 lines of the unit list, "XX:name" (UTF-8); empty without an image.
    std::vector<std::string> unitListLines();
    // The decoded names (UTF-8) of the list's 150 units; empty without an image.
    std::vector<std::string> unitNames();

    // Reads unit `unitId` into the ROM side and gives its summary. A unit whose data leaves the
    // image or goes beyond the model is reported and gives nothing; the ROM side is then empty.
    std::optional<std::string> SelectUnit(std::uint16_t unitId);

    // Saves the ROM side as the unit folder `baseFolder`/`folderName`, named after the unit
    // (unitFolderName) when `folderName` is empty; nothing without a selection or when the folder
    // could not be written (reported, nothing written). `showSaved` runs on success before the
    // closing message, for the window to show the report first.
    std::optional<SavedUnitFolder> SaveUnitFolder(
        const std::filesystem::path& baseFolder, std::string_view folderName = {},
        const std::function<void(const SavedUnitFolder&)>& showSaved = {});

    // Loads the folder of `unitAllPath` (a "unitall.dat" or the folder that holds it) into the
    // file side and gives its summary (UTF-8, CR LF); nothing for `unitAllPath` is a cancelled
    // dialog, which says "キャンセル". A cancelled or refused load (reported) changes nothing.
    std::optional<std::string> LoadUnitFolder(const std::optional<std::filesystem::path>& unitAllPath);

    // Ports the file side into the image at the ROM side's IDs (see port.hpp).
    bool PortUnit();

    // Writes the whole image to `path`, then shows "ＧＢＡ保存しました".
    bool SaveRom(const std::filesystem::path& path);

    // The ID list report of the ROM side, UTF-8 with CR LF; empty without a selection.
    std::string romSideReport();

private:
    rom::CharacterTable loadTable();
    std::string summaryText(const UnitDataSet& set, const UnitIdSet& ids);
    void showError(const std::string& text);

    shell::Shell& shell_;
    std::filesystem::path tablePath_;
    rom::RomImage rom_;
    RomTableOffsets offsets_;
    bool selected_ = false;
    UnitDataSet romSide_;
    UnitDataSet fileSide_;
    UnitIdSet romIds_;
    UnitIdSet fileIds_;
};

// A line of the unit list: the unit number in two hexadecimal digits, ":", the name (UTF-8).
std::string unitListLine(std::uint16_t unitId, std::string_view name);

// Summary text of one side: the unit's name, then "bNumUnit:" and the other eight counts, each
// line ending in CR LF. `name` is UTF-8.
std::string unitSummaryText(const std::string& name, const UnitIdSet& ids);

}  // namespace editor
