#pragma once
// The Shell of the command line: messages go to stderr as "CAPTION: TEXT" (or "TEXT" without a
// caption), a file failure names the file, details follow on lines of their own, and questions are
// answered with OK or Yes. The command line passes its paths to the sessions itself, so a dialog is
// never shown: asked for one, it answers as a cancelled dialog would.

#include "shell/shell.hpp"

#include <filesystem>
#include <ostream>

namespace shell {

class CommandLineShell final : public Shell {
public:
    explicit CommandLineShell(std::ostream& errors);

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
};

// "CAPTION: TEXT" or "TEXT", with every CR LF of the text turned into a plain line end.
std::string commandLineMessageText(std::string_view text, const Caption& caption);

}  // namespace shell
