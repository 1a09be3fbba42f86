#include "transplant/unit_file_set.hpp"

#include "rom/lz77.hpp"
#include "rom/records.hpp"
#include "shell/files.hpp"
#include "shell/number_text.hpp"
#include "shell/path_text.hpp"
#include "transplant/file_set.hpp"
#include "transplant/remapped_fields.hpp"
#include "transplant/routine_blocks.hpp"

#include <algorithm>
#include <span>

namespace transplant {
namespace {

using rom::ResourceKind;

constexpr std::string_view kRefusalCaption = "エラー";
constexpr std::string_view kNotAdded = "\r\nユニットを追加しませんでした";

// How a file of the set must look.
enum class FileRule {
    ExactSize,     // a record of `size` bytes
    AtLeastSize,   // a record whose first `size` bytes are used
    AnyLength,     // palette data
    Lz77Stream,    // compressed data, or empty for an empty table entry
};

struct FileCheck {
    FileRule rule;
    std::size_t size = 0;
    std::span<const RemappedField> idFields = {};  // records: the ID fields the transplant remaps
};

// The IDs the records keep are checked against the last IDs of the extension info, which knows
// the extendable tables only.
constexpr bool namesExtendableTables(std::span<const RemappedField> fields)
{
    return std::ranges::all_of(fields, [](const RemappedField& field) {
        return std::ranges::find(rom::kExtendableKinds, field.kind) != rom::kExtendableKinds.end();
    });
}
static_assert(namesExtendableTables(remapped_fields::kUnitAnime) &&
              namesExtendableTables(remapped_fields::kFixedWeaponAnime) &&
              namesExtendableTables(remapped_fields::kUnitCutin) &&
              namesExtendableTables(remapped_fields::kGraphicDifinition) &&
              namesExtendableTables(remapped_fields::kSystemAnime));

// Whether an ID field of a record that holds `id` names no record at all.
bool namesNothing(ResourceKind kind, std::uint16_t id)
{
    return kind == ResourceKind::BGMap ? !rom::isBGMapId(id) : id == rom::kNoId;
}

class SetReader {
public:
    SetReader(shell::Shell& shell, const std::filesystem::path& folder,
              const rom::UnitResourceSet& loaded, const ExtensionInfo& info)
        : shell_(shell), folder_(folder), loaded_(loaded), info_(info)
    {
    }

    std::optional<rom::Bytes> read(std::string_view name, const FileCheck& check)
    {
        std::optional<rom::Bytes> bytes = readFile(name);
        if (!bytes)
            return std::nullopt;
        if (std::optional<std::string> problem = problemOf(*bytes, check)) {
            refuse(name, *problem);
            return std::nullopt;
        }
        if (check.rule == FileRule::ExactSize || check.rule == FileRule::AtLeastSize)
            bytes->resize(check.size);
        return bytes;
    }

    bool readItems(std::string_view stem, std::size_t count, const FileCheck& check,
                   std::vector<rom::Bytes>& into)
    {
        for (std::size_t j = 0; j < count; ++j) {
            std::optional<rom::Bytes> bytes = read(itemFileName(stem, j), check);
            if (!bytes)
                return false;
            into.push_back(std::move(*bytes));
        }
        return true;
    }

    // The routine blocks of `kind`, or empty files for empty table entries; an effect routine's
    // commands must keep IDs inside the tables, as the collection follows every ID a command
    // names, 0xFFFF included.
    bool readRoutines(std::string_view stem, ResourceKind kind,
                      std::vector<CheckedRoutineBlock>& into)
    {
        for (std::size_t j = 0; j < loaded_.list(kind).size(); ++j) {
            const std::string name = itemFileName(stem, j);
            std::optional<rom::Bytes> bytes = readFile(name);
            if (!bytes)
                return false;
            auto block = CheckedRoutineBlock::check(kind, std::move(*bytes));
            if (!block) {
                refuse(name, block.error().message);
                return false;
            }
            if (kind == ResourceKind::CutinScroll) {
                const rom::ByteSpan commands = block->bytes();
                if (std::optional<std::string> problem = keptIdOutsideTable(
                        commands, cutinScrollIdFields(commands, block->layout()), false)) {
                    refuse(name, *problem);
                    return false;
                }
            }
            into.push_back(std::move(*block));
        }
        return true;
    }

private:
    std::optional<rom::Bytes> readFile(std::string_view name)
    {
        std::optional<rom::Bytes> bytes =
            shell::readWholeFile(shell_, folder_ / shell::pathFromUtf8(name));
        if (!bytes)
            refuse(name, "ファイルを読めません");
        return bytes;
    }

    std::optional<std::string> problemOf(rom::ByteSpan bytes, const FileCheck& check) const
    {
        switch (check.rule) {
        case FileRule::ExactSize:
        case FileRule::AtLeastSize:
            if (bytes.size() < check.size ||
                (check.rule == FileRule::ExactSize && bytes.size() != check.size))
                return "ファイルの長さが " + std::to_string(bytes.size()) + " バイトです (" +
                       std::to_string(check.size) + " バイトのはずです)";
            return keptIdOutsideTable(bytes, check.idFields, true);
        case FileRule::Lz77Stream:
            if (!bytes.empty()) {
                if (auto stream = rom::checkLz77File(bytes); !stream)
                    return stream.error().message;
            }
            return std::nullopt;
        case FileRule::AnyLength:
            return std::nullopt;
        }
        return std::nullopt;
    }

