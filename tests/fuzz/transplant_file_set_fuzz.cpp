// libFuzzer target: a whole transplant from a damaged file set. The set of demo image A's unit
// 0x2A is extracted once into a folder under /dev/shm; each input changes some of its files
// (overwrites, cuts, lengthens or deletes them, the index "UnitAllData.dat" included), and the set
// is then loaded, read and transplanted as the add command does into demo image B after an ID
// area extension. Changed files get their extracted bytes back after the input.
//
// Input: [slot choice u8] then edits, each [file u8] [op u8] [offset u16 LE] [payload]: op % 4 is
// 0 overwrite (op >> 2) + 1 bytes at the offset, 1 cut the file to the offset, 2 append
// offset % 512 + 1 bytes, 3 delete the file.
// Properties: the set as extracted is accepted; a refused transplant leaves the image byte for byte
// as it was (size included), also when the placed unit could not be read back; an accepted one
// stays within the cartridge limit, returns the first free icon, and points every table entry it
// filled at data inside the image; beyond the records of the free IDs it used and the appended
// blocks, nothing of the image changes.

#include "rom/game_tables.hpp"
#include "rom/gba_address.hpp"
#include "rom/resource_kind.hpp"
#include "rom/unit_resources.hpp"
#include "tests/doubles/scripted_shell.hpp"
#include "tests/fuzz/fuzz_support.hpp"
#include "tests/fuzz/image_patch.hpp"
#include "tests/support/demo_scenario.hpp"
#include "transplant/extension_info.hpp"
#include "transplant/extraction.hpp"
#include "transplant/file_set.hpp"
#include "transplant/free_ids.hpp"
#include "transplant/id_extension.hpp"
#include "transplant/transplant_unit.hpp"
#include "transplant/unit_file_set.hpp"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <type_traits>
#include <unistd.h>

namespace {

using rom::GameTable;
using rom::ResourceKind;
namespace names = transplant::file_set;

constexpr std::uint16_t kSourceUnit = 0x2A;
constexpr unsigned kBaseCheckInterval = 64;
constexpr std::size_t kLargestAppend = 512;
constexpr std::size_t kSlotChoices = 4;

template <class T>
T valueOrAbort(rom::RomResult<T> result)
{
    require(result.has_value());
    return std::move(*result);
}

void writeFile(const std::filesystem::path& path, const rom::Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    require(out.good());
}

struct Fixture {
    std::filesystem::path folder =
        std::filesystem::path("/dev/shm") / ("transplant_file_set_fuzz." + std::to_string(::getpid()));
    std::vector<transplant::FileSetFile> files;
    rom::Bytes base;  // image B after the extension
    rom::Bytes image;
    rom::TableDirectory directory;
    rom::UnitResourceSet freeIds;
    transplant::ExtensionInfo info;
    unsigned inputs = 0;

    Fixture()
    {
        const synthetic::DemoScenario a = synthetic::makeDemoScenarioA();
        const rom::Bytes imageA(a.image.begin(), a.image.end());
        const rom::TableDirectory directoryA = valueOrAbort(rom::readTableDirectory(imageA));
        const rom::UnitResourceSet unit =
            valueOrAbort(rom::CollectUnitResources(imageA, directoryA, kSourceUnit));
        transplant::SelectionFlags all;
        all.selectAll();
        const rom::UnitResourceSet set =
            valueOrAbort(transplant::buildExtractionSet(imageA, directoryA, unit, all));
        files = valueOrAbort(transplant::buildFileSet(imageA, directoryA, set));

        const synthetic::DemoScenario b = synthetic::makeDemoScenarioB();
        const rom::Bytes imageB(b.image.begin(), b.image.end());
        transplant::ExtendedImage extended =
            valueOrAbort(transplant::extendIdArea(imageB, transplant::presetExtensionInfo()));
        base = std::move(extended.image);
        directory = valueOrAbort(rom::readTableDirectory(base));
        info = extended.info;
        freeIds = valueOrAbort(transplant::BuildFreeIdSet(base, directory, info));
        require(freeIds.list(ResourceKind::Unit).size() >= kSlotChoices);
        // The add command works on the open image, which has room to grow in place.
        image.reserve(transplant::kCartridgeLimit);
        image.assign(base.begin(), base.end());

        std::filesystem::create_directories(folder);
        for (const transplant::FileSetFile& file : files)
            writeFile(folder / file.name, file.bytes);
    }

