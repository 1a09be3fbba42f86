#include "sprite/vistrel_cli.hpp"

#include "shell/path_text.hpp"
#include "sprite/bitmap.hpp"
#include "rom/lz77.hpp"
#include "tests/sprite/sprite_test_files.hpp"
#include "tests/support/demo_scenario.hpp"

#include <gtest/gtest.h>

#include <sstream>

namespace {

using sprite_test::ByteVector;

struct CommandRun {
    int status;
    std::string out;
    std::string err;
};

// Stands in for the PNG encoder: keeps what it was given and returns a small marker.
struct RecordingEncoder {
    std::vector<sprite::SheetCanvas> canvases;
    std::vector<sprite::PngOptions> options;

    sprite::PngEncoder encoder()
    {
        return [this](const sprite::SheetCanvas& canvas, const sprite::PngOptions& asked) -> std::optional<shell::Bytes> {
            canvases.push_back(canvas);
            options.push_back(asked);
            return shell::Bytes{'P', 'N', 'G'};
        };
    }
};

ByteVector literalStream(std::uint32_t size, std::uint8_t fill)
{
    const shell::Bytes stream = rom::lz77EncodeLiterals(shell::Bytes(size, fill), size);
    return ByteVector(stream.begin(), stream.end());
}

class VistrelCliTest : public ::testing::Test {
protected:
    sprite_test::ScratchFolder folder;
    RecordingEncoder png;
    std::string sprite = folder.write("s.dat", literalStream(0x800, 0x21)).string();
    std::string palette = folder.write("p.dat", ByteVector{0, 0, 0x1F, 0, 0xE0, 0x03}).string();
    std::string out = folder.path("out.png").string();

