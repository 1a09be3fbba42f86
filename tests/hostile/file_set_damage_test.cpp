// A transplant (Keldra add) or a port (Morvane port) from a file set with one file missing,
// cut to half or lengthened by a byte: every file of a real set is damaged in turn. What must be
// refused is refused with exit status 1, no output image and the input image untouched; what the
// formats allow is accepted.
//
// Which files are length-checked:
// - Keldra: the fixed records (UnitData, UnitAnime, IconData, WeaponData, FixedWeaponAnime,
//   UnitCutin, GraphicChangeDifinition, SystemAnime) must have their exact size; a BGMapHeader
//   needs at least its 8 bytes and may be longer; routine blocks (MotionPart, ShadowEtc,
//   CutinScroll) must hold the structure their header describes, and Sprite and BGMap data the
//   whole LZ77 stream; what follows a structure or stream is never read. The text index must hold
//   its counts and the list entries they announce, which a cut takes away. Pallet data has no
//   fixed length.
// - Morvane: its records are definition texts that must hold every key, and so must its index
//   (its counts and the list entries they announce); the routine files must hold the structure
//   their header describes and the sprite and BG map files their whole stream; its icon and its
//   palettes may be short or long; every file the index names must be there. The ID list report is
//   written for the user, never read.

#include "shell/path_text.hpp"
#include "tests/doubles/scratch_folder.hpp"
#include "tests/editor/editor_test_support.hpp"
#include "tests/hostile/hostile_support.hpp"
#include "tests/support/character_table_file.hpp"
#include "tests/support/demo_scenario.hpp"

#include <gtest/gtest.h>

#include <regex>

namespace {

namespace fs = std::filesystem;
using namespace hostile;

enum class Damage { Missing, Shortened, Lengthened };  // lengthened by one byte

std::string damageName(Damage damage)
{
    switch (damage) {
    case Damage::Missing: return "missing";
    case Damage::Shortened: return "shortened";
    case Damage::Lengthened: return "lengthened";
    }
    return "";
}

void damage(const fs::path& file, Damage how)
{
    switch (how) {
    case Damage::Missing:
        fs::remove(file);
        break;
    case Damage::Shortened:
        // Half: a routine block ends in a gap of padding, which a cut by one byte only shortens.
        fs::resize_file(file, fs::file_size(file) / 2);
        break;
    case Damage::Lengthened:
        fs::resize_file(file, fs::file_size(file) + 1);
        break;
    }
}

bool matches(const std::string& name, const char* pattern)
{
    return std::regex_match(name, std::regex(pattern));
}

// Per-item files after the first of their kind are read by the same rule: one of each keeps the
// run short (every run reads and writes a 16 MiB image).
bool firstOfItsKind(const std::string& name)
{
    return !matches(name, R"(\D+[1-9]\d*\.dat)");
}

// Whether Keldra must refuse its set with `name` damaged so.
bool keldraRefuses(const std::string& name, Damage how)
{
    if (how == Damage::Missing)
        return true;
    if (matches(name, R"((UnitData|UnitAnime|IconData)\.dat|(WeaponData|FixedWeaponAnime|UnitCutin|GraphicChangeDifinition|SystemAnime)\d+\.dat)"))
        return true;
    if (matches(name, R"(BGMapHeader\d+\.dat)"))
        return how == Damage::Shortened;
    if (matches(name, R"((MotionPart|ShadowEtc|CutinScroll|Sprite|BGMap)\d+\.dat|UnitAllData\.dat)"))
        return how == Damage::Shortened;
    return false;  // Pallet data
}

// Whether Morvane must refuse its folder with `name` damaged so.
bool morvaneRefuses(const std::string& name, Damage how)
{
    if (name == "ID一覧表.txt")
        return false;
    if (how == Damage::Missing)
        return true;
    if (matches(name, R"((pallet\d+|icon)\.dat)"))
        return false;
    return how == Damage::Shortened;  // texts, routines and streams
}

class FileSetDamageTest : public ::testing::Test {
protected:
    testing_doubles::ScratchFolder scratch;
    std::string rom = scratch.write("scene.gba", editor_test::sceneImage()).string();
    std::string table = scratch.write("string.txt", editor_test::characterTableText()).string();
    shell::Bytes image = bytesOf(fs::path(rom));

