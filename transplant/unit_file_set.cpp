#include "transplant/unit_file_set.hpp"

#include "rom/records.hpp"
#include "shell/files.hpp"
#include "transplant/file_set.hpp"
#include "transplant/routine_blocks.hpp"

namespace transplant {
namespace {

using rom::ResourceKind;

constexpr std::string_view kRefusalCaption = "エラー";
constexpr std::string_view kNotAdded = "\r\nユニットを追加しませんでした";

// How a file of the set must look.
enum class FileRule {
    ExactSize,     // a record of `size` bytes
    AtLeastSize,   // a record whose first `size` bytes are used
    AnyLength,     // compressed or palette data
    RoutineBlock,  // a routine block of `kind`, or empty for an empty table entry
};

struct FileCheck {
    FileRule rule;
    std::size_t size = 0;
    ResourceKind kind = ResourceKind::Unit;
};

class SetReader {
public:
    SetReader(shell::Shell& shell, const std::filesystem::path& folder)
        : shell_(shell), folder_(folder)
    {
    }

    std::optional<rom::Bytes> read(std::string_view name, const FileCheck& check)
    {
        std::optional<rom::Bytes> bytes = shell::readWholeFile(shell_, folder_ / name);
        if (!bytes) {
            refuse(name, "ファイルを読めません");
            return std::nullopt;
        }
        switch (check.rule) {
        case FileRule::ExactSize:
        case FileRule::AtLeastSize:
            if (bytes->size() < check.size ||
                (check.rule == FileRule::ExactSize && bytes->size() != check.size)) {
                refuse(name, "ファイルの長さが " + std::to_string(bytes->size()) + " バイトです (" +
                                 std::to_string(check.size) + " バイトのはずです)");
                return std::nullopt;
            }
            bytes->resize(check.size);
            break;
        case FileRule::RoutineBlock:
            if (!bytes->empty()) {
                if (auto layout = readRoutineBlock(check.kind, *bytes); !layout) {
                    refuse(name, layout.error().message);
                    return std::nullopt;
                }
            }
            break;
        case FileRule::AnyLength:
            break;
        }
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

private:
    void refuse(std::string_view name, const std::string& problem)
    {
        shell_.message((folder_ / name).string() + "\r\n" + problem + std::string(kNotAdded),
                       std::string(kRefusalCaption), shell::Buttons::Ok, shell::Icon::Warning);
    }

    shell::Shell& shell_;
    std::filesystem::path folder_;
};

FileCheck exact(std::size_t size)
{
    return {FileRule::ExactSize, size};
}

FileCheck routine(ResourceKind kind)
{
    return {FileRule::RoutineBlock, 0, kind};
}

}  // namespace

std::optional<UnitFileSet> readUnitFileSet(shell::Shell& shell, const std::filesystem::path& folder,
                                           const rom::UnitResourceSet& loaded)
{
    namespace names = file_set;
    SetReader reader(shell, folder);
    UnitFileSet set;
    auto count = [&](ResourceKind kind) { return loaded.list(kind).size(); };
    const FileCheck anyLength{FileRule::AnyLength};

    auto unit = reader.read(names::kUnitFile, exact(rom::UnitDataRecord::kSize));
    if (!unit)
        return std::nullopt;
    set.unit = std::move(*unit);
    auto anime = reader.read(names::kUnitAnimeFile, exact(rom::UNIT_ANIME_HEADER::kSize));
    if (!anime)
        return std::nullopt;
    set.unitAnime = std::move(*anime);
    auto icon = reader.read(names::kIconFile, exact(rom::IconRecord::kSize));
    if (!icon)
        return std::nullopt;
    set.icon = std::move(*icon);

    const bool complete =
        reader.readItems(names::kWeaponStem, count(ResourceKind::FixedWeapon),
                         exact(rom::WEAPON_DATA::kSize), set.weapons) &&
        reader.readItems(names::kFixedWeaponAnimeStem, count(ResourceKind::FixedWeapon),
                         exact(rom::FIXED_ANIME_HEADER::kSize), set.fixedWeaponAnimes) &&
        reader.readItems(names::kUnitCutinStem, count(ResourceKind::UnitCutin),
                         exact(rom::UnitCutinRecord::kSize), set.unitCutins) &&
        reader.readItems(names::kGraphicDifinitionStem, count(ResourceKind::GraphicDifinition),
                         exact(rom::GraphicDifinitionRecord::kSize), set.graphicDifinitions) &&
        reader.readItems(names::kSystemAnimeStem, count(ResourceKind::SystemAnime),
                         exact(rom::SystemAnimeRecord::kSize), set.systemAnimes) &&
        // Only one 8-byte header is defined per BG map; anything after it is ignored.
        reader.readItems(names::kBGMapHeaderStem, count(ResourceKind::BGMap),
                         {FileRule::AtLeastSize, rom::BGMAP::kSize}, set.bgMapHeaders) &&
        reader.readItems(names::kSpriteStem, count(ResourceKind::Sprite), anyLength, set.sprites) &&
        reader.readItems(names::kPalletStem, count(ResourceKind::Pallet), anyLength, set.pallets) &&
        reader.readItems(names::kBGMapStem, count(ResourceKind::BGMap), anyLength, set.bgMaps) &&
        reader.readItems(names::kMotionPartStem, count(ResourceKind::MotionPart),
                         routine(ResourceKind::MotionPart), set.motionParts) &&
        reader.readItems(names::kShadowEtcStem, count(ResourceKind::ShadowEtc),
                         routine(ResourceKind::ShadowEtc), set.shadowEtcs) &&
        reader.readItems(names::kCutinScrollStem, count(ResourceKind::CutinScroll),
                         routine(ResourceKind::CutinScroll), set.cutinScrolls);
    if (!complete)
        return std::nullopt;
    return set;
}

}  // namespace transplant