    // An ID that the set does not carry stays as it is and names a record of the target image,
    // which must lie inside the table the target's extension info describes. `noneAllowed`: the
    // fields may hold the ID that names nothing.
    std::optional<std::string> keptIdOutsideTable(rom::ByteSpan bytes,
                                                  std::span<const RemappedField> fields,
                                                  bool noneAllowed) const
    {
        for (const RemappedField& field : fields) {
            const std::uint16_t id = rom::loadU16(bytes, field.offset);
            if ((noneAllowed && namesNothing(field.kind, id)) ||
                std::ranges::find(loaded_.list(field.kind), id) != loaded_.list(field.kind).end())
                continue;
            const std::uint16_t lastId = info_.table(field.kind).wNumLastEntryId;
            if (id > lastId)
                return "オフセット 0x" + shell::hexText(field.offset) + " の " +
                       std::string(rom::kindName(field.kind)) + " ID 0x" + shell::hexText(id) +
                       " はテーブルの範囲外です (最後のIDは 0x" + shell::hexText(lastId) + ")";
        }
        return std::nullopt;
    }

    void refuse(std::string_view name, const std::string& problem)
    {
        shell_.message(shell::pathText(folder_ / shell::pathFromUtf8(name)) + "\r\n" + problem +
                           std::string(kNotAdded),
                       std::string(kRefusalCaption), shell::Buttons::Ok, shell::Icon::Warning);
    }

    shell::Shell& shell_;
    std::filesystem::path folder_;
    const rom::UnitResourceSet& loaded_;
    const ExtensionInfo& info_;
};

FileCheck record(std::size_t size, std::span<const RemappedField> idFields = {})
{
    return {FileRule::ExactSize, size, idFields};
}

}  // namespace

std::optional<UnitFileSet> readUnitFileSet(shell::Shell& shell, const std::filesystem::path& folder,
                                           const rom::UnitResourceSet& loaded,
                                           const ExtensionInfo& info)
{
    namespace names = file_set;
    namespace fields = remapped_fields;
    SetReader reader(shell, folder, loaded, info);
    UnitFileSet set;
    auto count = [&](ResourceKind kind) { return loaded.list(kind).size(); };
    const FileCheck lz77{FileRule::Lz77Stream};

    // The unit record's weapon slots need no check: a slot above the last weapon is empty.
    auto unit = reader.read(names::kUnitFile, record(rom::UnitDataRecord::kSize));
    if (!unit)
        return std::nullopt;
    set.unit = std::move(*unit);
    auto anime = reader.read(names::kUnitAnimeFile,
                             record(rom::UNIT_ANIME_HEADER::kSize, fields::kUnitAnime));
    if (!anime)
        return std::nullopt;
    set.unitAnime = std::move(*anime);
    auto icon = reader.read(names::kIconFile, record(rom::IconRecord::kSize));
    if (!icon)
        return std::nullopt;
    set.icon = std::move(*icon);

    const bool complete =
        reader.readItems(names::kWeaponStem, count(ResourceKind::FixedWeapon),
                         record(rom::WEAPON_DATA::kSize), set.weapons) &&
        reader.readItems(names::kFixedWeaponAnimeStem, count(ResourceKind::FixedWeapon),
                         record(rom::FIXED_ANIME_HEADER::kSize, fields::kFixedWeaponAnime),
                         set.fixedWeaponAnimes) &&
        reader.readItems(names::kUnitCutinStem, count(ResourceKind::UnitCutin),
                         record(rom::UnitCutinRecord::kSize, fields::kUnitCutin), set.unitCutins) &&
        reader.readItems(names::kGraphicDifinitionStem, count(ResourceKind::GraphicDifinition),
                         record(rom::GraphicDifinitionRecord::kSize, fields::kGraphicDifinition),
                         set.graphicDifinitions) &&
        reader.readItems(names::kSystemAnimeStem, count(ResourceKind::SystemAnime),
                         record(rom::SystemAnimeRecord::kSize, fields::kSystemAnime),
                         set.systemAnimes) &&
        // Only one 8-byte header is defined per BG map; anything after it is ignored.
        reader.readItems(names::kBGMapHeaderStem, count(ResourceKind::BGMap),
                         {FileRule::AtLeastSize, rom::BGMAP::kSize}, set.bgMapHeaders) &&
        reader.readItems(names::kSpriteStem, count(ResourceKind::Sprite), lz77, set.sprites) &&
        reader.readItems(names::kPalletStem, count(ResourceKind::Pallet), {FileRule::AnyLength},
                         set.pallets) &&
        reader.readItems(names::kBGMapStem, count(ResourceKind::BGMap), lz77, set.bgMaps) &&
        reader.readRoutines(names::kMotionPartStem, ResourceKind::MotionPart, set.motionParts) &&
        reader.readRoutines(names::kShadowEtcStem, ResourceKind::ShadowEtc, set.shadowEtcs) &&
        reader.readRoutines(names::kCutinScrollStem, ResourceKind::CutinScroll, set.cutinScrolls);
    if (!complete)
        return std::nullopt;
    return set;
}

}  // namespace transplant
