#pragma once
// The sprite viewer's window: the mode radio buttons, the ROM, address and file controls, and the
// canvas below them. It routes every control to the session and shows what the session holds.

#include "shell/shell.hpp"
#include "sprite/vistrel_session.hpp"

#include <QMainWindow>

#include <filesystem>
#include <optional>

class QLineEdit;
class QPushButton;
class QRadioButton;

namespace sprite {

class ImageView;

class VistrelWindow final : public QMainWindow {
    Q_OBJECT

public:
    explicit VistrelWindow(shell::Shell& shell);

    // Start-up with the first command-line argument: a path that names an existing file becomes
    // the sprite file in file mode; anything else starts in ROM mode.
    void start(const std::optional<std::filesystem::path>& argument);

    const VistrelSession& session() const { return session_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Mode { Rom, File };

    void createControls();
    void connectCommands();
    void setMode(Mode mode);

    void chooseSpriteFile();
    void choosePaletteFile();
    void chooseRom();
    void enterSpriteAddress();
    void enterPaletteAddress();
    void reloadFiles();

    void droppedOnSpriteField(const std::filesystem::path& path);
    void droppedOnPaletteField(const std::filesystem::path& path);
    void droppedOnRomField(const std::filesystem::path& path);
    bool acceptsDrops(const QObject* field) const;

    // Copies the session's canvas to the window.
    void showCanvas();

    shell::Shell& shell_;
    VistrelSession session_;
    Mode mode_ = Mode::Rom;
    QRadioButton* romMode_ = nullptr;        // 1004
    QRadioButton* fileMode_ = nullptr;       // 1005
    QLineEdit* romPath_ = nullptr;           // 1006
    QPushButton* romButton_ = nullptr;       // 1007
    QLineEdit* spriteAddress_ = nullptr;     // 1010
    QLineEdit* paletteAddress_ = nullptr;    // 1011
    QPushButton* spriteAddressButton_ = nullptr;   // 1012
    QPushButton* paletteAddressButton_ = nullptr;  // 1013
    QLineEdit* spritePath_ = nullptr;        // 1000
    QPushButton* spriteButton_ = nullptr;    // 1001
    QLineEdit* palettePath_ = nullptr;       // 1002
    QPushButton* paletteButton_ = nullptr;   // 1003
    ImageView* canvas_ = nullptr;
};

}  // namespace sprite
