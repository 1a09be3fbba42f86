// Sonnary's command line: outputs, exit statuses and the files it writes.

#include "shell/command_line.hpp"
#include "shell/path_text.hpp"
#include "sound/sonnary_cli.hpp"
#include "sound/sonnary_session.hpp"
#include "sound/wave.hpp"
#include "tests/doubles/scratch_folder.hpp"
#include "tests/sound/fake_sound_output.hpp"
#include "tests/sound/sound_rom_builder.hpp"

#include <gtest/gtest.h>


#include <algorithm>
#include <sstream>

namespace {

using namespace sound_testing;

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

class SonnaryCliTest : public ::testing::Test {
protected:
    SonnaryCliTest() { writeFile(rom(), demo_.image); }

    std::string rom() const { return (folder_ / "demo.gba").string(); }

    Outcome run(std::vector<std::string> arguments)
    {
        std::ostringstream out;
        std::ostringstream err;
        const int status = sound::runSonnaryCommand(arguments, out, err, output_);
        return {status, out.str(), err.str()};
    }

    static std::vector<std::string> lines(const std::string& text)
    {
        std::vector<std::string> result;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);)
            result.push_back(line);
        return result;
    }

    testing_doubles::ScratchFolder scratch_;
    const std::filesystem::path folder_ = scratch_.path();
    DemoSound demo_ = makeDemoSound();
    FakeSoundOutput output_;
};

TEST_F(SonnaryCliTest, InstrumentsPrintsGameFieldThenTheList)
{
    const Outcome limited = run({"instruments", rom()});
    EXPECT_EQ(limited.status, shell::kExitDone);
    const std::vector<std::string> text = lines(limited.out);
    ASSERT_EQ(text.size(), 129u);
    EXPECT_EQ(text[0], "KX4M TALMIR");
    EXPECT_EQ(text[1], "0\tメロディ楽器(PCM)[00h]");
    EXPECT_EQ(text[128], "7F\tパルス波Ch1[01h]");

    const Outcome all = run({"instruments", rom(), "--all"});
    EXPECT_EQ(lines(all.out).size(), 1u + 0x81);
    EXPECT_EQ(lines(all.out).back(), "80\tパルス波Ch2[02h]");
}

TEST_F(SonnaryCliTest, NotesPrintsTheNoteList)
{
    const Outcome notes = run({"notes", rom(), "0x9"});
    EXPECT_EQ(notes.status, shell::kExitDone);
    ASSERT_EQ(lines(notes.out).size(), 7u);
    EXPECT_EQ(lines(notes.out)[1], "01       同上");
    EXPECT_EQ(run({"notes", rom(), "10"}).out, "エラー\n");
    EXPECT_EQ(run({"notes", rom(), "0"}).out, "ノート番号の影響を受けません\n");
    // Line 80 exists only in the unlimited list, but it is a line of it.
    EXPECT_EQ(run({"notes", rom(), "0x80"}).status, shell::kExitDone);
    // The list prints "1F": that is 0x1F, or 31.
    EXPECT_EQ(run({"notes", rom(), "0x1F"}).out, run({"notes", rom(), "31"}).out);

    const Outcome beyond = run({"notes", rom(), "0x81"});
    EXPECT_EQ(beyond.status, shell::kExitFailed);
    EXPECT_EQ(beyond.err, "楽器番号は 0x0 から 0x80 までです\n");
}

TEST_F(SonnaryCliTest, WavWritesWhatPlayingWouldWrite)
{
    const std::filesystem::path target = folder_ / "drum.wav";
    const Outcome wav = run({"wav", rom(), "0xB", "0", "-o", target.string()});
    EXPECT_EQ(wav.status, shell::kExitDone) << wav.err;
    const Bytes written = readFile(target);
    ASSERT_EQ(written.size(), 44 + kSampleBLength);
    EXPECT_EQ(written[44], 0x80);  // sample byte 0 is 0
    EXPECT_EQ(written[45], 0x79);  // sample byte 1 is 7

    // NOTE defaults to line 0.
    const std::filesystem::path plain = folder_ / "plain.wav";
    EXPECT_EQ(run({"wav", rom(), "0", "-o", plain.string()}).status, shell::kExitDone);
    const Bytes plainWave = readFile(plain);
    EXPECT_EQ(Bytes(plainWave.begin() + 44, plainWave.end()), (Bytes{0x80, 0x7F, 0x81, 0x00}));
}

