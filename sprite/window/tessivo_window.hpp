#pragma once
// The sprite compressor's window: the load and make buttons, the loaded file's path and size, and
// the 512 x 512 preview below them.

#include "shell/shell.hpp"
#include "sprite/tessivo_session.hpp"

#include <QMainWindow>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace sprite {

class ImageView;

class TessivoWindow final : public QMainWindow {
    Q_OBJECT

public:
    explicit TessivoWindow(shell::Shell& shell);

    const TessivoSession& session() const { return session_; }

private:
    void createControls();
    void loadBitmap();

    shell::Shell& shell_;
    TessivoSession session_;
    QPushButton* loadButton_ = nullptr;     // 1000
    QPlainTextEdit* path_ = nullptr;        // 1001
    QPushButton* spriteButton_ = nullptr;   // 1002
    QPushButton* paletteButton_ = nullptr;  // 1003
    QLabel* size_ = nullptr;                // 1004
    ImageView* preview_ = nullptr;
};

}  // namespace sprite
