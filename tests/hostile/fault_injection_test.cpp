// Every writer of the suite against a failing disk: a full disk (a file size limit), a folder
// that vanished, a parent that is a regular file and a target that is a folder. Each must say so,
// exit 1, leave every file that was there byte for byte as it was, and leave no temporary file.
// Commands with two outputs (Tessivo's sprite and palette, Keldra's image and .ExtInfo) write both
// or neither.

#include "editor/morvane_session.hpp"
#include "shell/files.hpp"
#include "shell/path_text.hpp"
#include "sprite/bitmap.hpp"
#include "rom/lz77.hpp"
#include "sprite/tessivo_session.hpp"
#include "tests/doubles/scratch_folder.hpp"
#include "tests/doubles/scripted_shell.hpp"
#include "tests/editor/editor_test_support.hpp"
#include "tests/hostile/hostile_support.hpp"
#include "tests/sound/sound_rom_builder.hpp"
#include "tests/sprite/sprite_test_files.hpp"
#include "transplant/keldra_session.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <functional>
#include <memory>

namespace {

namespace fs = std::filesystem;
using namespace hostile;

constexpr std::string_view kFileFailure = "ファイルオープンに失敗";
#ifndef _WIN32
// Smaller than every file the writers below produce, larger than nothing.
constexpr rlim_t kFullDiskLimit = 16;
// Lets the small files of a folder through and stops the large ones.
constexpr rlim_t kNearlyFullDiskLimit = 100;
#endif

// The input files every writer reads, made once per test program.
struct Inputs {
    testing_doubles::ScratchFolder folder;
    std::string rom;
    std::string table;
    std::string unitFolder;  // a Morvane unit folder saved from the scene
    std::string sprite;
    std::string bitmap;
    std::string soundRom;