TEST_F(SonnaryCliTest, WavRefusesRecordsWithoutSampleAndWritesNothing)
{
    const std::filesystem::path target = folder_ / "none.wav";
    const Outcome pulse = run({"wav", rom(), "1", "-o", target.string()});
    EXPECT_EQ(pulse.status, shell::kExitFailed);
    EXPECT_EQ(pulse.err, "選択したレコードにはサンプルがありません\n");

    EXPECT_EQ(run({"wav", rom(), "0xA", "-o", target.string()}).status, shell::kExitFailed);
    EXPECT_EQ(run({"wav", rom(), "0xB", "1", "-o", target.string()}).status, shell::kExitFailed);

    const Outcome broken = run({"wav", rom(), "0xC", "-o", target.string()});
    EXPECT_EQ(broken.status, shell::kExitFailed);
    EXPECT_EQ(broken.err, std::string(sound::kSampleOutsideImage) + "\n");

    const Outcome noLine = run({"wav", rom(), "9", "7", "-o", target.string()});
    EXPECT_EQ(noLine.status, shell::kExitFailed);
    EXPECT_EQ(noLine.err, "ノート番号は 0x00 から 0x06 までです\n");
    EXPECT_FALSE(std::filesystem::exists(target));

    // The image itself is no place for the WAV file.
    const Outcome ontoRom = run({"wav", rom(), "0", "-o", rom()});
    EXPECT_EQ(ontoRom.status, shell::kExitUsage);
    EXPECT_NE(ontoRom.err.find("-o names the input ROM"), std::string::npos) << ontoRom.err;
    EXPECT_EQ(readFile(rom()), demo_.image);
}

TEST_F(SonnaryCliTest, PlayWaitsForTheEndAndReportsAMissingDevice)
{
    const Outcome played = run({"play", rom(), "9", "6"});
    EXPECT_EQ(played.status, shell::kExitDone) << played.err;
    ASSERT_EQ(output_.played.size(), 1u);
    EXPECT_EQ(output_.played[0].size(), 44 + kSampleBLength);
    EXPECT_EQ(output_.waits, 1);

    EXPECT_EQ(run({"play", rom(), "1"}).status, shell::kExitFailed);

    output_.answer = sound::PlayStart::NoDevice;
    const Outcome silent = run({"play", rom(), "0"});
    EXPECT_EQ(silent.status, shell::kExitFailed);
    EXPECT_EQ(silent.err, std::string(sound::kCannotPlay) + "\n");
}

TEST_F(SonnaryCliTest, RefusalsAndWrongUsage)
{
    writeFile(folder_ / "other.gba", SoundRomBuilder("AAAA", kTalmirTable, 0x200).take());
    const Outcome other = run({"instruments", (folder_ / "other.gba").string()});
    EXPECT_EQ(other.status, shell::kExitFailed);
    EXPECT_EQ(other.err, "該当するROMではありません\n");
    EXPECT_EQ(other.out, "");

    const Outcome missing = run({"instruments", (folder_ / "missing.gba").string()});
    EXPECT_EQ(missing.status, shell::kExitFailed);
    EXPECT_EQ(missing.err, "ファイルオープンに失敗: " + shell::pathText(folder_ / "missing.gba") + "\n");

    EXPECT_EQ(run({"notes", rom()}).status, shell::kExitUsage);
    EXPECT_EQ(run({"wav", rom(), "0"}).status, shell::kExitUsage);  // no -o
    EXPECT_EQ(run({"play", rom(), "0", "0", "0"}).status, shell::kExitUsage);
    EXPECT_EQ(run({"bogus", rom()}).status, shell::kExitUsage);
    EXPECT_EQ(run({"notes", rom(), "--all"}).status, shell::kExitUsage);

    // Numbers as the lists print them ("1F") are not numbers of the command line: the message
    // names the forms it takes.
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {"notes", rom(), "1F"}, {"notes", rom(), "x1"}, {"wav", rom(), "9", "0x", "-o", "n.wav"},
             {"play", rom(), "1.5"}}) {
        const Outcome wrong = run(arguments);
        EXPECT_EQ(wrong.status, shell::kExitUsage) << arguments[2];
        EXPECT_NE(wrong.err.find("decimal (42) or hexadecimal with 0x (0x2A)"), std::string::npos) << wrong.err;
    }
    EXPECT_TRUE(output_.played.empty());
}

