// libFuzzer target: opening a patched demo image as the transplant tool opens it, its unit list,
// the resource collection of the units and the extraction of one of them in memory.
//
// Input: [flag seed u8] [unit choice u8] then patches (tests/fuzz/image_patch.hpp).
// Every unit's name is decoded; every unit is collected in one input of four, a window of them
// otherwise; one unit an input is extracted (see checkImage).
// Properties: an image that passes the opening checks has a readable name for every unit (the
// unit list relies on it); a collected set holds its own unit, unique IDs and one bank count per
// palette; an extraction keeps only selected records, its index reads back to the same set, its
// fixed records have their record sizes and every routine file it builds is one the transplant
// accepts. Every 512th input also runs the session itself on the image written to /dev/shm, which
// must open exactly the images the checks pass and write exactly the files built in memory.

#include "rom/game_tables.hpp"
#include "rom/record_names.hpp"
#include "rom/records.hpp"
#include "rom/rom_image.hpp"
#include "rom/unit_resources.hpp"
#include "shell/text_encoding.hpp"
#include "tests/doubles/scripted_shell.hpp"
#include "tests/fuzz/fuzz_support.hpp"
#include "tests/fuzz/image_patch.hpp"
#include "tests/support/character_table_file.hpp"
#include "tests/support/demo_scenario.hpp"
#include "transplant/extension_info.hpp"
#include "transplant/extraction.hpp"
#include "transplant/file_set.hpp"
#include "transplant/free_ids.hpp"
#include "transplant/keldra_session.hpp"
#include "transplant/routine_blocks.hpp"
#include "transplant/unit_texts.hpp"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <set>
#include <unistd.h>

namespace {

using rom::ResourceKind;
namespace names = transplant::file_set;

constexpr unsigned kSessionRunInterval = 512;
constexpr unsigned kBaseCheckInterval = 4096;
constexpr std::uint16_t kCollectWindow = 8;
constexpr std::array<ResourceKind, 4> kChosenKinds{
    ResourceKind::FixedWeapon, ResourceKind::GraphicDifinition, ResourceKind::UnitCutin,
    ResourceKind::SystemAnime};

struct Fixture {
    synthetic::DemoScenario scenario = synthetic::makeDemoScenarioA();
    fuzz_patch::PatchedImage image{shell::Bytes(scenario.image.begin(), scenario.image.end()),
                                   fuzz_patch::scenarioRegions(scenario), 0};
    rom::CharacterTable table{synthetic::makeCharacterTableFile()};
    std::filesystem::path scratch =
        std::filesystem::path("/dev/shm") / ("rom_open_fuzz." + std::to_string(::getpid()));
    unsigned inputs = 0;
};

Fixture& fixture()
{
    static Fixture instance;
    return instance;
}

transplant::SelectionFlags flagsFrom(std::uint8_t seed)
{
    transplant::SelectionFlags flags;
    flags.selectAll();
    for (std::size_t k = 0; k < kChosenKinds.size(); ++k) {
        for (std::size_t j = 0; j < 16; ++j)
            flags.set(kChosenKinds[k], j, (seed >> ((j + k) % 8)) & 1);
    }
    return flags;
}

// What the transplant tool checks when it opens an image; the directory when it is accepted.
std::optional<rom::TableDirectory> openingChecks(rom::ByteSpan image)
{
    if (!rom::isSupportedGame(image)) {
        require(rom::gameCodeOf(image).size() <= rom::kGameCodeLength);
        return std::nullopt;
    }
    auto directory = rom::readTableDirectory(image);
    if (!directory || !rom::checkFixedTablesFit(image, *directory))
        return std::nullopt;
    return *directory;
}

void checkCollected(const rom::UnitResourceSet& set, std::uint16_t unit)
{
    require(set.valid && set.wIdUnit == unit);
    require(set.palletBankCounts.size() == set.list(ResourceKind::Pallet).size());
    for (const auto& list : set.lists) {
        std::set<std::uint16_t> unique(list.begin(), list.end());
        require(unique.size() == list.size());
    }
}

bool startsWith(std::string_view name, std::string_view stem)
{
    return name.substr(0, stem.size()) == stem;
}

std::optional<std::vector<transplant::FileSetFile>> extract(rom::ByteSpan image,
                                                            const rom::TableDirectory& directory,
                                                            const rom::UnitResourceSet& selected,
                                                            const transplant::SelectionFlags& flags)
{
    auto set = transplant::buildExtractionSet(image, directory, selected, flags);
    if (!set)
        return std::nullopt;
    for (ResourceKind kind : kChosenKinds) {
        const auto& kept = set->list(kind);
        const auto& offered = selected.list(kind);
        require(kept.size() <= offered.size());
        for (std::uint16_t id : kept)
            require(std::ranges::find(offered, id) != offered.end());
    }
    auto files = transplant::buildFileSet(image, directory, *set);
    if (!files)
        return std::nullopt;

    require(!files->empty() && files->front().name == names::kIndexFile);
    const rom::Bytes& indexBytes = files->front().bytes;
    auto index = transplant::parseUnitAllData(
        std::string_view(reinterpret_cast<const char*>(indexBytes.data()), indexBytes.size()));
    require(index.has_value() && index->wIdUnit == set->wIdUnit && index->wIdIcon == set->wIdIcon);
    for (ResourceKind kind : names::kIndexedKinds)
        require(index->list(kind) == set->list(kind));

    std::set<std::string> fileNames;
    for (const transplant::FileSetFile& file : *files) {
        require(fileNames.insert(file.name).second);
        if (file.name == names::kUnitFile)
            require(file.bytes.size() == rom::UnitDataRecord::kSize);
        else if (file.name == names::kUnitAnimeFile)
            require(file.bytes.size() == rom::UNIT_ANIME_HEADER::kSize);
        else if (file.name == names::kIconFile)
            require(file.bytes.size() == rom::IconRecord::kSize);
        for (auto [stem, kind] : {std::pair{names::kMotionPartStem, ResourceKind::MotionPart},
                                  std::pair{names::kShadowEtcStem, ResourceKind::ShadowEtc},
                                  std::pair{names::kCutinScrollStem, ResourceKind::CutinScroll}}) {
            if (startsWith(file.name, stem) && !file.bytes.empty())
                require(transplant::readRoutineBlock(kind, file.bytes).has_value());
        }
    }
    return std::move(*files);
}

// The session on the image as a file: it opens what the checks accept, and its extraction
// writes what extract() builds.
void runSession(Fixture& f, bool accepted, std::uint16_t unit,
                const std::optional<rom::TableDirectory>& directory)
{
    std::filesystem::create_directories(f.scratch);
    const std::filesystem::path imagePath = f.scratch / "image.gba";
    {
        std::ofstream out(imagePath, std::ios::binary | std::ios::trunc);
        const rom::ByteSpan image = f.image.view();
        out.write(reinterpret_cast<const char*>(image.data()),
                  static_cast<std::streamsize>(image.size()));
        require(out.good());
    }
    testing_doubles::ScriptedShell shell;
    transplant::KeldraSession session(shell, f.table);
    require(session.OpenRom(imagePath) == accepted);
    if (accepted && session.selectUnit(unit)) {
        transplant::SelectionFlags all;
        all.selectAll();
        const auto expected = extract(f.image.view(), *directory, session.selectedUnit(), all);
        const auto result =
            session.ExtractUnit(all, f.scratch / "sets" / session.extractionFolderName(unit));
        require(result.has_value() == expected.has_value());
        if (result && result->complete) {
            std::size_t written = 0;
            for (const auto& entry : std::filesystem::directory_iterator(result->folder)) {
                (void)entry;
                ++written;
            }
            require(written == expected->size());
            for (const transplant::FileSetFile& file : *expected) {
                std::ifstream in(result->folder / file.name, std::ios::binary);
                const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                              std::istreambuf_iterator<char>());
                require(std::ranges::equal(bytes, file.bytes, [](char a, std::uint8_t b) {
                    return static_cast<std::uint8_t>(a) == b;
                }));
            }
        }
    }
    std::filesystem::remove_all(f.scratch);
}

