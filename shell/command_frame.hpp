#pragma once
// The frame every tool's command line is built on. A tool describes itself once, as a table of
// commands (name, arguments, options, one line of description, handler); the frame parses the
// words, refuses what the table does not allow, prints usage and help, answers --version, and turns
// a handler's result or a wrong number into the exit status. Handlers only do their command.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <limits>
#include <optional>
#include <ostream>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace shell {

struct OptionSpec {
    std::string_view name;         // "--dir", "-o"
    std::string_view valueName;    // "DIR"; empty for a flag that stands alone
    std::string_view description;  // one line
    bool required = false;
    bool repeatable = false;  // shown as "[--off KIND:POS]..." in the usage
};

class CommandCall;

struct CommandSpec {
    static constexpr std::size_t kAnyCount = std::numeric_limits<std::size_t>::max();

    std::string_view name;
    // The arguments as the usage line shows them ("ROM UNIT..."); one entry per form of the command
    // ("ROM UNIT" and "FOLDER" for a command taking either).
    std::vector<std::string_view> forms;
    std::size_t minArguments = 0;  // after the command's name
    std::size_t maxArguments = 0;  // kAnyCount for no limit
    std::vector<OptionSpec> options;
    std::string_view description;  // one line
    std::function<int(CommandCall&)> run;
};

struct ToolSpec {
    std::string_view name;               // "Keldra"
    std::string_view windowArguments;    // "[ROM]"; empty when the window takes none
    std::string_view windowDescription;  // one line
    std::vector<OptionSpec> commonOptions;  // taken by every command ("--table FILE")
    std::vector<CommandSpec> commands;
    std::string_view notes;  // printed at the end of the help: number forms and the like
};

// A wrong argument found while a command runs: the frame prints "TOOL: PROBLEM" and the command's
// usage on stderr, and exits with the usage status.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One run of one command: its arguments and options as given, the streams, and the readers of
// numbers that every tool takes in the same forms.
class CommandCall {
public:
    CommandCall(std::vector<std::string> arguments,
                std::vector<std::pair<std::string, std::string>> values,
                std::vector<std::string> flags, std::ostream& output, std::ostream& errors);

    std::span<const std::string> arguments() const { return arguments_; }
    const std::string& argument(std::size_t index) const { return arguments_.at(index); }
    // The last value given for `option`, or nothing.
    std::optional<std::string> option(std::string_view option) const;
    std::vector<std::string> options(std::string_view option) const;
    bool flag(std::string_view flag) const;

    // An argument or an option's last value that names a file. The words are UTF-8 on every
    // system; these make the path from them as pathFromUtf8 does.
    std::filesystem::path pathArgument(std::size_t index) const;
    std::optional<std::filesystem::path> pathOption(std::string_view option) const;

    // A number (ID, UNIT, INSTR, NOTE, ...): decimal or hexadecimal with "0x". Throws UsageError
    // naming the accepted forms, with `name` the argument or option it came from.
    std::uint32_t number(std::string_view text, std::string_view name) const;
    std::optional<std::uint32_t> numberOption(std::string_view option) const;
    // A number that must be below `count` (a unit of the list): nothing when it is not, after the
    // refusal on stderr with the range as numberRangeMessage(what, 0, count - 1, digits) says it.
    std::optional<std::uint32_t> numberBelow(std::string_view text, std::string_view name,
                                             std::uint32_t count, std::string_view what,
                                             int digits) const;
    // "UNIT..." or the single word "all": the numbers given, each checked as numberBelow checks
    // it, or `all` set and no numbers. A number given twice, or "all" beside numbers, is wrong
    // usage; nothing when a number was refused.
    struct NumbersOrAll {
        bool all = false;
        std::vector<std::uint32_t> numbers;
    };
    std::optional<NumbersOrAll> numbersOrAll(std::span<const std::string> words,
                                             std::string_view name, std::uint32_t count,
                                             std::string_view what, int digits) const;

    [[noreturn]] void usageError(std::string problem) const;

    std::ostream& out;
    std::ostream& err;

private:
    std::vector<std::string> arguments_;
    std::vector<std::pair<std::string, std::string>> values_;
    std::vector<std::string> flags_;
};

// Runs `words` (everything after the program name) as the tool's command line; the exit status.
int runCommandLine(const ToolSpec& tool, std::span<const std::string> words, std::ostream& out,
                   std::ostream& err);

// True when `words` are for the command line (a command, an option such as --help, or more than
// the window takes) rather than for the window.
bool isCommandLineRun(const ToolSpec& tool, std::span<const std::string> words);

// "ユニット番号は 0x00 から 0x95 までです": a refused number's range, in the hexadecimal the tools'
// lists show, each bound with at least `digits` digits.
std::string numberRangeMessage(std::string_view what, std::uint32_t first, std::uint32_t last,
                               int digits);

// The suite's version, as --version prints it.
std::string_view suiteVersion();

}  // namespace shell