    Inputs()
    {
        rom = folder.write("scene.gba", editor_test::sceneImage()).string();
        table = folder.write("string.txt", editor_test::characterTableText()).string();
        const CommandRun saved =
            runMorvane({"save", rom, "0x2A", "--dir", folder.path("folders").string(), "--table", table});
        if (saved.status != 0)
            throw std::runtime_error("the unit folder could not be saved: " + saved.err);
        unitFolder = (folder.path("folders") / shell::pathFromUtf8("アイ")).string();
        sprite = folder.write("sprite.dat", rom::lz77EncodeLiterals(shell::Bytes(0x400, 0x12), 0x400)).string();
        const sprite_test::ByteVector bmp = sprite_test::bitmapFile({});
        bitmap = folder.write("in.bmp", shell::Bytes(bmp.begin(), bmp.end())).string();
        soundRom = folder.write("sound.gba", sound_testing::makeDemoSound().image).string();
    }
};

const Inputs& inputs()
{
    static const Inputs made;
    return made;
}

// A command that writes one or two files; `targets` are their paths, in the command's order.
struct Writer {
    std::string name;
    std::size_t outputs;
    std::function<CommandRun(const std::vector<fs::path>& targets)> run;
};

std::vector<Writer> writers()
{
    const Inputs& in = inputs();
    return {
        {"Keldra delete -o", 1,
         [&](const auto& t) { return runKeldra({"delete", in.rom, "0x2A", "-o", t[0].string(), "--table", in.table}); }},
        {"Keldra extend -o --save-ext-info", 2,
         [&](const auto& t) {
             return runKeldra({"extend", in.rom, "-o", t[0].string(), "--save-ext-info", t[1].string(),
                               "--table", in.table});
         }},
        {"Morvane port -o", 1,
         [&](const auto& t) {
             return runMorvane({"port", in.rom, "0x2A", in.unitFolder, "-o", t[0].string(), "--table", in.table});
         }},
        {"Vistrel render -o", 1, [&](const auto& t) { return runVistrel({"render", in.sprite, "-o", t[0].string()}); }},
        {"Tessivo convert --sprite", 1,
         [&](const auto& t) { return runTessivo({"convert", in.bitmap, "--sprite", t[0].string()}); }},
        {"Tessivo convert --palette", 1,
         [&](const auto& t) { return runTessivo({"convert", in.bitmap, "--palette", t[0].string()}); }},
        {"Tessivo convert --sprite --palette", 2,
         [&](const auto& t) {
             return runTessivo({"convert", in.bitmap, "--sprite", t[0].string(), "--palette", t[1].string()});
         }},
        {"Sonnary wav -o", 1, [&](const auto& t) { return runSonnary({"wav", in.soundRom, "0", "-o", t[0].string()}); }},
    };
}

enum class Fault { FullDisk, VanishedFolder, ParentIsFile, TargetIsFolder };

// A file size limit stands in for a full disk; Windows has no such limit, so there it is left out.
constexpr std::array kFaults{
#ifndef _WIN32
    Fault::FullDisk,
#endif
    Fault::VanishedFolder, Fault::ParentIsFile, Fault::TargetIsFolder};

std::string faultName(Fault fault)
{
    switch (fault) {
    case Fault::FullDisk: return "full disk";
    case Fault::VanishedFolder: return "vanished folder";
    case Fault::ParentIsFile: return "parent is a file";
    case Fault::TargetIsFolder: return "target is a folder";
    }
    return "";
}

const shell::Bytes kOldBytes = textBytes("the user's earlier file, which must survive");

TEST(FaultInjection, EveryWriterReportsAFailedWriteAndLeavesEveryFileAsItWas)
{
    for (const Writer& writer : writers()) {
        for (const Fault fault : kFaults) {
            // Each output in turn is the one that cannot be written; the others have good places
            // that already hold an earlier file.
            for (std::size_t failing = 0; failing < writer.outputs; ++failing) {
                SCOPED_TRACE(writer.name + ", " + faultName(fault) + ", output " + std::to_string(failing));
                testing_doubles::ScratchFolder scratch;
                std::vector<fs::path> targets;
                for (std::size_t i = 0; i < writer.outputs; ++i)
                    targets.push_back(scratch.write("out" + std::to_string(i) + ".dat", kOldBytes));
                switch (fault) {
                case Fault::FullDisk:
                    break;
                case Fault::VanishedFolder:
                    fs::create_directory(scratch.path("gone"));
                    targets[failing] = scratch.path("gone") / "out.dat";
                    fs::remove(scratch.path("gone"));
                    break;
                case Fault::ParentIsFile:
                    targets[failing] = scratch.write("plain.txt", kOldBytes) / "out.dat";
                    break;
                case Fault::TargetIsFolder:
                    fs::create_directory(scratch.path("folder.dat"));
                    targets[failing] = scratch.path("folder.dat");
                    break;
                }
                const std::map<std::string, shell::Bytes> before = snapshot(scratch.path());

                CommandRun run;
#ifndef _WIN32
                if (fault == Fault::FullDisk) {
                    const FileSizeLimit limit(kFullDiskLimit);
                    run = writer.run(targets);
                } else {
                    run = writer.run(targets);
                }
#else
                run = writer.run(targets);
#endif
                EXPECT_EQ(run.status, 1);
                EXPECT_NE(run.err.find(kFileFailure), std::string::npos) << run.err;
                EXPECT_EQ(snapshot(scratch.path()), before);
                EXPECT_FALSE(fs::exists(scratch.path("gone")));
                EXPECT_TRUE(fs::is_directory(scratch.path("folder.dat")) || fault != Fault::TargetIsFolder);
            }
        }
    }
}

TEST(FaultInjection, TheSameWritersSucceedWithoutTheFault)
{
    // The control for the test above: every writer writes all of its outputs in a good place.
    for (const Writer& writer : writers()) {
        SCOPED_TRACE(writer.name);
        testing_doubles::ScratchFolder scratch;
        std::vector<fs::path> targets;
        for (std::size_t i = 0; i < writer.outputs; ++i)
            targets.push_back(scratch.write("out" + std::to_string(i) + ".dat", kOldBytes));
        const CommandRun run = writer.run(targets);
        EXPECT_EQ(run.status, 0) << run.err;
        for (const fs::path& target : targets)
            EXPECT_NE(bytesOf(target), kOldBytes);
        EXPECT_TRUE(temporaryFiles(scratch.path()).empty());
    }
}

TEST(FaultInjection, ATwoFileWritePutsTheFirstFileBackWhenTheSecondCannotBePlaced)
{
    // The second target is a folder: both temporary files are written, the first is renamed into
    // place, the second rename fails, and the first target gets its earlier file back.
    testing_doubles::ScratchFolder scratch;
    const fs::path first = scratch.write("first.dat", kOldBytes);
    fs::create_directory(scratch.path("second.dat"));
    testing_doubles::ScriptedShell shell;
    const shell::Bytes bytes = textBytes("new");
    const shell::FileToWrite files[] = {{first, bytes}, {scratch.path("second.dat"), bytes}};
    EXPECT_FALSE(shell::writeWholeFiles(shell, files));
    EXPECT_EQ(shell.texts(), std::vector<std::string>{std::string(kFileFailure)});
    EXPECT_EQ(bytesOf(first), kOldBytes);
    EXPECT_EQ(snapshot(scratch.path()).size(), 1u);

    // A first target that did not exist is removed again.
    fs::remove(first);
    EXPECT_FALSE(shell::writeWholeFiles(shell, files));
    EXPECT_FALSE(fs::exists(first));
    EXPECT_TRUE(snapshot(scratch.path()).empty());

    // Without the fault both land, and the earlier file's second name is gone.
    scratch.write("first.dat", kOldBytes);
    fs::remove(scratch.path("second.dat"));
    EXPECT_TRUE(shell::writeWholeFiles(shell, files));
    EXPECT_EQ(snapshot(scratch.path()),
              (std::map<std::string, shell::Bytes>{{"first.dat", bytes}, {"second.dat", bytes}}));
}

// A folder writer and the fresh files it writes into an empty folder.
struct FolderWriter {
    std::string name;
    std::function<CommandRun(const fs::path& base)> run;
    // The folder inside `base` that receives the files.
    std::function<fs::path(const fs::path& base)> folderIn;
};

std::vector<FolderWriter> folderWriters()
{
    const Inputs& in = inputs();
    return {
        {"Keldra extract",
         [&](const fs::path& base) {
             return runKeldra({"extract", in.rom, "0x2A", "--dir", base.string(), "--table", in.table});
         },
         [](const fs::path& base) { return base / shell::pathFromUtf8("アイ"); }},
        {"Morvane save",
         [&](const fs::path& base) {
             return runMorvane({"save", in.rom, "0x2A", "--dir", base.string(), "--table", in.table});
         },
         [](const fs::path& base) { return base / shell::pathFromUtf8("アイ"); }},
        {"Sonnary export",
         [&](const fs::path& base) { return runSonnary({"export", in.soundRom, base.string()}); },
         [](const fs::path& base) { return base; }},
    };
}

#ifndef _WIN32  // no file size limit on Windows to stand in for a nearly full disk
TEST(FaultInjection, FolderWritersOnANearlyFullDiskLeaveEveryFileAsItWas)
{
    // A folder of files belongs together: when one cannot be written, none of the new set stays,
    // and nothing claims the set was written.
    for (const FolderWriter& writer : folderWriters()) {
        SCOPED_TRACE(writer.name);
        testing_doubles::ScratchFolder fresh;
        ASSERT_EQ(writer.run(fresh.path()).status, 0);
        const std::map<std::string, shell::Bytes> made = snapshot(writer.folderIn(fresh.path()));
        ASSERT_FALSE(made.empty());

        testing_doubles::ScratchFolder scratch;
        const fs::path folder = writer.folderIn(scratch.path());
        for (const auto& entry : made) {
            const fs::path path = folder / shell::pathFromUtf8(entry.first);
            fs::create_directories(path.parent_path());
            std::ofstream(path, std::ios::binary)
                .write(reinterpret_cast<const char*>(kOldBytes.data()), static_cast<std::streamsize>(kOldBytes.size()));
        }
        const std::map<std::string, shell::Bytes> before = snapshot(scratch.path());

        CommandRun run;
        {
            const FileSizeLimit limit(kNearlyFullDiskLimit);
            run = writer.run(scratch.path());
        }
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find(kFileFailure), std::string::npos);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(snapshot(scratch.path()), before);
    }
}
#endif

