// Tolerated by design, so not in the table: a table entry of 0 reads as an empty entry; the
// viewer draws a cut sprite stream or a back-reference before its start with zeros; an empty
// unit folder index names nothing and leaves the file side's fields as they were; a damaged
// instrument table lists its records with empty types.
//
// The hostile-input table: named damaged inputs, each run through a tool's command line in-process,
// must end with a message on stderr, exit status 1 and no output file. Each hostile image is a
// sound synthetic image with one field broken; together the rows reach every reader of the suite:
// ROM images (directory, records, LZ77 data, the three routine kinds and their walks), file sets
// and their index, unit folders, ".ExtInfo" texts, bitmaps, sprite and palette files, and the
// sound tables.

#include "tests/doubles/scratch_folder.hpp"
#include "tests/editor/editor_test_support.hpp"
#include "tests/hostile/hostile_support.hpp"
#include "tests/sound/sound_rom_builder.hpp"
#include "tests/sprite/sprite_test_files.hpp"
#include "tests/support/rom_layout.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <memory>

namespace {

namespace fs = std::filesystem;
using namespace hostile;
namespace layout = synthetic::layout;

using Breakage = std::function<void(synthetic::RomBuilder&)>;

// A broken field of the scene unit. Keldra's show and delete read only records and the IDs they
// name (and the CutinScroll commands that name more); data behind an ID is measured only when it
// is copied, so those two commands refuse only breakages that reach the collection.
struct UnitBreakage {
    std::string name;
    Breakage breakage;
    bool reachesCollection = false;
};

// The files every row may use, made once: the scene image, its character table, a file set and a
// unit folder of its unit, an .ExtInfo, a bitmap and a sprite file.
class Materials {
public:
    testing_doubles::ScratchFolder folder;
    std::string rom, table, set, unitFolder, info, bitmap, sprite, palette, soundRom;

    Materials()
    {
        rom = folder.write("scene.gba", editor_test::sceneImage()).string();
        table = folder.write("string.txt", editor_test::characterTableText()).string();
        expectDone(runKeldra({"extract", rom, "0x2A", "--dir", folder.path("sets").string(), "--table", table}));
        set = (folder.path("sets") / utf8Path("アイ")).string();
        expectDone(runMorvane({"save", rom, "0x2A", "--dir", folder.path("folders").string(), "--table", table}));
        unitFolder = (folder.path("folders") / utf8Path("アイ")).string();
        info = folder.path("scene.ExtInfo").string();
        expectDone(runKeldra({"extend", rom, "-o", folder.path("ext.gba").string(), "--save-ext-info", info,
                              "--table", table}));
        const sprite_test::ByteVector bmp = sprite_test::bitmapFile({});
        bitmap = folder.write("in.bmp", shell::Bytes(bmp.begin(), bmp.end())).string();
        expectDone(runTessivo({"convert", bitmap, "--sprite", folder.path("sprite.dat").string(), "--palette",
                               folder.path("palette.dat").string()}));
        sprite = folder.path("sprite.dat").string();
        palette = folder.path("palette.dat").string();
        soundRom = folder.write("sound.gba", sound_testing::makeDemoSound().image).string();
    }

    // A copy of the scene image with one field broken.
    std::string brokenRom(const std::string& name, const Breakage& breakage) const
    {
        synthetic::RomBuilder builder = editor_test::sceneBuilder();
        breakage(builder);
        return folder.write(name + ".gba", builder.image()).string();
    }

    // A copy of a folder of files (a set or a unit folder) with `name` replaced by `bytes`.
    std::string brokenFolder(const std::string& source, const std::string& name, const shell::Bytes& bytes) const
    {
        const std::string copyName = "broken" + std::to_string(++copies_);
        const fs::path copy = folder.path(copyName);
        fs::copy(source, copy);
        folder.write(copyName + "/" + name, bytes);
        return copy.string();
    }

private:
    mutable int copies_ = 0;

