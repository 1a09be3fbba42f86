// The hostile-input table: named damaged inputs, each run through a tool's command line in-process,
// must end with exit status 1, no output file and a message on stderr that says what was read and
// what is wrong with it. Each hostile image is an intact synthetic image with one field broken;
// together the rows reach every reader of the suite: ROM images (directory, records, LZ77 data, the
// three routine kinds and their walks), file sets and their index, unit folders and theirs,
// ".ExtInfo" texts, bitmaps, sprite and palette files, and the sound tables.
//
// A second table holds command lines whose outputs would replace another output or an input: each
// is a usage error (exit 2) met before anything is read or written.
//
// Tolerated by design, so not in the tables: a table entry of 0 reads as an empty entry; the
// viewer draws a cut sprite stream or a back-reference before its start with zeros (and says on
// stderr how many bytes were missing), and the colours a short palette file lacks as black; a
// character table decodes what it can; a damaged instrument table lists its records with empty
// types.

#include "rom/byte_io.hpp"
#include "rom/gba_address.hpp"
#include "shell/path_text.hpp"
#include "tests/doubles/scratch_folder.hpp"
#include "tests/editor/editor_test_support.hpp"
#include "tests/hostile/hostile_support.hpp"
#include "tests/sound/sound_rom_builder.hpp"
#include "tests/sprite/sprite_test_files.hpp"
#include "tests/support/rom_layout.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string_view>
#include <tuple>

namespace {

namespace fs = std::filesystem;
using namespace hostile;
namespace layout = synthetic::layout;

using Breakage = std::function<void(synthetic::RomBuilder&)>;

// The parts that a row's message must hold, in any order: what was read and what is wrong.
using MessageParts = std::vector<std::string>;

// A broken field of the scene unit. Keldra's show and delete read only records and the IDs they
// name (and the CutinScroll commands that name more); data behind an ID is measured only when it
// is copied, so those two commands refuse only breakages that reach the collection.
struct UnitBreakage {
    std::string name;
    Breakage breakage;
    MessageParts message;
    bool reachesCollection = false;
};

// The files every row may use, made once: the scene image, its character table, a file set and a
// unit folder of its unit, an .ExtInfo, a bitmap and a sprite file.
class Materials {
public:
    testing_doubles::ScratchFolder folder;
    // `roomRom` is the extended image with the scene unit deleted, so a set has a slot to go to.
    std::string rom, roomRom, table, set, unitFolder, info, bitmap, sprite, palette, soundRom;

