#include "shell/command_frame.hpp"

#include "shell/command_line.hpp"
#include "shell/number_text.hpp"

#include <algorithm>

namespace shell {
namespace {

constexpr std::string_view kHelpWord = "help";
constexpr std::string_view kHelpOption = "--help";
constexpr std::string_view kShortHelpOption = "-h";
constexpr std::string_view kVersionOption = "--version";
constexpr std::string_view kAllWord = "all";
constexpr std::string_view kNumberForms = "decimal (42) or hexadecimal with 0x (0x2A)";
// Help columns: descriptions start after the widest name, but never further than this.
constexpr std::size_t kWidestNameColumn = 30;

using OptionValues = std::vector<std::pair<std::string, std::string>>;

bool contains(const std::vector<std::string>& words, std::string_view word)
{
    return std::ranges::find(words, word) != words.end();
}

bool contains(const OptionValues& values, std::string_view option)
{
    return std::ranges::find(values, option, &OptionValues::value_type::first) != values.end();
}

bool isHelp(std::string_view word)
{
    return word == kHelpOption || word == kShortHelpOption;
}

const CommandSpec* findCommand(const ToolSpec& tool, std::string_view name)
{
    const auto found = std::ranges::find(tool.commands, name, &CommandSpec::name);
    return found == tool.commands.end() ? nullptr : &*found;
}

const OptionSpec* findOption(std::span<const OptionSpec> options, std::string_view name)
{
    const auto found = std::ranges::find(options, name, &OptionSpec::name);
    return found == options.end() ? nullptr : &*found;
}

std::string optionText(const OptionSpec& option)
{
    std::string text(option.name);
    if (!option.valueName.empty()) {
        text += ' ';
        text += option.valueName;
    }
    return text;
}

// True when `form` already shows `option` ("--rom ROM --sprite HEX" shows --rom).
bool formShows(std::string_view form, std::string_view option)
{
    for (std::size_t at = form.find(option); at != std::string_view::npos;
         at = form.find(option, at + 1)) {
        const std::size_t end = at + option.size();
        const bool startsWord = at == 0 || form[at - 1] == ' ' || form[at - 1] == '[';
        const bool endsWord = end == form.size() || form[end] == ' ' || form[end] == ']';
        if (startsWord && endsWord)
            return true;
    }
    return false;
}

// "extract ROM UNIT... [--dir DIR] [--off KIND:POS]... [--bulk-off]", once per form. An option
// that a form shows belongs to the forms that show it; the others do not get it appended.
std::vector<std::string> synopses(const CommandSpec& command)
{
    const auto shownByAForm = [&command](std::string_view option) {
        return std::ranges::any_of(command.forms,
                                   [option](std::string_view form) { return formShows(form, option); });
    };
    const auto synopsis = [&](std::string_view form) {
        std::string line(command.name);
        if (!form.empty()) {
            line += ' ';
            line += form;
        }
        for (const OptionSpec& option : command.options) {
            if (shownByAForm(option.name))
                continue;
            line += option.required ? " " : " [";
            line += optionText(option);
            line += option.required ? "" : "]";
            if (option.repeatable)
                line += "...";
        }
        return line;
    };
    std::vector<std::string> lines;
    for (std::string_view form : command.forms)
        lines.push_back(synopsis(form));
    if (command.forms.empty())
        lines.push_back(synopsis(""));
    return lines;
}

// Two columns: each name, then its description lined up with the others.
void printColumns(std::ostream& out, const std::vector<std::pair<std::string, std::string_view>>& rows)
{
    std::size_t width = 0;
    for (const auto& [name, description] : rows)
        width = std::max(width, std::min(name.size(), kWidestNameColumn));
    for (const auto& [name, description] : rows) {
        out << "  " << name;
        if (name.size() > width)
            out << "\n  " << std::string(width, ' ');
        else
            out << std::string(width - name.size(), ' ');
        out << "  " << description << '\n';
    }
}

void printOptions(std::ostream& out, std::string_view heading, std::span<const OptionSpec> options)
{
    if (options.empty())
        return;
    out << heading << '\n';
    std::vector<std::pair<std::string, std::string_view>> rows;
    for (const OptionSpec& option : options)
        rows.emplace_back(optionText(option), option.description);
    printColumns(out, rows);
}

void printToolUsage(std::ostream& out, const ToolSpec& tool)
{
    const std::string indent(std::string("usage: ").size(), ' ');
    out << "usage: " << tool.name;
    if (!tool.windowArguments.empty())
        out << ' ' << tool.windowArguments;
    out << '\n';
    for (const CommandSpec& command : tool.commands) {
        for (const std::string& synopsis : synopses(command))
            out << indent << tool.name << ' ' << synopsis << '\n';
    }
    out << indent << tool.name << " --help | --version | COMMAND --help\n";
}

void printToolHelp(std::ostream& out, const ToolSpec& tool)
{
    printToolUsage(out, tool);
    out << '\n';
    std::vector<std::pair<std::string, std::string_view>> rows;
    std::string window(tool.name);
    if (!tool.windowArguments.empty()) {
        window += ' ';
        window += tool.windowArguments;
    }
    rows.emplace_back(window, tool.windowDescription);
    for (const CommandSpec& command : tool.commands)
        rows.emplace_back(std::string(tool.name) + " " + std::string(command.name),
                          command.description);
    printColumns(out, rows);
    out << '\n';
    printOptions(out, "Options of every command:", tool.commonOptions);
    if (!tool.commonOptions.empty())
        out << '\n';
    if (!tool.notes.empty())
        out << tool.notes << '\n';
    out << "Run \"" << tool.name << " COMMAND --help\" for the options of one command.\n";
}

void printCommandUsage(std::ostream& out, const ToolSpec& tool, const CommandSpec& command)
{
    std::string_view lead = "usage: ";
    for (const std::string& synopsis : synopses(command)) {
        out << lead << tool.name << ' ' << synopsis << '\n';
        lead = "       ";
    }
}

void printCommandHelp(std::ostream& out, const ToolSpec& tool, const CommandSpec& command)
{
    printCommandUsage(out, tool, command);
    out << '\n' << command.description << '\n';
    if (!command.options.empty())
        out << '\n';
    printOptions(out, "Options:", command.options);
    if (!tool.commonOptions.empty())
        out << '\n';
    printOptions(out, "Options of every command:", tool.commonOptions);
    if (!tool.notes.empty())
        out << '\n' << tool.notes;
}

int usageFailure(std::ostream& err, const ToolSpec& tool, const CommandSpec* command,
                 std::string_view problem)
{
    err << tool.name << ": " << problem << '\n';
    if (command) {
        printCommandUsage(err, tool, *command);
        err << "Run \"" << tool.name << ' ' << command->name << " --help\" for more.\n";
    } else {
        printToolUsage(err, tool);
    }
    return kExitUsage;
}

// Parses the words after the command's name into a call, or throws UsageError.
CommandCall parseCall(const ToolSpec& tool, const CommandSpec& command,
                      std::span<const std::string> words, std::ostream& out, std::ostream& err)
{
    std::vector<std::string> arguments;
    std::vector<std::pair<std::string, std::string>> values;
    std::vector<std::string> flags;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        const OptionSpec* option = findOption(command.options, word);
        if (!option)
            option = findOption(tool.commonOptions, word);
        if (!option) {
            if (word.size() > 1 && word.front() == '-')
                throw UsageError(std::string(command.name) + " does not take " + word);
            arguments.push_back(word);
            continue;
        }
        const bool given = contains(flags, word) || contains(values, word);
        if (given && !option->repeatable)
            throw UsageError(word + " is given twice");
        if (option->valueName.empty()) {
            flags.push_back(word);
            continue;
        }
        if (i + 1 >= words.size())
            throw UsageError(word + " needs " + std::string(option->valueName));
        values.emplace_back(word, words[++i]);
    }
    if (arguments.size() < command.minArguments || arguments.size() > command.maxArguments)
        throw UsageError("wrong number of arguments");
    for (const OptionSpec& option : command.options) {
        if (option.required &&
            !contains(values, option.name))
            throw UsageError(std::string(command.name) + " needs " + optionText(option));
    }
    return CommandCall(std::move(arguments), std::move(values), std::move(flags), out, err);
}

int runCommand(const ToolSpec& tool, const CommandSpec& command, std::span<const std::string> words,
               std::ostream& out, std::ostream& err)
{
    if (std::ranges::any_of(words, isHelp)) {
        printCommandHelp(out, tool, command);
        return kExitDone;
    }
    try {
        CommandCall call = parseCall(tool, command, words, out, err);
        return command.run(call);
    } catch (const UsageError& error) {
        return usageFailure(err, tool, &command, error.what());
    }
}

}  // namespace

