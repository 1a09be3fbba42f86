#include "shell/files.hpp"
#include "shell/folder_names.hpp"

#include "tests/doubles/scripted_shell.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

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

// Every reading runs both ways files come into memory: copied, and mapped as a command line maps.
class FileReadingTest : public FilesTest, public ::testing::WithParamInterface<shell::FileReading> {
protected:
    void SetUp() override
    {
        FilesTest::SetUp();
        shell::setFileReading(GetParam());
    }
    void TearDown() override
    {
        shell::setFileReading(shell::FileReading::Copy);
        FilesTest::TearDown();
    }
};

INSTANTIATE_TEST_SUITE_P(BothWays, FileReadingTest,
                         ::testing::Values(shell::FileReading::Copy, shell::FileReading::Mapped));

TEST_P(FileReadingTest, ImageSizedFilesRoundTripAndGrowInTheirRoomWithoutTouchingTheFile)
{
    ScriptedShell shell;
    shell::Bytes image((3 << 20) + 5);
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<std::uint8_t>(i * 7 + (i >> 12));
    ASSERT_TRUE(shell::writeWholeFile(shell, folder / "image.gba", image));
    std::optional<shell::Bytes> read = shell::readWholeFile(shell, folder / "image.gba", 4 << 20);
    ASSERT_TRUE(read);
    EXPECT_EQ(*read, image);
    const std::uint8_t* start = read->data();
    read->front() ^= 0xFF;
    read->insert(read->end(), 1000, std::uint8_t{0xAB});
    EXPECT_EQ(read->data(), start);
    EXPECT_EQ(read->at(image.size()), 0xAB);
    EXPECT_EQ(shell::readWholeFile(shell, folder / "image.gba"), image);
    EXPECT_TRUE(shell.messages.empty());
}

TEST_P(FileReadingTest, ReadingAMissingFileOrAFolderShowsTheFailureOnce)
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

TEST_F(FilesTest, NamesOfEveryLegalLengthAreWritten)
{
    // The temporary file beside the target must fit a name even when the target's name is as long
    // as a name may be, in bytes of multi-byte characters too.
    ScriptedShell shell;
    const std::string ascii(255, 'a');
    std::string japanese;
    while (japanese.size() + 3 <= 254)
        japanese += "ア";
    japanese += "b";
    for (const std::string& name : {ascii, japanese}) {
        const fs::path path = folder / fs::path(std::u8string(name.begin(), name.end()));
        ASSERT_TRUE(shell::writeWholeFile(shell, path, shell::Bytes{1, 2}));
        const shell::Bytes again{3};
        const shell::FileToWrite files[] = {{path, again}};
        ASSERT_TRUE(shell::writeWholeFiles(shell, files));
        EXPECT_EQ(shell::readWholeFile(shell, path), again);
    }
    EXPECT_TRUE(shell.messages.empty());
}

TEST_F(FilesTest, AFolderOfFilesIsWrittenWholeOrLeavesNothingNew)
{
    ScriptedShell shell;
    const fs::path set = folder / "new" / "set";
    const shell::Bytes bytes{5};
    std::vector<shell::FolderFile> files{{"a.dat", bytes}, {"b.dat", bytes}};
    ASSERT_TRUE(shell::writeFolderFiles(shell, set, files));
    EXPECT_EQ(shell::readWholeFile(shell, set / "b.dat"), bytes);

    // A file of the set that cannot be placed: the files already there stay as they were, a user's
    // own file in the folder too, and the failure names the file.
    ASSERT_TRUE(shell::writeWholeFile(shell, set / "mine.txt", shell::Bytes{7}));
    fs::create_directory(set / "c.dat");
    const shell::Bytes newer{8};
    files.push_back({"c.dat", newer});
    files[0].bytes = newer;
    EXPECT_FALSE(shell::writeFolderFiles(shell, set, files));
    EXPECT_EQ(shell.failedFiles, std::vector<fs::path>{set / "c.dat"});
    EXPECT_EQ(shell::readWholeFile(shell, set / "a.dat"), bytes);
    EXPECT_EQ(shell::readWholeFile(shell, set / "mine.txt"), shell::Bytes{7});

    // A set that fails in a folder made for it leaves no folder behind.
    ScriptedShell fresh;
    const fs::path other = folder / "other" / "deeper";
    const shell::FolderFile blocked[] = {{"a.dat", bytes}, {"missing/c.dat", bytes}};
    EXPECT_FALSE(shell::writeFolderFiles(fresh, other, blocked));
    EXPECT_FALSE(fs::exists(folder / "other"));
    expectOneFileFailure(fresh);
}

TEST(FolderNames, ItemsWrittenTogetherNeverShareAFolder)
{
    // Names are one folder where letter case is ignored; the second item is named as the third's
    // folder would be with its tag.
    const std::vector<std::string> own{"AB", "ab_004", "Ab", "Ab"};
    const std::vector<std::string> tags{"003", "009", "004", "005"};
    EXPECT_EQ(shell::distinctFolderNames(own, tags),
              (std::vector<std::string>{"AB", "ab_004", "Ab_004_2", "Ab_005"}));
}

TEST_F(FilesTest, TheOpenDialogHasItsTitleAndCancelsSilently)
{
    ScriptedShell shell;
    using namespace std::string_literals;
    EXPECT_FALSE(shell::askOpenPath(shell, "GBAファイル\0*.gba\0\0"s));
    EXPECT_TRUE(shell.messages.empty());
    EXPECT_EQ(shell.openDialogTitles, std::vector<std::string>{"ファイルを開く"});
}

}  // namespace
