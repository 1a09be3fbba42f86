#include "sprite/tessivo_cli.hpp"

#include "shell/path_text.hpp"
#include "sprite/bitmap.hpp"
#include "rom/lz77.hpp"
#include "tests/sprite/sprite_test_files.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace {

using sprite_test::ByteVector;

struct CommandRun {
    int status;
    std::string out;
    std::string err;
};

class TessivoCliTest : public ::testing::Test {
protected:
    sprite_test::ScratchFolder folder;

    static CommandRun tessivo(std::vector<std::string> arguments)
    {
        std::ostringstream output;
        std::ostringstream errors;
        const int status = sprite::runTessivoCommand(arguments, output, errors);
        return {status, output.str(), errors.str()};
    }
};

TEST_F(TessivoCliTest, ConvertWritesTheWindowsBytesAndReportsAsTheWindowDoes)
{
    const ByteVector bitmap = sprite_test::bitmapFile({});
    const std::string in = folder.write("in.bmp", bitmap).string();
    const CommandRun run = tessivo({"convert", in, "--sprite", folder.path("s.dat").string(), "--palette",
                                    folder.path("p.dat").string()});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "幅256x高さ64\n");
    EXPECT_EQ(run.err, "色番号が15を超えるピクセルが 15360 個あります (16-255): 下位4ビットだけを使います\n"
                       "スプライトの作成: ファイルの保存に成功しました\nパレットの作成: ファイルの保存に成功しました\n");
    const std::optional<sprite::Bitmap> parsed = sprite::readBitmap(bitmap).bitmap;
    const shell::Bytes spriteFile = sprite::spriteFileOf(*parsed);
    const shell::Bytes paletteFile = sprite::paletteFileOf(*parsed);
    EXPECT_EQ(folder.read("s.dat"), ByteVector(spriteFile.begin(), spriteFile.end()));
    EXPECT_EQ(folder.read("p.dat"), ByteVector(paletteFile.begin(), paletteFile.end()));

    const CommandRun compressed = tessivo({"convert", in, "--sprite", folder.path("c.dat").string(), "--compress"});
    EXPECT_EQ(compressed.status, 0);
    const ByteVector small = folder.read("c.dat");
    EXPECT_LT(small.size(), spriteFile.size());
    EXPECT_EQ(rom::lz77Decode(shell::Bytes(small.begin(), small.end()), 0).bytes,
              rom::lz77Decode(spriteFile, 0).bytes);
}

TEST_F(TessivoCliTest, ConvertTakesAPalettePngAsTheSameBitmapAndTellsByContentNotName)
{
    // The default bitmap's pixels and colours, as an 8-bit palette image.
    sprite_test::PngPlan plan;
    plan.height = 64;
    plan.bitDepth = 8;
    plan.paletteSize = 256;
    const std::string png = folder.write("in.png", sprite_test::pngFile(plan)).string();
    const std::string bmp = folder.write("in.bmp", sprite_test::bitmapFile({})).string();
    const std::string misnamed = folder.write("bitmap.png", sprite_test::bitmapFile({})).string();
    std::vector<CommandRun> runs;
    for (const std::string& in : {bmp, png, misnamed}) {
        const std::string name = std::to_string(runs.size());
        runs.push_back(tessivo({"convert", in, "--sprite", folder.path(name + "s.dat").string(), "--palette",
                                folder.path(name + "p.dat").string(), "--compress"}));
        EXPECT_EQ(runs.back().status, 0) << in << runs.back().err;
        EXPECT_EQ(runs.back().out + runs.back().err, runs.front().out + runs.front().err) << in;
        EXPECT_EQ(folder.read(name + "s.dat"), folder.read("0s.dat")) << in;
        EXPECT_EQ(folder.read(name + "p.dat"), folder.read("0p.dat")) << in;
    }

    plan.palette = false;
    const std::string colour = folder.write("colour.png", sprite_test::pngFile(plan)).string();
    const CommandRun refused = tessivo({"convert", colour, "--sprite", folder.path("new.dat").string()});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err, "パレット形式のPNGではありません\n");
    EXPECT_FALSE(std::filesystem::exists(folder.path("new.dat")));
}

