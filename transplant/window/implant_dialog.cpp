#include "transplant/window/implant_dialog.hpp"

#include "rom/game_tables.hpp"
#include "shell/files.hpp"
#include "shell/qt/controls.hpp"
#include "shell/qt/modal_dialog.hpp"
#include "shell/qt/qt_text.hpp"
#include "shell/qt/tool_frame.hpp"
#include "transplant/free_ids.hpp"
#include "transplant/keldra_filters.hpp"
#include "transplant/keldra_messages.hpp"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include <string_view>

namespace transplant {
namespace {

using shell::qt::ControlRect;
using shell::qt::EditEdge;
using shell::qt::ScrollBar;

constexpr std::string_view kTitle = "ユニット追加ダイアログ";
constexpr int kOuterWidth = 353;
constexpr int kOuterHeight = 325;

// A line of the free-slot list is the slot's ID in hexadecimal, ": " and the unit's name.
constexpr int kHexBase = 16;
constexpr QChar kIdSeparator = u':';

}  // namespace

ImplantDialog::ImplantDialog(KeldraSession& session, shell::Shell& shell, QWidget* owner)
    : ToolDialog(owner), session_(session), shell_(shell)
{
    setObjectName(kImplantDialogName);
    shell::qt::applyDialogFrame(*this, kTitle, kOuterWidth, kOuterHeight);
    createControls();
    fillFreeSlots();
    shell::qt::setColumnText(*freeCounts_, FormatIdCounts(session_.freeIds()));
    // A set loaded during an earlier add command is still the one "追加" adds, so it shows.
    if (session_.loadedSet().valid)
        showLoadedSet();
}

void ImplantDialog::createControls()
{
    shell::qt::ControlFactory controls(*this, shell::qt::toolFont(shell::qt::Tool::Keldra));
    controls.groupBox(1003, "ユニットを追加する場所", ControlRect{5, 2, 217, 40});
    freeSlots_ = &controls.comboBox(1021, ControlRect{15, 17, 189, 118},
                                    shell::qt::ItemOrder::Sorted);
    QPushButton& load = controls.pushButton(1018, "ユニット読込", ControlRect{228, 15, 84, 25});
    controls.staticText(1020, "空きアイテム", ControlRect{6, 49, 94, 13});
    controls.staticText(1022, "追加に必要な数", ControlRect{177, 49, 131, 13});
    loadedName_ = &controls.staticText(1023, "", ControlRect{246, 49, 91, 13});
    freeCounts_ = &controls.textBox(1001, ControlRect{5, 67, 161, 164}, EditEdge::Sunken,
                                    ScrollBar::Vertical);
    neededCounts_ = &controls.textBox(1002, ControlRect{177, 67, 161, 164}, EditEdge::Sunken,
                                      ScrollBar::Vertical);
    QPushButton& add = controls.pushButton(1016, "追加", ControlRect{90, 273, 63, 19});
    QPushButton& cancel = controls.pushButton(1017, "Cancel", ControlRect{168, 273, 63, 19});

    connect(&load, &QPushButton::clicked, this, &ImplantDialog::loadFileSet);
    connect(&add, &QPushButton::clicked, this, &ImplantDialog::add);
    connect(&cancel, &QPushButton::clicked, this, &ImplantDialog::reject);
}

void ImplantDialog::fillFreeSlots()
{
    const std::vector<std::string> lines = session_.freeUnitLines();
    const std::vector<std::uint16_t>& freeUnits = session_.freeIds().list(rom::ResourceKind::Unit);
    for (std::size_t i = 0; i < lines.size() && i < freeUnits.size(); ++i)
        freeSlots_->addItem(shell::qt::displayText(lines[i]), QVariant::fromValue(freeUnits[i]));
    if (freeSlots_->count() > 0)
        freeSlots_->setCurrentIndex(0);
}

void ImplantDialog::showLoadedSet()
{
    loadedName_->setText(shell::qt::displayText(session_.loadedUnitName()));
    shell::qt::setColumnText(*neededCounts_, FormatIdCounts(session_.loadedSet()));
}

void ImplantDialog::loadFileSet()
{
    const std::optional<std::filesystem::path> index = shell::askOpenPath(shell_, fileSetFilter());
    if (index && session_.LoadUnitFileSet(*index))
        showLoadedSet();
}

std::optional<std::uint16_t> ImplantDialog::chosenSlot() const
{
    const QString text = freeSlots_->currentText().trimmed();
    const int line = freeSlots_->findText(text, Qt::MatchExactly);
    if (line >= 0)
        return freeSlots_->itemData(line).value<std::uint16_t>();

    bool isNumber = false;
    const uint typed = text.section(kIdSeparator, 0, 0).trimmed().toUInt(&isNumber, kHexBase);
    if (!isNumber)
        return std::nullopt;
    for (int i = 0; i < freeSlots_->count(); ++i) {
        const std::uint16_t slot = freeSlots_->itemData(i).value<std::uint16_t>();
        if (slot == typed)
            return slot;
    }
    return std::nullopt;
}

void ImplantDialog::add()
{
    if (!session_.freeIds().valid || !session_.loadedSet().valid)
        return;
    std::optional<std::uint16_t> slot = chosenSlot();
    // With no free slot at all, the transplant's own check reports the shortage.
    if (!slot && freeSlots_->count() == 0)
        slot = rom::kNoId;
    if (!slot) {
        shell::showMessage(shell_, messages::kNoTargetSlot);
        return;
    }
    if (!session_.TransplantUnit(*slot))
        return;
    addedSlot_ = *slot;
    accept();
}

}  // namespace transplant
