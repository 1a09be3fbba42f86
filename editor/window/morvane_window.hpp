#pragma once
// The unit animation editor's window: the unit list, the ROM-side and file-side summaries, the ID
// list report and the five buttons. It routes every control to the session and shows what the
// session returns; it keeps no game data of its own.

#include "editor/morvane_session.hpp"
#include "shell/shell.hpp"

#include <QMainWindow>

#include <filesystem>
#include <optional>

class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace editor {

class MorvaneWindow final : public QMainWindow {
    Q_OBJECT

public:
    // Names are decoded with the character table at `characterTablePath`; "保存" writes unit
    // folders into `unitFolderBase` (the program folder, when the program runs).
    MorvaneWindow(shell::Shell& shell, std::filesystem::path characterTablePath,
                  std::filesystem::path unitFolderBase);

    // The start-up sequence: opens `image`, or asks for the ROM image when there is none, and
    // lists its units. False when there is no image (the user has been told, ending with
    // "エラー"); the program then ends.
    bool start(const std::optional<std::filesystem::path>& image = std::nullopt);

    const MorvaneSession& session() const { return session_; }

private:
    void createControls();
    void connectCommands();

    void selectUnit(int row);
    void saveUnitFolder();
    void loadFromFolder();
    void portUnit();
    void saveRom();

    // Empties the unit list and fills it from the image, leaving no line selected.
    void fillUnitList();

    shell::Shell& shell_;
    MorvaneSession session_;
    std::filesystem::path unitFolderBase_;
    QListWidget* unitList_ = nullptr;        // 1000
    QPlainTextEdit* romSummary_ = nullptr;   // 1001
    QPlainTextEdit* report_ = nullptr;       // 1002
    QPlainTextEdit* fileSummary_ = nullptr;  // 1003
    QPushButton* saveFolder_ = nullptr;      // 1004
    QPushButton* reserve_ = nullptr;         // 1005
    QPushButton* loadFolder_ = nullptr;      // 1006
    QPushButton* port_ = nullptr;            // 1007
    QPushButton* saveRom_ = nullptr;         // 1008
};

}  // namespace editor
