// libFuzzer target: a unit folder saved once from demo image A, whose files each input damages
// (overwrites, cuts short, lengthens, patches, deletes, or turns into a folder) before loading it.
// A refused load leaves the file side as it was. A folder that loads is ported; a port either
// refuses with the image unchanged or grows it by the block it appends, no further than 32 MiB,
// with every address it hands out inside the new image and the ported unit readable from it. The
// folder is put back after every input.
//
// A port reaches the image only through the table directory it is given, so the ports go into a
// compact copy that holds just the tables the editor writes, with a directory pointing into it:
// copying and freeing a 16 MiB image per input would make the target far too slow.

#include "editor/definition_text.hpp"
#include "editor/port.hpp"
#include "editor/unit_all_text.hpp"
#include "editor/unit_folder.hpp"
#include "editor/unit_reader.hpp"
#include "rom/gba_address.hpp"
#include "rom/resource_kind.hpp"
#include "shell/files.hpp"
#include "tests/fuzz/fuzz_support.hpp"
#include "tests/support/demo_scenario.hpp"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using editor::Bytes;

class SilentShell final : public shell::Shell {
public:
    shell::Answer message(std::string_view, const shell::Caption&, shell::Buttons, shell::Icon) override
    {
        return shell::Answer::Ok;
    }
    std::optional<fs::path> askOpenPath(std::string_view, std::string_view) override { return {}; }
    std::optional<fs::path> askSavePath(std::string_view, std::string_view) override { return {}; }
};

struct RomUnit {
    editor::UnitDataSet set;
    editor::UnitIdSet ids;
    std::string fingerprint;  // of `set`, see fingerprint()
};

struct Fixture {
    Bytes image;                      // demo image A
    editor::RomTableOffsets offsets;  // its tables
    Bytes compact;                    // the editor's tables alone
    editor::RomTableOffsets compactOffsets;
    Bytes work;  // the image ports go into; put back to `compact` after each
    std::vector<RomUnit> units;    // every demo unit as the ROM side reads it
    std::size_t savedUnit = 0;     // the one whose folder was saved
    fs::path folder;
    std::vector<std::string> files;        // the folder's file names, sorted
    std::map<std::string, Bytes> pristine;  // and their saved bytes
};

void removeFolder(const fs::path& folder)
{
    std::error_code ignored;
    fs::remove_all(folder, ignored);
}

void writeFile(const fs::path& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        std::abort();
}

std::size_t idCount(const editor::UnitIdSet& ids)
{
    return ids.fixedWeapon.count + ids.bgMap.count + ids.sprite.count + ids.pallet.count +
           ids.icon.count + ids.motionPart.count + ids.shadowEtc.count + ids.cutinScroll.count;
}

// Everything a load may change, as text: the IDs and counts, the records and the buffer sizes.
std::string fingerprint(const editor::UnitDataSet& set)
{
    std::string text = editor::UnitAllText(set) + editor::UnitDataText(set.unit) +
                       editor::UnitAnimeText(set.anime) + editor::BGMapText(set.bgMap.record);
    for (std::size_t i = 0; i < editor::kMaxFixedWeapons; ++i)
        text += editor::WeaponText(set.weapons[i]) + editor::FixedAnimeText(set.weaponAnimes[i]);
    text += std::to_string(set.bgMap.data.size()) + (set.icon ? "i" : "-");
    for (const editor::SpriteEntry& sprite : set.sprites)
        text += ',' + std::to_string(sprite.data.size());
    for (const editor::PalletGroup& group : set.pallets)
        text += ',' + std::to_string(group.bNumPalette);
    for (const editor::MotionPartRoutine& routine : set.motionParts)
        text += routine.present ? "m" + std::to_string(routine.parts.size()) : "-";
    for (const editor::ShadowEtcRoutine& routine : set.shadowEtcs)
        text += routine.present ? "s" : "-";
    for (const editor::CutinScrollRoutine& routine : set.cutinScrolls)
        text += routine.present ? "c" + std::to_string(routine.commands.size()) : "-";
    return text;
}

// The number of records of each table the editor writes, as the game sizes them.
std::uint32_t recordCount(rom::GameTable table)
{
    switch (table) {
    case rom::GameTable::Unit:
    case rom::GameTable::UnitAnimeHeader:
    case rom::GameTable::UnitIconIndex: return rom::kUnitCount;
    case rom::GameTable::Weapon:
    case rom::GameTable::FixedWeaponAnime: return rom::kWeaponCount;
    default: break;
    }
    for (rom::ResourceKind kind : rom::kExtendableKinds) {
        if (rom::tableOf(kind) == table)
            return rom::unextendedLastId(kind) + 1u;
    }
    std::abort();
}