    ~Fixture() { std::filesystem::remove_all(folder); }
};

Fixture& fixture()
{
    static Fixture instance;
    return instance;
}

// The runs of the image a transplant of `loaded` into `freeIds` may write below the old end: the
// records of the free IDs it takes and their table entries.
std::vector<fuzz_patch::Region> writableRuns(const Fixture& f, const rom::UnitResourceSet& freeIds,
                                             const rom::UnitResourceSet& loaded)
{
    std::vector<fuzz_patch::Region> runs;
    auto add = [&](GameTable table, std::uint16_t id) {
        if (auto record = rom::recordBytes(f.base, f.directory, table, id))
            runs.push_back({static_cast<std::uint32_t>(record->data() - f.base.data()),
                            static_cast<std::uint32_t>(record->size())});
    };
    const std::uint16_t slot = freeIds.wIdUnit;
    add(GameTable::Unit, slot);
    add(GameTable::UnitAnimeHeader, slot);
    add(GameTable::UnitIconIndex, slot);
    if (!freeIds.list(ResourceKind::IconData).empty())
        add(GameTable::IconData, freeIds.list(ResourceKind::IconData).front());
    for (ResourceKind kind : names::kIndexedKinds) {
        const auto& free = freeIds.list(kind);
        const std::size_t count = std::min(free.size(), loaded.list(kind).size());
        for (std::size_t j = 0; j < count; ++j) {
            if (kind == ResourceKind::FixedWeapon) {
                add(GameTable::Weapon, free[j]);
                add(GameTable::FixedWeaponAnime, free[j]);
            } else {
                add(rom::tableOf(kind), free[j]);
            }
        }
    }
    return runs;
}

bool runsMatchBase(const Fixture& f, const std::vector<fuzz_patch::Region>& runs)
{
    for (const fuzz_patch::Region& run : runs) {
        if (std::memcmp(f.image.data() + run.offset, f.base.data() + run.offset, run.length) != 0)
            return false;
    }
    return true;
}

// Every pointer-table entry the transplant filled names data that lies inside the image.
void checkFilledEntries(const Fixture& f, const rom::UnitResourceSet& freeIds,
                        const transplant::UnitFileSet& files)
{
    const auto spans = [](const auto& files) {
        std::vector<rom::ByteSpan> spans;
        for (const auto& file : files) {
            if constexpr (std::is_same_v<std::decay_t<decltype(file)>, rom::Bytes>)
                spans.emplace_back(file);
            else
                spans.emplace_back(file.bytes());
        }
        return spans;
    };
    const std::pair<ResourceKind, std::vector<rom::ByteSpan>> blocks[] = {
        {ResourceKind::MotionPart, spans(files.motionParts)}, {ResourceKind::ShadowEtc, spans(files.shadowEtcs)},
        {ResourceKind::CutinScroll, spans(files.cutinScrolls)}, {ResourceKind::Sprite, spans(files.sprites)},
        {ResourceKind::Pallet, spans(files.pallets)},
    };
    for (const auto& [kind, list] : blocks) {
        for (std::size_t j = 0; j < list.size(); ++j) {
            const std::uint32_t pointer = valueOrAbort(
                rom::readTablePointer(f.image, f.directory, rom::tableOf(kind), freeIds.list(kind)[j]));
            if (list[j].empty()) {
                require(pointer == 0);
                continue;
            }
            const std::uint32_t offset = rom::romOffsetOf(pointer);
            require(offset >= f.base.size() && rom::fits(f.image.size(), offset, list[j].size()));
            // Graphics go in as they are; routines are relocated.
            if (kind == ResourceKind::Sprite || kind == ResourceKind::Pallet)
                require(std::memcmp(f.image.data() + offset, list[j].data(), list[j].size()) == 0);
        }
    }
}

// Applies the input's edits to the folder; returns the files it changed or deleted.
std::vector<std::size_t> editFiles(Fixture& f, fuzz_patch::InputReader& input)
{
    std::map<std::size_t, rom::Bytes> edited;
    std::vector<std::size_t> deleted;
    while (!input.empty()) {
        const std::size_t index = input.u8() % f.files.size();
        const std::uint8_t op = input.u8();
        const std::uint16_t offset = input.u16();
        auto [entry, fresh] = edited.try_emplace(index, f.files[index].bytes);
        rom::Bytes& bytes = entry->second;
        switch (op % 4) {
        case 0: {
            const std::size_t at = offset % (bytes.size() + 1);
            const shell::ByteSpan payload = input.take((op >> 2) + 1u);
            if (bytes.size() < at + payload.size())
                bytes.resize(at + payload.size());
            std::copy(payload.begin(), payload.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
            break;
        }
        case 1:
            bytes.resize(std::min<std::size_t>(bytes.size(), offset));
            break;
        case 2:
            bytes.resize(bytes.size() + offset % kLargestAppend + 1, op);
            break;
        default:
            deleted.push_back(index);
            break;
        }
    }
    std::vector<std::size_t> changed;
    for (const auto& [index, bytes] : edited) {
        writeFile(f.folder / f.files[index].name, bytes);
        changed.push_back(index);
    }
    for (std::size_t index : deleted)
        std::filesystem::remove(f.folder / f.files[index].name);
    // Deleted files were edited first, so they are among the changed ones.
    return changed;
}

// Whether the transplant was accepted.
bool transplantOnce(Fixture& f, std::uint8_t slotChoice)
{
    // What the add command does: load the index, then read and transplant the set.
    const std::filesystem::path indexPath = f.folder / names::kIndexFile;
    std::ifstream in(indexPath, std::ios::binary);
    const std::string index((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto parsed = transplant::parseUnitAllData(index);
    if (!parsed)
        return false;
    rom::UnitResourceSet loaded = std::move(*parsed);
    loaded.list(ResourceKind::Unit) = {loaded.wIdUnit};
    loaded.list(ResourceKind::IconData) = {loaded.wIdIcon};

    rom::UnitResourceSet freeIds = f.freeIds;
    freeIds.wIdUnit = freeIds.list(ResourceKind::Unit)[slotChoice % kSlotChoices];
    if (!transplant::hasRoomFor(freeIds, loaded))
        return false;
    testing_doubles::ScriptedShell shell;
    const std::optional<transplant::UnitFileSet> files =
        transplant::readUnitFileSet(shell, f.folder, loaded, f.info);
    if (!files) {
        require(!shell.messages.empty());
        return false;
    }
    const std::vector<fuzz_patch::Region> runs = writableRuns(f, freeIds, loaded);
    auto icon = transplant::transplantUnit(f.image, f.directory, freeIds, loaded, *files);
    if (!icon) {
        require(f.image.size() == f.base.size() && runsMatchBase(f, runs));
    } else {
        require(f.image.size() <= transplant::kCartridgeLimit);
        require(*icon == freeIds.list(ResourceKind::IconData).front());
        checkFilledEntries(f, freeIds, *files);
    }
    // Back to the extended image B.
    f.image.resize(f.base.size());
    for (const fuzz_patch::Region& run : runs)
        std::memcpy(f.image.data() + run.offset, f.base.data() + run.offset, run.length);
    return icon.has_value();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Fixture& f = fixture();
    fuzz_patch::InputReader input(data, size);
    const std::uint8_t slotChoice = input.u8();
    const std::vector<std::size_t> changed = editFiles(f, input);
    const bool accepted = transplantOnce(f, slotChoice);
    // The set as extracted always goes in.
    require(accepted || !changed.empty());
    for (std::size_t index : changed)
        writeFile(f.folder / f.files[index].name, f.files[index].bytes);
    // Nothing outside the runs restored above may have changed.
    if (++f.inputs % kBaseCheckInterval == 0)
        require(f.image == f.base);
    return 0;
}
