#include "editor/morvane_cli.hpp"
#include "sprite/tessivo_cli.hpp"
#include "sprite/vistrel_cli.hpp"
#include "tests/doubles/scratch_folder.hpp"
#include "tests/support/character_table_file.hpp"
#include "tests/support/demo_scenario.hpp"

#include <QImage>
#include <QString>

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace {

using testing_doubles::ScratchFolder;

struct CommandRun {
    int status = 0;
    std::string out;
    std::string err;
};

template <class Command>
CommandRun runCommand(Command command, std::vector<std::string> arguments)
{
    std::ostringstream out;
    std::ostringstream err;
    const int status = command(arguments, out, err);
    return {status, out.str(), err.str()};
}

CommandRun vistrel(std::vector<std::string> arguments)
{
    return runCommand([](auto& a, auto& o, auto& e) { return sprite::runVistrelCommand(a, o, e); }, std::move(arguments));
}

CommandRun tessivo(std::vector<std::string> arguments)
{
    return runCommand(sprite::runTessivoCommand, std::move(arguments));
}

CommandRun morvane(std::vector<std::string> arguments)
{
    return runCommand(editor::runMorvaneCommand, std::move(arguments));
}

QImage loadPng(const std::filesystem::path& path)
{
    return QImage(QString::fromStdString(path.string()), "PNG");
}

// The index line of a sheet: sprite ID, offset, length, size, palette ID, offset, banks, image,
// then the unit folder's sprite and palette files.
struct IndexLine {
    std::string sprite, palette, image, spriteFile, palletFile;
};

IndexLine indexLineOf(const std::string& index, std::size_t sheet)
{
    std::istringstream lines(index);
    std::string line;
    for (std::size_t skip = 0; skip < 2 + sheet; ++skip)
        std::getline(lines, line);
    std::getline(lines, line);
    std::istringstream cells(line);
    IndexLine parsed;
    std::string unused;
    cells >> parsed.sprite >> unused >> unused >> unused >> parsed.palette >> unused >> unused >> parsed.image >>
        parsed.spriteFile >> parsed.palletFile;
    return parsed;
}

TEST(SpriteRoad, AnEditedSheetGoesBackIntoTheImageAndDecodesToTheEditedPixels)
{
    ScratchFolder folder;
    const synthetic::DemoScenario demo = synthetic::makeDemoScenarioA();
    const std::string rom = folder.write("demo.gba", demo.image).string();
    const std::string table = folder.write("string.txt", synthetic::makeCharacterTableFile()).string();

    const CommandRun saved = morvane({"save", rom, "0x2A", "--dir", folder.path("units").string(), "--table", table});
    ASSERT_EQ(saved.status, 0) << saved.err;
    const std::filesystem::path unitFolder = std::filesystem::u8path(saved.out.substr(0, saved.out.find('\n')));

    const CommandRun drawn = vistrel({"unit", rom, "0x2A", "--dir", folder.path("sheets").string(), "--indexed"});
    ASSERT_EQ(drawn.status, 0) << drawn.err;
    const IndexLine sheet = indexLineOf(drawn.out, 3);
    ASSERT_EQ(sheet.spriteFile.rfind("sprite", 0), 0u) << drawn.out;

    // The edit: a stripe across the top row and the second colour made another.
    QImage image = loadPng(folder.path("sheets") / sheet.image);
    ASSERT_EQ(image.format(), QImage::Format_Indexed8);
    for (int x = 0; x < 64; ++x)
        image.setPixel(x, 0, static_cast<uint>((image.pixelIndex(x, 0) + 5) % 16));
    image.setColor(1, qRgb(200, 40, 16));
    const std::filesystem::path edited = folder.path("edited.png");
    ASSERT_TRUE(image.save(QString::fromStdString(edited.string()), "PNG"));

    const CommandRun converted = tessivo({"convert", edited.string(), "--sprite", folder.path("new_sprite.dat").string(),
                                   "--palette", folder.path("new_pallet.dat").string(), "--compress"});
    ASSERT_EQ(converted.status, 0) << converted.err;
    // The sprite file is replaced whole; the new palette goes over the group's first bank only.
    std::filesystem::copy_file(folder.path("new_sprite.dat"), unitFolder / sheet.spriteFile,
                               std::filesystem::copy_options::overwrite_existing);
    std::vector<std::uint8_t> group = testing_doubles::readFileBytes(unitFolder / sheet.palletFile);
    const std::vector<std::uint8_t> palette = folder.read("new_pallet.dat");
    ASSERT_GE(group.size(), palette.size());
    std::copy(palette.begin(), palette.end(), group.begin());
    folder.write(std::filesystem::relative(unitFolder / sheet.palletFile, folder.path()).string(), group);

    const std::string out = folder.path("edited.gba").string();
    const CommandRun ported = morvane({"port", rom, "0x2A", unitFolder.string(), "-o", out, "--table", table});
    ASSERT_EQ(ported.status, 0) << ported.err;
    const CommandRun check = vistrel({"render", "--rom", out, "--sprite-id", sheet.sprite, "--palette-id", sheet.palette,
                               "--indexed", "-o", folder.path("check.png").string()});
    ASSERT_EQ(check.status, 0) << check.err;

    const QImage result = loadPng(folder.path("check.png"));
    ASSERT_EQ(result.size(), image.size());
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            ASSERT_EQ(result.pixelIndex(x, y), image.pixelIndex(x, y)) << x << ", " << y;
    }
    EXPECT_EQ(result.color(1), qRgb(200, 40, 16) & 0xFFF8F8F8);  // five bits a channel
}

}  // namespace
