// The session behind the window and the command line: loading with the game check, selection,
// and playing through the play file, with a scripted shell and a recording sound output.

#include "sound/sonnary_session.hpp"
#include "sound/wave.hpp"
#include "tests/doubles/scratch_folder.hpp"
#include "tests/doubles/scripted_shell.hpp"
#include "tests/sound/fake_sound_output.hpp"
#include "tests/sound/sound_rom_builder.hpp"

#include <gtest/gtest.h>


namespace {

using namespace sound_testing;
using sound::LoadOutcome;
using sound::PlayOutcome;
using testing_doubles::ScriptedShell;

class SonnarySessionTest : public ::testing::Test {
protected:
    std::filesystem::path romFile(const Bytes& image, const char* name = "game.gba")
    {
        writeFile(folder_ / name, image);
        return folder_ / name;
    }
    std::filesystem::path playFile() const { return folder_ / "PlaySound.wav"; }

    LoadOutcome load(const std::filesystem::path& path) { return session_.loadRom(path); }

    // A fresh folder per test, for the ROM files and the play file.
    testing_doubles::ScratchFolder scratch_;
    const std::filesystem::path folder_ = scratch_.path();
    ScriptedShell shell_;
    FakeSoundOutput output_;
    sound::SonnarySession session_{shell_, output_, folder_ / "PlaySound.wav"};
};

// Plays from the demo image, loaded before each test.
class SonnaryPlayTest : public SonnarySessionTest {
protected:
    void SetUp() override { ASSERT_EQ(load(romFile(demo.image)), LoadOutcome::Recognised); }

