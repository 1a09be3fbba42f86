#include "sprite/vistrel_cli.hpp"

#include "sprite/bitmap.hpp"
#include "sprite/lz77.hpp"
#include "tests/sprite/sprite_test_files.hpp"

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
    std::vector<sprite::PngKind> kinds;

    sprite::PngEncoder encoder()
    {
        return [this](const sprite::SheetCanvas& canvas, sprite::PngKind kind) -> std::optional<shell::Bytes> {
            canvases.push_back(canvas);
            kinds.push_back(kind);
            return shell::Bytes{'P', 'N', 'G'};
        };
    }
};

ByteVector literalStream(std::uint32_t size, std::uint8_t fill)
{
    const shell::Bytes stream = sprite::lz77EncodeLiterals(shell::Bytes(size, fill), size);
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
    EXPECT_EQ(png.kinds[0], sprite::PngKind::Colour);
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
    EXPECT_EQ(png.kinds[1], sprite::PngKind::Indexed);
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
    EXPECT_EQ(missing.err, "ファイルオープンに失敗: " + folder.path("none.dat").string() + "\n");

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
}

}  // namespace
