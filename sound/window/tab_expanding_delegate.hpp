#pragma once
// Draws list lines whose fields are TAB-separated with the TAB expanded to blanks up to the next
// stop of three characters (the widest number of a limited list and a blank), so that in the
// tool's fixed-pitch font the type names line up behind the numbers. The items keep their text,
// TAB included.

#include <QStyledItemDelegate>

namespace sound {

class TabExpandingDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QString displayText(const QVariant& value, const QLocale& locale) const override;
};

// `text` with every TAB replaced by the blanks that reach the next multiple of three characters.
QString expandTabs(const QString& text);

}  // namespace sound
