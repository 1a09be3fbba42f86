// Opening a 32 MiB image and filling the 150-line unit list, with names decoded through a 64 KiB
// character table, as the transplant tool does when "開く" is chosen.

#include "bench/budget.hpp"

#include "rom/game_text.hpp"
#include "shell/files.hpp"
#include "tests/doubles/scripted_shell.hpp"
#include "tests/support/synthetic_rom.hpp"
#include "transplant/keldra_session.hpp"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

namespace {

constexpr std::size_t kImageSize = 32 * 1024 * 1024;
constexpr std::size_t kTableSize = 64 * 1024;
constexpr double kOpenBudgetMilliseconds = 50;

struct Files {
    std::filesystem::path rom;
    std::filesystem::path table;
};

void writeFile(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A table of 64 KiB: every one-byte code, then two-byte codes until the size is reached. Names
// use codes near the end of the table and codes the table lacks, the slowest ones to find.
std::string largeCharacterTable()
{
    std::string table;
    char entry[32];
    for (unsigned code = 0; code < 0xC0; ++code) {
        std::snprintf(entry, sizeof entry, "%02X,\x82\x60\r\n", code);
        table += entry;
    }
    for (unsigned code = 0xC000; table.size() < kTableSize; ++code) {
        std::snprintf(entry, sizeof entry, "%02X %02X,\x88\x9F\r\n", code >> 8, code & 0xFF);
        table += entry;
    }
    return table.substr(0, kTableSize);
}

Files prepareFiles()
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "keldra_bench";
    std::filesystem::create_directories(folder);
    synthetic::RomBuilder rom(kImageSize);
    std::mt19937 random(7);
    for (std::uint16_t unit = 0; unit < 150; ++unit) {
        synthetic::UnitSpec spec;
        for (int i = 0; i < 15; ++i) {
            if (random() % 2)
                spec.name.push_back(static_cast<std::uint8_t>(random() % 0xC0));
            else {
                spec.name.push_back(static_cast<std::uint8_t>(0xC0 + random() % 0x3F));
                spec.name.push_back(static_cast<std::uint8_t>(random()));
            }
        }
        spec.name.resize(31);
        if (spec.name.back() >= 0xC0)
            spec.name.back() = 0x41;
        rom.setUnit(unit, spec);
    }
    const auto image = rom.take();
    Files files{folder / "bench.gba", folder / "string.txt"};
    writeFile(files.rom, std::string(image.begin(), image.end()));
    writeFile(files.table, largeCharacterTable());
    return files;
}

const Files& files()
{
    static const Files prepared = prepareFiles();
    return prepared;
}

void openAndListUnits(benchmark::State& state)
{
    const Files& paths = files();
    for (auto _ : state) {
        testing_doubles::ScriptedShell shell;
        transplant::KeldraSession session(shell, rom::characterTableFrom(shell::readWholeFile(shell, paths.table)));
        if (!session.OpenRom(paths.rom)) {
            state.SkipWithError("the image did not open");
            break;
        }
        benchmark::DoNotOptimize(session.unitListLines());
    }
}

const bool registered = [] {
    bench::registerWithBudget("OpenRomAndListUnits", openAndListUnits, kOpenBudgetMilliseconds);
    return true;
}();

}  // namespace
