#include "editor/unit_folder.hpp"

#include "editor/definition_text.hpp"
#include "editor/id_report.hpp"
#include "editor/routine_serializer.hpp"
#include "editor/unit_all_text.hpp"
#include "editor/unit_reader.hpp"
#include "shell/files.hpp"
#include "shell/number_text.hpp"
#include "shell/text_encoding.hpp"

#include <algorithm>
#include <optional>
#include <system_error>

namespace editor {
namespace {

constexpr std::string_view kErrorCaption = "エラー";
constexpr std::string_view kForbiddenNameCharacters = "\\/:*?\"<>|";

std::filesystem::path pathOf(const std::filesystem::path& folder, std::string_view utf8Name)
{
    return folder / std::filesystem::path(std::u8string(utf8Name.begin(), utf8Name.end()));
}

class FolderWriter {
public:
    FolderWriter(shell::Shell& shell, std::filesystem::path folder)
        : shell_(shell), folder_(std::move(folder))
    {
    }

    void write(std::string_view name, ByteSpan bytes)
    {
        // A unit folder can be saved again from the image at any time; a flush per file would
        // make saving one unit take seconds.
        if (!shell::writeWholeFile(shell_, pathOf(folder_, name), bytes, shell::Durability::Replace))
            allWritten_ = false;
    }

