#include "shell/qt/modal_dialog.hpp"

#include "shell/qt/qt_text.hpp"
#include "shell/qt/tool_frame.hpp"

#include <QDialog>
#include <QPointer>

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

}  // namespace

void applyDialogFrame(QDialog& dialog, std::string_view title, int outerWidth, int outerHeight)
{
    dialog.setWindowTitle(displayText(title));
    dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    dialog.setFixedSize(clientSizeOf(outerWidth, outerHeight));
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