    // Runs `command` on a copy of `set` with `name` damaged by `how` and checks the outcome.
    template <class Command>
    void expectOutcome(const fs::path& set, const std::string& name, Damage how, bool refused, Command command)
    {
        SCOPED_TRACE(name + " " + damageName(how));
        const fs::path copy = scratch.path("damaged");
        fs::remove_all(copy);
        fs::copy(set, copy);
        damage(copy / shell::pathFromUtf8(name), how);
        const fs::path out = scratch.path("out.gba");
        fs::remove(out);
        const CommandRun run = command(copy, out);
        if (refused) {
            EXPECT_EQ(run.status, 1);
            EXPECT_FALSE(run.err.empty());
            EXPECT_FALSE(fs::exists(out));
        } else {
            EXPECT_EQ(run.status, 0) << run.err;
            EXPECT_TRUE(fs::exists(out));
        }
        EXPECT_EQ(bytesOf(fs::path(rom)), image);
    }
};

TEST_F(FileSetDamageTest, KeldraAddRefusesEveryDamageItsFormatsForbid)
{
    // A rich unit of demo image A goes into the extended demo image B, which has room for it.
    const std::string demoA = scratch.write("a.gba", editor_test::asImage(synthetic::makeDemoScenarioA().image)).string();
    const std::string demoB = scratch.write("b.gba", editor_test::asImage(synthetic::makeDemoScenarioB().image)).string();
    table = scratch.write("demo.txt", synthetic::makeCharacterTableFile()).string();
    const CommandRun extracted = runKeldra({"extract", demoA, "0x2A", "--dir", scratch.path("sets").string(), "--table", table});
    ASSERT_EQ(extracted.status, 0) << extracted.err;
    const fs::path set = scratch.path("sets") / shell::pathFromUtf8("シュヴァルツ");
    const std::map<std::string, shell::Bytes> files = snapshot(set);
    ASSERT_GT(files.size(), 30u);
    const std::string info = scratch.path("b.ExtInfo").string();
    rom = scratch.path("b_ext.gba").string();
    const CommandRun extension = runKeldra({"extend", demoB, "-o", rom, "--save-ext-info", info, "--table", table});
    ASSERT_EQ(extension.status, 0) << extension.err;
    image = bytesOf(fs::path(rom));
    for (const auto& [name, bytes] : files) {
        if (!firstOfItsKind(name))
            continue;
        for (const Damage how : {Damage::Missing, Damage::Shortened, Damage::Lengthened}) {
            expectOutcome(set, name, how, keldraRefuses(name, how), [&](const fs::path& copy, const fs::path& out) {
                return runKeldra({"add", rom, copy.string(), "-o", out.string(), "--ext-info", info, "--table", table});
            });
        }
    }
}

TEST_F(FileSetDamageTest, MorvanePortRefusesEveryDamageItsFormatsForbid)
{
    const CommandRun saved = runMorvane({"save", rom, "0x2A", "--dir", scratch.path("folders").string(), "--table", table});
    ASSERT_EQ(saved.status, 0) << saved.err;
    const fs::path folder = scratch.path("folders") / shell::pathFromUtf8("アイ");
    const std::map<std::string, shell::Bytes> files = snapshot(folder);
    ASSERT_GT(files.size(), 15u);
    for (const auto& [name, bytes] : files) {
        for (const Damage how : {Damage::Missing, Damage::Shortened, Damage::Lengthened}) {
            expectOutcome(folder, name, how, morvaneRefuses(name, how), [&](const fs::path& copy, const fs::path& out) {
                return runMorvane({"port", rom, "0x2A", copy.string(), "-o", out.string(), "--table", table});
            });
        }
    }
}

}  // namespace
