#include "shell/command_frame.hpp"
#include "shell/command_line.hpp"
#include "shell/command_line_shell.hpp"
#include "shell/path_text.hpp"

#include <gtest/gtest.h>

#include <sstream>

TEST(CommandLine, NumbersAreDecimalOrHexWithPrefix)
{
    EXPECT_EQ(shell::parseNumber("42"), 42u);
    EXPECT_EQ(shell::parseNumber("0x2A"), 42u);
    EXPECT_EQ(shell::parseNumber("0X2a"), 42u);
    for (const char* bad : {"", "0x", "2A", "-1", "42 ", "4294967296", "0x1g"})
        EXPECT_FALSE(shell::parseNumber(bad)) << bad;
}

TEST(CommandLineShell, PrintsCaptionAndTextAndAnswersQuestionsYes)
{
    std::ostringstream errors;
    shell::CommandLineShell shell(errors);
    shell.message("拡張情報が読み込まれてません\r\n拡張情報を読み込んで下さい", std::nullopt,
                  shell::Buttons::Ok, shell::Icon::None);
    shell.fileFailure(std::filesystem::path(u8"フォルダ/a.gba"));
    shell.detail("スプライト: 必要 5, 空き 3");
    EXPECT_EQ(shell.message("終了します", std::string("確認"), shell::Buttons::YesNo,
                            shell::Icon::None),
              shell::Answer::Yes);
    EXPECT_EQ(errors.str(),
              "拡張情報が読み込まれてません\n拡張情報を読み込んで下さい\n"
              "ファイルオープンに失敗: フォルダ/a.gba\n"
              "スプライト: 必要 5, 空き 3\n"
              "確認: 終了します\n");
    EXPECT_EQ(shell.message("q", std::nullopt, shell::Buttons::OkCancel, shell::Icon::None),
              shell::Answer::Ok);
}

TEST(CommandLine, OutputsNamingOneFileOrAnInputAreFound)
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path();
    const std::filesystem::path rom = folder / "rom.gba";
    const shell::NamedPath inputs[] = {{"ROM", rom}};
    const shell::NamedPath apart[] = {{"-o", folder / "out.gba"}, {"--save-ext-info", folder / "out.ExtInfo"}};
    EXPECT_FALSE(shell::outputCollision(apart, inputs));
    // The same file under another spelling of its path.
    const shell::NamedPath same[] = {{"-o", folder / "x"}, {"--save-ext-info", folder / "sub" / ".." / "x"}};
    EXPECT_EQ(shell::outputCollision(same, inputs),
              "-o and --save-ext-info name the same file: " + shell::pathText(folder / "sub" / ".." / "x"));
    const shell::NamedPath ontoInput[] = {{"--save-ext-info", folder / "." / "rom.gba"}};
    EXPECT_TRUE(shell::outputCollision(ontoInput, inputs));
}


namespace {

struct FrameRun {
    int status;
    std::string out;
    std::string err;
};

// A tool of two commands; "pick" records what its handler was given.
struct FrameTool {
    std::vector<std::uint32_t> picked;
    shell::ToolSpec spec{
        .name = "Tool",
        .windowArguments = "[ROM]",
        .windowDescription = "opens the window",
        .commonOptions = {{"--table", "FILE", "the character table"}},
        .commands = {{.name = "pick",
                      .forms = {"ROM UNIT..."},
                      .minArguments = 2,
                      .maxArguments = shell::CommandSpec::kAnyCount,
                      .options = {{"-o", "OUT", "where to write", true},
                                  {"--off", "POS", "clears a position", false, true},
                                  {"--all", "", "everything"}},
                      .description = "picks units",
                      .run = [this](shell::CommandCall& call) {
                          for (std::size_t i = 1; i < call.arguments().size(); ++i)
                              picked.push_back(call.number(call.argument(i), "UNIT"));
                          return shell::kExitDone;
                      }},
                     {.name = "list", .forms = {"ROM"}, .minArguments = 1, .maxArguments = 1, .options = {},
                      .description = "lists", .run = [](shell::CommandCall&) { return shell::kExitFailed; }}},
        .notes = "UNIT is a number.\n"};

