#include "tests/doubles/scripted_shell.hpp"

namespace testing_doubles {
namespace {

template <class T>
std::optional<T> takeFront(std::deque<T>& queue)
{
    if (queue.empty())
        return std::nullopt;
    T value = std::move(queue.front());
    queue.pop_front();
    return value;
}

}  // namespace

shell::Answer ScriptedShell::message(std::string_view text, const shell::Caption& caption,
                                     shell::Buttons buttons, shell::Icon icon)
{
    messages.push_back({std::string(text), caption, buttons, icon});
    if (buttons == shell::Buttons::Ok)
        return shell::Answer::Ok;
    const std::optional<shell::Answer> answer = takeFront(answers);
    if (answer)
        return *answer;
    return buttons == shell::Buttons::YesNo ? shell::Answer::Yes : shell::Answer::Ok;
}

std::optional<std::filesystem::path> ScriptedShell::askOpenPath(std::string_view filter,
                                                                std::string_view title)
{
    openDialogTitles.emplace_back(title);
    dialogFilters.emplace_back(filter);
    return takeFront(openPaths).value_or(std::nullopt);
}

std::optional<std::filesystem::path> ScriptedShell::askSavePath(std::string_view filter,
                                                                std::string_view title)
{
    saveDialogTitles.emplace_back(title);
    dialogFilters.emplace_back(filter);
    return takeFront(savePaths).value_or(std::nullopt);
}

void ScriptedShell::fileFailure(const std::filesystem::path& path)
{
    failedFiles.push_back(path);
    Shell::fileFailure(path);
}

void ScriptedShell::detail(std::string_view text)
{
    details.emplace_back(text);
}

std::vector<std::string> ScriptedShell::texts() const
{
    std::vector<std::string> result;
    for (const ShownMessage& shown : messages)
        result.push_back(shown.text);
    return result;
}

}  // namespace testing_doubles
