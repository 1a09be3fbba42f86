#include "sprite/window/vistrel_window.hpp"

#include "shell/file_filter.hpp"
#include "shell/files.hpp"
#include "shell/number_text.hpp"
#include "shell/qt/controls.hpp"
#include "shell/qt/qt_text.hpp"
#include "shell/qt/tool_frame.hpp"
#include "sprite/data_files.hpp"
#include "sprite/window/address_dialog.hpp"
#include "sprite/window/image_view.hpp"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>

namespace sprite {
namespace {

using shell::qt::ControlRect;

constexpr QPoint kCanvasPosition{8, 135};

// The first dropped file, if the drop holds one.
std::optional<std::filesystem::path> firstDroppedFile(const QMimeData* data)
{
    if (data == nullptr)
        return std::nullopt;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            return shell::qt::toPath(url.toLocalFile());
    }
    return std::nullopt;
}

void showPath(QLineEdit& field, const std::filesystem::path& path)
{
    field.setText(shell::qt::pathText(path));
}

void showAddress(QLineEdit& field, std::uint32_t address)
{
    shell::qt::setControlText(field, shell::hexText(address));
}

}  // namespace

VistrelWindow::VistrelWindow(shell::Shell& shell) : shell_(shell), session_(shell)
{
    shell::qt::applyMainWindowFrame(*this, shell::qt::Tool::Vistrel);
    createControls();
    connectCommands();
}

void VistrelWindow::createControls()
{
    auto* client = new QWidget(this);
    setCentralWidget(client);
    shell::qt::ControlFactory controls(*client, shell::qt::toolFont(shell::qt::Tool::Vistrel));

    romMode_ = &controls.radioButton(1004, "GBAから読込", ControlRect{13, 9, 90, 14});
    fileMode_ = &controls.radioButton(1005, "抽出データから読込", ControlRect{111, 9, 123, 14});
    romButton_ = &controls.pushButton(1007, "GBA", ControlRect{5, 25, 58, 19});
    romPath_ = &controls.lineEdit(1006, ControlRect{66, 24, 373, 20});
    controls.staticText(1008, "スプライト", ControlRect{18, 55, 63, 15});
    spriteAddress_ = &controls.lineEdit(1010, ControlRect{75, 52, 81, 20});
    spriteAddressButton_ = &controls.pushButton(1012, "入力", ControlRect{162, 53, 63, 20});
    controls.staticText(1009, "パレット", ControlRect{228, 55, 63, 15});
    paletteAddress_ = &controls.lineEdit(1011, ControlRect{289, 52, 81, 20});
    paletteAddressButton_ = &controls.pushButton(1013, "入力", ControlRect{376, 52, 63, 20});
    spriteButton_ = &controls.pushButton(1001, "スプライト", ControlRect{11, 86, 58, 19});
    spritePath_ = &controls.lineEdit(1000, ControlRect{71, 85, 373, 20});
    paletteButton_ = &controls.pushButton(1003, "パレット", ControlRect{10, 106, 58, 19});
    palettePath_ = &controls.lineEdit(1002, ControlRect{71, 105, 373, 20});

    for (QLineEdit* address : {spriteAddress_, paletteAddress_}) {
        address->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        address->setText(QStringLiteral("0"));
    }
    spriteButton_->setEnabled(false);
    paletteButton_->setEnabled(false);
    for (QLineEdit* field : {romPath_, spritePath_, palettePath_}) {
        field->setAcceptDrops(true);
        field->installEventFilter(this);
    }

    canvas_ = new ImageView(*client);
    canvas_->move(kCanvasPosition);
}

void VistrelWindow::connectCommands()
{
    connect(romMode_, &QRadioButton::clicked, this, [this] { setMode(Mode::Rom); });
    connect(fileMode_, &QRadioButton::clicked, this, [this] { setMode(Mode::File); });
    connect(spriteButton_, &QPushButton::clicked, this, &VistrelWindow::chooseSpriteFile);
    connect(paletteButton_, &QPushButton::clicked, this, &VistrelWindow::choosePaletteFile);
    connect(romButton_, &QPushButton::clicked, this, &VistrelWindow::chooseRom);
    connect(spriteAddressButton_, &QPushButton::clicked, this, &VistrelWindow::enterSpriteAddress);
    connect(paletteAddressButton_, &QPushButton::clicked, this, &VistrelWindow::enterPaletteAddress);
    auto* reload = new QShortcut(QKeySequence(Qt::Key_F5), this);
    connect(reload, &QShortcut::activated, this, &VistrelWindow::reloadFiles);
}

