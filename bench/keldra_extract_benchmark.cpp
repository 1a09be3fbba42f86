// Extracting every one of the 150 units of an image in a loop, as "選択ユニット抽出" does for each:
// the unit's resources are collected, the file set is built and every file is written.
//
// The image is demo image A with its ten rich units copied into all 150 slots (unit record,
// animation header and icon index entry), each copy under its own name, so every extraction walks
// sprites, palettes, BG maps, routines, cut-ins and system animations and writes its own folder.

#include "bench/budget.hpp"

#include "rom/game_text.hpp"
#include "shell/files.hpp"
#include "tests/doubles/scripted_shell.hpp"
#include "tests/support/character_table_file.hpp"
#include "tests/support/demo_scenario.hpp"
#include "tests/support/rom_layout.hpp"
#include "transplant/extraction.hpp"
#include "transplant/keldra_session.hpp"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace {

namespace layout = synthetic::layout;

constexpr std::uint16_t kUnits = layout::kLastUnitId + 1;
constexpr double kAllUnitsBudgetMilliseconds = 1000;
// Digits appended to each copy's name, so that every unit gets its own folder.
constexpr std::string_view kDigits[] = {"０", "１", "２", "３", "４", "５", "６", "７", "８", "９"};

struct Files {
    std::filesystem::path folder;
    std::filesystem::path rom;
    std::filesystem::path table;
    std::filesystem::path output;
};

void writeFile(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void copyRecord(synthetic::Bytes& image, layout::Table table, std::uint16_t from, std::uint16_t to)
{
    const auto source = image.begin() + layout::recordOffset(table, from);
    std::copy_n(source, layout::recordSize(table), image.begin() + layout::recordOffset(table, to));
}

std::string numbered(const std::string& name, std::uint16_t unit)
{
    return name + std::string(kDigits[unit / 100]) + std::string(kDigits[unit / 10 % 10]) +
           std::string(kDigits[unit % 10]);
}

synthetic::Bytes hundredFiftyUnitImage()
{
    synthetic::DemoScenario demo = synthetic::makeDemoScenarioA();
    synthetic::Bytes& image = demo.image;
    for (std::uint16_t unit = 0; unit < kUnits; ++unit) {
        const synthetic::DemoUnit& model = demo.units[unit % demo.units.size()];
        if (unit != model.id) {
            copyRecord(image, layout::Table::Unit, model.id, unit);
            copyRecord(image, layout::Table::UnitAnime, model.id, unit);
            copyRecord(image, layout::Table::UnitIconIndex, model.id, unit);
        }
        const synthetic::Bytes name = synthetic::encodeGameText(numbered(model.name, unit));
        if (name.size() >= layout::kNameSize)
            throw std::length_error("a numbered demo name does not fit its field");
        const auto field = image.begin() + layout::recordOffset(layout::Table::Unit, unit) +
                           layout::unit::kName;
        std::fill_n(field, layout::kNameSize, 0);
        std::ranges::copy(name, field);
        field[static_cast<std::ptrdiff_t>(name.size())] = layout::kNameEnd;
    }
    return std::move(demo.image);
}

// The files go into a RAM file system when there is one and TMPDIR names no other place: the budget
// is for the tool's work, and the time a disk takes to create seventeen thousand files varies
// tenfold from one machine (and one minute) to the next.
std::filesystem::path scratchBase()
{
    constexpr const char* kRamFolder = "/dev/shm";
    std::error_code error;
    if (std::getenv("TMPDIR") == nullptr && std::filesystem::is_directory(kRamFolder, error))
        return kRamFolder;
    return std::filesystem::temp_directory_path();
}

Files prepareFiles()
{
    const std::filesystem::path folder =
        scratchBase() / ("keldra_extract_bench_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    Files files{folder, folder / "units.gba", folder / "string.txt", folder / "sets"};
    const synthetic::Bytes image = hundredFiftyUnitImage();
    writeFile(files.rom, std::string(image.begin(), image.end()));
    writeFile(files.table, synthetic::makeCharacterTableFile());
    return files;
}

// Removes the scratch folder when the program ends.
struct Cleanup {
    std::filesystem::path folder;
    ~Cleanup()
    {
        std::error_code error;
        std::filesystem::remove_all(folder, error);
    }
};

const Files& files()
{
    static const Files prepared = prepareFiles();
    static const Cleanup cleanup{prepared.folder};
    return prepared;
}

// A session with the test image open, as after "開く".
struct OpenSession {
    explicit OpenSession(const Files& paths)
        : session(shell, rom::characterTableFrom(shell::readWholeFile(shell, paths.table)))
    {
        opened = session.OpenRom(paths.rom);
    }

    testing_doubles::ScriptedShell shell;
    transplant::KeldraSession session;
    bool opened = false;
};

void extractAllUnits(benchmark::State& state)
{
    const Files& paths = files();
    OpenSession open(paths);
    transplant::KeldraSession& session = open.session;
    if (!open.opened) {
        state.SkipWithError("the image did not open");
        return;
    }
    transplant::SelectionFlags flags;
    flags.selectAll();
    for (auto _ : state) {
        for (std::uint16_t unit = 0; unit < kUnits; ++unit) {
            const auto result = session.selectUnit(unit)
                                    ? session.ExtractUnit(flags, paths.output /
                                                                     session.extractionFolderName(unit))
                                    : std::nullopt;
            if (!result || !result->complete) {
                state.SkipWithError("a unit was not extracted");
                return;
            }
        }
    }
    const auto folders = std::distance(std::filesystem::directory_iterator(paths.output),
                                       std::filesystem::directory_iterator());
    if (folders != kUnits)
        state.SkipWithError("the units did not get a folder each");
    state.counters["units"] = kUnits;
    state.SetLabel("files in " + paths.folder.parent_path().string());
}

// The same extractions without the files: what the walks and the block building cost, for telling
// them apart from the file system's share.
void buildAllFileSets(benchmark::State& state)
{
    OpenSession open(files());
    transplant::KeldraSession& session = open.session;
    if (!open.opened) {
        state.SkipWithError("the image did not open");
        return;
    }
    transplant::SelectionFlags flags;
    flags.selectAll();
    for (auto _ : state) {
        for (std::uint16_t unit = 0; unit < kUnits; ++unit) {
            if (!session.selectUnit(unit)) {
                state.SkipWithError("a unit could not be selected");
                return;
            }
            auto set = transplant::buildExtractionSet(session.rom().bytes, session.directory(),
                                                      session.selectedUnit(), flags);
            auto fileSet = set ? transplant::buildFileSet(session.rom().bytes,
                                                          session.directory(), *set)
                               : std::unexpected(set.error());
            if (!fileSet) {
                state.SkipWithError("a file set could not be built");
                return;
            }
            benchmark::DoNotOptimize(fileSet->data());
        }
    }
}

const bool registered = [] {
    bench::registerWithBudget("ExtractAll150Units", extractAllUnits, kAllUnitsBudgetMilliseconds);
    benchmark::RegisterBenchmark("BuildAll150FileSetsInMemory", buildAllFileSets)
        ->Unit(benchmark::kMillisecond);
    return true;
}();

}  // namespace
