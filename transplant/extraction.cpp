#include "transplant/extraction.hpp"

#include "rom/gba_address.hpp"
#include "rom/lz77.hpp"
#include "rom/records.hpp"
#include "shell/number_text.hpp"
#include "transplant/file_set.hpp"
#include "transplant/routine_blocks.hpp"
#include "transplant/unit_texts.hpp"

#include <algorithm>

namespace transplant {
namespace {

using rom::ResourceKind;
namespace fs_names = file_set;

// The records the user chooses item by item; the data lists are rebuilt from what they reach.
constexpr std::array<ResourceKind, 4> kChosenKinds{
    ResourceKind::FixedWeapon, ResourceKind::GraphicDifinition, ResourceKind::UnitCutin,
    ResourceKind::SystemAnime};
constexpr std::array<ResourceKind, 3> kBulkOffKinds{
    ResourceKind::UnitCutin, ResourceKind::SystemAnime, ResourceKind::GraphicDifinition};

// Characters that Windows and POSIX file systems refuse in a folder name.
constexpr std::string_view kRefusedNameCharacters = "\\/:*?\"<>|";
constexpr std::string_view kFallbackFolderPrefix = "Unit";

template <class Record, class Add>
rom::RomResult<void> walkRecords(rom::UnitResourceSet& set, rom::ByteSpan image,
                                 const rom::TableDirectory& directory,
                                 const std::vector<std::uint16_t>& ids, Add add)
{
    for (std::uint16_t id : ids) {
        auto record = rom::readRecord<Record>(image, directory, id);
        if (!record)
            return std::unexpected(record.error());
        add(set, *record);
    }
    return {};
}

rom::Bytes copyOf(rom::ByteSpan bytes)
{
    return rom::Bytes(bytes.begin(), bytes.end());
}

class FileSetBuilder {
public:
    FileSetBuilder(rom::ByteSpan image, const rom::TableDirectory& directory)
        : image_(image), directory_(directory)
    {
    }

    void add(std::string name, rom::Bytes bytes)
    {
        files_.push_back({std::move(name), std::move(bytes)});
    }

    // The bytes of record `id` of `table`.
    rom::RomResult<void> addRecord(std::string name, rom::GameTable table, std::uint32_t id)
    {
        auto record = rom::recordBytes(image_, directory_, table, id);
        if (!record)
            return std::unexpected(record.error());
        add(std::move(name), copyOf(*record));
        return {};
    }

    rom::RomResult<void> addRecords(std::string_view stem, rom::GameTable table,
                                    const std::vector<std::uint16_t>& ids)
    {
        for (std::size_t j = 0; j < ids.size(); ++j) {
            if (auto done = addRecord(itemFileName(stem, j), table, ids[j]); !done)
                return done;
        }
        return {};
    }

    // The data behind each pointer-table entry, built by `build` from the entry's target.
    template <class Build>
    rom::RomResult<void> addPointedData(std::string_view stem, ResourceKind kind,
                                        const std::vector<std::uint16_t>& ids, Build build)
    {
        for (std::size_t j = 0; j < ids.size(); ++j) {
            auto pointer = rom::readTablePointer(image_, directory_, rom::tableOf(kind), ids[j]);
            if (!pointer)
                return std::unexpected(pointer.error());
            rom::Bytes bytes;
            if (*pointer != 0) {
                auto built = build(rom::romOffsetOf(*pointer), j);
                if (!built)
                    return std::unexpected(
                        rom::withContext(built.error(), rom::itemName(rom::kindName(kind), ids[j])));
                bytes = std::move(*built);
            }
            add(itemFileName(stem, j), std::move(bytes));
        }
        return {};
    }

    rom::RomResult<rom::Bytes> rawCopy(std::uint32_t offset, std::size_t length) const
    {
        if (!rom::fits(image_.size(), offset, length))
            return std::unexpected(rom::outOfImage("データ", offset, length));
        return copyOf(image_.subspan(offset, length));
    }

