#pragma once
// The tools' modal windows: a dialog runs its own event loop while its owner's contents are
// disabled, and hands back its result.

#include <QDialog>

#include <string_view>

class QKeyEvent;
class QWidget;

namespace shell::qt {

// The base of the tools' dialogs. Like the Windows dialogs they mirror, they have no default
// button and no Escape: Enter presses only a push button that has the focus, and Escape does
// nothing. A dialog ends only through its own buttons (or by being closed by the program).
class ToolDialog : public QDialog {
    Q_OBJECT

public:
    explicit ToolDialog(QWidget* owner) : QDialog(owner) {}

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// Title, fixed size (an outer Windows size, as the main windows have) and the dialog frame: a
// title bar only, with no system menu or close box.
void applyDialogFrame(QDialog& dialog, std::string_view title, int outerWidth, int outerHeight);

// Shows `dialog` modal to `owner` and runs it until it ends. While it runs, every child of the
// owner that is not a window of its own (the central widget, the menu bar) is disabled; the ones
// this disabled are enabled again however the dialog ends. Returns the dialog's result.
int runModalDialog(QDialog& dialog, QWidget& owner);

}  // namespace shell::qt