CommandCall::CommandCall(std::vector<std::string> arguments,
                         std::vector<std::pair<std::string, std::string>> values,
                         std::vector<std::string> flags, std::ostream& output,
                         std::ostream& errors)
    : out(output), err(errors), arguments_(std::move(arguments)), values_(std::move(values)),
      flags_(std::move(flags))
{
}

std::optional<std::string> CommandCall::option(std::string_view option) const
{
    std::optional<std::string> value;
    for (const auto& [name, text] : values_) {
        if (name == option)
            value = text;
    }
    return value;
}

std::filesystem::path CommandCall::pathArgument(std::size_t index) const
{
    return pathFromUtf8(argument(index));
}

std::optional<std::filesystem::path> CommandCall::pathOption(std::string_view option) const
{
    const std::optional<std::string> value = this->option(option);
    if (!value)
        return std::nullopt;
    return pathFromUtf8(*value);
}

std::vector<std::string> CommandCall::options(std::string_view option) const
{
    std::vector<std::string> given;
    for (const auto& [name, text] : values_) {
        if (name == option)
            given.push_back(text);
    }
    return given;
}

bool CommandCall::flag(std::string_view flag) const
{
    return contains(flags_, flag);
}

std::uint32_t CommandCall::number(std::string_view text, std::string_view name) const
{
    const std::optional<std::uint32_t> value = parseNumber(text);
    if (!value)
        usageError(std::string(name) + " must be a number, " + std::string(kNumberForms) + ", not \"" +
                   std::string(text) + "\"");
    return *value;
}

