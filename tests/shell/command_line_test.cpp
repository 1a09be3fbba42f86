#include "shell/command_line.hpp"
#include "shell/command_line_shell.hpp"

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

TEST(CommandLine, OptionsTakeValuesAnywhereAndUnknownOnesAreRefused)
{
    const shell::ArgumentSpec spec{{"-o", "--off"}, {"--all"}};
    const std::vector<std::string> words{"add", "--off", "Sprite:1", "rom.gba", "--all",
                                         "--off", "UnitCutin:0", "-o", "out.gba"};
    const auto parsed = shell::parseArguments(words, spec);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->positionals, (std::vector<std::string>{"add", "rom.gba"}));
    EXPECT_EQ(parsed->value("-o"), "out.gba");
    EXPECT_EQ(parsed->allValues("--off"), (std::vector<std::string>{"Sprite:1", "UnitCutin:0"}));
    EXPECT_TRUE(parsed->has("--all"));

    const std::vector<std::string> unknown{"add", "--bogus"};
    EXPECT_FALSE(shell::parseArguments(unknown, spec));
    const std::vector<std::string> missing{"add", "-o"};
    EXPECT_FALSE(shell::parseArguments(missing, spec));
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

    shell.declineQuestions();
    EXPECT_EQ(shell.message("q", std::nullopt, shell::Buttons::OkCancel, shell::Icon::None),
              shell::Answer::Cancel);
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
              "-o and --save-ext-info name the same file: " + (folder / "sub" / ".." / "x").string());
    const shell::NamedPath ontoInput[] = {{"--save-ext-info", folder / "." / "rom.gba"}};
    EXPECT_TRUE(shell::outputCollision(ontoInput, inputs));
}

TEST(CommandLineShell, DialogsTakeQueuedPathsThenCancel)
{
    std::ostringstream errors;
    shell::CommandLineShell shell(errors);
    shell.queueOpenPath("a.gba");
    EXPECT_EQ(shell.askOpenPath("", ""), std::filesystem::path("a.gba"));
    EXPECT_FALSE(shell.askOpenPath("", ""));
    EXPECT_FALSE(shell.askSavePath("", ""));
}