    Materials()
    {
        rom = folder.write("scene.gba", editor_test::sceneImage()).string();
        table = folder.write("string.txt", editor_test::characterTableText()).string();
        expectDone(runKeldra({"extract", rom, "0x2A", "--dir", folder.path("sets").string(), "--table", table}));
        set = (folder.path("sets") / shell::pathFromUtf8("アイ")).string();
        expectDone(runMorvane({"save", rom, "0x2A", "--dir", folder.path("folders").string(), "--table", table}));
        unitFolder = (folder.path("folders") / shell::pathFromUtf8("アイ")).string();
        info = folder.path("scene.ExtInfo").string();
        expectDone(runKeldra({"extend", rom, "-o", folder.path("ext.gba").string(), "--save-ext-info", info,
                              "--table", table}));
        roomRom = folder.path("room.gba").string();
        expectDone(runKeldra({"delete", folder.path("ext.gba").string(), "0x2A", "-o", roomRom, "--table", table}));
        // The undamaged set and folder go in: each row below fails for its damage alone.
        expectDone(runKeldra({"add", roomRom, set, "-o", folder.path("added.gba").string(), "--ext-info", info,
                              "--table", table}));
        expectDone(runMorvane({"port", rom, "0x2A", unitFolder, "-o", folder.path("ported.gba").string(),
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
        fs::copy(shell::pathFromUtf8(source), copy);
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
    MessageParts message; // what stderr must say
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

// The text file `path` with the line of `key` replaced by `line` (CR LF added).
shell::Bytes withLine(const fs::path& path, const std::string& key, const std::string& line)
{
    const shell::Bytes bytes = bytesOf(path);
    std::string text(bytes.begin(), bytes.end());
    const std::size_t start = text.find("[" + key + "]=");
    if (start == std::string::npos)
        throw std::runtime_error(path.filename().string() + " has no line " + key);
    text.replace(start, text.find("\r\n", start) - start, line);
    return textBytes(text);
}

// The text file `path` up to the first occurrence of `text`.
shell::Bytes cutBefore(const fs::path& path, const std::string& text)
{
    const shell::Bytes bytes = bytesOf(path);
    const std::string whole(bytes.begin(), bytes.end());
    const std::size_t at = whole.find(text);
    if (at == std::string::npos)
        throw std::runtime_error(path.filename().string() + " holds no " + text);
    return textBytes(whole.substr(0, at));
}

// A unit folder's "motion0.dat" with its header's part table pointer moved past the file's end.
// The header lies where "unitall.dat" says the routine was in the image.
shell::Bytes motionWithFarPartTable(const std::string& unitFolder)
{
    const shell::Bytes text = bytesOf(shell::pathFromUtf8(unitFolder) / "unitall.dat");
    const std::string_view view(reinterpret_cast<const char*>(text.data()), text.size());
    constexpr std::string_view kKey = "[dwAdrMotionPart:0]=";
    const std::size_t key = view.find(kKey);
    if (key == std::string_view::npos)
        throw std::runtime_error("unitall.dat names no MotionPart address");
    const auto address = static_cast<std::uint32_t>(std::stoul(std::string(view.substr(key + kKey.size()))));
    shell::Bytes motion = bytesOf(shell::pathFromUtf8(unitFolder) / "motion0.dat");
    const std::uint32_t header = rom::romOffsetOf(address);
    if (header + layout::motionPart::kPartTable + 4 > motion.size())
        throw std::runtime_error("motion0.dat holds no header where unitall.dat says");
    rom::storeU32(motion, header + layout::motionPart::kPartTable,
                  synthetic::gbaPointer(static_cast<std::uint32_t>(motion.size()) + 0x100));
    return motion;
}

// One field of the scene unit's data broken, by name. Each is read by every unit command.
std::vector<UnitBreakage> unitBreakages()
{
    using layout::Table;
    const auto motion = [](synthetic::RomBuilder& b) { return b.placements().motionParts.at(editor_test::kSceneMotion); };
    return {
        {"sprite pointer past the end",
         [](auto& b) {
             b.putU32(layout::recordOffset(Table::Sprite, editor_test::kSceneSprite1), synthetic::gbaPointer(kImageEnd + 0x100));
         },
         {"Sprite 0x007: LZ77データ はROMの範囲外です"}},
        {"LZ77 sprite running past the end",
         [](auto& b) {
             b.putBytes(kImageEnd - 4, shell::Bytes{0x10, 0x00, 0x80, 0x00});
             b.putU32(layout::recordOffset(Table::Sprite, editor_test::kSceneSprite1), synthetic::gbaPointer(kImageEnd - 4));
         },
         {"Sprite 0x007: LZ77データ はROMの範囲外です", "オフセット 0x1000000"}},
        {"palette pointer past the end",
         [](auto& b) {
             b.putU32(layout::recordOffset(Table::Pallet, editor_test::kScenePallet1), synthetic::gbaPointer(kImageEnd));
         },
         {"Pallet 0x008: ", "はROMの範囲外です (オフセット 0x1000000"}},
        {"BG map header pointer past the end",
         [](auto& b) { b.putU32(layout::recordOffset(Table::BGMap, editor_test::kSceneBGMap), 0xFFFFFFFF); },
         {"BGMap 0x005: LZ77データ はROMの範囲外です"}},
        {"MotionPart part table pointer 0",
         [=](auto& b) { b.putU32(motion(b).header + layout::motionPart::kPartTable, 0); },
         {"MotionPart 0x00A: MotionPartのパートテーブル はROMの範囲外です"}},
        {"part stream without terminator",
         [=](auto& b) { b.putU32(motion(b).partTable, synthetic::gbaPointer(kImageEnd - 0x40)); },
         {"MotionPart 0x00A: パート0: パートデータ はROMの範囲外です"}},
        {"key block without end",
         [=](auto& b) {
             // Entries 00 01 80: frame 1 again and again, one record that keeps its mask.
             b.putBytes(kImageEnd - 0x300, repeated(0x300, {0x00, 0x01, 0x80}));
             b.putU32(motion(b).header + layout::motionPart::kKeyBlock, synthetic::gbaPointer(kImageEnd - 0x300));
         },
         {"MotionPart 0x00A: キーデータ はROMの範囲外です"}},
        {"part count points its table past the image",
         [=](auto& b) {
             b.putU8(motion(b).header + layout::motionPart::kPartCount, 0xFF);
             b.putU32(motion(b).header + layout::motionPart::kPartTable, synthetic::gbaPointer(kImageEnd - 0x20));
         },
         {"MotionPart 0x00A: MotionPartのパートテーブル はROMの範囲外です", "長さ 0x7F8"}},
        {"ShadowEtc stream list past the image",
         [](auto& b) {
             const std::uint32_t header = b.placements().shadowEtcs.at(editor_test::kSceneShadow).header;
             b.putU32(header + layout::shadowEtc::kList, synthetic::gbaPointer(kImageEnd - 2));
         },
         {"ShadowEtc 0x00B: ShadowEtcのリスト はROMの範囲外です"}},
        {"CutinScroll commands past the image",
         [](auto& b) {
             const std::uint32_t header = b.placements().cutinScrolls.at(editor_test::kSceneCutin).header;
             b.putU32(header + layout::cutinScroll::kCommands, synthetic::gbaPointer(kImageEnd - 0x10));
         },
         {"CutinScroll 0x00C: CutinScrollのコマンド はROMの範囲外です"},
         true},
        {"unit animation table pointer past the end",
         [](auto& b) { b.putU32(layout::entry(Table::UnitAnime).locator, synthetic::gbaPointer(kImageEnd - 0x10)); },
         {"UnitAnime テーブル はROMの範囲外です"},
         true},
    };
}

std::vector<Row> rows()
{
    const Materials& m = materials();
    std::vector<Row> table;
    auto add = [&](std::string name, Tool tool, Arguments arguments, MessageParts message) {
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
        add("Keldra units: " + label, runKeldra, {"units", image, "--table", m.table}, {"Vexaのロムではありません"});
        add("Keldra delete: " + label, runKeldra, {"delete", image, "0x2A", "-o", "{out}", "--table", m.table},
            {"Vexaのロムではありません"});
        add("Morvane units: " + label, runMorvane, {"units", image, "--table", m.table},
            {"Unit のロケータ はROMの範囲外です"});
        add("Vistrel render --rom: " + label, runVistrel, {"render", "--rom", image, "--sprite", "100", "-o", "{out}"},
            {"スプライトのアドレスがROMの範囲外です"});
        add("Vistrel render --sprite-id: " + label, runVistrel,
            {"render", "--rom", image, "--sprite-id", "0", "-o", "{out}"}, {"Vexaのロムではありません"});
        add("Vistrel unit: " + label, runVistrel, {"unit", image, "0x2A", "--dir", "{out}"},
            {"Unit のロケータ はROMの範囲外です"});
        add("Sonnary instruments: " + label, runSonnary, {"instruments", image}, {"該当するROMではありません"});
    }
    add("Vistrel render --sprite-id: unit table far away, sprite table intact", runVistrel,
        {"render", "--rom", farUnits, "--sprite-id", "0x335", "-o", "{out}"}, {"Sprite 0x335 はテーブルにありません"});
    for (const auto& [label, image, offset] : std::vector<std::tuple<std::string, std::string, std::string>>{
             {"unit table pointer 0", noUnits, "オフセット 0xF8000000"},
             {"unit table past the end", farUnits, "オフセット 0xFFFF00"}}) {
        add("Keldra units: " + label, runKeldra, {"units", image, "--table", m.table},
            {"ROMのテーブルを読めません", "Unit テーブル はROMの範囲外です", offset});
        add("Morvane units: " + label, runMorvane, {"units", image, "--table", m.table},
            {"Unit テーブル はROMの範囲外です", offset});
    }

    // One unit's data broken: every command that reads the unit.
    for (const UnitBreakage& broken : unitBreakages()) {
        const std::string& label = broken.name;
        std::string fileName = label;
        std::replace(fileName.begin(), fileName.end(), ' ', '_');
        const std::string image = m.brokenRom(fileName, broken.breakage);
        const MessageParts& says = broken.message;
        if (broken.reachesCollection) {
            add("Keldra show: " + label, runKeldra, {"show", image, "0x2A", "--table", m.table}, says);
            add("Keldra delete: " + label, runKeldra, {"delete", image, "0x2A", "-o", "{out}", "--table", m.table}, says);
        }
        add("Keldra extract: " + label, runKeldra, {"extract", image, "0x2A", "--dir", "{out}", "--table", m.table}, says);
        add("Morvane summary: " + label, runMorvane, {"summary", image, "0x2A", "--table", m.table}, says);
        add("Morvane report: " + label, runMorvane, {"report", image, "0x2A", "--table", m.table}, says);
        add("Morvane save: " + label, runMorvane, {"save", image, "0x2A", "--dir", "{out}", "--table", m.table}, says);
        add("Vistrel unit: " + label, runVistrel, {"unit", image, "0x2A", "--dir", "{out}"}, says);
        add("Morvane port: " + label, runMorvane,
            {"port", image, "0x2A", m.unitFolder, "-o", "{out}", "--table", m.table}, says);
    }

    // File sets, unit folders and extension info.
    const std::string ext = m.folder.path("ext.gba").string();
    auto keldraAdd = [&](const std::string& label, const std::string& set, MessageParts message) {
        add("Keldra add: " + label, runKeldra, {"add", m.roomRom, set, "-o", "{out}", "--ext-info", m.info, "--table", m.table},
            std::move(message));
    };
    const fs::path setIndex = shell::pathFromUtf8(m.set) / "UnitAllData.dat";
    keldraAdd("0-byte UnitAllData.dat", m.brokenFolder(m.set, "UnitAllData.dat", {}),
              {"UnitAllData.dat に [bNumBGMap] の行がありません"});
    keldraAdd("UnitAllData.dat counting more sprites than it lists",
              m.brokenFolder(m.set, "UnitAllData.dat", withLine(setIndex, "bNumSprite", "[bNumSprite]=&HFF")),
              {"UnitAllData.dat に [wIdSprite", "] の行がありません"});
    keldraAdd("UnitAllData.dat counting 256 pallets",
              m.brokenFolder(m.set, "UnitAllData.dat", withLine(setIndex, "bNumPallet", "[bNumPallet]=&H100")),
              {"UnitAllData.dat: [bNumPallet]=&H100 は範囲外です (0 から 255)"});
    keldraAdd("0-byte UnitData.dat", m.brokenFolder(m.set, "UnitData.dat", {}), {"UnitData.dat", "ファイルの長さが不正です"});
    keldraAdd("MotionPart block pointing past its end",
              m.brokenFolder(m.set, "MotionPart0.dat", repeated(0x40, {0x01, 0x00, 0x28, 0x00, 0xFF, 0xFF, 0xFF, 0x08})),
              {"MotionPart0.dat", "MotionPart のデータが壊れています: テーブルがブロックの外にあります", "ユニットを追加しませんでした"});
    keldraAdd("0-byte CutinScroll block", m.brokenFolder(m.set, "CutinScroll0.dat", shell::Bytes(4, 0)),
              {"CutinScroll0.dat", "CutinScroll のデータが壊れています: ヘッダが短すぎます", "ユニットを追加しませんでした"});
    const std::string emptyInfo = m.folder.write("empty.ExtInfo", shell::Bytes()).string();
    const std::string farInfo = m.folder.write("far.ExtInfo", textBytes("[Sprite:dwAddress]=&HFFFFFFF0\r\n")).string();
    for (const auto& [label, info] : std::vector<std::pair<std::string, std::string>>{
             {"0-byte .ExtInfo", emptyInfo}, {".ExtInfo with a table past the end", farInfo}}) {
        const MessageParts mismatch{"拡張情報とROMが一致しません"};
        add("Keldra status: " + label, runKeldra, {"status", m.rom, "--ext-info", info, "--table", m.table}, mismatch);
        add("Keldra free: " + label, runKeldra, {"free", m.rom, "--ext-info", info, "--table", m.table}, mismatch);
        add("Keldra extend: " + label, runKeldra, {"extend", ext, "-o", "{out}", "--ext-info", info, "--table", m.table}, mismatch);
        add("Keldra add: " + label, runKeldra, {"add", m.roomRom, m.set, "-o", "{out}", "--ext-info", info, "--table", m.table},
            mismatch);
    }
    auto morvaneFolder = [&](const std::string& label, const std::string& folder, const MessageParts& message) {
        add("Morvane summary FOLDER: " + label, runMorvane, {"summary", folder, "--table", m.table}, message);
        add("Morvane port: " + label, runMorvane, {"port", m.rom, "0x2A", folder, "-o", "{out}", "--table", m.table}, message);
    };
    const fs::path folderIndex = shell::pathFromUtf8(m.unitFolder) / "unitall.dat";
    morvaneFolder("0-byte unitall.dat", m.brokenFolder(m.unitFolder, "unitall.dat", {}),
                  {"unitall.dat に [wUnitID] の行がありません"});
    morvaneFolder("unitall.dat cut before its routine pointers",
                  m.brokenFolder(m.unitFolder, "unitall.dat", cutBefore(folderIndex, "[dwAdrMotionPart:0]")),
                  {"unitall.dat に [dwAdrMotionPart:0] の行がありません"});
    morvaneFolder("unitall.dat counting 200 sprites",
                  m.brokenFolder(m.unitFolder, "unitall.dat", withLine(folderIndex, "bNumSprite", "[bNumSprite]=200")),
                  {"unitall.dat の bNumSprite (200) が多すぎます"});
    morvaneFolder("0-byte motion0.dat", m.brokenFolder(m.unitFolder, "motion0.dat", {}),
                  {"motion0.dat: MotionPartヘッダ はファイルの範囲外です"});
    morvaneFolder("motion0.dat whose part table lies past its end",
                  m.brokenFolder(m.unitFolder, "motion0.dat", motionWithFarPartTable(m.unitFolder)),
                  {"motion0.dat: MotionPartのパートテーブル はファイルの範囲外です"});
    const fs::path unitText = shell::pathFromUtf8(m.unitFolder) / "unitdt.dat";
    // Texts holding a value that is no number or does not fit its field: file, key, value, message.
    const std::vector<std::tuple<std::string, std::string, std::string, std::string>> texts{
        {"unitdt.dat", "dwMaxHP", "abc", "unitdt.dat 1行目: [dwMaxHP]=abc は数値ではありません"},
        {"aunit.dat", "wIdSpriteBG", "70000", "[wIdSpriteBG]=70000 は範囲外です (0 から 65535)"},
        {"weapon0.dat", "bWeaponType1", "300", "[bWeaponType1]=300 は範囲外です (0 から 255)"},
        {"hbgmap.dat", "dwAddress", "-5", "[dwAddress]=-5 は範囲外です (0 から 4294967295)"},
        {"unitall.dat", "wIdIcon", "6.5", "[wIdIcon]=6.5 は整数ではありません"},
    };
    for (const auto& [file, key, value, message] : texts) {
        morvaneFolder(file + " holding " + key + "=" + value,
                      m.brokenFolder(m.unitFolder, file, withLine(shell::pathFromUtf8(m.unitFolder) / file, key, "[" + key + "]=" + value)),
                      {message});
    }
    morvaneFolder("unitdt.dat without wMaxEN",
                  m.brokenFolder(m.unitFolder, "unitdt.dat", withLine(unitText, "wMaxEN", "")),
                  {"unitdt.dat に [wMaxEN] の行がありません"});
    // Streams of the right size whose content the game could not read, in a unit folder and in a
    // file set alike.
    const shell::Bytes folderSprite = bytesOf(shell::pathFromUtf8(m.unitFolder) / "sprite0.dat");
    const shell::Bytes setSprite = bytesOf(shell::pathFromUtf8(m.set) / "Sprite0.dat");
    const auto claimingAll = [](shell::Bytes stream) {
        std::fill_n(stream.begin() + 1, 3, 0xFF);
        return stream;
    };
    const auto half = [](const fs::path& path) {
        const shell::Bytes bytes = bytesOf(path);
        return shell::Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(bytes.size() / 2));
    };
    const std::string cutStream = "LZ77データ はファイルの範囲外です";
    morvaneFolder("sprite0.dat cut to 100 bytes",
                  m.brokenFolder(m.unitFolder, "sprite0.dat", shell::Bytes(folderSprite.begin(), folderSprite.begin() + 100)),
                  {"sprite0.dat: " + cutStream});
    morvaneFolder("sprite0.dat of random bytes",
                  m.brokenFolder(m.unitFolder, "sprite0.dat", repeated(folderSprite.size(), {0xEE, 0x10})),
                  {"sprite0.dat: LZ77データ の種類が 0xEE です"});
    morvaneFolder("sprite0.dat claiming 0xFFFFFF bytes", m.brokenFolder(m.unitFolder, "sprite0.dat", claimingAll(folderSprite)),
                  {"sprite0.dat: " + cutStream});
    morvaneFolder("bgmap.dat cut to half", m.brokenFolder(m.unitFolder, "bgmap.dat", half(shell::pathFromUtf8(m.unitFolder) / "bgmap.dat")),
                  {"bgmap.dat: " + cutStream});
    keldraAdd("Sprite0.dat cut to half", m.brokenFolder(m.set, "Sprite0.dat", half(shell::pathFromUtf8(m.set) / "Sprite0.dat")),
              {"Sprite0.dat", cutStream, "ユニットを追加しませんでした"});
    keldraAdd("Sprite0.dat of random bytes", m.brokenFolder(m.set, "Sprite0.dat", repeated(setSprite.size(), {0xEE})),
              {"Sprite0.dat", "LZ77データ の種類が 0xEE です (0x10 のはずです)"});
    keldraAdd("Sprite0.dat claiming 0xFFFFFF bytes", m.brokenFolder(m.set, "Sprite0.dat", claimingAll(setSprite)),
              {"Sprite0.dat", cutStream});
    keldraAdd("BGMap0.dat cut to half", m.brokenFolder(m.set, "BGMap0.dat", half(shell::pathFromUtf8(m.set) / "BGMap0.dat")),
              {"BGMap0.dat", cutStream});
    keldraAdd("UnitAnime.dat of random bytes", m.brokenFolder(m.set, "UnitAnime.dat", repeated(0x8C, {0x34, 0x12})),
              {"UnitAnime.dat", "オフセット 0x4 の Sprite ID 0x1234 はテーブルの範囲外です"});
    keldraAdd("FixedWeaponAnime0.dat of random bytes",
              m.brokenFolder(m.set, "FixedWeaponAnime0.dat", repeated(0x4C, {0x34, 0x12})),
              {"FixedWeaponAnime0.dat", "Sprite ID 0x1234 はテーブルの範囲外です"});
    // A foreign game code of control bytes is named, never printed raw.
    shell::Bytes foreign = editor_test::sceneImage();
    foreign[0xAC] = 0x1B;
    const std::string foreignRom = m.folder.write("foreign.gba", foreign).string();
    add("Keldra units: game code with a control byte", runKeldra, {"units", foreignRom, "--table", m.table},
        {"\\x1BX4M: Vexaのロムではありません"});

    // Bitmaps.
    auto bitmapRow = [&](const std::string& label, const shell::Bytes& bytes, const std::string& message) {
        std::string fileName = label;
        std::replace(fileName.begin(), fileName.end(), ' ', '_');
        const std::string path = m.folder.write(fileName + ".bmp", bytes).string();
        add("Tessivo convert: " + label, runTessivo, {"convert", path, "--sprite", "{out}"}, {message});
    };
    const sprite_test::ByteVector good = sprite_test::bitmapFile({});
    bitmapRow("0-byte bitmap", {}, "ビットマップではありません");
    sprite_test::ByteVector patched(good);
    sprite_test::putU32(patched, 10, static_cast<std::uint32_t>(patched.size() + 0x10));
    const std::string badSize = "ファイルサイズが不正です";
    bitmapRow("bitmap whose bfOffBits lies past its end", shell::Bytes(patched.begin(), patched.end()), badSize);
    bitmapRow("bitmap cut in its pixels", shell::Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(good.size() / 2)),
              badSize);
    bitmapRow("bitmap cut in its header", shell::Bytes(good.begin(), good.begin() + 20), badSize);
    sprite_test::ByteVector huge(good);
    sprite_test::putU32(huge, 22, 0x7FFFFFFF);  // biHeight
    bitmapRow("bitmap claiming 2^31 - 1 rows", shell::Bytes(huge.begin(), huge.end()), "画像の高さが２の倍数ではありません");
    sprite_test::putU32(huge, 22, 0x7FFFFFFE);
    bitmapRow("bitmap claiming 2^31 - 2 rows", shell::Bytes(huge.begin(), huge.end()), "画像の高さが不正です");
    // PNG files; the reader goes by the content, so the rows keep the ".bmp" name.
    const sprite_test::ByteVector png = sprite_test::pngFile({});
    const auto pngRow = [&](const std::string& label, const sprite_test::ByteVector& bytes, const std::string& message) {
        bitmapRow(label, shell::Bytes(bytes.begin(), bytes.end()), message);
    };
    pngRow("RGB PNG", sprite_test::pngFile({.bitDepth = 8, .palette = false}), "パレット形式のPNGではありません");
    pngRow("PNG cut 20 bytes short", sprite_test::ByteVector(png.begin(), png.end() - 20), "PNGファイルが壊れています");
    sprite_test::ByteVector flipped(png);
    flipped[8 + 8 + 13] ^= 0x01;  // the header chunk's checksum
    pngRow("PNG header with a wrong checksum", flipped, "PNGファイルが壊れています");
    pngRow("PNG 255 pixels wide", sprite_test::pngFile({.width = 255}), "画像の幅が256ではありません");
    pngRow("PNG 15 rows high", sprite_test::pngFile({.height = 15}), "画像の高さが２の倍数ではありません");

    // Sprite and palette files, and sprites in an image.
    const std::string emptyFile = m.folder.write("empty.dat", shell::Bytes()).string();
    const MessageParts noSpriteData{"the sprite file does not start with 0x10"};
    add("Vistrel render: 0-byte sprite file", runVistrel, {"render", emptyFile, "-o", "{out}"}, noSpriteData);
    add("Vistrel render: sprite file without 0x10", runVistrel, {"render", m.palette, "-o", "{out}"}, noSpriteData);
    add("Vistrel render --rom: sprite address past the end", runVistrel,
        {"render", "--rom", m.rom, "--sprite", "1000000", "-o", "{out}"}, {"スプライトのアドレスがROMの範囲外です"});
    add("Vistrel render --rom: sprite stream at the image's end", runVistrel,
        {"render", "--rom", m.rom, "--sprite", "FFFFFC", "-o", "{out}"}, {"the sheet's declared size is 0"});

    // Sound tables.
    sound_testing::SoundRomBuilder atEnd("KX4M", sound_testing::kTalmirTable, sound_testing::kTalmirTable + 12 * 3 + 6);
    atEnd.setInstrument(0, {0x00, {}, sound_testing::busAddress(sound_testing::kTalmirTable + 12 * 3), 0});
    const std::string tableAtEnd = m.folder.write("table_at_end.gba", atEnd.take()).string();
    const MessageParts sampleOutside{"サンプルがROMイメージの範囲外にはみ出しています"};
    const MessageParts noSample{"選択したレコードにはサンプルがありません"};
    add("Sonnary wav: instrument table at the image's end", runSonnary, {"wav", tableAtEnd, "0", "-o", "{out}"}, sampleOutside);
    sound_testing::DemoSound demo = sound_testing::makeDemoSound();
    sound_testing::SoundRomBuilder pointers("KX4M", sound_testing::kTalmirTable);
    pointers.setInstrument(0, {0x00, {}, 0, 0});
    pointers.setInstrument(1, {0x00, {}, sound_testing::busAddress(sound_testing::kDefaultImageSize + 0x10), 0});
    pointers.setInstrument(2, {0x40, {}, sound_testing::busAddress(sound_testing::kDefaultImageSize - 4), 0});
    pointers.setInstrument(3, {0x80, {}, sound_testing::busAddress(sound_testing::kDefaultImageSize - 8), 0});
    pointers.endTableAt(4);
    const std::string badPointers = m.folder.write("sound_pointers.gba", pointers.take()).string();
    add("Sonnary wav: sample pointer 0", runSonnary, {"wav", badPointers, "0", "-o", "{out}"}, sampleOutside);
    add("Sonnary wav: sample pointer past the end", runSonnary, {"wav", badPointers, "1", "-o", "{out}"}, sampleOutside);
    add("Sonnary wav: note switch whose sub-table lies past the end", runSonnary, {"wav", badPointers, "2", "-o", "{out}"},
        noSample);
    add("Sonnary wav: drum set whose records lie past the end", runSonnary, {"wav", badPointers, "3", "-o", "{out}"}, noSample);
    add("Sonnary wav: sample running past the end", runSonnary, {"wav", m.soundRom, "0xC", "-o", "{out}"}, sampleOutside);
    return table;
}

// Outputs that would replace another output or an input. `kept` is the file that must keep its
// bytes; "{out}" again stands for a path that must not appear.
struct UsageRow {
    std::string name;
    Tool tool;
    Arguments arguments;
    std::string message;
    std::string kept;
};

std::vector<UsageRow> usageRows()
{
    const Materials& m = materials();
    const std::string setSprite = (shell::pathFromUtf8(m.set) / "Sprite0.dat").string();
    const std::string unitAll = (shell::pathFromUtf8(m.unitFolder) / "unitall.dat").string();
    return {
        {"Keldra extend: -o and --save-ext-info one file", runKeldra,
         {"extend", m.rom, "-o", "{out}", "--save-ext-info", "{out}", "--table", m.table},
         "-o and --save-ext-info name the same file", m.rom},
        {"Keldra extend: --save-ext-info naming ROM", runKeldra,
         {"extend", m.rom, "-o", "{out}", "--save-ext-info", m.rom, "--table", m.table},
         "--save-ext-info names the input ROM", m.rom},
        {"Keldra add: -o naming a file of the set", runKeldra,
         {"add", m.roomRom, m.set, "-o", setSprite, "--ext-info", m.info, "--table", m.table},
         "-o names the input FILESET", setSprite},
        {"Morvane port: -o naming the folder's index", runMorvane,
         {"port", m.rom, "0x2A", m.unitFolder, "-o", unitAll, "--table", m.table}, "-o names the input FOLDER", unitAll},
        {"Tessivo convert: --sprite and --palette one file", runTessivo,
         {"convert", m.bitmap, "--sprite", "{out}", "--palette", "{out}"}, "--sprite and --palette name the same file",
         m.bitmap},
        {"Tessivo convert: --palette naming IN.bmp", runTessivo, {"convert", m.bitmap, "--palette", m.bitmap},
         "--palette names the input IN:", m.bitmap},
        {"Tessivo convert: no output", runTessivo, {"convert", m.bitmap},
         "convert needs --sprite OUT.dat, --palette OUT.dat or both", m.bitmap},
        {"Vistrel render: -o naming the sprite file", runVistrel, {"render", m.sprite, "-o", m.sprite},
         "-o names the input SPRITE.dat", m.sprite},
        {"Sonnary wav: -o naming ROM", runSonnary, {"wav", m.soundRom, "0", "-o", m.soundRom}, "-o names the input ROM",
         m.soundRom},
    };
}

TEST(HostileCli, OutputsNamingAnotherOutputOrAnInputAreUsageErrors)
{
    for (const UsageRow& row : usageRows()) {
        SCOPED_TRACE(row.name);
        fs::remove_all(outputPath().parent_path());
        fs::create_directories(outputPath().parent_path());
        const shell::Bytes kept = bytesOf(row.kept);
        const CommandRun run = row.tool(withOutput(row.arguments));
        EXPECT_EQ(run.status, 2) << run.err;
        EXPECT_NE(run.err.find(row.message), std::string::npos) << run.err;
        EXPECT_EQ(bytesOf(row.kept), kept);
        EXPECT_TRUE(fs::is_empty(outputPath().parent_path()));
    }
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
        EXPECT_FALSE(row.message.empty());
        for (const std::string& part : row.message)
            EXPECT_NE(run.err.find(part), std::string::npos) << part << " not in: " << run.err;
        EXPECT_TRUE(fs::is_empty(outputPath().parent_path()));
    }
}

}  // namespace
