#include "shell/command_line.hpp"

#include <algorithm>
#include <charconv>

namespace shell {

std::optional<std::uint32_t> parseNumber(std::string_view text)
{
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::string withLineFeeds(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        result += text[i];
    }
    return result;
}

bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b)
{
    std::error_code error;
    if (std::filesystem::equivalent(a, b, error) && !error)
        return true;
    const std::filesystem::path realA = std::filesystem::weakly_canonical(std::filesystem::absolute(a, error), error);
    if (error)
        return false;
    const std::filesystem::path realB = std::filesystem::weakly_canonical(std::filesystem::absolute(b, error), error);
    return !error && realA == realB;
}

namespace {

bool isFolderFileName(std::string_view name, std::span<const std::string_view> fixedNames,
                      std::span<const std::string_view> itemStems)
{
    constexpr std::string_view kItemExtension = ".dat";
    if (std::ranges::find(fixedNames, name) != fixedNames.end())
        return true;
    if (!name.ends_with(kItemExtension))
        return false;
    const std::string_view stemAndNumber = name.substr(0, name.size() - kItemExtension.size());
    return std::ranges::any_of(itemStems, [&](std::string_view stem) {
        if (!stemAndNumber.starts_with(stem) || stemAndNumber.size() == stem.size())
            return false;
        return std::ranges::all_of(stemAndNumber.substr(stem.size()),
                                   [](char c) { return c >= '0' && c <= '9'; });
    });
}

}  // namespace

std::vector<NamedPath> folderInputs(std::string_view name, const std::filesystem::path& folder,
                                    std::span<const std::string_view> fixedNames,
                                    std::span<const std::string_view> itemStems)
{
    std::vector<NamedPath> inputs;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder.empty() ? "." : folder, error), end;
         !error && it != end; it.increment(error)) {
        if (isFolderFileName(pathText(it->path().filename()), fixedNames, itemStems))
            inputs.push_back({name, it->path()});
    }
    return inputs;
}

std::optional<std::string> outputCollision(std::span<const NamedPath> outputs,
                                           std::span<const NamedPath> inputs)
{
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            if (sameFile(outputs[i].path, outputs[j].path))
                return std::string(outputs[j].name) + " and " + std::string(outputs[i].name) +
                       " name the same file: " + pathText(outputs[i].path);
        }
        for (const NamedPath& input : inputs) {
            if (sameFile(outputs[i].path, input.path))
                return std::string(outputs[i].name) + " names the input " + std::string(input.name) +
                       ": " + pathText(outputs[i].path);
        }
    }
    return std::nullopt;
}

}  // namespace shell
