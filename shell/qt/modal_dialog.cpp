#include "shell/qt/modal_dialog.hpp"

#include "shell/qt/qt_text.hpp"
#include "shell/qt/tool_frame.hpp"

#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QSize>

#include <vector>

namespace shell::qt {
namespace {

// Disables the owner's contents for its lifetime. Children that were disabled already stay so.
class OwnerContentsDisabled {
public:
    explicit OwnerContentsDisabled(QWidget& owner)
    {
        for (QWidget* child : owner.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (child->isWindow() || !child->isEnabledTo(&owner))
                continue;
            child->setEnabled(false);
            disabled_.emplace_back(child);
        }
    }
    ~OwnerContentsDisabled()
    {
        for (const QPointer<QWidget>& child : disabled_) {
            if (child)
                child->setEnabled(true);
        }
    }
    OwnerContentsDisabled(const OwnerContentsDisabled&) = delete;
    OwnerContentsDisabled& operator=(const OwnerContentsDisabled&) = delete;

private:
    std::vector<QPointer<QWidget>> disabled_;
};

// A dialog's frame has a title bar only: a 20-pixel caption and a 3-pixel border on every side.
// The tools' dialogs leave as little as 28 pixels below their lowest buttons in their outer size
// (the extraction dialog's buttons end at client y 348 of 376), so the main windows' larger
// allowance would crop them.
constexpr QSize kDialogFrameAllowance{6, 26};

}  // namespace

void ToolDialog::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // The factory's buttons are no default buttons, so Enter on a focused one arrives here.
        if (auto* button = qobject_cast<QPushButton*>(focusWidget()); button && button->isEnabled())
            button->click();
        break;
    default:
        QDialog::keyPressEvent(event);
    }
}

void applyDialogFrame(QDialog& dialog, std::string_view title, int outerWidth, int outerHeight)
{
    dialog.setWindowTitle(displayText(title));
    dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    dialog.setFixedSize(QSize(outerWidth, outerHeight) - kDialogFrameAllowance);
    applyButtonFaceBackground(dialog);
}

int runModalDialog(QDialog& dialog, QWidget& owner)
{
    if (dialog.parentWidget() != &owner)
        dialog.setParent(&owner, dialog.windowFlags());
    dialog.setWindowModality(Qt::WindowModal);
    const OwnerContentsDisabled disabled(owner);
    return dialog.exec();
}

}  // namespace shell::qt