TEST(FaultInjection, FolderWritersRefuseABaseFolderBelowARegularFile)
{
    for (const FolderWriter& writer : folderWriters()) {
        SCOPED_TRACE(writer.name);
        testing_doubles::ScratchFolder scratch;
        const fs::path file = scratch.write("plain.txt", kOldBytes);
        const CommandRun run = writer.run(file / "sets");
        EXPECT_EQ(run.status, 1);
        // One failure, naming the folder that could not be made, and no word of success.
        const std::size_t failure = run.err.find(std::string(kFileFailure) + ": " + shell::pathText(file / "sets"));
        EXPECT_NE(failure, std::string::npos) << run.err;
        EXPECT_EQ(run.err.find(kFileFailure, failure + 1), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(snapshot(scratch.path()), (std::map<std::string, shell::Bytes>{{"plain.txt", kOldBytes}}));
    }
}

// A Shell whose save dialog answers with a path and then, before anything is written, removes the
// folder of that path, as another program might while the dialog closes.
class VanishingShell final : public shell::Shell {
public:
    testing_doubles::ScriptedShell inner;

    shell::Answer message(std::string_view text, const shell::Caption& caption, shell::Buttons buttons,
                          shell::Icon icon) override
    {
        return inner.message(text, caption, buttons, icon);
    }
    std::optional<fs::path> askOpenPath(std::string_view filter, std::string_view title) override
    {
        return inner.askOpenPath(filter, title);
    }
    std::optional<fs::path> askSavePath(std::string_view filter, std::string_view title) override
    {
        std::optional<fs::path> path = inner.askSavePath(filter, title);
        if (path)
            fs::remove_all(path->parent_path());
        return path;
    }
};

TEST(FaultInjection, WindowSavesIntoAFolderThatVanishedAfterTheDialogReportTheFailure)
{
    const Inputs& in = inputs();
    testing_doubles::ScratchFolder scratch;
    const fs::path target = scratch.path("chosen") / "out.dat";
    auto choose = [&](VanishingShell& shell) {
        fs::create_directories(target.parent_path());
        shell.inner.openPaths.push_back(fs::path(in.rom));
        shell.inner.savePaths.push_back(target);
    };
    auto failedOnce = [&](VanishingShell& shell) {
        const std::vector<std::string> texts = shell.inner.texts();
        EXPECT_EQ(std::count(texts.begin(), texts.end(), std::string(kFileFailure)), 1);
        EXPECT_FALSE(fs::exists(target.parent_path()));
        shell.inner.messages.clear();
    };
    {
        VanishingShell shell;
        choose(shell);
        transplant::KeldraSession session(shell, rom::CharacterTable{});
        ASSERT_TRUE(session.OpenRom(fs::path(in.rom)));
        EXPECT_FALSE(session.SaveRom(*shell.askSavePath({}, {})));
        failedOnce(shell);
        shell.inner.savePaths.push_back(target);
        fs::create_directories(target.parent_path());
        EXPECT_FALSE(session.SaveExtendInfo(*shell.askSavePath({}, {})));
        failedOnce(shell);
    }
    {
        VanishingShell shell;
        choose(shell);
        editor::MorvaneSession session(shell, fs::path(in.table));
        ASSERT_TRUE(session.OpenRom(fs::path(in.rom)));
        EXPECT_FALSE(session.SaveRom(*shell.askSavePath({}, {})));
        failedOnce(shell);
    }
    {
        VanishingShell shell;
        sprite::TessivoSession session(shell);
        ASSERT_TRUE(session.loadBitmap(fs::path(in.bitmap)));
        EXPECT_FALSE(session.makeSpriteFile(target));
        failedOnce(shell);
    }
}

}  // namespace