    static void expectDone(const CommandRun& run)
    {
        if (run.status != 0)
            throw std::runtime_error("a material could not be made: " + run.err);
    }
};

const Materials& materials()
{
    static const Materials made;
    return made;
}

using Tool = CommandRun (*)(const Arguments&);

struct Row {
    std::string name;
    Tool tool;
    Arguments arguments;  // "{out}" stands for the output path that must not appear
    std::string message;  // a part of what stderr must say
};

// The output path of every row: a file in a folder of its own, or a folder for folder writers.
fs::path outputPath()
{
    return fs::path(materials().folder.path()) / "out" / "result";
}

Arguments withOutput(Arguments arguments)
{
    for (std::string& argument : arguments) {
        if (argument == "{out}")
            argument = outputPath().string();
    }
    return arguments;
}

shell::Bytes repeated(std::size_t count, std::initializer_list<std::uint8_t> pattern)
{
    shell::Bytes bytes;
    while (bytes.size() < count)
        bytes.insert(bytes.end(), pattern);
    bytes.resize(count);
    return bytes;
}

constexpr std::uint32_t kImageEnd = layout::kDefaultImageSize;

// One field of the scene unit's data broken, by name. Each is read by every unit command.
std::vector<UnitBreakage> unitBreakages()
{
    using layout::Table;
    const auto motion = [](synthetic::RomBuilder& b) { return b.placements().motionParts.at(editor_test::kSceneMotion); };
    return {
        {"sprite pointer past the end",
         [](auto& b) {
             b.putU32(layout::recordOffset(Table::Sprite, editor_test::kSceneSprite1), synthetic::gbaPointer(kImageEnd + 0x100));
         }},
        {"LZ77 sprite running past the end",
         [](auto& b) {
             b.putBytes(kImageEnd - 4, shell::Bytes{0x10, 0x00, 0x80, 0x00});
             b.putU32(layout::recordOffset(Table::Sprite, editor_test::kSceneSprite1), synthetic::gbaPointer(kImageEnd - 4));
         }},
        {"palette pointer past the end",
         [](auto& b) {
             b.putU32(layout::recordOffset(Table::Pallet, editor_test::kScenePallet1), synthetic::gbaPointer(kImageEnd));
         }},
        {"BG map header pointer past the end",
         [](auto& b) { b.putU32(layout::recordOffset(Table::BGMap, editor_test::kSceneBGMap), 0xFFFFFFFF); }},
        {"MotionPart part table pointer 0",
         [=](auto& b) { b.putU32(motion(b).header + layout::motionPart::kPartTable, 0); }},
        {"part stream without terminator",
         [=](auto& b) { b.putU32(motion(b).partTable, synthetic::gbaPointer(kImageEnd - 0x40)); }},
        {"key block without end",
         [=](auto& b) {
             // Entries 00 01 80: frame 1 again and again, one record that keeps its mask.
             b.putBytes(kImageEnd - 0x300, repeated(0x300, {0x00, 0x01, 0x80}));
             b.putU32(motion(b).header + layout::motionPart::kKeyBlock, synthetic::gbaPointer(kImageEnd - 0x300));
         }},
        {"part count points its table past the image",
         [=](auto& b) {
             b.putU8(motion(b).header + layout::motionPart::kPartCount, 0xFF);
             b.putU32(motion(b).header + layout::motionPart::kPartTable, synthetic::gbaPointer(kImageEnd - 0x20));
         }},
        {"ShadowEtc stream list past the image",
         [](auto& b) {
             const std::uint32_t header = b.placements().shadowEtcs.at(editor_test::kSceneShadow).header;
             b.putU32(header + layout::shadowEtc::kList, synthetic::gbaPointer(kImageEnd - 2));
         }},
        {"CutinScroll commands past the image",
         [](auto& b) {
             const std::uint32_t header = b.placements().cutinScrolls.at(editor_test::kSceneCutin).header;
             b.putU32(header + layout::cutinScroll::kCommands, synthetic::gbaPointer(kImageEnd - 0x10));
         },
         true},
        {"unit animation table pointer past the end",
         [](auto& b) { b.putU32(layout::entry(Table::UnitAnime).locator, synthetic::gbaPointer(kImageEnd - 0x10)); },
         true},
    };
}

std::vector<Row> rows()
{
    const Materials& m = materials();
    std::vector<Row> table;
    auto add = [&](std::string name, Tool tool, Arguments arguments, std::string message) {
        table.push_back({std::move(name), tool, std::move(arguments), std::move(message)});
    };

    // Whole images that no tool may open.
    const std::string empty = m.folder.write("empty.gba", shell::Bytes()).string();
    shell::Bytes shortImage(0xAF, 0);
    const shell::Bytes scene = editor_test::sceneImage();
    std::copy_n(scene.begin(), shortImage.size(), shortImage.begin());
    const std::string cut = m.folder.write("cut.gba", shortImage).string();
    const std::string noUnits = m.brokenRom("no_units", [](auto& b) { b.putU32(layout::entry(layout::Table::Unit).locator, 0); });
    const std::string farUnits = m.brokenRom("far_units", [](auto& b) {
        b.putU32(layout::entry(layout::Table::Unit).locator, synthetic::gbaPointer(kImageEnd - 0x100));
    });
    for (const auto& [label, image] : std::vector<std::pair<std::string, std::string>>{
             {"0-byte file", empty}, {"ROM of 0xAF bytes", cut}}) {
        add("Keldra units: " + label, runKeldra, {"units", image, "--table", m.table}, "");
        add("Keldra delete: " + label, runKeldra, {"delete", image, "0x2A", "-o", "{out}", "--table", m.table}, "");
        add("Morvane units: " + label, runMorvane, {"units", image, "--table", m.table}, "");
        add("Vistrel render --rom: " + label, runVistrel, {"render", "--rom", image, "--sprite", "100", "-o", "{out}"}, "");
        add("Sonnary instruments: " + label, runSonnary, {"instruments", image}, "");
    }
    for (const auto& [label, image] : std::vector<std::pair<std::string, std::string>>{
             {"unit table pointer 0", noUnits}, {"unit table past the end", farUnits}}) {
        add("Keldra units: " + label, runKeldra, {"units", image, "--table", m.table}, "");
        add("Morvane units: " + label, runMorvane, {"units", image, "--table", m.table}, "");
    }

    // One unit's data broken: every command that reads the unit.
    for (const UnitBreakage& broken : unitBreakages()) {
        const std::string& label = broken.name;
        std::string fileName = label;
        std::replace(fileName.begin(), fileName.end(), ' ', '_');
        const std::string image = m.brokenRom(fileName, broken.breakage);
        if (broken.reachesCollection) {
            add("Keldra show: " + label, runKeldra, {"show", image, "0x2A", "--table", m.table}, "");
            add("Keldra delete: " + label, runKeldra, {"delete", image, "0x2A", "-o", "{out}", "--table", m.table}, "");
        }
        add("Keldra extract: " + label, runKeldra, {"extract", image, "0x2A", "--dir", "{out}", "--table", m.table}, "");
        add("Morvane summary: " + label, runMorvane, {"summary", image, "0x2A", "--table", m.table}, "");
        add("Morvane report: " + label, runMorvane, {"report", image, "0x2A", "--table", m.table}, "");
        add("Morvane save: " + label, runMorvane, {"save", image, "0x2A", "--dir", "{out}", "--table", m.table}, "");
        add("Morvane port: " + label, runMorvane,
            {"port", image, "0x2A", m.unitFolder, "-o", "{out}", "--table", m.table}, "");
    }

    // File sets, unit folders and extension info.
    const std::string ext = m.folder.path("ext.gba").string();
    auto keldraAdd = [&](const std::string& label, const std::string& set) {
        add("Keldra add: " + label, runKeldra, {"add", ext, set, "-o", "{out}", "--ext-info", m.info, "--table", m.table}, "");
    };
    keldraAdd("0-byte UnitAllData.dat", m.brokenFolder(m.set, "UnitAllData.dat", {}));
    keldraAdd("UnitAllData.dat counting 255 sprites", m.brokenFolder(m.set, "UnitAllData.dat", textBytes("[bNumSprite]=&HFF\r\n")));
    keldraAdd("0-byte UnitData.dat", m.brokenFolder(m.set, "UnitData.dat", {}));
    keldraAdd("MotionPart block pointing past its end",
              m.brokenFolder(m.set, "MotionPart0.dat", repeated(0x40, {0x01, 0x00, 0x28, 0x00, 0xFF, 0xFF, 0xFF, 0x08})));
    keldraAdd("0-byte CutinScroll block", m.brokenFolder(m.set, "CutinScroll0.dat", shell::Bytes(4, 0)));
    const std::string emptyInfo = m.folder.write("empty.ExtInfo", shell::Bytes()).string();
    const std::string farInfo = m.folder.write("far.ExtInfo", textBytes("[Sprite:dwAddress]=&HFFFFFFF0\r\n")).string();
    for (const auto& [label, info] : std::vector<std::pair<std::string, std::string>>{
             {"0-byte .ExtInfo", emptyInfo}, {".ExtInfo with a table past the end", farInfo}}) {
        add("Keldra status: " + label, runKeldra, {"status", m.rom, "--ext-info", info, "--table", m.table}, "");
        add("Keldra free: " + label, runKeldra, {"free", m.rom, "--ext-info", info, "--table", m.table}, "");
        add("Keldra extend: " + label, runKeldra, {"extend", ext, "-o", "{out}", "--ext-info", info, "--table", m.table}, "");
        add("Keldra add: " + label, runKeldra, {"add", ext, m.set, "-o", "{out}", "--ext-info", info, "--table", m.table}, "");
    }
    auto morvaneFolder = [&](const std::string& label, const std::string& folder) {
        add("Morvane summary FOLDER: " + label, runMorvane, {"summary", folder, "--table", m.table}, "");
        add("Morvane port: " + label, runMorvane, {"port", m.rom, "0x2A", folder, "-o", "{out}", "--table", m.table}, "");
    };
    morvaneFolder("unitall.dat counting 200 sprites", m.brokenFolder(m.unitFolder, "unitall.dat", textBytes("[bNumSprite]=&HC8\r\n")));
    morvaneFolder("0-byte motion0.dat", m.brokenFolder(m.unitFolder, "motion0.dat", {}));
    morvaneFolder("motion0.dat whose part table lies past its end",
                  m.brokenFolder(m.unitFolder, "motion0.dat", repeated(0x20, {0x08, 0x00, 0x28, 0x00, 0xF0, 0xFF, 0xFF, 0x08})));

    // Bitmaps.
    auto bitmapRow = [&](const std::string& label, const shell::Bytes& bytes) {
        std::string fileName = label;
        std::replace(fileName.begin(), fileName.end(), ' ', '_');
        const std::string path = m.folder.write(fileName + ".bmp", bytes).string();
        add("Tessivo convert: " + label, runTessivo, {"convert", path, "--sprite", "{out}"}, "");
    };
    const sprite_test::ByteVector good = sprite_test::bitmapFile({});
    bitmapRow("0-byte bitmap", {});
    sprite_test::ByteVector patched(good);
    sprite_test::putU32(patched, 10, static_cast<std::uint32_t>(patched.size() + 0x10));
    bitmapRow("bitmap whose bfOffBits lies past its end", shell::Bytes(patched.begin(), patched.end()));
    bitmapRow("bitmap cut in its pixels", shell::Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(good.size() / 2)));
    bitmapRow("bitmap cut in its header", shell::Bytes(good.begin(), good.begin() + 20));
    sprite_test::ByteVector huge(good);
    sprite_test::putU32(huge, 22, 0x7FFFFFFF);  // biHeight
    bitmapRow("bitmap claiming 2^31 rows", shell::Bytes(huge.begin(), huge.end()));