void VistrelWindow::start(const std::optional<std::filesystem::path>& argument)
{
    std::error_code error;
    if (argument && std::filesystem::is_regular_file(*argument, error)) {
        session_.openSpriteFile(*argument);
        showPath(*spritePath_, session_.spritePath());
        showCanvas();
        fileMode_->setChecked(true);
        setMode(Mode::File);
        return;
    }
    romMode_->setChecked(true);
    setMode(Mode::Rom);
}

void VistrelWindow::setMode(Mode mode)
{
    mode_ = mode;
    const bool fromRom = mode == Mode::Rom;
    romButton_->setEnabled(fromRom);
    spriteAddressButton_->setEnabled(fromRom);
    paletteAddressButton_->setEnabled(fromRom);
    spriteButton_->setEnabled(!fromRom);
    paletteButton_->setEnabled(!fromRom);
}

void VistrelWindow::chooseSpriteFile()
{
    const std::optional<std::filesystem::path> path = shell::askOpenPath(
        shell_, shell::makeFilter({{std::string(kSpriteFileFilterName), std::string(kDataFilePattern)}}));
    if (!path)
        return;
    session_.openSpriteFile(*path);
    showPath(*spritePath_, session_.spritePath());
    showCanvas();
}

void VistrelWindow::choosePaletteFile()
{
    const std::optional<std::filesystem::path> path = shell::askOpenPath(
        shell_, shell::makeFilter({{std::string(kPaletteOpenFilterName), std::string(kDataFilePattern)}}));
    if (!path)
        return;
    session_.openPaletteFile(*path);
    showPath(*palettePath_, session_.palettePath());
    showCanvas();
}

void VistrelWindow::chooseRom()
{
    session_.replaceRom(shell::askOpenPath(
        shell_, shell::makeFilter({{std::string(kRomFilterName), std::string(kRomFilePattern)}})));
    showPath(*romPath_, session_.romPath());
    showCanvas();
}

void VistrelWindow::enterSpriteAddress()
{
    session_.setSpriteAddress(askAddress(*this, session_.spriteAddress()));
    showAddress(*spriteAddress_, session_.spriteAddress());
    showCanvas();
}

void VistrelWindow::enterPaletteAddress()
{
    session_.setPaletteAddress(askAddress(*this, session_.paletteAddress()));
    showAddress(*paletteAddress_, session_.paletteAddress());
    showCanvas();
}

void VistrelWindow::reloadFiles()
{
    session_.reloadFiles();
    showCanvas();
}

void VistrelWindow::droppedOnSpriteField(const std::filesystem::path& path)
{
    session_.openSpriteFile(path);
    showPath(*spritePath_, session_.spritePath());
    showCanvas();
}

void VistrelWindow::droppedOnPaletteField(const std::filesystem::path& path)
{
    session_.openPaletteFile(path);
    showPath(*palettePath_, session_.palettePath());
    showCanvas();
}

void VistrelWindow::droppedOnRomField(const std::filesystem::path& path)
{
    if (session_.openRomFile(path))
        showPath(*romPath_, session_.romPath());
    showCanvas();
}

bool VistrelWindow::acceptsDrops(const QObject* field) const
{
    // The ROM field takes files in either mode; the file fields only in file mode.
    return field == romPath_ || mode_ == Mode::File;
}

bool VistrelWindow::eventFilter(QObject* watched, QEvent* event)
{
    const bool pathField = watched == romPath_ || watched == spritePath_ || watched == palettePath_;
    if (!pathField)
        return QMainWindow::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (acceptsDrops(watched) && firstDroppedFile(drag->mimeData()))
            drag->acceptProposedAction();
        else
            drag->ignore();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const std::optional<std::filesystem::path> path = firstDroppedFile(drop->mimeData());
        if (!acceptsDrops(watched) || !path) {
            drop->ignore();
            return true;
        }
        drop->acceptProposedAction();
        if (watched == spritePath_)
            droppedOnSpriteField(*path);
        else if (watched == palettePath_)
            droppedOnPaletteField(*path);
        else
            droppedOnRomField(*path);
        return true;
    }
    default:
        return QMainWindow::eventFilter(watched, event);
    }
}

void VistrelWindow::showCanvas()
{
    const std::optional<SheetCanvas>& canvas = session_.canvas();
    if (!canvas || canvas->height == 0) {
        canvas_->clearImage();
        return;
    }
    canvas_->setImage(imageOfPixels(canvasPixels(*canvas), kSheetWidth, canvas->height));
}

}  // namespace sprite