    DemoSound demo = makeDemoSound();
    sound::SonnarySession* session = &session_;
};

TEST_F(SonnarySessionTest, LoadRecognisesTheGameAndShowsItsField)
{
    EXPECT_FALSE(session_.hasImage());
    EXPECT_EQ(load(romFile(makeDemoSound("VQ8T").image)), LoadOutcome::Recognised);
    EXPECT_TRUE(session_.gameRecognised());
    EXPECT_EQ(session_.gameFieldText(), "VQ8T TALMOR");
    EXPECT_EQ(session_.instrumentLines(sound::ListLimit::To7F).at(0xB), "B\tドラムセット[80h]");
    EXPECT_TRUE(shell_.messages.empty());
}

TEST_F(SonnarySessionTest, UnrecognisedImageIsHeldButReadsNoInstruments)
{
    ASSERT_EQ(load(romFile(makeDemoSound().image)), LoadOutcome::Recognised);
    ASSERT_TRUE(session_.selectInstrument(0));

    EXPECT_EQ(load(romFile(SoundRomBuilder("", kTalmirTable).take(), "zero.gba")),
              LoadOutcome::Unrecognised);
    ASSERT_EQ(shell_.messages.size(), 1u);
    EXPECT_EQ(shell_.messages[0].text, "該当するROMではありません");
    EXPECT_EQ(shell_.messages[0].caption, std::nullopt);
    EXPECT_EQ(shell_.messages[0].buttons, shell::Buttons::Ok);

    EXPECT_TRUE(session_.hasImage());
    EXPECT_FALSE(session_.gameRecognised());
    EXPECT_EQ(session_.gameFieldText(), "");
    EXPECT_TRUE(session_.instrumentLines(sound::ListLimit::To7F).empty());
    EXPECT_FALSE(session_.selectInstrument(0));
    EXPECT_EQ(session_.noteRecordDump(0), "");
    EXPECT_EQ(session_.play(0, 0), PlayOutcome::NothingToPlay);
    EXPECT_TRUE(output_.played.empty());
}

TEST_F(SonnarySessionTest, UnreadableFileKeepsTheHeldImage)
{
    ASSERT_EQ(load(romFile(makeDemoSound().image)), LoadOutcome::Recognised);
    ASSERT_TRUE(session_.selectInstrument(9));

    EXPECT_EQ(load(folder_ / "missing.gba"), LoadOutcome::Kept);
    ASSERT_EQ(shell_.texts(), std::vector<std::string>{"ファイルオープンに失敗"});
    EXPECT_EQ(shell_.messages[0].caption, std::string());
    EXPECT_EQ(shell_.messages[0].icon, shell::Icon::Warning);

    EXPECT_TRUE(session_.gameRecognised());
    EXPECT_EQ(session_.selectedInstrument(), 9u);
    EXPECT_FALSE(session_.noteRecordDump(0).empty());
}

TEST_F(SonnaryPlayTest, PlayWritesTheWaveToThePlayFileAndStartsIt)
{
    ASSERT_TRUE(session->selectInstrument(9));
    EXPECT_EQ(session->play(9, 6), PlayOutcome::Started);
    const Bytes written = readFile(playFile());
    ASSERT_EQ(written.size(), 44 + kSampleBLength);
    ASSERT_EQ(output_.played.size(), 1u);
    EXPECT_EQ(output_.played[0], written);
    EXPECT_EQ(written[24] | written[25] << 8, static_cast<int>(kSampleBRate));

    // The next play replaces the file.
    EXPECT_EQ(session->play(9, 0), PlayOutcome::Started);
    EXPECT_EQ(readFile(playFile()).size(), 48u);
    EXPECT_TRUE(shell_.messages.empty());
}

TEST_F(SonnaryPlayTest, NoteLinesApplyOnlyToTheSelectedInstrument)
{
    ASSERT_TRUE(session->selectInstrument(0));
    // Drum set 0xB was not selected: it has no note list to take line 0 from.
    EXPECT_EQ(session->play(0xB, 0), PlayOutcome::NothingToPlay);
    // A plain instrument needs no note line.
    EXPECT_EQ(session->play(5, std::nullopt), PlayOutcome::Started);
    ASSERT_TRUE(session->selectInstrument(0xB));
    EXPECT_EQ(session->play(0xB, 0), PlayOutcome::Started);
    EXPECT_EQ(session->play(0xB, std::nullopt), PlayOutcome::NothingToPlay);
    EXPECT_EQ(output_.played.size(), 2u);
}

TEST_F(SonnaryPlayTest, RecordsWithoutSampleAreSilentAndBrokenSamplesSaySo)
{
    ASSERT_TRUE(session->selectInstrument(0xB));
    EXPECT_EQ(session->play(0xB, 1), PlayOutcome::NothingToPlay);
    ASSERT_TRUE(session->selectInstrument(0xA));
    EXPECT_EQ(session->play(0xA, 0), PlayOutcome::NothingToPlay);
    EXPECT_TRUE(shell_.messages.empty());
    EXPECT_FALSE(std::filesystem::exists(playFile()));

    ASSERT_TRUE(session->selectInstrument(0xC));
    EXPECT_EQ(session->play(0xC, 0), PlayOutcome::Refused);
    EXPECT_EQ(shell_.texts(), std::vector<std::string>{std::string(sound::kSampleOutsideImage)});
    EXPECT_FALSE(std::filesystem::exists(playFile()));
    EXPECT_TRUE(output_.played.empty());
}

TEST_F(SonnaryPlayTest, MissingDeviceOrUnwritableFileIsReportedAndTheSessionGoesOn)
{
    output_.answer = sound::PlayStart::NoDevice;
    EXPECT_EQ(session->play(0, std::nullopt), PlayOutcome::Refused);
    EXPECT_EQ(shell_.texts(), std::vector<std::string>{std::string(sound::kCannotPlay)});

    output_.answer = sound::PlayStart::Started;
    EXPECT_EQ(session->play(0, std::nullopt), PlayOutcome::Started);

    sound::SonnarySession blocked(shell_, output_, folder_ / "no" / "such" / "PlaySound.wav");
    ASSERT_EQ(blocked.loadRom(romFile(demo.image)), LoadOutcome::Recognised);
    EXPECT_EQ(blocked.play(0, std::nullopt), PlayOutcome::Refused);
    EXPECT_EQ(shell_.texts().back(), "ファイルオープンに失敗");
    EXPECT_EQ(output_.played.size(), 1u);
}

}  // namespace
