#include "sprite/window/address_dialog.hpp"

#include "shell/number_text.hpp"
#include "shell/qt/controls.hpp"
#include "shell/qt/modal_dialog.hpp"
#include "shell/qt/qt_text.hpp"
#include "shell/qt/tool_frame.hpp"

#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace sprite {
namespace {

using shell::qt::ControlRect;

constexpr std::string_view kTitle = "16進数をいれてください";
constexpr int kOuterWidth = 156;
constexpr int kOuterHeight = 104;
constexpr int kHexBase = 16;

bool isUpperHexDigit(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

}  // namespace

AddressDialog::AddressDialog(std::uint32_t address, QWidget* owner) : ToolDialog(owner)
{
    shell::qt::applyDialogFrame(*this, kTitle, kOuterWidth, kOuterHeight);
    shell::qt::ControlFactory controls(*this, shell::qt::toolFont(shell::qt::Tool::Vistrel));

    edit_ = &controls.lineEdit(1000, ControlRect{15, 17, 110, 23});
    // The factory's edits are read-only, on the button face; this one is typed into.
    edit_->setReadOnly(false);
    edit_->setPalette(QPalette());
    edit_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    edit_->setMaxLength(kAddressDigits);
    controls.staticText(1008, "h", ControlRect{130, 20, 31, 18});
    QPushButton& ok = controls.pushButton(1001, "OK", ControlRect{20, 53, 101, 21});
    connect(edit_, &QLineEdit::textChanged, this, &AddressDialog::keepHexadecimal);
    connect(edit_, &QLineEdit::returnPressed, this, &QDialog::accept);
    connect(&ok, &QPushButton::clicked, this, &QDialog::accept);

    edit_->setText(shell::qt::displayText(shell::hexText(address)));
    edit_->selectAll();
    edit_->setFocus();
}

std::uint32_t AddressDialog::enteredAddress() const
{
    return edit_->text().toUInt(nullptr, kHexBase);
}

void AddressDialog::keepHexadecimal()
{
    const QString text = edit_->text();
    const QString upper = text.toUpper();
    QString kept = upper;
    if (upper.isEmpty() || !std::all_of(upper.begin(), upper.end(), isUpperHexDigit))
        kept = QStringLiteral("0");
    if (kept == text)
        return;
    const int cursor = edit_->cursorPosition();
    edit_->setText(kept);
    if (kept == upper)
        edit_->setCursorPosition(cursor);
}

std::uint32_t askAddress(QWidget& owner, std::uint32_t address)
{
    AddressDialog dialog(address, &owner);
    if (shell::qt::runModalDialog(dialog, owner) != QDialog::Accepted)
        return 0;
    return dialog.enteredAddress();
}

}  // namespace sprite