    FrameRun run(std::vector<std::string> words)
    {
        std::ostringstream out;
        std::ostringstream err;
        const int status = shell::runCommandLine(spec, words, out, err);
        return {status, out.str(), err.str()};
    }
};

TEST(CommandFrame, HelpAndVersionAnswerOnStdoutAndRunNothing)
{
    FrameTool tool;
    for (const auto& words : std::vector<std::vector<std::string>>{{"--help"}, {"-h"}, {"help"}}) {
        const FrameRun run = tool.run(words);
        EXPECT_EQ(run.status, 0);
        EXPECT_NE(run.out.find("Tool pick   picks units\n"), std::string::npos) << run.out;
        EXPECT_NE(run.out.find("--table FILE  the character table"), std::string::npos) << run.out;
    }
    const FrameRun commandHelp = tool.run({"pick", "--bogus", "-h"});
    EXPECT_EQ(commandHelp.status, 0);
    EXPECT_EQ(commandHelp.out.rfind("usage: Tool pick ROM UNIT... -o OUT [--off POS]... [--all]\n", 0), 0u)
        << commandHelp.out;
    EXPECT_EQ(tool.run({"help", "list"}).out.rfind("usage: Tool list ROM\n", 0), 0u);
    EXPECT_EQ(tool.run({"--version"}).out, "Tool " + std::string(shell::suiteVersion()) + "\n");
    EXPECT_TRUE(tool.picked.empty());
}

TEST(CommandFrame, NumbersAndOptionsAreCheckedBeforeTheHandlerRuns)
{
    FrameTool tool;
    const FrameRun done = tool.run({"pick", "rom", "42", "--off", "1", "0x2A", "-o", "x", "--off", "2"});
    EXPECT_EQ(done.status, 0) << done.err;
    EXPECT_EQ(tool.picked, (std::vector<std::uint32_t>{42, 42}));

    const std::vector<std::pair<std::vector<std::string>, std::string>> refused{
        {{"pick", "rom", "1F", "-o", "x"}, "Tool: UNIT must be a number, decimal (42) or hexadecimal with 0x (0x2A), not \"1F\"\n"},
        {{"pick", "rom", "-o", "x"}, "Tool: wrong number of arguments\n"},
        {{"pick", "rom", "1"}, "Tool: pick needs -o OUT\n"},
        {{"pick", "rom", "1", "-o", "x", "-o", "y"}, "Tool: -o is given twice\n"},
        {{"pick", "rom", "1", "-o"}, "Tool: -o needs OUT\n"},
        {{"pick", "rom", "1", "-o", "x", "--bogus"}, "Tool: pick does not take --bogus\n"},
        {{"bogus"}, "Tool: unknown command bogus\n"},
        {{"--bogus"}, "Tool: unknown option --bogus\n"},
    };
    for (const auto& [words, problem] : refused) {
        const FrameRun run = tool.run(words);
        EXPECT_EQ(run.status, 2) << words.front();
        EXPECT_EQ(run.err.rfind(problem, 0), 0u) << run.err;
        EXPECT_NE(run.err.find("usage: "), std::string::npos);
        EXPECT_EQ(run.out, "");
    }
    EXPECT_EQ(tool.picked.size(), 2u);
    EXPECT_EQ(tool.run({"list", "rom"}).status, 1);
}

TEST(CommandFrame, OnlyTheWindowsOwnArgumentsOpenTheWindow)
{
    const FrameTool tool;
    using Words = std::vector<std::string>;
    EXPECT_FALSE(shell::isCommandLineRun(tool.spec, Words{}));
    EXPECT_FALSE(shell::isCommandLineRun(tool.spec, Words{"rom.gba"}));
    for (const Words& words : {Words{"list"}, Words{"help"}, Words{"--version"}, Words{"-h"},
                               Words{"rom.gba", "extra"}})
        EXPECT_TRUE(shell::isCommandLineRun(tool.spec, words)) << words.front();
    shell::ToolSpec noArguments = tool.spec;
    noArguments.windowArguments = "";
    EXPECT_TRUE(shell::isCommandLineRun(noArguments, Words{"rom.gba"}));
}

TEST(CommandFrame, RangesAreShownInTheListsHexadecimal)
{
    EXPECT_EQ(shell::numberRangeMessage("ユニット番号", 0, 149, 3), "ユニット番号は 0x000 から 0x095 までです");
}

}  // namespace
