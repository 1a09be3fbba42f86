#include "sprite/window/tessivo_window.hpp"

#include "shell/files.hpp"
#include "shell/qt/controls.hpp"
#include "shell/qt/qt_text.hpp"
#include "shell/qt/tool_frame.hpp"
#include "sprite/window/image_view.hpp"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace sprite {
namespace {

using shell::qt::ControlRect;

constexpr QPoint kPreviewPosition{0, 56};
constexpr std::string_view kAskForBitmap = "ビットマップを読み込んでください";

}  // namespace

TessivoWindow::TessivoWindow(shell::Shell& shell) : shell_(shell), session_(shell)
{
    shell::qt::applyMainWindowFrame(*this, shell::qt::Tool::Tessivo);
    createControls();
    connect(loadButton_, &QPushButton::clicked, this, &TessivoWindow::loadBitmap);
    connect(spriteButton_, &QPushButton::clicked, this, [this] {
        session_.makeSpriteFile(shell_.askSavePath(spriteSaveFilter(), shell::kSaveDialogTitle));
    });
    connect(paletteButton_, &QPushButton::clicked, this, [this] {
        session_.makePaletteFile(shell_.askSavePath(paletteSaveFilter(), shell::kSaveDialogTitle));
    });
}

void TessivoWindow::createControls()
{
    auto* client = new QWidget(this);
    setCentralWidget(client);
    shell::qt::ControlFactory controls(*client, shell::qt::toolFont(shell::qt::Tool::Tessivo));

    loadButton_ = &controls.pushButton(1000, "Bmp読込", ControlRect{7, 7, 77, 18});
    path_ = &controls.textBox(1001, ControlRect{88, 4, 353, 30}, shell::qt::EditEdge::Sunken,
                              shell::qt::ScrollBar::None);
    spriteButton_ = &controls.pushButton(1002, "Sprite作成", ControlRect{7, 36, 77, 18});
    paletteButton_ = &controls.pushButton(1003, "Pallet作成", ControlRect{86, 36, 77, 18});
    size_ = &controls.staticText(1004, kAskForBitmap, ControlRect{171, 37, 256, 16});
    spriteButton_->setEnabled(false);
    paletteButton_->setEnabled(false);

    preview_ = new ImageView(*client);
    preview_->move(kPreviewPosition);
    QImage blank(kPreviewSize, kPreviewSize, QImage::Format_RGB32);
    blank.fill(palette().color(QPalette::Button));
    preview_->setImage(blank);
    preview_->lower();
}

void TessivoWindow::loadBitmap()
{
    // The preview is blank from every attempt on, until a bitmap loads.
    QImage preview(kPreviewSize, kPreviewSize, QImage::Format_RGB32);
    preview.fill(palette().color(QPalette::Button));
    const std::optional<std::filesystem::path> path = shell::askOpenPath(shell_, bitmapOpenFilter());
    const bool loaded = path && session_.loadBitmap(*path);
    if (loaded) {
        const Bitmap& bitmap = *session_.bitmap();
        drawPreview(bitmap, std::span(reinterpret_cast<std::uint32_t*>(preview.bits()),
                                      static_cast<std::size_t>(kPreviewSize) * kPreviewSize));
        path_->setPlainText(shell::qt::pathText(session_.bitmapPath()));
        size_->setText(shell::qt::displayText(bitmapSizeText(bitmap)));
        spriteButton_->setEnabled(true);
        paletteButton_->setEnabled(true);
    }
    preview_->setImage(preview);
}

}  // namespace sprite
