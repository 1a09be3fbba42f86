#include "shell/command_line_shell.hpp"

#include "shell/command_line.hpp"

namespace shell {

std::string commandLineMessageText(std::string_view text, const Caption& caption)
{
    std::string line;
    if (caption && !caption->empty()) {
        line += *caption;
        line += ": ";
    }
    return line + withLineFeeds(text);
}

CommandLineShell::CommandLineShell(std::ostream& errors) : errors_(errors) {}

Answer CommandLineShell::message(std::string_view text, const Caption& caption, Buttons buttons,
                                 Icon /*icon*/)
{
    errors_ << commandLineMessageText(text, caption) << '\n';
    errors_.flush();
    switch (buttons) {
    case Buttons::Ok:
        return Answer::Ok;
    case Buttons::OkCancel:
        return Answer::Ok;
    case Buttons::YesNo:
        return Answer::Yes;
    }
    return Answer::Ok;
}

std::optional<std::filesystem::path> CommandLineShell::askOpenPath(std::string_view /*filter*/,
                                                                   std::string_view /*title*/)
{
    return std::nullopt;
}

std::optional<std::filesystem::path> CommandLineShell::askSavePath(std::string_view /*filter*/,
                                                                   std::string_view /*title*/)
{
    return std::nullopt;
}

void CommandLineShell::fileFailure(const std::filesystem::path& path)
{
    errors_ << kFileOpenFailed << ": " << pathText(path) << '\n';
    errors_.flush();
}

void CommandLineShell::detail(std::string_view text)
{
    errors_ << withLineFeeds(text) << '\n';
    errors_.flush();
}

}  // namespace shell
