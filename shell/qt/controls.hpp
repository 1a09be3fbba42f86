#pragma once
// Controls made as the tools' windows make them: at client coordinates of their parent, with the
// numeric control ID as object name ("1000"), and the tool's shared font. Each maker returns the
// control, owned by the parent, for the caller to connect.

#include <QFont>

#include <functional>
#include <string_view>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace shell::qt {

struct ControlRect {
    int x;
    int y;
    int width;
    int height;
};

// The border of a multi-line edit: the deep client edge, or the thin static edge.
enum class EditEdge { Sunken, Static };

enum class ScrollBar { None, Vertical };

enum class ItemOrder { AsAdded, Sorted };

class ControlFactory {
public:
    ControlFactory(QWidget& parent, QFont font);

    // Never a default button: in a ToolDialog, Enter presses it only when it has the focus.
    QPushButton& pushButton(int id, std::string_view caption, ControlRect rect);
    // Toggles itself when clicked.
    QCheckBox& checkBox(int id, std::string_view caption, ControlRect rect);
    // Radio buttons of one parent exclude each other.
    QRadioButton& radioButton(int id, std::string_view caption, ControlRect rect);
    // A frame with a caption drawn behind the controls made after it; it does not hold them.
    QGroupBox& groupBox(int id, std::string_view caption, ControlRect rect);
    // Opaque: it hides whatever lies under its rectangle.
    QLabel& staticText(int id, std::string_view text, ControlRect rect);
    // Read-only, sunken, one line.
    QLineEdit& lineEdit(int id, ControlRect rect);
    // Read-only, multi-line, word-wrapped, with tab stops every eight average character widths
    // (the 32 dialog units of a Windows edit control).
    QPlainTextEdit& textBox(int id, ControlRect rect, EditEdge edge, ScrollBar scrollBar);
    // One selectable line at a time, kept in the order added, so line i is the i-th added. The
    // box is cut to the height of its last whole line.
    QListWidget& listBox(int id, ControlRect rect);
    // A drop-down list with an edit field that takes no typed items. `rect.height` is that of the
    // opened list, as in Windows; the closed box is as tall as its edit field.
    QComboBox& comboBox(int id, ControlRect rect, ItemOrder order);

private:
    template <class Control>
    Control& place(Control* control, int id, ControlRect rect);

    QWidget& parent_;
    QFont font_;
};

// Lets a box whose layout holds an exact number of lines draw its text right at its border. The
// layouts count 12-pixel lines, as the Windows face has; the Japanese faces found on other systems
// take 13 at the same size, and the last line fits only without the pixel of margin inside the
// border.
void drawTextAtBorder(QPlainTextEdit& box);

// Sets a control's text from a UTF-8 text with Windows line ends.
void setControlText(QPlainTextEdit& box, std::string_view utf8);
void setControlText(QLineEdit& field, std::string_view utf8);

// Sets a text whose lines are TAB-separated fields and puts the box's tab stops where the fields
// line up in columns: each column as wide as its widest field and a gap. The default stops of a
// Windows edit assume the narrow digits of the Windows face; with other faces they would push
// fields past the box's edge. Lines without a TAB (a heading) take no part.
void setColumnText(QPlainTextEdit& box, std::string_view utf8);

// Calls `onRow` with the row of the line the user selects in `list`. Only a selection counts: the
// list moves its current row to the first line when it merely gets the focus, and that selects
// nothing.
void onSelectedRow(QListWidget& list, std::function<void(int)> onRow);

}  // namespace shell::qt
