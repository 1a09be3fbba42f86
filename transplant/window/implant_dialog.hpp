#pragma once
// The add-unit dialog: the free unit slots of the open image, the free ID counts, the file set to
// add and its counts, and "追加", which transplants the set into the chosen slot.

#include "shell/qt/modal_dialog.hpp"
#include "shell/shell.hpp"
#include "transplant/keldra_session.hpp"

#include <cstdint>
#include <optional>

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QWidget;

namespace transplant {

// The dialog's window name, by which the main window asks for it.
inline constexpr const char* kImplantDialogName = "ImplantWnd";

class ImplantDialog final : public shell::qt::ToolDialog {
    Q_OBJECT

public:
    // The session's add command must have started (its free IDs found) before the dialog opens.
    ImplantDialog(KeldraSession& session, shell::Shell& shell, QWidget* owner);

    // The slot the unit went into, once "追加" has succeeded.
    std::optional<std::uint16_t> addedSlot() const { return addedSlot_; }

private:
    void createControls();
    void fillFreeSlots();
    void showLoadedSet();
    void loadFileSet();
    void add();
    // The listed free slot that the combo box's text names: a whole line, or a line's ID typed
    // alone ("3", "003"). Nothing when the text names no listed slot.
    std::optional<std::uint16_t> chosenSlot() const;

    KeldraSession& session_;
    shell::Shell& shell_;
    std::optional<std::uint16_t> addedSlot_;
    QComboBox* freeSlots_ = nullptr;       // 1021
    QPlainTextEdit* freeCounts_ = nullptr;  // 1001
    QPlainTextEdit* neededCounts_ = nullptr;  // 1002
    QLabel* loadedName_ = nullptr;         // 1023
};

}  // namespace transplant