std::optional<std::uint32_t> CommandCall::numberOption(std::string_view option) const
{
    const std::optional<std::string> text = this->option(option);
    if (!text)
        return std::nullopt;
    return number(*text, option);
}

std::optional<std::uint32_t> CommandCall::numberBelow(std::string_view text, std::string_view name,
                                                      std::uint32_t count, std::string_view what,
                                                      int digits) const
{
    const std::uint32_t value = number(text, name);
    if (value < count)
        return value;
    err << numberRangeMessage(what, 0, count - 1, digits) << '\n';
    return std::nullopt;
}

std::optional<CommandCall::NumbersOrAll> CommandCall::numbersOrAll(std::span<const std::string> words,
                                                                   std::string_view name,
                                                                   std::uint32_t count,
                                                                   std::string_view what,
                                                                   int digits) const
{
    NumbersOrAll chosen;
    if (std::ranges::find(words, kAllWord) != words.end()) {
        if (words.size() > 1)
            usageError("\"all\" stands for every " + std::string(name) + " and takes no other");
        chosen.all = true;
        return chosen;
    }
    for (const std::string& word : words) {
        const std::optional<std::uint32_t> value = numberBelow(word, name, count, what, digits);
        if (!value)
            return std::nullopt;
        if (std::ranges::find(chosen.numbers, *value) != chosen.numbers.end())
            usageError(std::string(name) + " " + word + " is given twice");
        chosen.numbers.push_back(*value);
    }
    return chosen;
}

void CommandCall::usageError(std::string problem) const
{
    throw UsageError(std::move(problem));
}

int runCommandLine(const ToolSpec& tool, std::span<const std::string> words, std::ostream& out,
                   std::ostream& err)
{
    if (words.empty())
        return usageFailure(err, tool, nullptr, "no command");
    const std::string& first = words.front();
    if (isHelp(first) || first == kHelpWord) {
        if (words.size() > 1) {
            if (const CommandSpec* command = findCommand(tool, words[1])) {
                printCommandHelp(out, tool, *command);
                return kExitDone;
            }
        }
        printToolHelp(out, tool);
        return kExitDone;
    }
    if (first == kVersionOption) {
        out << tool.name << ' ' << suiteVersion() << '\n';
        return kExitDone;
    }
    if (const CommandSpec* command = findCommand(tool, first))
        return runCommand(tool, *command, words.subspan(1), out, err);
    if (first.size() > 1 && first.front() == '-')
        return usageFailure(err, tool, nullptr, "unknown option " + first);
    return usageFailure(err, tool, nullptr, "unknown command " + first);
}

bool isCommandLineRun(const ToolSpec& tool, std::span<const std::string> words)
{
    if (words.empty())
        return false;
    const bool windowTakesOne = !tool.windowArguments.empty();
    const bool optionLike = words.front().size() > 1 && words.front().front() == '-';
    return findCommand(tool, words.front()) || words.front() == kHelpWord || optionLike ||
           words.size() > 1 || !windowTakesOne;
}

std::string numberRangeMessage(std::string_view what, std::uint32_t first, std::uint32_t last,
                               int digits)
{
    return std::string(what) + "は 0x" + paddedHexText(first, digits) + " から 0x" +
           paddedHexText(last, digits) + " までです";
}

std::string_view suiteVersion()
{
    return SUITE_VERSION;
}

}  // namespace shell
