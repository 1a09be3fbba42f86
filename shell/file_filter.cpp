#include "shell/file_filter.hpp"

namespace shell {

std::string makeFilter(const std::vector<FilterEntry>& entries)
{
    std::string text;
    for (const FilterEntry& entry : entries) {
        text += entry.description;
        text += '\0';
        text += entry.pattern;
        text += '\0';
    }
    text += '\0';
    return text;
}

std::vector<FilterEntry> filterEntries(std::string_view filter)
{
    std::vector<FilterEntry> entries;
    auto nextField = [&filter]() -> std::optional<std::string_view> {
        const std::size_t end = filter.find('\0');
        if (end == std::string_view::npos || end == 0)
            return std::nullopt;
        std::string_view field = filter.substr(0, end);
        filter.remove_prefix(end + 1);
        return field;
    };
    while (true) {
        const auto description = nextField();
        if (!description)
            break;
        const auto pattern = nextField();
        if (!pattern)
            break;
        entries.push_back({std::string(*description), std::string(*pattern)});
    }
    return entries;
}

}  // namespace shell