TEST_F(TessivoCliTest, ConvertRefusalsExitOneWithTheTestsMessage)
{
    const std::string in = folder.write("odd.bmp", sprite_test::bitmapFile(sprite_test::sizedPlan(255, 64))).string();
    const CommandRun run = tessivo({"convert", in, "--sprite", folder.path("new.dat").string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "画像の幅が256ではありません\n");
    EXPECT_FALSE(std::filesystem::exists(folder.path("new.dat")));

    EXPECT_EQ(tessivo({"convert"}).status, 2);
    EXPECT_EQ(tessivo({"convert", in, "--sprite"}).status, 2);
    const std::string ok = folder.write("ok.bmp", sprite_test::bitmapFile({})).string();
    const CommandRun unwritable = tessivo({"convert", ok, "--palette", folder.path("no/such/p.dat").string()});
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_EQ(unwritable.err, "ファイルオープンに失敗: " + shell::pathText(folder.path("no/such/p.dat")) + "\n");
}

TEST_F(TessivoCliTest, ConvertUsageMistakesExitTwoAndWriteNothing)
{
    const std::string in = folder.write("in.bmp", sprite_test::bitmapFile({})).string();
    const std::string same = folder.path("same.dat").string();
    const CommandRun nothingAsked = tessivo({"convert", in});
    EXPECT_EQ(nothingAsked.status, 2);
    EXPECT_NE(nothingAsked.err.find("usage: "), std::string::npos);
    const CommandRun bothOnOne = tessivo({"convert", in, "--sprite", same, "--palette", same});
    EXPECT_EQ(bothOnOne.status, 2);
    EXPECT_NE(bothOnOne.err.find("--sprite and --palette name the same file"), std::string::npos) << bothOnOne.err;
    const CommandRun ontoInput = tessivo({"convert", in, "--palette", in});
    EXPECT_EQ(ontoInput.status, 2);
    EXPECT_NE(ontoInput.err.find("--palette names the input IN"), std::string::npos) << ontoInput.err;
    EXPECT_EQ(nothingAsked.out + bothOnOne.out + ontoInput.out, "");
    EXPECT_FALSE(std::filesystem::exists(same));
    EXPECT_EQ(folder.read("in.bmp"), sprite_test::bitmapFile({}));
}

TEST_F(TessivoCliTest, ConvertWarnsOfIndexesAboveFifteenWhenItMakesTheSpriteFile)
{
    sprite_test::BitmapPlan plan = sprite_test::sizedPlan(256, 8);
    plan.topDownPixels.assign(256 * 8, 3);
    plan.topDownPixels[0] = 16;
    plan.topDownPixels[1] = 17;
    plan.topDownPixels[2] = 17;
    plan.topDownPixels[3] = 31;
    const std::string in = folder.write("wide.bmp", sprite_test::bitmapFile(plan)).string();
    const CommandRun spriteRun = tessivo({"convert", in, "--sprite", folder.path("w.dat").string()});
    EXPECT_EQ(spriteRun.status, 0);
    EXPECT_EQ(spriteRun.err, "色番号が15を超えるピクセルが 4 個あります (16-17, 31): 下位4ビットだけを使います\n"
                             "スプライトの作成: ファイルの保存に成功しました\n");
    // The palette file loses nothing of the pixels.
    const CommandRun paletteRun = tessivo({"convert", in, "--palette", folder.path("w.pal").string()});
    EXPECT_EQ(paletteRun.err, "パレットの作成: ファイルの保存に成功しました\n");
}

TEST_F(TessivoCliTest, ConvertWritesBothFilesOrNeither)
{
    // The palette cannot be written: the sprite file written before it is put back as it was.
    const std::string in = folder.write("ok.bmp", sprite_test::bitmapFile({})).string();
    const ByteVector earlier{1, 2, 3};
    const std::string spriteOut = folder.write("earlier.dat", earlier).string();
    std::filesystem::create_directory(folder.path("folder.dat"));
    const CommandRun run = tessivo({"convert", in, "--sprite", spriteOut, "--palette", folder.path("folder.dat").string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "色番号が15を超えるピクセルが 15360 個あります (16-255): 下位4ビットだけを使います\n"
                       "ファイルオープンに失敗: " + shell::pathText(folder.path("folder.dat")) + "\n");
    EXPECT_EQ(folder.read("earlier.dat"), earlier);
    EXPECT_TRUE(std::filesystem::is_directory(folder.path("folder.dat")));
}

}  // namespace