void buildCompact(Fixture& f)
{
    constexpr std::size_t kAlignment = 4;
    for (rom::GameTable table : editor::kEditorTables) {
        const std::size_t start = (f.compact.size() + kAlignment - 1) / kAlignment * kAlignment;
        const std::size_t bytes = std::size_t{recordCount(table)} * rom::recordSizeOf(table);
        const std::size_t from = f.offsets.offset(table);
        if (from + bytes > f.image.size())
            std::abort();
        f.compact.resize(start);
        f.compact.insert(f.compact.end(), f.image.begin() + static_cast<std::ptrdiff_t>(from),
                         f.image.begin() + static_cast<std::ptrdiff_t>(from + bytes));
        f.compactOffsets.directory.offsets[static_cast<std::size_t>(table)] =
            static_cast<std::uint32_t>(start);
    }
    f.work = f.compact;
}

Fixture& fixture()
{
    static Fixture built = [] {
        Fixture f;
        const synthetic::DemoScenario demo = synthetic::makeDemoScenarioA();
        f.image.assign(demo.image.begin(), demo.image.end());
        const rom::RomResult<editor::RomTableOffsets> offsets = editor::ReadRomTableOffsets(f.image);
        if (!offsets)
            std::abort();
        f.offsets = *offsets;
        buildCompact(f);
        for (const synthetic::DemoUnit& unit : demo.units) {
            rom::RomResult<editor::UnitDataSet> set = editor::ReadUnitFromRom(f.image, f.offsets, unit.id);
            if (!set)
                std::abort();
            const editor::UnitIdSet ids = editor::CollectUnitIds(*set);
            std::string print = fingerprint(*set);
            f.units.push_back({std::move(*set), ids, std::move(print)});
        }
        // The unit that names the most IDs makes the fullest folder.
        for (std::size_t i = 1; i < f.units.size(); ++i) {
            if (idCount(f.units[i].ids) > idCount(f.units[f.savedUnit].ids))
                f.savedUnit = i;
        }

        const fs::path base = fs::path("/dev/shm") / ("folder_unit_fuzz-" + std::to_string(getpid()));
        removeFolder(base);
        fs::create_directories(base);
        SilentShell shell;
        editor::UnitDataSet romSide = f.units[f.savedUnit].set;
        const std::optional<editor::SavedUnitFolder> saved =
            editor::SaveUnitFolder(shell, romSide, rom::CharacterTable(), base);
        if (!saved)
            std::abort();
        f.folder = saved->folder;
        for (const fs::directory_entry& entry : fs::directory_iterator(f.folder)) {
            const std::string name = entry.path().filename().string();
            f.files.push_back(name);
            std::optional<Bytes> bytes = shell::readWholeFile(shell, entry.path());
            if (!bytes)
                std::abort();
            f.pristine[name] = std::move(*bytes);
        }
        std::sort(f.files.begin(), f.files.end());
        return f;
    }();
    return built;
}

using fuzz_support::Input;

// Damages the files the input names; returns the names touched.
std::set<std::string> damage(Input& input)
{
    Fixture& f = fixture();
    SilentShell shell;
    std::set<std::string> touched;
    while (!input.empty()) {
        const std::uint8_t operation = input.byte();
        const std::string& name = f.files[input.byte() % f.files.size()];
        const fs::path path = f.folder / fs::u8path(name);
        touched.insert(name);
        std::error_code ignored;
        Bytes current;
        if (std::optional<Bytes> read = shell::readWholeFile(shell, path))
            current.assign(read->begin(), read->end());
        switch (operation % 6) {
        case 0:  // overwrite
            current = input.bytes(input.u16() % 1024);
            break;
        case 1:  // cut short
            current.resize(current.empty() ? 0 : input.u16() % current.size());
            break;
        case 2: {  // lengthen
            const Bytes tail = input.bytes(input.byte() + 1u);
            current.insert(current.end(), tail.begin(), tail.end());
            break;
        }
        case 3: {  // patch in place
            const std::size_t at = current.empty() ? 0 : input.u16() % current.size();
            const Bytes bytes = input.bytes(input.byte() % 8 + 1u);
            for (std::size_t i = 0; i < bytes.size() && at + i < current.size(); ++i)
                current[at + i] = bytes[i];
            break;
        }
        case 4:
            fs::remove_all(path, ignored);
            continue;
        default:  // a folder where the file should be
            fs::remove_all(path, ignored);
            fs::create_directory(path, ignored);
            continue;
        }
        fs::remove_all(path, ignored);
        writeFile(path, current);
    }
    return touched;
}