    CommandRun vistrel(std::vector<std::string> arguments)
    {
        std::ostringstream output;
        std::ostringstream errors;
        const int status = sprite::runVistrelCommand(arguments, output, errors, png.encoder());
        return {status, output.str(), errors.str()};
    }
};

TEST_F(VistrelCliTest, RenderDrawsTheSpriteFileInThePaletteFileAndWritesThePng)
{
    const CommandRun run = vistrel({"render", sprite, palette, "-o", out});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    ASSERT_EQ(png.canvases.size(), 1u);
    EXPECT_EQ(png.options[0].kind, sprite::PngKind::Colour);
    const sprite::SheetCanvas& canvas = png.canvases[0];
    EXPECT_EQ(canvas.height, 16);
    EXPECT_EQ(sprite::canvasPixels(canvas)[0], 0xFFF80000u);  // index 1: pure red
    EXPECT_EQ(sprite::canvasPixels(canvas)[1], 0xFF00F800u);  // index 2: pure green
    EXPECT_EQ(folder.read("out.png"), (ByteVector{'P', 'N', 'G'}));
}

TEST_F(VistrelCliTest, RenderWithoutPaletteRepeatsItsColoursForASeed)
{
    ASSERT_EQ(vistrel({"render", sprite, "-o", out, "--seed", "7"}).status, 0);
    ASSERT_EQ(vistrel({"render", sprite, "-o", out, "--seed", "7", "--indexed"}).status, 0);
    ASSERT_EQ(vistrel({"render", sprite, "-o", out, "--seed", "8"}).status, 0);
    EXPECT_EQ(png.canvases[0].colours, png.canvases[1].colours);
    EXPECT_NE(png.canvases[0].colours, png.canvases[2].colours);
    EXPECT_EQ(png.options[1].kind, sprite::PngKind::Indexed);
}

TEST_F(VistrelCliTest, RenderFromARomImageAtHexadecimalAddresses)
{
    ByteVector rom(0x1000, 0);
    const ByteVector stream = literalStream(0x400, 0x10);
    std::copy(stream.begin(), stream.end(), rom.begin() + 0x1A0);
    rom[0x82] = 0x1F;  // colour 1 of the palette at 0x80: pure red
    const std::string image = folder.write("g.gba", rom).string();

    const CommandRun run = vistrel({"render", "--rom", image, "--sprite", "1a0", "--palette", "80", "-o", out});
    EXPECT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(png.canvases.size(), 1u);
    EXPECT_EQ(png.canvases[0].height, 8);
    EXPECT_EQ(sprite::canvasPixels(png.canvases[0])[1], 0xFFF80000u);

    const CommandRun outside = vistrel({"render", "--rom", image, "--sprite", "FFFF", "--palette", "0", "-o", out});
    EXPECT_EQ(outside.status, 1);
    EXPECT_EQ(outside.err, "エラー: スプライトのアドレスがROMの範囲外です\n");
}

TEST_F(VistrelCliTest, RenderDrawsAStreamThatEndsEarlyAndSaysHowMuchIsMissing)
{
    // A sprite file cut after 100 groups and the flag and four literals of the next: 804 of its
    // 2048 bytes.
    ByteVector cut = literalStream(0x800, 0x21);
    cut.resize(4 + 9 * 100 + 5);
    const CommandRun file = vistrel({"render", folder.write("cut.dat", cut).string(), "-o", out});
    EXPECT_EQ(file.status, 0) << file.err;
    EXPECT_EQ(file.err, "スプライトのデータが途中で終わっています: 2048 バイトのうち 1244 バイトが足りません\n");
    ASSERT_EQ(png.canvases.size(), 1u);
    EXPECT_EQ(png.canvases[0].indices[sprite::sheetBytePosition(803).y * 256 + sprite::sheetBytePosition(803).x], 1);
    EXPECT_EQ(png.canvases[0].indices[sprite::sheetBytePosition(804).y * 256 + sprite::sheetBytePosition(804).x], 0);

    // A stream that runs off the image: the 64 groups the image holds of it.
    ByteVector rom(0x1000, 0);
    const ByteVector stream = literalStream(0x400, 0x10);
    std::copy_n(stream.begin(), 4 + 9 * 64, rom.end() - (4 + 9 * 64));
    const std::string image = folder.write("g.gba", rom).string();
    const CommandRun offTheEnd = vistrel({"render", "--rom", image, "--sprite", "DBC", "-o", out});
    EXPECT_EQ(offTheEnd.status, 0) << offTheEnd.err;
    EXPECT_EQ(offTheEnd.err, "スプライトのデータが途中で終わっています: 1024 バイトのうち 512 バイトが足りません\n");
    EXPECT_EQ(png.canvases.size(), 2u);
}

TEST_F(VistrelCliTest, RenderRefusesWhatItCannotDrawAndWritesNothing)
{
    const std::string empty = folder.write("empty.dat", ByteVector{0x10, 0x00, 0x80, 0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0}).string();
    const CommandRun zero = vistrel({"render", empty, "-o", out});
    EXPECT_EQ(zero.status, 1);
    EXPECT_NE(zero.err.find("height 0"), std::string::npos);

    const std::string other = folder.write("other.dat", ByteVector{0x11, 0x00, 0x08, 0x00}).string();
    const CommandRun notStream = vistrel({"render", other, "-o", out});
    EXPECT_EQ(notStream.status, 1);
    EXPECT_NE(notStream.err.find("0x10"), std::string::npos);

    const CommandRun missing = vistrel({"render", folder.path("none.dat").string(), "-o", out});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "ファイルオープンに失敗: " + shell::pathText(folder.path("none.dat")) + "\n");

    EXPECT_TRUE(png.canvases.empty());
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(VistrelCliTest, RenderUsageMistakesExitTwo)
{
    // An output naming an input is refused before anything is read or written.
    const std::string rom = folder.write("g.gba", ByteVector(0x1000, 0)).string();
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {"render", sprite, "-o", sprite},
             {"render", sprite, palette, "-o", palette},
             {"render", "--rom", rom, "--sprite", "0", "-o", rom}}) {
        const CommandRun run = vistrel(arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find("names the input"), std::string::npos) << run.err;
    }
    EXPECT_EQ(folder.read("s.dat"), literalStream(0x800, 0x21));
    EXPECT_EQ(folder.read("g.gba"), ByteVector(0x1000, 0));

    EXPECT_EQ(vistrel({"render", sprite}).status, 2);
    EXPECT_EQ(vistrel({"render", "-o", out}).status, 2);
    EXPECT_EQ(vistrel({"render", "--rom", "x.gba", "-o", out}).status, 2);
    EXPECT_EQ(vistrel({"render", "--rom", "x.gba", "--sprite", "12G", "-o", out}).status, 2);
    EXPECT_EQ(vistrel({"render", "--rom", "x.gba", "--sprite", "123456789", "-o", out}).status, 2);
    EXPECT_EQ(vistrel({"render", sprite, "--sprite", "10", "-o", out}).status, 2);
    EXPECT_EQ(vistrel({"render", sprite, "-o", out, "--bogus"}).status, 2);
    EXPECT_EQ(vistrel({"render", "--rom", rom, "--sprite", "0", "--sprite-id", "0", "-o", out}).status, 2);
    EXPECT_EQ(vistrel({"render", "--rom", rom, "--sprite-id", "1", "--bank", "1", "-o", out}).status, 2);
    EXPECT_EQ(vistrel({"render", sprite, "--bank", "1", "-o", out}).status, 2);
    EXPECT_EQ(vistrel({"unit", rom, "0x2A", "-o", out}).status, 2);

    // A wrong number or offset is named with the forms the option takes.
    const std::vector<std::pair<std::vector<std::string>, std::string>> wrongNumbers{
        {{"unit", rom, "2A", "--dir", out}, "UNIT must be a number, decimal (42) or hexadecimal with 0x (0x2A)"},
        {{"render", sprite, "-o", out, "--seed", "7x"}, "--seed must be a number"},
        {{"render", sprite, palette, "-o", out, "--bank", "0x"}, "--bank must be a number"},
        {{"render", "--rom", rom, "--sprite-id", "335h", "-o", out}, "--sprite-id must be a number"},
        {{"render", "--rom", rom, "--palette", "G0", "--sprite", "0", "-o", out},
         "--palette takes a hexadecimal offset as typed into the address dialog (1A2B3C), also with 0x"}};
    for (const auto& [arguments, problem] : wrongNumbers) {
        const CommandRun run = vistrel(arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.err.starts_with("Vistrel: " + problem)) << run.err;
    }
    EXPECT_TRUE(png.canvases.empty());
}

