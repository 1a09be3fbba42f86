#pragma once
// The extraction dialog: which items of the selected unit to write. One kind's items show at a
// time as check boxes; the selection flags remember every kind's choice while the user switches
// between kinds, and across openings of the dialog.

#include "rom/unit_resources.hpp"
#include "shell/qt/modal_dialog.hpp"
#include "transplant/extraction.hpp"

#include <string>
#include <vector>

class QCheckBox;
class QPushButton;
class QRadioButton;
class QWidget;

namespace transplant {

// The dialog's window name, by which the main window asks for it.
inline constexpr const char* kExtractDialogName = "ExtractWnd";

class ExtractDialog final : public shell::qt::ToolDialog {
    Q_OBJECT

public:
    // `target` is the unit to extract and `targetLine` its "XXX: name" text. When `target` is
    // valid every item of every kind starts selected; otherwise "保存" stays disabled. `flags`
    // receives the choice; it must outlive the dialog.
    ExtractDialog(const rom::UnitResourceSet& target, const std::string& targetLine,
                  SelectionFlags& flags, QWidget* owner);

private:
    void createControls(const std::string& targetLine);
    void showKind(std::size_t kind);
    void storeShownKind();
    void refreshShownKind();
    void save();

    const rom::UnitResourceSet& target_;
    SelectionFlags& flags_;
    std::size_t shownKind_ = 0;
    QWidget* items_ = nullptr;  // holds the item check boxes; scrolls inside the group
    std::vector<QCheckBox*> itemBoxes_;
    std::vector<QRadioButton*> kindButtons_;
    QPushButton* saveButton_ = nullptr;
};

}  // namespace transplant