    void write(std::string_view name, std::string_view text)
    {
        write(name, ByteSpan(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    }

    bool allWritten() const { return allWritten_; }

private:
    shell::Shell& shell_;
    std::filesystem::path folder_;
    bool allWritten_ = true;
};

template <class Routine>
void writeRoutines(FolderWriter& writer, std::string_view stem, std::uint8_t count,
                   std::array<Routine, kMaxRoutines>& routines,
                   std::array<std::uint32_t, kMaxRoutines>& addresses)
{
    for (std::size_t i = 0; i < count; ++i) {
        SerializedRoutine serialized = SerializeRoutine(routines[i], 0);
        addresses[i] = serialized.pointer;
        writer.write(folder_files::numberedFile(stem, i), serialized.block);
    }
}

class FolderReader {
public:
    FolderReader(shell::Shell& shell, std::filesystem::path folder)
        : shell_(shell), folder_(std::move(folder))
    {
    }

    // The file's bytes; a file that cannot be read has been reported and gives nothing.
    std::optional<Bytes> read(std::string_view name)
    {
        std::optional<Bytes> bytes = shell::readWholeFile(shell_, pathOf(folder_, name));
        if (!bytes)
            complete_ = false;
        return bytes;
    }

    void parse(std::string_view name, const KeyTable& keys)
    {
        if (std::optional<Bytes> bytes = read(name))
            ParseDefinitionText(textOf(*bytes), keys);
    }

    // A file whose content cannot be used: reported, and the item stays empty.
    void reject(std::string_view name, const rom::RomError& error)
    {
        shell_.message(std::string(name) + ": " + error.message, std::string(kErrorCaption),
                       shell::Buttons::Ok, shell::Icon::Warning);
        complete_ = false;
    }

    bool complete() const { return complete_; }

    static std::string_view textOf(const Bytes& bytes)
    {
        return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
    }

private:
    shell::Shell& shell_;
    std::filesystem::path folder_;
    bool complete_ = true;
};

template <class Routine, class ReadRoutine>
void readRoutines(FolderReader& reader, std::string_view stem, std::uint8_t count,
                  std::array<Routine, kMaxRoutines>& routines,
                  const std::array<std::uint32_t, kMaxRoutines>& addresses, ReadRoutine readRoutine)
{
    for (std::size_t i = 0; i < count; ++i) {
        const std::string name = folder_files::numberedFile(stem, i);
        std::optional<Bytes> file = reader.read(name);
        if (!file)
            continue;
        auto routine = readRoutine(ByteSpan(*file), addresses[i]);
        if (!routine) {
            reader.reject(name, routine.error());
            continue;
        }
        routines[i] = std::move(*routine);
    }
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
        name = "unit" + shell::paddedHexText(unitId, 2);
    return name;
}

SavedUnitFolder SaveUnitFolder(shell::Shell& shell, UnitDataSet& romSide,
                               const rom::CharacterTable& table,
                               const std::filesystem::path& baseFolder)
{
    const std::string name = unitFolderName(
        shell::sjisToUtf8(decodeEditorName(romSide.unit.bUnitName, table)), romSide.wUnitID);
    SavedUnitFolder saved;
    saved.folder = pathOf(baseFolder, name);
    std::error_code ignored;  // a folder that cannot be made shows as failing file writes
    std::filesystem::create_directories(saved.folder, ignored);

    FolderWriter writer(shell, saved.folder);
    writer.write(folder_files::kUnitData, UnitDataText(romSide.unit));
    writer.write(folder_files::kUnitAnime, UnitAnimeText(romSide.anime));
    // A unit without an icon saves an empty icon file, which loads as no icon.
    writer.write(folder_files::kIcon, romSide.icon ? ByteSpan(*romSide.icon) : ByteSpan());
    for (std::size_t i = 0; i < romSide.bNumFixedWeapon; ++i)
        writer.write(folder_files::numberedFile(folder_files::kWeaponStem, i),
                     WeaponText(romSide.weapons[i]));
    for (std::size_t i = 0; i < romSide.bNumFixedWeapon; ++i)
        writer.write(folder_files::numberedFile(folder_files::kWeaponAnimeStem, i),
                     FixedAnimeText(romSide.weaponAnimes[i]));
    writer.write(folder_files::kBGMapHeader, BGMapText(romSide.bgMap.record));
    writer.write(folder_files::kBGMapData, romSide.bgMap.data);
    for (std::size_t i = 0; i < romSide.bNumSprite; ++i)
        writer.write(folder_files::numberedFile(folder_files::kSpriteStem, i),
                     romSide.sprites[i].data);
    for (std::size_t i = 0; i < romSide.bNumPallet; ++i)
        writer.write(folder_files::numberedFile(folder_files::kPalletStem, i),
                     romSide.pallets[i].bytes());
    writeRoutines(writer, folder_files::kMotionStem, romSide.bNumMotionPart, romSide.motionParts,
                  romSide.dwAdrMotionPart);
    writeRoutines(writer, folder_files::kShadowStem, romSide.bNumShadowEtc, romSide.shadowEtcs,
                  romSide.dwAdrShadowEtc);
    writeRoutines(writer, folder_files::kCutinStem, romSide.bNumCutinScroll, romSide.cutinScrolls,
                  romSide.dwAdrCutinScroll);
    writer.write(kUnitAllFileName, UnitAllText(romSide));
    saved.report = BuildIdReport(romSide, table);
    writer.write(kIdReportFileName, saved.report);
    saved.allWritten = writer.allWritten();

    shell.message("フォルダ「" + name + "」にユニットデータを保存しました", std::string(),
                  shell::Buttons::Ok, shell::Icon::None);
    return saved;
}

FolderLoad LoadUnitFolder(shell::Shell& shell, const std::filesystem::path& unitAllPath,
                          UnitDataSet& fileSide)
{
    std::optional<Bytes> index = shell::readWholeFile(shell, unitAllPath);
    if (!index)
        return FolderLoad::Refused;

    // Work on a copy so that a refused folder changes nothing; no buffer of an earlier load
    // survives into the new one.
    UnitDataSet loaded = fileSide;
    loaded.releaseBuffers();
    ParseUnitAllText(FolderReader::textOf(*index), loaded);
    if (const std::optional<std::string> line = MissingUnitAllLine(FolderReader::textOf(*index), loaded)) {
        shell.message(std::string(kUnitAllFileName) + " に " + *line + " の行がありません",
                      std::string(kErrorCaption), shell::Buttons::Ok, shell::Icon::Warning);
        return FolderLoad::Refused;
    }
    if (const std::optional<std::string> problem = capacityProblem(loaded)) {
        shell.message(*problem, std::string(kErrorCaption), shell::Buttons::Ok,
                      shell::Icon::Warning);
        return FolderLoad::Refused;
    }
    clearBeyond(loaded.wIdFixedWeapon, loaded.bNumFixedWeapon);
    clearBeyond(loaded.wIdSprite, loaded.bNumSprite);
    clearBeyond(loaded.wIdPallet, loaded.bNumPallet);
    clearBeyond(loaded.wIdMotionPart, loaded.bNumMotionPart);
    clearBeyond(loaded.wIdShadowEtc, loaded.bNumShadowEtc);
    clearBeyond(loaded.wIdCutinScroll, loaded.bNumCutinScroll);

    FolderReader reader(shell, unitAllPath.parent_path());
    reader.parse(folder_files::kUnitData, unitDataKeys(loaded.unit));
    reader.parse(folder_files::kUnitAnime, unitAnimeKeys(loaded.anime));
    if (std::optional<Bytes> icon = reader.read(folder_files::kIcon); icon && !icon->empty()) {
        // A short icon file fills the image from its start; a long one gives its first 384 bytes.
        loaded.icon.emplace();
        std::copy_n(icon->begin(), std::min(icon->size(), kIconBytes), loaded.icon->begin());
    }
    for (std::size_t i = 0; i < loaded.bNumFixedWeapon; ++i)
        reader.parse(folder_files::numberedFile(folder_files::kWeaponStem, i),
                     weaponKeys(loaded.weapons[i]));
    for (std::size_t i = 0; i < loaded.bNumFixedWeapon; ++i)
        reader.parse(folder_files::numberedFile(folder_files::kWeaponAnimeStem, i),
                     fixedAnimeKeys(loaded.weaponAnimes[i]));
    reader.parse(folder_files::kBGMapHeader, bgMapKeys(loaded.bgMap.record));
    if (std::optional<Bytes> data = reader.read(folder_files::kBGMapData))
        loaded.bgMap.data = std::move(*data);
    for (std::size_t i = 0; i < loaded.bNumSprite; ++i) {
        if (std::optional<Bytes> data =
                reader.read(folder_files::numberedFile(folder_files::kSpriteStem, i)))
            loaded.sprites[i].data = std::move(*data);
    }
    for (std::size_t i = 0; i < loaded.bNumPallet; ++i) {
        if (std::optional<Bytes> data =
                reader.read(folder_files::numberedFile(folder_files::kPalletStem, i))) {
            // Whole palettes only, and at most the eight a group holds.
            PalletGroup& group = loaded.pallets[i];
            const std::size_t palettes = std::min(data->size() / kPaletteBytes, kMaxPalettesPerGroup);
            group.bNumPalette = static_cast<std::uint8_t>(palettes);
            std::copy_n(data->begin(), palettes * kPaletteBytes, group.colours.begin());
        }
    }
    readRoutines(reader, folder_files::kMotionStem, loaded.bNumMotionPart, loaded.motionParts,
                 loaded.dwAdrMotionPart, ReadMotionPartRoutine);
    readRoutines(reader, folder_files::kShadowStem, loaded.bNumShadowEtc, loaded.shadowEtcs,
                 loaded.dwAdrShadowEtc, ReadShadowEtcRoutine);
    readRoutines(reader, folder_files::kCutinStem, loaded.bNumCutinScroll, loaded.cutinScrolls,
                 loaded.dwAdrCutinScroll, ReadCutinScrollRoutine);

    fileSide = std::move(loaded);
    return reader.complete() ? FolderLoad::Complete : FolderLoad::Incomplete;
}

}  // namespace editor