    // Sprite and palette files, and sprites in an image.
    const std::string emptyFile = m.folder.write("empty.dat", shell::Bytes()).string();
    add("Vistrel render: 0-byte sprite file", runVistrel, {"render", emptyFile, "-o", "{out}"}, "");
    add("Vistrel render: sprite file without 0x10", runVistrel, {"render", m.palette, "-o", "{out}"}, "");
    add("Vistrel render --rom: sprite address past the end", runVistrel,
        {"render", "--rom", m.rom, "--sprite", "1000000", "-o", "{out}"}, "");
    add("Vistrel render --rom: sprite stream at the image's end", runVistrel,
        {"render", "--rom", m.rom, "--sprite", "FFFFFC", "-o", "{out}"}, "");

    // Sound tables.
    sound_testing::SoundRomBuilder atEnd("KX4M", sound_testing::kTalmirTable, sound_testing::kTalmirTable + 12 * 3 + 6);
    atEnd.setInstrument(0, {0x00, {}, sound_testing::busAddress(sound_testing::kTalmirTable + 12 * 3), 0});
    const std::string tableAtEnd = m.folder.write("table_at_end.gba", atEnd.take()).string();
    add("Sonnary wav: instrument table at the image's end", runSonnary, {"wav", tableAtEnd, "0", "-o", "{out}"}, "");
    sound_testing::DemoSound demo = sound_testing::makeDemoSound();
    sound_testing::SoundRomBuilder pointers("KX4M", sound_testing::kTalmirTable);
    pointers.setInstrument(0, {0x00, {}, 0, 0});
    pointers.setInstrument(1, {0x00, {}, sound_testing::busAddress(sound_testing::kDefaultImageSize + 0x10), 0});
    pointers.setInstrument(2, {0x40, {}, sound_testing::busAddress(sound_testing::kDefaultImageSize - 4), 0});
    pointers.setInstrument(3, {0x80, {}, sound_testing::busAddress(sound_testing::kDefaultImageSize - 8), 0});
    pointers.endTableAt(4);
    const std::string badPointers = m.folder.write("sound_pointers.gba", pointers.take()).string();
    add("Sonnary wav: sample pointer 0", runSonnary, {"wav", badPointers, "0", "-o", "{out}"}, "");
    add("Sonnary wav: sample pointer past the end", runSonnary, {"wav", badPointers, "1", "-o", "{out}"}, "");
    add("Sonnary wav: note switch whose sub-table lies past the end", runSonnary, {"wav", badPointers, "2", "-o", "{out}"}, "");
    add("Sonnary wav: drum set whose records lie past the end", runSonnary, {"wav", badPointers, "3", "-o", "{out}"}, "");
    add("Sonnary wav: sample running past the end", runSonnary, {"wav", m.soundRom, "0xC", "-o", "{out}"}, "");
    return table;
}

TEST(HostileCli, EveryHostileInputExitsOneWithAMessageAndWritesNothing)
{
    for (const Row& row : rows()) {
        SCOPED_TRACE(row.name);
        fs::remove_all(outputPath().parent_path());
        fs::create_directories(outputPath().parent_path());
        const CommandRun run = row.tool(withOutput(row.arguments));
        EXPECT_EQ(run.status, 1) << run.err;
        EXPECT_FALSE(run.err.empty());
        EXPECT_NE(run.err.find(row.message), std::string::npos) << run.err;
        EXPECT_TRUE(fs::is_empty(outputPath().parent_path()));
        if (std::getenv("HOSTILE_SHOW"))
            std::cout << "ROW " << row.name << " => " << run.status << " | " << run.err << "\n";
    }
}

}  // namespace