void restore(const std::set<std::string>& touched)
{
    Fixture& f = fixture();
    for (const std::string& name : touched) {
        const fs::path path = f.folder / fs::u8path(name);
        std::error_code ignored;
        fs::remove_all(path, ignored);
        writeFile(path, f.pristine.at(name));
    }
}

bool addressInside(std::uint32_t address, std::size_t imageSize)
{
    return address == 0 || rom::romOffsetOf(address) < imageSize;
}

void checkPortedAddresses(const editor::UnitDataSet& set, std::size_t imageSize)
{
    bool inside = !set.hasBGMap() || addressInside(set.bgMap.record.dwAddress, imageSize);
    for (std::size_t j = 0; j < set.bNumSprite; ++j)
        inside = inside && addressInside(set.sprites[j].dwAddress, imageSize);
    for (std::size_t j = 0; j < set.bNumPallet; ++j)
        inside = inside && addressInside(set.pallets[j].dwAddress, imageSize);
    for (std::size_t j = 0; j < set.bNumMotionPart; ++j)
        inside = inside && addressInside(set.dwAdrMotionPart[j], imageSize);
    for (std::size_t j = 0; j < set.bNumShadowEtc; ++j)
        inside = inside && addressInside(set.dwAdrShadowEtc[j], imageSize);
    for (std::size_t j = 0; j < set.bNumCutinScroll; ++j)
        inside = inside && addressInside(set.dwAdrCutinScroll[j], imageSize);
    if (!inside)
        std::abort();
}

void port(editor::UnitDataSet& fileSide, const RomUnit& romSide)
{
    Fixture& f = fixture();
    SilentShell shell;
    const editor::UnitIdSet fileIds = editor::CollectUnitIds(fileSide);
    const std::uint8_t* before = f.work.data();
    if (!editor::PortUnit(shell, f.work, f.compactOffsets, fileSide, fileIds, romSide.ids)) {
        if (f.work.data() != before || f.work != f.compact)
            std::abort();
        return;
    }
    if (f.work.size() < f.compact.size() || f.work.size() > editor::kMaxImageSize)
        std::abort();
    checkPortedAddresses(fileSide, f.work.size());
    if (!editor::ReadUnitFromRom(f.work, f.compactOffsets, romSide.ids.unit.ids[0]))
        std::abort();
    f.work = f.compact;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    Fixture& f = fixture();
    // Registered after the fixture is built, so it runs before the fixture is destroyed.
    std::atexit([] { removeFolder(fixture().folder.parent_path()); });
    // The saved folder loads whole and ports back over its own unit, in the whole image and in
    // the compact one alike.
    SilentShell shell;
    editor::UnitDataSet fileSide;
    if (!editor::LoadUnitFolder(shell, f.folder / editor::kUnitAllFileName, fileSide))
        std::abort();
    const editor::UnitIdSet fileIds = editor::CollectUnitIds(fileSide);
    editor::UnitDataSet intoWhole = fileSide;
    Bytes whole = f.image;
    Bytes compact = f.compact;
    if (!editor::PortUnit(shell, whole, f.offsets, intoWhole, fileIds, f.units[f.savedUnit].ids) ||
        !editor::PortUnit(shell, compact, f.compactOffsets, fileSide, fileIds, f.units[f.savedUnit].ids))
        std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Fixture& f = fixture();
    Input input(data, size);
    // The ROM side to port into: mostly the saved unit itself, else another demo unit, which may
    // have too few IDs. The file side starts out as some earlier load.
    const std::uint8_t choice = input.byte();
    const RomUnit& romSide = (choice & 3) != 0 ? f.units[f.savedUnit] : f.units[(choice >> 2) % f.units.size()];
    const RomUnit& earlier = f.units[(choice >> 4) % f.units.size()];
    editor::UnitDataSet fileSide = earlier.set;

    const std::set<std::string> touched = damage(input);
    SilentShell shell;
    if (!editor::LoadUnitFolder(shell, f.folder / editor::kUnitAllFileName, fileSide)) {
        if (fingerprint(fileSide) != earlier.fingerprint)
            std::abort();
    } else {
        port(fileSide, romSide);
    }
    restore(touched);
    return 0;
}
