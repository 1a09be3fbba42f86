#include "editor/unit_folder.hpp"

#include "editor/definition_text.hpp"
#include "editor/id_report.hpp"
#include "editor/routine_serializer.hpp"
#include "editor/unit_all_text.hpp"
#include "editor/unit_reader.hpp"
#include "rom/lz77.hpp"
#include "shell/files.hpp"
#include "shell/folder_names.hpp"
#include "shell/number_text.hpp"
#include "shell/text_encoding.hpp"

#include <algorithm>
#include <optional>
#include <system_error>
#include <utility>

namespace editor {
namespace {

constexpr std::string_view kErrorCaption = "エラー";
constexpr std::string_view kForbiddenNameCharacters = "\\/:*?\"<>|";

std::filesystem::path pathOf(const std::filesystem::path& folder, std::string_view utf8Name)
{
    return folder / std::filesystem::path(std::u8string(utf8Name.begin(), utf8Name.end()));
}

// The files of a unit folder, built in memory before any is written.
class FolderFiles {
public:
    void add(std::string_view name, Bytes bytes)
    {
        files_.push_back({std::string(name), std::move(bytes)});
    }

    void add(std::string_view name, std::string_view text)
    {
        add(name, Bytes(text.begin(), text.end()));
    }

    // Writes them all into `folder` or none; a failure has been reported.
    bool write(shell::Shell& shell, const std::filesystem::path& folder) const
    {
        // A unit folder can be saved again from the image at any time; a flush per file would
        // make saving one unit take seconds.
        return shell::writeFolderFiles(shell, folder, files_, shell::Durability::Replace);
    }

private:
    std::vector<shell::FolderFile> files_;
};

template <class Routine>
void addRoutines(FolderFiles& files, std::string_view stem, std::uint8_t count,
                 std::array<Routine, kMaxRoutines>& routines,
                 std::array<std::uint32_t, kMaxRoutines>& addresses)
{
    for (std::size_t i = 0; i < count; ++i) {
        SerializedRoutine serialized = SerializeRoutine(routines[i], 0);
        addresses[i] = serialized.pointer;
        files.add(folder_files::numberedFile(stem, i), std::move(serialized.block));
    }
}

// Reads the files of one folder; the first that cannot be read or used is reported, and the
// caller stops.
class FolderReader {
public:
    FolderReader(shell::Shell& shell, std::filesystem::path folder)
        : shell_(shell), folder_(std::move(folder))
    {
    }

    // The file's bytes; a file that cannot be read has been reported and gives nothing.
    std::optional<Bytes> read(std::string_view name)
    {
        return shell::readWholeFile(shell_, pathOf(folder_, name));
    }

    // A record text read into the fields of `keys`.
    bool readText(std::string_view name, const KeyTable& keys)
    {
        const std::optional<Bytes> bytes = read(name);
        if (!bytes)
            return false;
        if (auto text = ReadRecordText(textOf(*bytes), keys, name); !text)
            return refuse(text.error());
        return true;
    }

    // A sprite or BG map file: empty for an item without data, or an LZ77 stream that the game
    // can decode without leaving the file.
    std::optional<Bytes> readStream(std::string_view name)
    {
        std::optional<Bytes> bytes = read(name);
        if (!bytes || bytes->empty())
            return bytes;
        if (auto checked = rom::checkLz77File(*bytes); !checked) {
            refuse(std::string(name) + ": " + checked.error().message);
            return std::nullopt;
        }
        return bytes;
    }

    bool refuse(const std::string& message)
    {
        shell_.message(message, std::string(kErrorCaption), shell::Buttons::Ok,
                       shell::Icon::Warning);
        return false;
    }

