#include "shell/qt/qt_shell.hpp"

#include "shell/file_filter.hpp"
#include "shell/qt/qt_text.hpp"

#include <QFileDialog>
#include <QMessageBox>

namespace shell::qt {
namespace {

QMessageBox::Icon boxIcon(Icon icon)
{
    switch (icon) {
    case Icon::None:
        return QMessageBox::NoIcon;
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::Warning:
        return QMessageBox::Warning;
    case Icon::Error:
        return QMessageBox::Critical;
    case Icon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

// The buttons and the one a plain Enter presses: the first, as in Windows.
struct BoxButtons {
    QMessageBox::StandardButtons all;
    QMessageBox::StandardButton first;
};

BoxButtons boxButtons(Buttons buttons)
{
    switch (buttons) {
    case Buttons::Ok:
        return {QMessageBox::Ok, QMessageBox::Ok};
    case Buttons::OkCancel:
        return {QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok};
    case Buttons::YesNo:
        return {QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes};
    }
    return {QMessageBox::Ok, QMessageBox::Ok};
}

Answer answerOf(int pressed)
{
    switch (pressed) {
    case QMessageBox::Cancel:
        return Answer::Cancel;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Ok;
    }
}

// The window system titles a window whose title is empty with the program's name; a lone blank
// keeps the title bar as empty as a Windows box with an empty caption.
constexpr std::string_view kBlankTitle = " ";

QString boxTitle(const Caption& caption)
{
    if (!caption)
        return displayText(kDefaultMessageCaption);
    return displayText(caption->empty() ? kBlankTitle : *caption);
}

// `initialFile` is set after the filter, which would otherwise change its extension.
std::optional<std::filesystem::path> runFileDialog(QFileDialog& dialog, std::string_view filter,
                                                   const QString& initialFile = QString())
{
    const QStringList filters = qtNameFilters(filter);
    // The list shows each description alone, as the filter text gives it; Qt would repeat the
    // pattern after it.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(filters);
    if (!filters.isEmpty())
        dialog.selectNameFilter(filters.front());
    if (!initialFile.isEmpty())
        dialog.selectFile(initialFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return toPath(dialog.selectedFiles().front());
}

}  // namespace

QStringList qtNameFilters(std::string_view filter)
{
    QStringList filters;
    for (const FilterEntry& entry : filterEntries(filter)) {
        QString pattern = displayText(entry.pattern);
        pattern.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters.append(displayText(entry.description) + QStringLiteral(" (") + pattern +
                       QLatin1Char(')'));
    }
    return filters;
}

Answer QtShell::message(std::string_view text, const Caption& caption, Buttons buttons, Icon icon)
{
    const BoxButtons shown = boxButtons(buttons);
    QMessageBox box(boxIcon(icon), boxTitle(caption), displayText(text), shown.all, owner_);
    box.setDefaultButton(shown.first);
    return answerOf(box.exec());
}

std::optional<std::filesystem::path> QtShell::askOpenPath(std::string_view filter,
                                                          std::string_view title)
{
    QFileDialog dialog(owner_, displayText(title));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return runFileDialog(dialog, filter);
}

std::optional<std::filesystem::path> QtShell::askSavePath(std::string_view filter,
                                                          std::string_view title)
{
    QFileDialog dialog(owner_, displayText(title));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    std::optional<std::filesystem::path> chosen = runFileDialog(dialog, filter, lastSavePath_);
    if (chosen)
        lastSavePath_ = pathText(*chosen);
    return chosen;
}

}  // namespace shell::qt
