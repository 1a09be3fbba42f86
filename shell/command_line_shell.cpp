#include "shell/command_line_shell.hpp"

#include "shell/command_line.hpp"

namespace shell {
namespace {

std::optional<std::filesystem::path> takeFront(std::deque<std::filesystem::path>& paths)
{
    if (paths.empty())
        return std::nullopt;
    std::filesystem::path path = std::move(paths.front());
    paths.pop_front();
    return path;
}

}  // namespace

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

void CommandLineShell::queueOpenPath(std::filesystem::path path)
{
    openPaths_.push_back(std::move(path));
}

void CommandLineShell::queueSavePath(std::filesystem::path path)
{
    savePaths_.push_back(std::move(path));
}

void CommandLineShell::declineQuestions()
{
    declineQuestions_ = true;
}

Answer CommandLineShell::message(std::string_view text, const Caption& caption, Buttons buttons,
                                 Icon /*icon*/)
{
    errors_ << commandLineMessageText(text, caption) << '\n';
    errors_.flush();
    switch (buttons) {
    case Buttons::Ok:
        return Answer::Ok;
    case Buttons::OkCancel:
        return declineQuestions_ ? Answer::Cancel : Answer::Ok;
    case Buttons::YesNo:
        return declineQuestions_ ? Answer::No : Answer::Yes;
    }
    return Answer::Ok;
}

std::optional<std::filesystem::path> CommandLineShell::askOpenPath(std::string_view /*filter*/,
                                                                   std::string_view /*title*/)
{
    return takeFront(openPaths_);
}

std::optional<std::filesystem::path> CommandLineShell::askSavePath(std::string_view /*filter*/,
                                                                   std::string_view /*title*/)
{
    return takeFront(savePaths_);
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