    static std::string_view textOf(const Bytes& bytes)
    {
        return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
    }

private:
    shell::Shell& shell_;
    std::filesystem::path folder_;
};

template <class Routine, class ReadRoutine>
bool readRoutines(FolderReader& reader, std::string_view stem, std::uint8_t count,
                  std::array<Routine, kMaxRoutines>& routines,
                  const std::array<std::uint32_t, kMaxRoutines>& addresses, ReadRoutine readRoutine)
{
    for (std::size_t i = 0; i < count; ++i) {
        const std::string name = folder_files::numberedFile(stem, i);
        const std::optional<Bytes> file = reader.read(name);
        if (!file)
            return false;
        auto routine = readRoutine(*file, addresses[i], rom::DataSource::File);
        if (!routine)
            return reader.refuse(name + ": " + routine.error().message);
        routines[i] = std::move(*routine);
    }
    return true;
}

// The counts of "unitall.dat" against the model's capacities: the first that goes beyond, if any.
std::optional<std::string> capacityProblem(const UnitDataSet& set)
{
    const struct {
        std::string_view key;
        std::size_t count;
        std::size_t capacity;
    } counts[] = {
        {"bNumFixedWeapon", set.bNumFixedWeapon, kMaxFixedWeapons},
        {"bNumSprite", set.bNumSprite, kMaxSprites},
        {"bNumPallet", set.bNumPallet, kMaxPalletGroups},
        {"bNumMotionPart", set.bNumMotionPart, kMaxRoutines},
        {"bNumShadowEtc", set.bNumShadowEtc, kMaxRoutines},
        {"bNumCutinScroll", set.bNumCutinScroll, kMaxRoutines},
    };
    for (const auto& entry : counts) {
        if (entry.count > entry.capacity)
            return std::string(kUnitAllFileName) + " の " + std::string(entry.key) + " (" +
                   std::to_string(entry.count) + ") が多すぎます (最大 " +
                   std::to_string(entry.capacity) + ")";
    }
    return std::nullopt;
}

template <std::size_t N>
void clearBeyond(std::array<std::uint16_t, N>& ids, std::size_t count)
{
    std::fill(ids.begin() + static_cast<std::ptrdiff_t>(std::min(count, N)), ids.end(), kNoId);
}

bool readIndex(FolderReader& reader, std::string_view index, UnitDataSet& set)
{
    if (auto text = ReadUnitAllText(index, set); !text)
        return reader.refuse(text.error());
    if (const std::optional<std::string> problem = capacityProblem(set))
        return reader.refuse(*problem);
    clearBeyond(set.wIdFixedWeapon, set.bNumFixedWeapon);
    clearBeyond(set.wIdSprite, set.bNumSprite);
    clearBeyond(set.wIdPallet, set.bNumPallet);
    clearBeyond(set.wIdMotionPart, set.bNumMotionPart);
    clearBeyond(set.wIdShadowEtc, set.bNumShadowEtc);
    clearBeyond(set.wIdCutinScroll, set.bNumCutinScroll);
    return true;
}

bool readRecords(FolderReader& reader, UnitDataSet& set)
{
    if (!reader.readText(folder_files::kUnitData, unitDataKeys(set.unit)) ||
        !reader.readText(folder_files::kUnitAnime, unitAnimeKeys(set.anime)))
        return false;
    for (std::size_t i = 0; i < set.bNumFixedWeapon; ++i) {
        if (!reader.readText(folder_files::numberedFile(folder_files::kWeaponStem, i),
                             weaponKeys(set.weapons[i])))
            return false;
    }
    for (std::size_t i = 0; i < set.bNumFixedWeapon; ++i) {
        if (!reader.readText(folder_files::numberedFile(folder_files::kWeaponAnimeStem, i),
                             fixedAnimeKeys(set.weaponAnimes[i])))
            return false;
    }
    return reader.readText(folder_files::kBGMapHeader, bgMapKeys(set.bgMap.record));
}

bool readIcon(FolderReader& reader, UnitDataSet& set)
{
    std::optional<Bytes> icon = reader.read(folder_files::kIcon);
    if (!icon)
        return false;
    // A unit without an icon has none whatever the file holds: a folder saves it as zeros, and
    // older folders saved an empty file. A short icon file fills the image from its start; a long
    // one gives its first 384 bytes.
    if (set.wIdIcon == kNoId || icon->empty())
        return true;
    set.icon.emplace();
    std::copy_n(icon->begin(), std::min(icon->size(), kIconBytes), set.icon->begin());
    return true;
}

bool readGraphics(FolderReader& reader, UnitDataSet& set)
{
    std::optional<Bytes> bgMap = reader.readStream(folder_files::kBGMapData);
    if (!bgMap)
        return false;
    set.bgMap.data = std::move(*bgMap);
    for (std::size_t i = 0; i < set.bNumSprite; ++i) {
        std::optional<Bytes> data =
            reader.readStream(folder_files::numberedFile(folder_files::kSpriteStem, i));
        if (!data)
            return false;
        set.sprites[i].data = std::move(*data);
    }
    for (std::size_t i = 0; i < set.bNumPallet; ++i) {
        const std::optional<Bytes> data =
            reader.read(folder_files::numberedFile(folder_files::kPalletStem, i));
        if (!data)
            return false;
        // Whole palettes only, and at most the eight a group holds.
        PalletGroup& group = set.pallets[i];
        const std::size_t palettes = std::min(data->size() / kPaletteBytes, kMaxPalettesPerGroup);
        group.bNumPalette = static_cast<std::uint8_t>(palettes);
        std::copy_n(data->begin(), palettes * kPaletteBytes, group.colours.begin());
    }
    return true;
}

}  // namespace

std::string folder_files::numberedFile(std::string_view stem, std::size_t index)
{
    return std::string(stem) + std::to_string(index) + ".dat";
}

std::string unitFolderName(std::string_view decodedName, std::uint16_t unitId)
{
    std::string name(decodedName);
    for (char& c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || kForbiddenNameCharacters.find(c) != std::string::npos)
            c = '_';
    }
    if (name.find_first_not_of('.') == std::string::npos)
        name = "unit" + shell::paddedHexText(unitId, kUnitNumberDigits);
    return name;
}

