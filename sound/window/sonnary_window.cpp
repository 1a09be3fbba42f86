#include "sound/window/sonnary_window.hpp"

#include "shell/file_filter.hpp"
#include "shell/files.hpp"
#include "shell/qt/controls.hpp"
#include "shell/qt/qt_text.hpp"
#include "shell/qt/tool_frame.hpp"
#include "sound/window/tab_expanding_delegate.hpp"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QWindow>

namespace sound {
namespace {

using shell::qt::ControlRect;

constexpr std::string_view kRomFilterDescription = "GBAROM";
constexpr std::string_view kRomFilterPattern = "*.gba";

// Lines longer than the list is wide show whole in their tool tip.
void fillList(QListWidget& list, const std::vector<std::string>& lines)
{
    list.clear();
    for (const std::string& line : lines) {
        auto* item = new QListWidgetItem(shell::qt::displayText(line), &list);
        item->setToolTip(expandTabs(item->text()));
    }
}

}  // namespace

SonnaryWindow::SonnaryWindow(shell::Shell& shell, SoundOutput& output,
                             std::filesystem::path playFile)
    : shell_(shell), session_(shell, output, std::move(playFile))
{
    shell::qt::applyMainWindowFrame(*this, shell::qt::Tool::Sonnary);
    createControls();
    connectEvents();
    // Key presses reach the window's platform window before any control: that is where the
    // space key is seen, whichever control has the focus.
    winId();
    windowHandle()->installEventFilter(this);
}

void SonnaryWindow::createControls()
{
    auto* client = new QWidget(this);
    setCentralWidget(client);
    shell::qt::ControlFactory controls(*client, shell::qt::toolFont(shell::qt::Tool::Sonnary));

    loadButton_ = &controls.pushButton(1005, "ROM読込", ControlRect{5, 3, 63, 18});
    gameField_ = &controls.staticText(1009, "", ControlRect{74, 2, 269, 18});
    unlimited_ = &controls.checkBox(1011, "7F限定解除", ControlRect{345, 4, 92, 17});
    controls.staticText(1002, "楽器番号", ControlRect{10, 24, 73, 13});
    instruments_ = &controls.listBox(1001, ControlRect{9, 39, 174, 231});
    controls.staticText(1003, "ノート番号", ControlRect{201, 24, 73, 13});
    notes_ = &controls.listBox(1004, ControlRect{205, 39, 232, 232});
    controls.staticText(1006, "WaveEntry情報", ControlRect{13, 283, 83, 13});
    instrumentRecord_ = &controls.lineEdit(1007, ControlRect{101, 278, 268, 19});
    noteRecord_ = &controls.lineEdit(1010, ControlRect{101, 298, 268, 19});
    playButton_ = &controls.pushButton(1008, "再生(space)", ControlRect{5, 321, 101, 27});
    exportButton_ = &controls.pushButton(1000, "Wave出力", ControlRect{372, 330, 67, 18});
    // Offered in the layout, but no command stands behind it.
    exportButton_->setEnabled(false);

    for (QListWidget* list : {instruments_, notes_})
        list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    instruments_->setItemDelegate(new TabExpandingDelegate(instruments_));
    gameField_->setWordWrap(false);
}

void SonnaryWindow::connectEvents()
{
    connect(loadButton_, &QPushButton::clicked, this, &SonnaryWindow::loadRom);
    connect(playButton_, &QPushButton::clicked, this, &SonnaryWindow::play);
    connect(unlimited_, &QCheckBox::clicked, this, &SonnaryWindow::changeLimit);
    connect(instruments_, &QListWidget::currentRowChanged, this, &SonnaryWindow::showInstrument);
    connect(notes_, &QListWidget::currentRowChanged, this, &SonnaryWindow::showNote);
    connect(instruments_, &QListWidget::itemDoubleClicked, this, &SonnaryWindow::play);
    connect(notes_, &QListWidget::itemDoubleClicked, this, &SonnaryWindow::play);
}

void SonnaryWindow::loadRom()
{
    const std::optional<std::filesystem::path> path = shell::askOpenPath(
        shell_, shell::makeFilter({{std::string(kRomFilterDescription), std::string(kRomFilterPattern)}}));
    if (path)
        openRom(*path);
}

void SonnaryWindow::openRom(const std::filesystem::path& path)
{
    // A failed load keeps everything; an unrecognised image leaves the lists as they are, though
    // nothing in them plays any more.
    if (session_.loadRom(path) != LoadOutcome::Recognised)
        return;
    gameField_->setText(shell::qt::displayText(session_.gameFieldText()));
    fillInstrumentList();
}

void SonnaryWindow::fillInstrumentList()
{
    {
        const QSignalBlocker quiet(instruments_);
        fillList(*instruments_, session_.instrumentLines(unlimited_->isChecked()
                                                             ? ListLimit::Unlimited
                                                             : ListLimit::To7F));
    }
    // Selecting line 0 shows its notes, so the note list always belongs to the selected line of
    // the image now held.
    instruments_->setCurrentRow(0);
}

void SonnaryWindow::showInstrument(int row)
{
    if (row < 0)
        return;
    const std::optional<InstrumentView> view = session_.selectInstrument(static_cast<std::size_t>(row));
    if (!view)
        return;
    {
        // The first note line is selected without showing its record.
        const QSignalBlocker quiet(notes_);
        fillList(*notes_, view->noteLines);
        notes_->setCurrentRow(0);
    }
    noteRecord_->clear();
    shell::qt::setControlText(*instrumentRecord_, view->recordDump);
}

void SonnaryWindow::showNote(int row)
{
    if (row < 0)
        return;
    shell::qt::setControlText(*noteRecord_, session_.noteRecordDump(static_cast<std::size_t>(row)));
}

void SonnaryWindow::changeLimit()
{
    // The box has toggled itself; without a recognised game its state waits for the next load.
    if (session_.gameRecognised())
        fillInstrumentList();
}

void SonnaryWindow::play()
{
    const int instrument = instruments_->currentRow();
    if (instrument < 0)
        return;
    const int note = notes_->currentRow();
    session_.play(static_cast<std::size_t>(instrument),
                  note >= 0 ? std::optional<std::size_t>(static_cast<std::size_t>(note))
                            : std::nullopt);
}

bool SonnaryWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space && session_.hasImage()) {
        play();
        // A focused button or check box would take the key as a click of its own: the ROM
        // button would open its dialog again, the play button play twice.
        if (qobject_cast<QAbstractButton*>(QApplication::focusWidget()) != nullptr)
            return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace sound
