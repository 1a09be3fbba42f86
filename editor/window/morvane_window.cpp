#include "editor/window/morvane_window.hpp"

#include "editor/unit_all_text.hpp"
#include "shell/file_filter.hpp"
#include "shell/files.hpp"
#include "shell/qt/controls.hpp"
#include "shell/qt/qt_text.hpp"
#include "shell/qt/tool_frame.hpp"
#include "shell/text_encoding.hpp"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>

namespace editor {
namespace {

using shell::qt::ControlRect;
using shell::qt::EditEdge;
using shell::qt::ScrollBar;

std::string openRomFilter()
{
    return shell::makeFilter({{"GBA ファイル(*.gba)", "*.gba"}, {"すべてのファイル(*.*)", "*"}});
}

std::string saveRomFilter()
{
    return shell::makeFilter({{"GBAファイル(*.gba)", "*.gba"}, {"すべてのファイル(*.*)", "*"}});
}

std::string unitAllFilter()
{
    return shell::makeFilter(
        {{std::string(kUnitAllFilterDescription), std::string(kUnitAllFileName)}});
}

}  // namespace

MorvaneWindow::MorvaneWindow(shell::Shell& shell, std::filesystem::path characterTablePath,
                             std::filesystem::path unitFolderBase)
    : shell_(shell), session_(shell, std::move(characterTablePath)),
      unitFolderBase_(std::move(unitFolderBase))
{
    shell::qt::applyMainWindowFrame(*this, shell::qt::Tool::Morvane);
    createControls();
    connectCommands();
}

void MorvaneWindow::createControls()
{
    auto* client = new QWidget(this);
    setCentralWidget(client);
    shell::qt::ControlFactory controls(*client, shell::qt::toolFont(shell::qt::Tool::Morvane));

    unitList_ = &controls.listBox(1000, ControlRect{9, 9, 167, 285});
    // A name wider than the list can be scrolled into view rather than being cut at the edge.
    unitList_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    romSummary_ =
        &controls.textBox(1001, ControlRect{189, 11, 151, 131}, EditEdge::Sunken, ScrollBar::None);
    report_ =
        &controls.textBox(1002, ControlRect{189, 191, 242, 95}, EditEdge::Sunken, ScrollBar::Vertical);
    fileSummary_ =
        &controls.textBox(1003, ControlRect{350, 11, 151, 131}, EditEdge::Sunken, ScrollBar::None);
    // A summary is always ten lines, which fill the box exactly.
    for (QPlainTextEdit* summary : {romSummary_, fileSummary_})
        shell::qt::drawTextAtBorder(*summary);
    saveFolder_ = &controls.pushButton(1004, "保存", ControlRect{190, 145, 44, 20});
    reserve_ = &controls.pushButton(1005, "確保", ControlRect{236, 145, 44, 20});
    loadFolder_ = &controls.pushButton(1006, "↑に読込", ControlRect{352, 145, 56, 19});
    port_ = &controls.pushButton(1007, "←に移植", ControlRect{352, 167, 56, 19});
    saveRom_ = &controls.pushButton(1008, "GBA保存", ControlRect{447, 270, 56, 19});

    saveFolder_->setEnabled(false);
    // Offered in the layout, but no command stands behind it.
    reserve_->setEnabled(false);
}

void MorvaneWindow::connectCommands()
{
    shell::qt::onSelectedRow(*unitList_, [this](int row) { selectUnit(row); });
    connect(saveFolder_, &QPushButton::clicked, this, &MorvaneWindow::saveUnitFolder);
    connect(loadFolder_, &QPushButton::clicked, this, &MorvaneWindow::loadFromFolder);
    connect(port_, &QPushButton::clicked, this, &MorvaneWindow::portUnit);
    connect(saveRom_, &QPushButton::clicked, this, &MorvaneWindow::saveRom);
}

bool MorvaneWindow::start(const std::optional<std::filesystem::path>& image)
{
    // The session shows "キャンセル" or the file failure, then "エラー", itself.
    if (!session_.OpenRom(image ? image : shell::askOpenPath(shell_, openRomFilter())))
        return false;
    fillUnitList();
    return true;
}

void MorvaneWindow::selectUnit(int row)
{
    if (row < 0 || !session_.isLoaded())
        return;
    const std::optional<std::string> summary = session_.SelectUnit(static_cast<std::uint16_t>(row));
    // A unit that could not be read has been reported and leaves the ROM side empty: there is
    // nothing to show, nor anything for "保存" to save (the session then saves nothing). The
    // button stays enabled from the first selection on.
    if (summary) {
        shell::qt::setControlText(*romSummary_, *summary);
        saveFolder_->setEnabled(true);
    } else {
        romSummary_->clear();
    }
}

void MorvaneWindow::saveUnitFolder()
{
    // A folder that could not be written has been reported; its report is not shown as saved.
    // A saved folder's report shows before the closing message.
    constexpr std::string_view kNamedAfterTheUnit;
    session_.SaveUnitFolder(unitFolderBase_, kNamedAfterTheUnit,
                            [this](const SavedUnitFolder& saved) {
                                shell::qt::setControlText(*report_,
                                                          shell::sjisToUtf8(saved.report));
                            });
}

void MorvaneWindow::loadFromFolder()
{
    // A cancelled dialog or a refused folder changes nothing.
    const std::optional<std::string> summary =
        session_.LoadUnitFolder(shell::askOpenPath(shell_, unitAllFilter()));
    if (summary)
        shell::qt::setControlText(*fileSummary_, *summary);
}

void MorvaneWindow::portUnit()
{
    if (!session_.PortUnit())
        return;
    // The ported unit's name now stands in the replaced unit's place. The ROM side and the text
    // boxes stay as they were.
    fillUnitList();
}

void MorvaneWindow::saveRom()
{
    // A cancelled dialog writes nothing and says nothing.
    if (const std::optional<std::filesystem::path> path =
            shell_.askSavePath(saveRomFilter(), shell::kSaveDialogTitle))
        session_.SaveRom(*path);
}

void MorvaneWindow::fillUnitList()
{
    // Refilling moves the current row; that is no choice of the user's.
    const QSignalBlocker quiet(unitList_);
    unitList_->clear();
    for (const std::string& line : session_.unitListLines())
        unitList_->addItem(shell::qt::displayText(line));
}

}  // namespace editor
