#pragma once
// The transplant tool's main window: the menu bar, the unit list and the three text panels. It
// routes every command to the session and shows what the session returns; it keeps no game data.

#include "rom/game_text.hpp"
#include "shell/shell.hpp"
#include "transplant/keldra_session.hpp"
#include "transplant/window/keldra_menu.hpp"

#include <QMainWindow>

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>

class QAction;
class QListWidget;
class QPlainTextEdit;

namespace transplant {

class KeldraWindow final : public QMainWindow {
    Q_OBJECT

public:
    // Extracted units are written into folders inside `extractionFolder`.
    KeldraWindow(shell::Shell& shell, rom::CharacterTable table,
                 std::filesystem::path extractionFolder);

    // "開く": asks for a ROM image and shows it.
    void openRom();
    // Opens the image at `path` as "開く" does once the dialog has chosen it.
    void openRomFile(const std::filesystem::path& path);

private:
    void createControls();
    void connectCommands();

    void saveRom();
    void confirmExit();
    void showVersion();
    void showSelectedUnit(int row);
    void addUnit();
    void extractUnit();
    void deleteUnit();
    void extendIdAreas();
    void loadExtensionInfo();
    void saveExtensionInfo();
    // Asks where to save the extension info and saves it there; a cancelled dialog saves nothing
    // and says so.
    void saveExtensionInfoToChosenFile();
    // The extension summary of the open image; empty while none is open.
    void showExtensionStatus();
    // Puts a changed unit's new line in the list without touching the selection or the panels.
    void replaceUnitLine(std::uint16_t unitId, const std::string& line);

    // Empties the unit panels and refills the list and the extension summary from the session.
    void showImage();

    shell::Shell& shell_;
    KeldraSession session_;
    std::filesystem::path extractionFolder_;
    // Which items the extraction dialog keeps; remembered from one extraction to the next.
    SelectionFlags extractionFlags_;
    std::map<KeldraCommand, QAction*> actions_;
    QListWidget* unitList_ = nullptr;             // 1000
    QPlainTextEdit* resourceSummary_ = nullptr;   // 1001
    QPlainTextEdit* unitInformation_ = nullptr;   // 1002
    QPlainTextEdit* extensionStatus_ = nullptr;   // 1004
};

}  // namespace transplant
