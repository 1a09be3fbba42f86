#include "shell/qt/controls.hpp"

#include "shell/qt/qt_text.hpp"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextDocument>

#include <algorithm>

namespace shell::qt {
namespace {

// A Windows edit control puts a tab stop every 32 dialog units; a dialog unit is a quarter of the
// font's average character width.
constexpr int kTabStopCharacters = 8;

// A Windows edit control draws its text a pixel inside its border; Qt's default margin is four.
constexpr qreal kEditTextMargin = 1;

// Read-only edits of Windows are drawn on the button face, not on the white of editable ones.
void showAsReadOnly(QWidget& edit)
{
    QPalette palette = edit.palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    edit.setPalette(palette);
}

void applyEdge(QPlainTextEdit& box, EditEdge edge)
{
    switch (edge) {
    case EditEdge::Sunken:
        box.setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        break;
    case EditEdge::Static:
        box.setFrameStyle(QFrame::Panel | QFrame::Sunken);
        box.setLineWidth(1);
        break;
    }
}

}  // namespace

ControlFactory::ControlFactory(QWidget& parent, QFont font) : parent_(parent), font_(std::move(font))
{
}

template <class Control>
Control& ControlFactory::place(Control* control, int id, ControlRect rect)
{
    control->setObjectName(QString::number(id));
    control->setFont(font_);
    control->setGeometry(rect.x, rect.y, rect.width, rect.height);
    control->show();
    return *control;
}

QPushButton& ControlFactory::pushButton(int id, std::string_view caption, ControlRect rect)
{
    auto* button = new QPushButton(displayText(caption), &parent_);
    // Inside a dialog Qt would make a button the default, pressed by Enter wherever the focus is.
    button->setAutoDefault(false);
    return place(button, id, rect);
}

QCheckBox& ControlFactory::checkBox(int id, std::string_view caption, ControlRect rect)
{
    return place(new QCheckBox(displayText(caption), &parent_), id, rect);
}

QRadioButton& ControlFactory::radioButton(int id, std::string_view caption, ControlRect rect)
{
    return place(new QRadioButton(displayText(caption), &parent_), id, rect);
}

QGroupBox& ControlFactory::groupBox(int id, std::string_view caption, ControlRect rect)
{
    return place(new QGroupBox(displayText(caption), &parent_), id, rect);
}

QLabel& ControlFactory::staticText(int id, std::string_view text, ControlRect rect)
{
    auto* label = new QLabel(displayText(text), &parent_);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    // A Windows static control paints its whole rectangle, hiding what a control made before it
    // drew there.
    label->setAutoFillBackground(true);
    return place(label, id, rect);
}

QLineEdit& ControlFactory::lineEdit(int id, ControlRect rect)
{
    auto* field = new QLineEdit(&parent_);
    field->setReadOnly(true);
    showAsReadOnly(*field);
    return place(field, id, rect);
}

QPlainTextEdit& ControlFactory::textBox(int id, ControlRect rect, EditEdge edge,
                                        ScrollBar scrollBar)
{
    auto* box = new QPlainTextEdit(&parent_);
    box->setReadOnly(true);
    box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setVerticalScrollBarPolicy(scrollBar == ScrollBar::Vertical ? Qt::ScrollBarAlwaysOn
                                                                     : Qt::ScrollBarAlwaysOff);
    box->setTabStopDistance(kTabStopCharacters * QFontMetrics(font_).averageCharWidth());
    box->document()->setDocumentMargin(kEditTextMargin);
    applyEdge(*box, edge);
    showAsReadOnly(*box);
    return place(box, id, rect);
}

QListWidget& ControlFactory::listBox(int id, ControlRect rect)
{
    auto* list = new QListWidget(&parent_);
    list->setSortingEnabled(false);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // A Windows list box cuts a long line at its edge instead of ending it with an ellipsis.
    list->setTextElideMode(Qt::ElideNone);
    place(list, id, rect);
    // A Windows list box shrinks to a whole number of lines; its top and width stay. The lines
    // hold digits and Japanese, which may come from different faces: the probe has both.
    auto* probe = new QListWidgetItem(QStringLiteral("0: ア"), list);
    const int lineHeight = list->sizeHintForRow(0);
    delete probe;
    const int frame = 2 * list->frameWidth();
    const int lines = std::max(1, (rect.height - frame) / lineHeight);
    list->resize(rect.width, lines * lineHeight + frame);
    return *list;
}

QComboBox& ControlFactory::comboBox(int id, ControlRect rect, ItemOrder order)
{
    auto* combo = new QComboBox(&parent_);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    if (order == ItemOrder::Sorted) {
        // Items land where they sort, whoever adds them; the current item follows its row.
        QObject::connect(combo->model(), &QAbstractItemModel::rowsInserted, combo,
                         [combo] { combo->model()->sort(0); });
    }
    place(combo, id, rect);
    const int fieldHeight = combo->sizeHint().height();
    const int lineHeight = QFontMetrics(font_).height();
    combo->setMaxVisibleItems(std::max(1, (rect.height - fieldHeight) / lineHeight));
    combo->setGeometry(rect.x, rect.y, rect.width, fieldHeight);
    return *combo;
}

void drawTextAtBorder(QPlainTextEdit& box)
{
    box.document()->setDocumentMargin(0);
}

void setControlText(QPlainTextEdit& box, std::string_view utf8)
{
    box.setPlainText(displayText(utf8));
}

void setControlText(QLineEdit& field, std::string_view utf8)
{
    field.setText(displayText(utf8));
}

void onSelectedRow(QListWidget& list, std::function<void(int)> onRow)
{
    QObject::connect(&list, &QListWidget::itemSelectionChanged, &list, [&list, onRow = std::move(onRow)] {
        const QList<QListWidgetItem*> selected = list.selectedItems();
        if (!selected.isEmpty())
            onRow(list.row(selected.front()));
    });
}

void setColumnText(QPlainTextEdit& box, std::string_view utf8)
{
    const QString text = displayText(utf8);
    const QFontMetrics metrics(box.font());
    QList<int> columnWidths;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const QStringList fields = line.split(QLatin1Char('\t'));
        if (fields.size() < 2)
            continue;
        // The field after the last TAB ends the line and needs no stop behind it.
        for (qsizetype column = 0; column + 1 < fields.size(); ++column) {
            const int width = metrics.horizontalAdvance(fields[column]);
            if (column == columnWidths.size())
                columnWidths.append(width);
            else
                columnWidths[column] = std::max(columnWidths[column], width);
        }
    }
    const int gap = metrics.averageCharWidth();
    QList<QTextOption::Tab> stops;
    qreal position = 0;
    for (const int width : columnWidths) {
        position += width + gap;
        stops.append(QTextOption::Tab(position, QTextOption::LeftTab));
    }
    QTextOption option = box.document()->defaultTextOption();
    option.setTabs(stops);
    box.document()->setDefaultTextOption(option);
    box.setPlainText(text);
}

}  // namespace shell::qt