std::vector<std::string> distinctUnitFolderNames(std::span<const NamedUnit> units)
{
    std::vector<std::string> ownNames;
    std::vector<std::string> tags;
    for (const NamedUnit& unit : units) {
        ownNames.push_back(unitFolderName(unit.decodedName, unit.unitId));
        tags.push_back(shell::paddedHexText(unit.unitId, kUnitNumberDigits));
    }
    return shell::distinctFolderNames(ownNames, tags);
}

std::filesystem::path unitAllPathOf(const std::filesystem::path& folderOrIndex)
{
    std::error_code error;
    return std::filesystem::is_directory(folderOrIndex, error) ? folderOrIndex / kUnitAllFileName
                                                               : folderOrIndex;
}

std::optional<SavedUnitFolder> SaveUnitFolder(shell::Shell& shell, UnitDataSet& romSide,
                                              const rom::CharacterTable& table,
                                              const std::filesystem::path& baseFolder,
                                              std::string_view folderName)
{
    const std::string name =
        folderName.empty()
            ? unitFolderName(shell::sjisToUtf8(decodeEditorName(romSide.unit.bUnitName, table)),
                             romSide.wUnitID)
            : std::string(folderName);
    // The routines are rebased on a copy, which replaces the set only once the folder is written.
    UnitDataSet set = romSide;
    FolderFiles files;
    files.add(folder_files::kUnitData, UnitDataText(set.unit));
    files.add(folder_files::kUnitAnime, UnitAnimeText(set.anime));
    // A unit without an icon saves an icon of zeros; its wIdIcon 0xFFFF says there is none.
    files.add(folder_files::kIcon, set.icon ? Bytes(set.icon->begin(), set.icon->end())
                                            : Bytes(kIconBytes, 0));
    for (std::size_t i = 0; i < set.bNumFixedWeapon; ++i)
        files.add(folder_files::numberedFile(folder_files::kWeaponStem, i),
                  WeaponText(set.weapons[i]));
    for (std::size_t i = 0; i < set.bNumFixedWeapon; ++i)
        files.add(folder_files::numberedFile(folder_files::kWeaponAnimeStem, i),
                  FixedAnimeText(set.weaponAnimes[i]));
    files.add(folder_files::kBGMapHeader, BGMapText(set.bgMap.record));
    files.add(folder_files::kBGMapData, set.bgMap.data);
    for (std::size_t i = 0; i < set.bNumSprite; ++i)
        files.add(folder_files::numberedFile(folder_files::kSpriteStem, i), set.sprites[i].data);
    for (std::size_t i = 0; i < set.bNumPallet; ++i) {
        const ByteSpan palettes = set.pallets[i].bytes();
        files.add(folder_files::numberedFile(folder_files::kPalletStem, i),
                  Bytes(palettes.begin(), palettes.end()));
    }
    addRoutines(files, folder_files::kMotionStem, set.bNumMotionPart, set.motionParts,
                set.dwAdrMotionPart);
    addRoutines(files, folder_files::kShadowStem, set.bNumShadowEtc, set.shadowEtcs,
                set.dwAdrShadowEtc);
    addRoutines(files, folder_files::kCutinStem, set.bNumCutinScroll, set.cutinScrolls,
                set.dwAdrCutinScroll);
    files.add(kUnitAllFileName, UnitAllText(set));
    SavedUnitFolder saved{pathOf(baseFolder, name), BuildIdReport(set, table)};
    files.add(kIdReportFileName, saved.report);

    if (!files.write(shell, saved.folder))
        return std::nullopt;
    romSide = std::move(set);
    return saved;
}

std::string savedFolderMessage(const SavedUnitFolder& saved)
{
    const std::u8string name = saved.folder.filename().u8string();
    return "フォルダ「" + std::string(name.begin(), name.end()) + "」にユニットデータを保存しました";
}

bool LoadUnitFolder(shell::Shell& shell, const std::filesystem::path& unitAllPath,
                    UnitDataSet& fileSide)
{
    FolderReader reader(shell, unitAllPath.parent_path());
    const std::optional<Bytes> index = shell::readWholeFile(shell, unitAllPath);
    if (!index)
        return false;
    // Work on a copy so that a refused folder changes nothing; no buffer of an earlier load
    // survives into the new one.
    UnitDataSet loaded = fileSide;
    loaded.releaseBuffers();
    if (!readIndex(reader, FolderReader::textOf(*index), loaded) || !readRecords(reader, loaded) ||
        !readIcon(reader, loaded) || !readGraphics(reader, loaded) ||
        !readRoutines(reader, folder_files::kMotionStem, loaded.bNumMotionPart, loaded.motionParts,
                      loaded.dwAdrMotionPart, ReadMotionPartRoutine) ||
        !readRoutines(reader, folder_files::kShadowStem, loaded.bNumShadowEtc, loaded.shadowEtcs,
                      loaded.dwAdrShadowEtc, ReadShadowEtcRoutine) ||
        !readRoutines(reader, folder_files::kCutinStem, loaded.bNumCutinScroll,
                      loaded.cutinScrolls, loaded.dwAdrCutinScroll, ReadCutinScrollRoutine))
        return false;
    fileSide = std::move(loaded);
    return true;
}

}  // namespace editor
