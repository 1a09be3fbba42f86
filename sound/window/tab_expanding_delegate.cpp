#include "sound/window/tab_expanding_delegate.hpp"

namespace sound {
namespace {

constexpr qsizetype kTabStopCharacters = 3;

}  // namespace

QString expandTabs(const QString& text)
{
    QString expanded;
    expanded.reserve(text.size() + kTabStopCharacters);
    for (const QChar character : text) {
        if (character != QLatin1Char('\t')) {
            expanded.append(character);
            continue;
        }
        const qsizetype blanks = kTabStopCharacters - expanded.size() % kTabStopCharacters;
        expanded.append(QString(blanks, QLatin1Char(' ')));
    }
    return expanded;
}

QString TabExpandingDelegate::displayText(const QVariant& value, const QLocale& locale) const
{
    return expandTabs(QStyledItemDelegate::displayText(value, locale));
}

}  // namespace sound
