#include "shell/command_line.hpp"

#include <charconv>

namespace shell {

std::optional<std::string> ParsedArguments::value(std::string_view option) const
{
    auto [first, last] = values.equal_range(option);
    if (first == last)
        return std::nullopt;
    return std::prev(last)->second;
}

std::vector<std::string> ParsedArguments::allValues(std::string_view option) const
{
    std::vector<std::string> result;
    auto [first, last] = values.equal_range(option);
    for (auto it = first; it != last; ++it)
        result.push_back(it->second);
    return result;
}

std::expected<ParsedArguments, std::string> parseArguments(std::span<const std::string> arguments,
                                                           const ArgumentSpec& spec)
{
    ParsedArguments parsed;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (spec.valueOptions.contains(argument)) {
            if (i + 1 >= arguments.size())
                return std::unexpected("missing value after " + argument);
            parsed.values.emplace(argument, arguments[++i]);
        } else if (spec.flags.contains(argument)) {
            parsed.flags.insert(argument);
        } else if (argument.size() > 1 && argument[0] == '-') {
            return std::unexpected("unknown option " + argument);
        } else {
            parsed.positionals.push_back(argument);
        }
    }
    return parsed;
}

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

}  // namespace shell