std::uint16_t demoUnitOf(const Fixture& f, std::uint8_t choice)
{
    return f.scenario.units[choice % f.scenario.units.size()].id;
}

void checkImage(Fixture& f, std::uint8_t flagSeed, std::uint8_t unitChoice)
{
    const rom::ByteSpan image = f.image.view();
    const std::optional<rom::TableDirectory> directory = openingChecks(image);
    const bool runSessionNow = ++f.inputs % kSessionRunInterval == 0;
    if (directory) {
        const transplant::ExtensionInfo info =
            rom::isUnextended(*directory) ? transplant::presetExtensionInfo()
                                          : transplant::ExtensionInfo();
        (void)transplant::ShowExtendStatus(info, *directory);
        // The free ID search belongs to the add command; an input in eight runs it.
        if (info.loaded && flagSeed % 8 == 0) {
            if (auto freeIds = transplant::BuildFreeIdSet(image, *directory, info)) {
                for (const auto& list : freeIds->lists)
                    require(std::ranges::is_sorted(list) &&
                            std::ranges::adjacent_find(list) == list.end());
            }
        }
        // Extraction builds every file in memory, which is costly: one unit an input, one of the
        // demo's named units or any other, with the flags of the seed (0xFF keeps everything).
        const std::uint16_t extractedUnit =
            (flagSeed & 1) ? demoUnitOf(f, unitChoice)
                           : static_cast<std::uint16_t>(unitChoice % rom::kUnitCount);
        const transplant::SelectionFlags flags = flagsFrom(flagSeed);
        for (std::uint16_t unit = 0; unit < rom::kUnitCount; ++unit) {
            auto name = rom::decodeUnitName(image, *directory, unit, f.table);
            require(name.has_value());
            const std::string displayName = shell::sjisToUtf8(*name);
            (void)transplant::idNameLine(unit, displayName);
            // Collecting all 150 units is costly too: an input in four does, the others collect
            // a window of eight units and the extracted one.
            const bool collect = flagSeed % 4 == 0 || unit == extractedUnit ||
                                 static_cast<std::uint16_t>(unit - unitChoice) < kCollectWindow;
            if (!collect)
                continue;
            auto set = rom::CollectUnitResources(image, *directory, unit);
            if (!set)
                continue;
            checkCollected(*set, unit);
            if (unit == extractedUnit) {
                // The panels of a picked unit, then its extraction.
                (void)transplant::unitInformationText(image, *directory, unit, displayName, f.table);
                (void)transplant::resourceSummaryText(displayName, *set);
                extract(image, *directory, *set, flags);
            }
        }
    }
    if (runSessionNow)
        runSession(f, directory.has_value(), demoUnitOf(f, unitChoice), directory);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Fixture& f = fixture();
    fuzz_patch::InputReader input(data, size);
    const std::uint8_t flagSeed = input.u8();
    const std::uint8_t unitChoice = input.u8();
    f.image.apply(input);
    checkImage(f, flagSeed, unitChoice);
    f.image.undo();
    if (f.inputs % kBaseCheckInterval == 0)
        require(f.image.matchesBase());
    return 0;
}