    rom::RomResult<rom::Bytes> lz77Copy(std::uint32_t offset) const
    {
        auto length = rom::measureLz77Block(image_, offset);
        if (!length)
            return std::unexpected(length.error());
        return copyOf(image_.subspan(offset, *length));
    }

    std::vector<FileSetFile> take() { return std::move(files_); }

private:
    rom::ByteSpan image_;
    const rom::TableDirectory& directory_;
    std::vector<FileSetFile> files_;
};

rom::RomResult<void> addBGMaps(FileSetBuilder& builder, rom::ByteSpan image,
                               const rom::TableDirectory& directory,
                               const std::vector<std::uint16_t>& ids)
{
    for (std::size_t j = 0; j < ids.size(); ++j) {
        auto header = rom::readRecord<rom::BGMAP>(image, directory, ids[j]);
        if (!header)
            return std::unexpected(header.error());
        rom::Bytes bytes;
        if (header->dwAddress != 0) {
            auto map = builder.lz77Copy(rom::romOffsetOf(header->dwAddress));
            if (!map)
                return std::unexpected(rom::withContext(map.error(), rom::itemName("BGMap", ids[j])));
            bytes = std::move(*map);
        }
        builder.add(itemFileName(fs_names::kBGMapStem, j), std::move(bytes));
    }
    return {};
}

}  // namespace

void SelectionFlags::selectAll()
{
    for (auto& kind : flags_)
        kind.fill(true);
}

void SelectionFlags::bulkOff()
{
    for (ResourceKind kind : kBulkOffKinds)
        flags_[static_cast<std::size_t>(kind)].fill(false);
}

void SelectionFlags::set(ResourceKind kind, std::size_t position, bool selected)
{
    if (position < kPositions)
        flags_[static_cast<std::size_t>(kind)][position] = selected;
}

bool SelectionFlags::isSelected(ResourceKind kind, std::size_t position) const
{
    return position >= kPositions || flags_[static_cast<std::size_t>(kind)][position];
}

rom::RomResult<rom::UnitResourceSet> buildExtractionSet(rom::ByteSpan image,
                                                        const rom::TableDirectory& directory,
                                                        const rom::UnitResourceSet& selected,
                                                        const SelectionFlags& flags)
{
    rom::UnitResourceSet set;
    for (ResourceKind kind : kChosenKinds) {
        const auto& ids = selected.list(kind);
        for (std::size_t j = 0; j < ids.size(); ++j) {
            if (flags.isSelected(kind, j))
                set.list(kind).push_back(ids[j]);
        }
    }
    set.valid = true;
    set.wIdUnit = selected.wIdUnit;
    set.wIdIcon = selected.wIdIcon;

    auto header = rom::readRecord<rom::UNIT_ANIME_HEADER>(image, directory, set.wIdUnit);
    if (!header)
        return std::unexpected(header.error());
    rom::addUnitAnimeHeader(set, *header);
    if (auto done = walkRecords<rom::FIXED_ANIME_HEADER>(
            set, image, directory, set.list(ResourceKind::FixedWeapon), rom::addFixedAnimeHeader);
        !done)
        return std::unexpected(done.error());
    if (auto done = walkRecords<rom::GraphicDifinitionRecord>(
            set, image, directory, set.list(ResourceKind::GraphicDifinition),
            rom::addGraphicDifinition);
        !done)
        return std::unexpected(done.error());
    if (auto done = walkRecords<rom::SystemAnimeRecord>(
            set, image, directory, set.list(ResourceKind::SystemAnime), rom::addSystemAnime);
        !done)
        return std::unexpected(done.error());
    if (auto done = walkRecords<rom::UnitCutinRecord>(
            set, image, directory, set.list(ResourceKind::UnitCutin), rom::addUnitCutin);
        !done)
        return std::unexpected(done.error());
    return set;
}

rom::RomResult<std::vector<FileSetFile>> buildFileSet(rom::ByteSpan image,
                                                      const rom::TableDirectory& directory,
                                                      const rom::UnitResourceSet& set)
{
    using rom::GameTable;
    if (auto fitsIndex = checkListsFitIndex(set); !fitsIndex)
        return std::unexpected(fitsIndex.error());

    FileSetBuilder builder(image, directory);
    const auto& weapons = set.list(ResourceKind::FixedWeapon);
    const std::string index = unitAllDataText(set);
    builder.add(std::string(fs_names::kIndexFile), rom::Bytes(index.begin(), index.end()));

    rom::RomResult<void> done =
        builder.addRecord(std::string(fs_names::kUnitFile), GameTable::Unit, set.wIdUnit);
    if (done)
        done = builder.addRecord(std::string(fs_names::kUnitAnimeFile), GameTable::UnitAnimeHeader,
                                 set.wIdUnit);
    if (done)
        done = builder.addRecord(std::string(fs_names::kIconFile), GameTable::IconData,
                                 set.wIdIcon);
    for (std::size_t j = 0; done && j < weapons.size(); ++j) {
        done = builder.addRecord(itemFileName(fs_names::kWeaponStem, j), GameTable::Weapon,
                                 weapons[j]);
        if (done)
            done = builder.addRecord(itemFileName(fs_names::kFixedWeaponAnimeStem, j),
                                     GameTable::FixedWeaponAnime, weapons[j]);
    }
    if (done)
        done = builder.addRecords(fs_names::kUnitCutinStem, GameTable::UnitCutin,
                                  set.list(ResourceKind::UnitCutin));
    if (done)
        done = builder.addRecords(fs_names::kGraphicDifinitionStem, GameTable::GraphicDifinition,
                                  set.list(ResourceKind::GraphicDifinition));
    if (done)
        done = builder.addRecords(fs_names::kSystemAnimeStem, GameTable::SystemAnime,
                                  set.list(ResourceKind::SystemAnime));
    if (done)
        done = builder.addRecords(fs_names::kBGMapHeaderStem, GameTable::BGMap,
                                  set.list(ResourceKind::BGMap));

    if (done)
        done = builder.addPointedData(
            fs_names::kSpriteStem, ResourceKind::Sprite, set.list(ResourceKind::Sprite),
            [&](std::uint32_t offset, std::size_t) { return builder.lz77Copy(offset); });
    if (done)
        done = builder.addPointedData(
            fs_names::kPalletStem, ResourceKind::Pallet, set.list(ResourceKind::Pallet),
            [&](std::uint32_t offset, std::size_t j) {
                const std::uint8_t banks = j < set.palletBankCounts.size()
                                               ? set.palletBankCounts[j]
                                               : rom::pallet_banks::kReachedIndirectly;
                return builder.rawCopy(offset, banks * rom::kPalletBankBytes);
            });
    if (done)
        done = addBGMaps(builder, image, directory, set.list(ResourceKind::BGMap));
    if (done)
        done = builder.addPointedData(
            fs_names::kMotionPartStem, ResourceKind::MotionPart, set.list(ResourceKind::MotionPart),
            [&](std::uint32_t offset, std::size_t) { return buildMotionPartBlock(image, offset); });
    if (done)
        done = builder.addPointedData(
            fs_names::kShadowEtcStem, ResourceKind::ShadowEtc, set.list(ResourceKind::ShadowEtc),
            [&](std::uint32_t offset, std::size_t) { return buildShadowEtcBlock(image, offset); });
    if (done)
        done = builder.addPointedData(
            fs_names::kCutinScrollStem, ResourceKind::CutinScroll,
            set.list(ResourceKind::CutinScroll),
            [&](std::uint32_t offset, std::size_t) { return buildCutinScrollBlock(image, offset); });
    if (!done)
        return std::unexpected(done.error());
    return builder.take();
}

std::string unitFolderName(std::string_view displayName, std::uint16_t unitId)
{
    std::string name(displayName);
    for (char& c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || kRefusedNameCharacters.find(c) != std::string::npos)
            c = '_';
    }
    // Windows drops trailing dots and blanks, and "." and ".." name other folders.
    while (!name.empty() && (name.back() == '.' || name.back() == ' '))
        name.pop_back();
    if (name.empty())
        return std::string(kFallbackFolderPrefix) + shell::fixedHexText(unitId, kUnitIdDigits);
    return name;
}

}  // namespace transplant
