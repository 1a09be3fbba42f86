#pragma once
// The Shell of the command line: messages go to stderr as "CAPTION: TEXT" (or "TEXT" without a
// caption), a file failure names the file, details follow on lines of their own, questions are
// answered with OK or Yes unless told otherwise, and the paths that a window would ask for come
// from the command's arguments, queued before the command runs.

#include "shell/shell.hpp"

#include <deque>
#include <filesystem>
#include <ostream>

namespace shell {

class CommandLineShell final : public Shell {
public:
    explicit CommandLineShell(std::ostream& errors);

    void queueOpenPath(std::filesystem::path path);
    void queueSavePath(std::filesystem::path path);
    // Questions are answered Cancel/No from now on.
    void declineQuestions();

    Answer message(std::string_view text, const Caption& caption, Buttons buttons,
                   Icon icon) override;
    std::optional<std::filesystem::path> askOpenPath(std::string_view filter,
                                                     std::string_view title) override;
    std::optional<std::filesystem::path> askSavePath(std::string_view filter,
                                                     std::string_view title) override;
    // "ファイルオープンに失敗: PATH".
    void fileFailure(const std::filesystem::path& path) override;
    void detail(std::string_view text) override;

private:
    std::ostream& errors_;
    std::deque<std::filesystem::path> openPaths_;
    std::deque<std::filesystem::path> savePaths_;
    bool declineQuestions_ = false;
};

// "CAPTION: TEXT" or "TEXT", with every CR LF of the text turned into a plain line end.
std::string commandLineMessageText(std::string_view text, const Caption& caption);

}  // namespace shell
