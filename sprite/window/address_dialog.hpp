#pragma once
// The viewer's address dialog "16進数をいれてください": an upper-case hexadecimal edit that turns
// any other text into "0", returning its value on Enter or "OK" and 0 when closed otherwise.

#include "shell/qt/modal_dialog.hpp"

#include <cstdint>

class QLineEdit;

namespace sprite {

// The edit takes at most eight digits, a 32-bit address, and every character is tested, so the
// text always reads as a whole hexadecimal number.
inline constexpr int kAddressDigits = 8;

class AddressDialog final : public shell::qt::ToolDialog {
    Q_OBJECT

public:
    AddressDialog(std::uint32_t address, QWidget* owner);

    // The edit's text as a hexadecimal number.
    std::uint32_t enteredAddress() const;

private:
    void keepHexadecimal();

    QLineEdit* edit_ = nullptr;  // 1000
};

// Runs the dialog modal to `owner` with `address`; the entered address, or 0 when it was closed
// without Enter or "OK".
std::uint32_t askAddress(QWidget& owner, std::uint32_t address);

}  // namespace sprite
