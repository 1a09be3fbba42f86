#include "shell/files.hpp"

#include "tests/doubles/scripted_shell.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;
using testing_doubles::ScriptedShell;

class FilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::temp_directory_path() /
                 ("files_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    static void expectOneFileFailure(const ScriptedShell& shell)
    {
        ASSERT_EQ(shell.messages.size(), 1u);
        EXPECT_EQ(shell.messages[0].text, "ファイルオープンに失敗");
        EXPECT_EQ(shell.messages[0].caption, std::string());
        EXPECT_EQ(shell.messages[0].icon, shell::Icon::Warning);
    }

    fs::path folder;
};

TEST_F(FilesTest, WrittenBytesReadBackAndEmptyFilesAreFine)
{
    ScriptedShell shell;
    const shell::Bytes bytes{0, 1, 2, 0xFF};
    ASSERT_TRUE(shell::writeWholeFile(shell, folder / "a.bin", bytes));
    EXPECT_EQ(shell::readWholeFile(shell, folder / "a.bin"), bytes);

    ASSERT_TRUE(shell::writeWholeFile(shell, folder / "empty.bin", {}));
    const auto empty = shell::readWholeFile(shell, folder / "empty.bin");
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->empty());
    EXPECT_TRUE(shell.messages.empty());
}

TEST_F(FilesTest, ImageSizedFilesRoundTrip)
{
    ScriptedShell shell;
    shell::Bytes image(3 << 20);
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<std::uint8_t>(i * 7 + (i >> 12));
    ASSERT_TRUE(shell::writeWholeFile(shell, folder / "image.gba", image));
    EXPECT_EQ(shell::readWholeFile(shell, folder / "image.gba"), image);
}

TEST_F(FilesTest, ReadingAMissingFileOrAFolderShowsTheFailureOnce)
{
    ScriptedShell missing;
    EXPECT_FALSE(shell::readWholeFile(missing, folder / "none.bin"));
    expectOneFileFailure(missing);

    ScriptedShell directory;
    EXPECT_FALSE(shell::readWholeFile(directory, folder));
    expectOneFileFailure(directory);
}

TEST_F(FilesTest, AFailedWriteLeavesTheOldFileAndNoTemporary)
{
    ScriptedShell shell;
    const shell::Bytes old{1, 2, 3};
    ASSERT_TRUE(shell::writeWholeFile(shell, folder / "keep.bin", old));
    // A path whose folder does not exist cannot be written.
    EXPECT_FALSE(shell::writeWholeFile(shell, folder / "no" / "keep.bin", shell::Bytes{9}));
    expectOneFileFailure(shell);
    // Replacing a folder with a file fails after the temporary was written; it is cleaned up.
    fs::create_directories(folder / "dir.bin" / "inside");
    ScriptedShell second;
    EXPECT_FALSE(shell::writeWholeFile(second, folder / "dir.bin", shell::Bytes{9}));
    expectOneFileFailure(second);

    EXPECT_EQ(shell::readWholeFile(shell, folder / "keep.bin"), old);
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder))
        ++entries;
    EXPECT_EQ(entries, 2u);  // keep.bin and dir.bin
}

TEST_F(FilesTest, DialogsUseTheirTitlesAndCancelSilently)
{
    ScriptedShell shell;
    using namespace std::string_literals;
    const std::string filter = "GBAファイル\0*.gba\0\0"s;
    EXPECT_FALSE(shell::openAndReadFile(shell, filter));
    EXPECT_FALSE(shell::saveWithDialog(shell, filter, shell::Bytes{1}));
    EXPECT_TRUE(shell.messages.empty());
    EXPECT_EQ(shell.openDialogTitles, std::vector<std::string>{"ファイルを開く"});
    EXPECT_EQ(shell.saveDialogTitles, std::vector<std::string>{"ファイルの保存"});

    shell.savePaths.push_back(folder / "saved.bin");
    ASSERT_TRUE(shell::saveWithDialog(shell, filter, shell::Bytes{7, 8}));
    shell.openPaths.push_back(folder / "saved.bin");
    const auto opened = shell::openAndReadFile(shell, filter);
    ASSERT_TRUE(opened);
    EXPECT_EQ(opened->path, folder / "saved.bin");
    EXPECT_EQ(opened->bytes, (shell::Bytes{7, 8}));
}

}  // namespace
