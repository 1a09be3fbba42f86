#pragma once
// The Shell of the tools' windows: message boxes and file dialogs owned by the main window.

#include "shell/shell.hpp"

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <filesystem>
#include <optional>
#include <string_view>

namespace shell::qt {

// The title Windows gives a message box that has no caption of its own.
inline constexpr std::string_view kDefaultMessageCaption = "エラー";

// The filters of a dialog filter text (file_filter.hpp) as Qt's file dialogs take them:
// "description (pattern)", with the Windows pattern separator ';' turned into a blank.
QStringList qtNameFilters(std::string_view filter);

class QtShell final : public Shell {
public:
    // The window that owns the boxes and dialogs; until it is set they have no owner.
    void setOwner(QWidget* owner) { owner_ = owner; }

    Answer message(std::string_view text, const Caption& caption, Buttons buttons,
                   Icon icon) override;
    // The dialog starts with an empty name in the current folder, the first filter selected, and
    // takes only existing files.
    std::optional<std::filesystem::path> askOpenPath(std::string_view filter,
                                                     std::string_view title) override;
    // The dialog offers the path chosen last time for as long as the program runs.
    std::optional<std::filesystem::path> askSavePath(std::string_view filter,
                                                     std::string_view title) override;

private:
    QPointer<QWidget> owner_;
    QString lastSavePath_;
};

}  // namespace shell::qt