TEST_F(SonnaryCliTest, HelpDescribesEveryCommand)
{
    const Outcome help = run({"--help"});
    EXPECT_EQ(help.status, shell::kExitDone);
    for (const char* line : {"prints the game field text, then the instrument list", "Sonnary export ROM DIR [--all]"})
        EXPECT_NE(help.out.find(line), std::string::npos) << help.out;
    const Outcome wav = run({"wav", "--help"});
    EXPECT_EQ(wav.status, shell::kExitDone);
    EXPECT_NE(wav.out.find("-o OUT.wav  the WAV file to write"), std::string::npos) << wav.out;
}

TEST_F(SonnaryCliTest, ExportWritesEachPlayableSampleOnce)
{
    const std::filesystem::path out = folder_ / "samples";
    const Outcome exported = run({"export", rom(), out.string()});
    EXPECT_EQ(exported.status, shell::kExitDone) << exported.err;
    // Sample A through instrument 0, sample B through instrument 5; every other path leads to
    // one of them again, and instrument C's sample runs past the image.
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(out))
        names.push_back(entry.path().filename().string());
    std::ranges::sort(names);
    EXPECT_EQ(names, (std::vector<std::string>{"inst00.wav", "inst05.wav"}));
    EXPECT_EQ(readFile(out / "inst05.wav").size(), 44 + kSampleBLength);
    EXPECT_EQ(lines(exported.out).size(), 3u);
    EXPECT_TRUE(lines(exported.out)[0].starts_with("[1/3] inst00.wav")) << exported.out;
    EXPECT_NE(exported.err.find("inst0C.wav"), std::string::npos) << exported.err;
}

TEST_F(SonnaryCliTest, ExportWritesTheWholeSetOrNothing)
{
    // A folder where the second file belongs: the first is not left behind, and nothing claims
    // success.
    const std::filesystem::path out = folder_ / "blocked";
    std::filesystem::create_directories(out / "inst05.wav");
    const Outcome blocked = run({"export", rom(), out.string()});
    EXPECT_EQ(blocked.status, shell::kExitFailed);
    EXPECT_EQ(blocked.out, "");
    EXPECT_NE(blocked.err.find("ファイルオープンに失敗: " + shell::pathText(out / "inst05.wav")), std::string::npos)
        << blocked.err;
    EXPECT_FALSE(std::filesystem::exists(out / "inst00.wav"));

    // An image inside the folder under a sample's name would be replaced: refused first.
    const std::filesystem::path beside = folder_ / "beside";
    std::filesystem::create_directories(beside);
    std::filesystem::copy_file(rom(), beside / "inst00.wav");
    const Outcome ontoRom = run({"export", (beside / "inst00.wav").string(), beside.string()});
    EXPECT_EQ(ontoRom.status, shell::kExitUsage);
    EXPECT_EQ(readFile(beside / "inst00.wav"), demo_.image);
    EXPECT_FALSE(std::filesystem::exists(beside / "inst05.wav"));
}

}  // namespace
