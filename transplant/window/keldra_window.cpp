#include "transplant/window/keldra_window.hpp"

#include "shell/files.hpp"
#include "shell/path_text.hpp"
#include "shell/qt/controls.hpp"
#include "shell/qt/modal_dialog.hpp"
#include "shell/qt/qt_text.hpp"
#include "shell/qt/tool_frame.hpp"
#include "transplant/keldra_filters.hpp"
#include "transplant/window/extract_dialog.hpp"
#include "transplant/window/implant_dialog.hpp"

#include <QAction>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>

namespace transplant {
namespace {

using shell::qt::ControlRect;
using shell::qt::EditEdge;
using shell::qt::ScrollBar;

constexpr std::string_view kExitQuestion = "終了します";
constexpr std::string_view kExitCaption = "確認";
constexpr std::string_view kVersionText = "0011";
constexpr std::string_view kVersionCaption = "バージョン情報";

}  // namespace

KeldraWindow::KeldraWindow(shell::Shell& shell, rom::CharacterTable table,
                           std::filesystem::path extractionFolder)
    : shell_(shell),
      session_(shell, std::move(table)),
      extractionFolder_(std::move(extractionFolder))
{
    shell::qt::applyMainWindowFrame(*this, shell::qt::Tool::Keldra);
    actions_ = buildKeldraMenuBar(*menuBar());
    createControls();
    connectCommands();
}

void KeldraWindow::createControls()
{
    auto* client = new QWidget(this);
    setCentralWidget(client);
    shell::qt::ControlFactory controls(*client, shell::qt::toolFont(shell::qt::Tool::Keldra));

    controls.groupBox(1005, "ユニット一覧", ControlRect{0, 3, 201, 290});
    unitList_ = &controls.listBox(1000, ControlRect{6, 20, 188, 265});
    unitInformation_ =
        &controls.textBox(1002, ControlRect{204, 8, 195, 168}, EditEdge::Sunken, ScrollBar::Vertical);
    resourceSummary_ =
        &controls.textBox(1001, ControlRect{403, 8, 200, 168}, EditEdge::Sunken, ScrollBar::Vertical);
    controls.groupBox(1003, "ID領域拡張定義", ControlRect{211, 191, 376, 100});
    extensionStatus_ =
        &controls.textBox(1004, ControlRect{217, 206, 346, 78}, EditEdge::Static, ScrollBar::None);
    // The summary's six lines fill the box exactly.
    shell::qt::drawTextAtBorder(*extensionStatus_);
}

void KeldraWindow::connectCommands()
{
    connect(actions_.at(KeldraCommand::Open), &QAction::triggered, this, &KeldraWindow::openRom);
    connect(actions_.at(KeldraCommand::Save), &QAction::triggered, this, &KeldraWindow::saveRom);
    connect(actions_.at(KeldraCommand::Exit), &QAction::triggered, this,
            &KeldraWindow::confirmExit);
    connect(actions_.at(KeldraCommand::Version), &QAction::triggered, this,
            &KeldraWindow::showVersion);
    connect(actions_.at(KeldraCommand::AddUnit), &QAction::triggered, this,
            &KeldraWindow::addUnit);
    connect(actions_.at(KeldraCommand::ExtractUnit), &QAction::triggered, this,
            &KeldraWindow::extractUnit);
    connect(actions_.at(KeldraCommand::DeleteUnit), &QAction::triggered, this,
            &KeldraWindow::deleteUnit);
    connect(actions_.at(KeldraCommand::ExtendIdAreas), &QAction::triggered, this,
            &KeldraWindow::extendIdAreas);
    connect(actions_.at(KeldraCommand::LoadExtensionInfo), &QAction::triggered, this,
            &KeldraWindow::loadExtensionInfo);
    connect(actions_.at(KeldraCommand::SaveExtensionInfo), &QAction::triggered, this,
            &KeldraWindow::saveExtensionInfo);
    shell::qt::onSelectedRow(*unitList_, [this](int row) { showSelectedUnit(row); });
}

void KeldraWindow::openRom()
{
    // A cancelled dialog keeps the image that was open, and what shows it.
    if (const std::optional<std::filesystem::path> path = shell::askOpenPath(shell_, romFilter()))
        openRomFile(*path);
}

void KeldraWindow::openRomFile(const std::filesystem::path& path)
{
    const bool opened = session_.OpenRom(path);
    // An unreadable file keeps the image that was open, and what shows it.
    if (!opened && session_.isLoaded())
        return;
    showImage();
}

void KeldraWindow::saveRom()
{
    // Without an image there is nothing to save, and nothing is asked.
    if (!session_.isLoaded())
        return;
    if (const std::optional<std::filesystem::path> path =
            shell_.askSavePath(romFilter(), shell::kSaveDialogTitle))
        session_.SaveRom(*path);
}

void KeldraWindow::confirmExit()
{
    if (shell_.message(kExitQuestion, std::string(kExitCaption), shell::Buttons::YesNo,
                       shell::Icon::None) == shell::Answer::Yes)
        close();
}

void KeldraWindow::showVersion()
{
    shell_.message(kVersionText, std::string(kVersionCaption), shell::Buttons::Ok,
                   shell::Icon::None);
}

void KeldraWindow::showSelectedUnit(int row)
{
    if (row < 0 || !session_.isLoaded())
        return;
    resourceSummary_->clear();
    unitInformation_->clear();
    const std::optional<UnitPanels> panels = session_.selectUnit(static_cast<std::uint16_t>(row));
    if (!panels)
        return;
    shell::qt::setControlText(*resourceSummary_, panels->resourceSummary);
    shell::qt::setControlText(*unitInformation_, panels->unitInformation);
}

void KeldraWindow::showImage()
{
    resourceSummary_->clear();
    unitInformation_->clear();
    {
        // Refilling moves the current row; that is no choice of the user's.
        const QSignalBlocker quiet(unitList_);
        unitList_->clear();
        for (const std::string& line : session_.unitListLines())
            unitList_->addItem(shell::qt::displayText(line));
    }
    showExtensionStatus();
}

void KeldraWindow::showExtensionStatus()
{
    // The summary describes the tables of an image; without one the box stays empty.
    if (session_.isLoaded())
        shell::qt::setColumnText(*extensionStatus_, session_.extensionStatusText());
    else
        extensionStatus_->clear();
}

void KeldraWindow::replaceUnitLine(std::uint16_t unitId, const std::string& line)
{
    if (QListWidgetItem* item = unitList_->item(unitId))
        item->setText(shell::qt::displayText(line));
}

void KeldraWindow::addUnit()
{
    if (!session_.StartAddUnit())
        return;
    ImplantDialog dialog(session_, shell_, this);
    if (shell::qt::runModalDialog(dialog, *this) != QDialog::Accepted || !dialog.addedSlot())
        return;
    const std::uint16_t slot = *dialog.addedSlot();
    replaceUnitLine(slot, session_.AnnounceAddedUnit(slot));
}

void KeldraWindow::extractUnit()
{
    const rom::UnitResourceSet& target = session_.selectedUnit();
    // A selected unit exists only while its image is open.
    const std::string targetLine = target.valid ? session_.unitLine(target.wIdUnit) : std::string();
    ExtractDialog dialog(target, targetLine, extractionFlags_, this);
    if (shell::qt::runModalDialog(dialog, *this) != QDialog::Accepted || !session_.isLoaded() ||
        !target.valid)
        return;
    const std::string folderName = session_.extractionFolderName(target.wIdUnit);
    session_.ExtractUnit(extractionFlags_, extractionFolder_ / shell::pathFromUtf8(folderName));
}

void KeldraWindow::deleteUnit()
{
    const std::uint16_t unitId = session_.selectedUnit().wIdUnit;
    const std::optional<std::string> line = session_.DeleteSelectedUnit();
    if (!line)
        return;
    replaceUnitLine(unitId, *line);
    // The line stays selected and now names the emptied unit: the panels show it as a new
    // selection of the line would.
    showSelectedUnit(unitId);
}

void KeldraWindow::extendIdAreas()
{
    const KeldraSession::ExtensionOutcome outcome = session_.ExtendIdArea();
    if (outcome.infoWanted)
        saveExtensionInfoToChosenFile();
    if (outcome.extended)
        session_.AnnounceExtended();
    showExtensionStatus();
}

void KeldraWindow::loadExtensionInfo()
{
    if (const std::optional<std::filesystem::path> path =
            shell::askOpenPath(shell_, extensionInfoFilter()))
        session_.LoadExtendInfo(*path);
    showExtensionStatus();
}

void KeldraWindow::saveExtensionInfo()
{
    if (session_.ConfirmSaveExtendInfo())
        saveExtensionInfoToChosenFile();
}

void KeldraWindow::saveExtensionInfoToChosenFile()
{
    if (const std::optional<std::filesystem::path> path =
            shell_.askSavePath(extensionInfoFilter(), shell::kSaveDialogTitle))
        session_.SaveExtendInfo(*path);
    else
        session_.AnnounceInfoSaved(false);
}

}  // namespace transplant
