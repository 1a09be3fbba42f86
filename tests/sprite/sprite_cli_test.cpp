#include "sprite/sprite_cli.hpp"

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

class SpriteCliTest : public ::testing::Test {
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
    static CommandRun tessivo(std::vector<std::string> arguments)
    {
        std::ostringstream output;
        std::ostringstream errors;
        const int status = sprite::runTessivoCommand(arguments, output, errors);
        return {status, output.str(), errors.str()};
    }
};

TEST_F(SpriteCliTest, RenderDrawsTheSpriteFileInThePaletteFileAndWritesThePng)
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

TEST_F(SpriteCliTest, RenderWithoutPaletteRepeatsItsColoursForASeed)
{
    ASSERT_EQ(vistrel({"render", sprite, "-o", out, "--seed", "7"}).status, 0);
    ASSERT_EQ(vistrel({"render", sprite, "-o", out, "--seed", "7", "--indexed"}).status, 0);
    ASSERT_EQ(vistrel({"render", sprite, "-o", out, "--seed", "8"}).status, 0);
    EXPECT_EQ(png.canvases[0].colours, png.canvases[1].colours);
    EXPECT_NE(png.canvases[0].colours, png.canvases[2].colours);
    EXPECT_EQ(png.kinds[1], sprite::PngKind::Indexed);
}

TEST_F(SpriteCliTest, RenderFromARomImageAtHexadecimalAddresses)
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

TEST_F(SpriteCliTest, RenderRefusesWhatItCannotDrawAndWritesNothing)
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

TEST_F(SpriteCliTest, RenderUsageMistakesExitTwo)
{
    EXPECT_EQ(vistrel({"render", sprite}).status, 2);
    EXPECT_EQ(vistrel({"render", "-o", out}).status, 2);
    EXPECT_EQ(vistrel({"render", "--rom", "x.gba", "-o", out}).status, 2);
    EXPECT_EQ(vistrel({"render", "--rom", "x.gba", "--sprite", "12G", "-o", out}).status, 2);
    EXPECT_EQ(vistrel({"render", "--rom", "x.gba", "--sprite", "123456789", "-o", out}).status, 2);
    EXPECT_EQ(vistrel({"render", sprite, "--sprite", "10", "-o", out}).status, 2);
    EXPECT_EQ(vistrel({"render", sprite, "-o", out, "--bogus"}).status, 2);
}

TEST_F(SpriteCliTest, ConvertWritesTheWindowsBytesAndReportsAsTheWindowDoes)
{
    const ByteVector bitmap = sprite_test::bitmapFile({});
    const std::string in = folder.write("in.bmp", bitmap).string();
    const CommandRun run = tessivo({"convert", in, "--sprite", folder.path("s.dat").string(), "--palette",
                                    folder.path("p.dat").string()});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "幅256x高さ64\n");
    EXPECT_EQ(run.err, "スプライトの作成: ファイルの保存に成功しました\nパレットの作成: ファイルの保存に成功しました\n");
    const std::optional<sprite::Bitmap> parsed = sprite::readBitmap(bitmap).bitmap;
    const shell::Bytes spriteFile = sprite::spriteFileOf(*parsed);
    const shell::Bytes paletteFile = sprite::paletteFileOf(*parsed);
    EXPECT_EQ(folder.read("s.dat"), ByteVector(spriteFile.begin(), spriteFile.end()));
    EXPECT_EQ(folder.read("p.dat"), ByteVector(paletteFile.begin(), paletteFile.end()));

    const CommandRun compressed = tessivo({"convert", in, "--sprite", folder.path("c.dat").string(), "--compress"});
    EXPECT_EQ(compressed.status, 0);
    const ByteVector small = folder.read("c.dat");
    EXPECT_LT(small.size(), spriteFile.size());
    EXPECT_EQ(sprite::lz77Decode(shell::Bytes(small.begin(), small.end()), 0).bytes,
              sprite::lz77Decode(spriteFile, 0).bytes);
}

TEST_F(SpriteCliTest, ConvertRefusalsExitOneWithTheTestsMessage)
{
    const std::string in = folder.write("odd.bmp", sprite_test::bitmapFile(sprite_test::sizedPlan(255, 64))).string();
    const CommandRun run = tessivo({"convert", in, "--sprite", folder.path("new.dat").string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "画像の幅が256ではありません\n");
    EXPECT_FALSE(std::filesystem::exists(folder.path("new.dat")));

    EXPECT_EQ(tessivo({"convert"}).status, 2);
    EXPECT_EQ(tessivo({"convert", in, "--sprite"}).status, 2);
    const CommandRun unwritable = tessivo({"convert", folder.write("ok.bmp", sprite_test::bitmapFile({})).string(),
                                           "--palette", folder.path("no/such/p.dat").string()});
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_EQ(unwritable.err, "ファイルオープンに失敗: " + folder.path("no/such/p.dat").string() + "\nパレットの作成: キャンセルされました\n");
}

TEST_F(SpriteCliTest, ConvertWritesBothFilesOrNeither)
{
    // The palette cannot be written: the sprite file written before it is put back as it was.
    const std::string in = folder.write("ok.bmp", sprite_test::bitmapFile({})).string();
    const ByteVector earlier{1, 2, 3};
    const std::string spriteOut = folder.write("earlier.dat", earlier).string();
    std::filesystem::create_directory(folder.path("folder.dat"));
    const CommandRun run = tessivo({"convert", in, "--sprite", spriteOut, "--palette", folder.path("folder.dat").string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "ファイルオープンに失敗: " + folder.path("folder.dat").string() + "\nスプライトの作成: キャンセルされました\nパレットの作成: キャンセルされました\n");
    EXPECT_EQ(folder.read("earlier.dat"), earlier);
    EXPECT_TRUE(std::filesystem::is_directory(folder.path("folder.dat")));
}

}  // namespace
