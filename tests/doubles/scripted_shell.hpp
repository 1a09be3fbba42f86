#pragma once
// A Shell for tests: it records every message and answers every question from a script, so a test
// can say "this showed ファイルオープンに失敗 once and asked nothing else".

#include "shell/shell.hpp"

#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace testing_doubles {

struct ShownMessage {
    std::string text;
    shell::Caption caption;
    shell::Buttons buttons;
    shell::Icon icon;
};

class ScriptedShell final : public shell::Shell {
public:
    // Answers for questions (OK/Cancel, Yes/No), taken in order; without one the answer is OK or
    // Yes. Paths for the dialogs, taken in order; without one the dialog is cancelled.
    std::deque<shell::Answer> answers;
    std::deque<std::optional<std::filesystem::path>> openPaths;
    std::deque<std::optional<std::filesystem::path>> savePaths;

    std::vector<ShownMessage> messages;
    std::vector<std::string> openDialogTitles;
    std::vector<std::string> saveDialogTitles;
    std::vector<std::string> dialogFilters;
    // The files of every file failure, and every detail for the command line, in order.
    std::vector<std::filesystem::path> failedFiles;
    std::vector<std::string> details;

    shell::Answer message(std::string_view text, const shell::Caption& caption,
                          shell::Buttons buttons, shell::Icon icon) override;
    std::optional<std::filesystem::path> askOpenPath(std::string_view filter,
                                                     std::string_view title) override;
    std::optional<std::filesystem::path> askSavePath(std::string_view filter,
                                                     std::string_view title) override;
    // Recorded, then shown as the windows show it.
    void fileFailure(const std::filesystem::path& path) override;
    void detail(std::string_view text) override;

    // The texts of all messages shown so far.
    std::vector<std::string> texts() const;
};

}  // namespace testing_doubles
