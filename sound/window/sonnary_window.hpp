#pragma once
// Sonnary's window: the ROM button and game field, the instrument and note lists, the two record
// dumps and the play button. It routes every event to the session and shows what it returns.

#include "shell/shell.hpp"
#include "sound/sonnary_session.hpp"
#include "sound/sound_output.hpp"

#include <QMainWindow>

#include <filesystem>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace sound {

class SonnaryWindow final : public QMainWindow {
    Q_OBJECT

public:
    SonnaryWindow(shell::Shell& shell, SoundOutput& output,
                  std::filesystem::path playFile = defaultPlayFile());

    // "ROM読込": asks for a ROM image and opens it; a cancelled dialog changes nothing.
    void loadRom();
    // Reads the ROM image at `path` and lists its instruments, as the button does with the
    // dialog's answer: the start-up argument comes here.
    void openRom(const std::filesystem::path& path);

    // Plays what the selected instrument and note lines lead to.
    void play();

protected:
    // Sees every key press the window receives before its focused control does: a press of the
    // space key, auto-repeats included, plays while an image is held, and still reaches the
    // control, unless that is a button, which would take it as its own click.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void connectEvents();

    void fillInstrumentList();
    void showInstrument(int row);
    void showNote(int row);
    void changeLimit();

    shell::Shell& shell_;
    SonnarySession session_;
    QPushButton* loadButton_ = nullptr;      // 1005
    QLabel* gameField_ = nullptr;            // 1009
    QCheckBox* unlimited_ = nullptr;         // 1011
    QListWidget* instruments_ = nullptr;     // 1001
    QListWidget* notes_ = nullptr;           // 1004
    QLineEdit* instrumentRecord_ = nullptr;  // 1007
    QLineEdit* noteRecord_ = nullptr;        // 1010
    QPushButton* playButton_ = nullptr;      // 1008
    QPushButton* exportButton_ = nullptr;    // 1000
};

}  // namespace sound