TEST_F(VistrelCliTest, HelpDescribesEveryCommandAndOption)
{
    const CommandRun help = vistrel({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* line : {"Vistrel render --rom ROM --sprite-id ID [--palette-id ID] -o OUT.png",
                             "draws every sprite of the unit with its palette"})
        EXPECT_NE(help.out.find(line), std::string::npos) << help.out;
    const CommandRun unit = vistrel({"unit", "--help"});
    EXPECT_EQ(unit.status, 0);
    EXPECT_NE(unit.out.find("--bank K "), std::string::npos) << unit.out;
}

TEST(VistrelHexAddress, TakesTheDialogsFormWithOrWithoutPrefixAndGbaPointers)
{
    const std::vector<std::pair<std::string, std::optional<std::uint32_t>>> rows{
        {"1a2B3c", 0x1A2B3C},        {"0x1A2B3C", 0x1A2B3C},   {"0X1a", 0x1A},
        {"08629638", 0x629638},      {"0x09FFFFFF", 0x1FFFFFF}, {"0x0A000000", 0x0A000000},
        {"0x", std::nullopt},        {"", std::nullopt},       {"123456789", std::nullopt},
        {"-1", std::nullopt},        {"0x1G", std::nullopt},   {"0x0x1", std::nullopt}};
    for (const auto& [text, expected] : rows)
        EXPECT_EQ(sprite::parseHexAddress(text), expected) << text;
}

TEST_F(VistrelCliTest, PaletteBankOfAFileOfSeveralPalettes)
{
    ByteVector twoBanks(64, 0);
    twoBanks[32 + 2] = 0x1F;  // colour 1 of the second palette: pure red
    const std::string banks = folder.write("banks.dat", twoBanks).string();
    EXPECT_EQ(vistrel({"render", sprite, banks, "--bank", "1", "-o", out}).status, 0);
    ASSERT_EQ(png.canvases.size(), 1u);
    EXPECT_EQ(png.canvases[0].colours[1], (sprite::Rgb{248, 0, 0}));
    const CommandRun past = vistrel({"render", sprite, banks, "--bank", "2", "-o", out});
    EXPECT_EQ(past.status, 1);
    EXPECT_EQ(past.err, "エラー: パレットファイルにバンク 2 がありません (バンク数 2)\n");
    EXPECT_EQ(png.canvases.size(), 1u);
}

// The demo image: sprites and palettes reached through the game's pointer tables.
class VistrelRomTest : public VistrelCliTest {
protected:
    synthetic::DemoScenario demo = synthetic::makeDemoScenarioA();
    std::string rom = folder.write("demo.gba", ByteVector(demo.image.begin(), demo.image.end())).string();
};

TEST_F(VistrelRomTest, RenderFindsSpriteAndPaletteByIdAndBank)
{
    // A palette group of two banks or more, so that bank 1 is another palette.
    const auto group = std::find_if(demo.palettes.begin(), demo.palettes.end(),
                                    [](const auto& entry) { return entry.second.size() >= 64; });
    ASSERT_NE(group, demo.palettes.end());
    const auto& [spriteId, sheet] = *demo.spriteSheets.begin();
    std::ostringstream hexId;
    hexId << "0x" << std::hex << group->first;
    const CommandRun byId = vistrel({"render", "--rom", rom, "--sprite-id", std::to_string(spriteId),
                                     "--palette-id", hexId.str(), "--bank", "1", "-o", out});
    ASSERT_EQ(byId.status, 0) << byId.err;
    ASSERT_EQ(png.canvases.size(), 1u);
    const sprite::SheetCanvas& canvas = png.canvases[0];
    EXPECT_EQ(canvas.colours, sprite::paletteFromBytes(shell::ByteSpan(group->second).subspan(32)));
    EXPECT_EQ(canvas.indices, sprite::drawSheet(canvas.height, sheet, canvas.colours).indices);
}

TEST_F(VistrelRomTest, RenderByIdRefusesWhatTheTablesDoNotHold)
{
    ByteVector foreign(demo.image.begin(), demo.image.end());
    foreign[0xAC] = 'Q';
    const std::string other = folder.write("other.gba", foreign).string();
    const std::vector<std::pair<std::vector<std::string>, std::string>> rows{
        {{"--sprite-id", "821"}, "Sprite 0x335 はテーブルにありません (最後の ID は 0x334)\n"},
        {{"--sprite-id", "1"}, "Sprite 0x001 は空の ID です\n"},
        {{"--sprite-id", "0", "--palette-id", "635"}, "Pallet 0x27B はテーブルにありません (最後の ID は 0x27A)\n"},
        {{"--sprite-id", "0x10000"}, "SpriteのIDは 0x000 から 0xFFFF までです\n"}};
    for (const auto& [options, message] : rows) {
        std::vector<std::string> arguments{"render", "--rom", rom, "-o", out};
        arguments.insert(arguments.end(), options.begin(), options.end());
        const CommandRun run = vistrel(arguments);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, message);
    }
    const CommandRun run = vistrel({"render", "--rom", other, "--sprite-id", "0", "-o", out});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Vexaのロムではありません (ゲームコード: QX4M)\n");
    EXPECT_TRUE(png.canvases.empty());
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(VistrelRomTest, UnitWritesEverySheetWithItsPaletteAndTheIndex)
{
    const synthetic::ExpectedResources expected = synthetic::expectedResources(demo, 0x2A);
    const std::filesystem::path dir = folder.path("sheets");
    const CommandRun run = vistrel({"unit", rom, "0x2A", "--dir", dir.string()});
    ASSERT_EQ(run.status, 0) << run.err;
    const ByteVector index = folder.read("sheets/index.txt");
    EXPECT_EQ(run.out, std::string(index.begin(), index.end()));

    // The first sheet is the unit's BG sprite, drawn in bank 0 of the BG palette group.
    const std::uint16_t firstSprite = expected.sprites.front();
    const std::uint16_t firstPallet = expected.pallets.front();
    ASSERT_FALSE(png.canvases.empty());
    EXPECT_EQ(png.canvases[0].colours, sprite::paletteFromBytes(demo.palettes.at(firstPallet)));
    EXPECT_EQ(png.canvases[0].indices,
              sprite::drawSheet(png.canvases[0].height, demo.spriteSheets.at(firstSprite), png.canvases[0].colours).indices);
    EXPECT_TRUE(std::filesystem::exists(dir / ("sprite" + std::to_string(firstSprite) + ".png")));
    std::string lineStart = "\n";  // appended to, not prefixed: GCC 12 warns wrongly of the latter
    lineStart += std::to_string(firstSprite) + ' ';
    EXPECT_NE(run.out.find(lineStart), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("sprite0.dat pallet0.dat\n"), std::string::npos) << run.out;

    // A bank that some group lacks refuses the whole unit; nothing is written.
    const CommandRun past = vistrel({"unit", rom, "42", "--dir", folder.path("none").string(), "--bank", "4"});
    EXPECT_EQ(past.status, 1);
    EXPECT_NE(past.err.find(" 個です: バンク 4 はありません"), std::string::npos) << past.err;
    EXPECT_FALSE(std::filesystem::exists(folder.path("none")));
    const CommandRun beyond = vistrel({"unit", rom, "150", "--dir", folder.path("none").string()});
    EXPECT_EQ(beyond.status, 1);
    EXPECT_EQ(beyond.err, "ユニット番号は 0x00 から 0x95 までです\n");
}

}  // namespace
