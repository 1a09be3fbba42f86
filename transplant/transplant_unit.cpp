#include "transplant/transplant_unit.hpp"

#include "rom/gba_address.hpp"
#include "rom/records.hpp"
#include "transplant/file_set.hpp"
#include "transplant/id_extension.hpp"
#include "transplant/id_remap.hpp"
#include "transplant/remapped_fields.hpp"
#include "transplant/routine_blocks.hpp"

#include <algorithm>
#include <span>

namespace transplant {
namespace {

using rom::GameTable;
using rom::ResourceKind;

// One appended block: its bytes, the table entry that points at it, and where it goes.
struct PlacedBlock {
    const rom::Bytes* bytes;
    ResourceKind kind;
    std::uint16_t id;            // entry in the kind's table
    std::size_t bgMapHeader = 0;  // BG maps: the header file whose pointer is set
    std::uint64_t offset = 0;     // 0 for an empty block, which keeps its entry's pointer 0
};

class Transplant {
public:
    Transplant(rom::Bytes& image, const rom::TableDirectory& directory,
               const rom::UnitResourceSet& freeIds, const rom::UnitResourceSet& loaded)
        : image_(image), directory_(directory), freeIds_(freeIds), remap_(freeIds, loaded)
    {
    }

    // Copies `file` over record `id` of `table`, sets its own ID field when asked, and remaps.
    rom::RomResult<rom::MutableByteSpan> writeRecord(GameTable table, std::uint16_t id,
                                                     const rom::Bytes& file,
                                                     std::span<const RemappedField> fields,
                                                     bool setOwnId)
    {
        auto record = rom::mutableRecordBytes(image_, directory_, table, id);
        if (!record)
            return std::unexpected(record.error());
        std::ranges::copy(std::span(file).first(record->size()), record->begin());
        if (setOwnId)
            rom::storeU16(*record, kOwnIdField, id);
        for (const RemappedField& field : fields)
            remap_.field(*record, field.offset, field.kind);
        return record;
    }

    rom::RomResult<void> writeRecords(GameTable table, ResourceKind kind,
                                      const std::vector<rom::Bytes>& files,
                                      std::span<const RemappedField> fields, bool setOwnId)
    {
        for (std::size_t j = 0; j < files.size(); ++j) {
            if (auto done = writeRecord(table, freeIds_.list(kind)[j], files[j], fields, setOwnId);
                !done)
                return std::unexpected(done.error());
        }
        return {};
    }

    rom::RomResult<void> setTableEntry(GameTable table, std::uint16_t id, std::uint32_t pointer)
    {
        auto entry = rom::mutableRecordBytes(image_, directory_, table, id);
        if (!entry)
            return std::unexpected(entry.error());
        rom::storeU32(*entry, 0, pointer);
        return {};
    }

private:
    rom::Bytes& image_;
    const rom::TableDirectory& directory_;
    const rom::UnitResourceSet& freeIds_;
    IdRemap remap_;
};

void addBlocks(std::vector<PlacedBlock>& blocks, ResourceKind kind,
               const std::vector<rom::Bytes>& files, const rom::UnitResourceSet& freeIds)
{
    for (std::size_t j = 0; j < files.size(); ++j)
        blocks.push_back({&files[j], kind, freeIds.list(kind)[j], j});
}

rom::RomResult<void> placeBlock(rom::Bytes& image, const PlacedBlock& block,
                                const rom::UnitResourceSet& freeIds,
                                const rom::UnitResourceSet& loaded)
{
    std::ranges::copy(*block.bytes, image.begin() + static_cast<std::ptrdiff_t>(block.offset));
    const rom::MutableByteSpan placed(image.data() + block.offset, block.bytes->size());
    const auto base = static_cast<std::uint32_t>(block.offset);
    switch (block.kind) {
    case ResourceKind::MotionPart:
        return RelocateMotionPart(placed, base);
    case ResourceKind::ShadowEtc:
        return RelocateShadowEtc(placed, base);
    case ResourceKind::CutinScroll:
        if (auto done = RemapCutinScrollIds(placed, freeIds, loaded); !done)
            return done;
        return RelocateCutinScroll(placed, base);
    default:
        return {};
    }
}

}  // namespace

bool hasRoomFor(const rom::UnitResourceSet& freeIds, const rom::UnitResourceSet& loaded)
{
    for (ResourceKind kind : file_set::kIndexedKinds) {
        if (loaded.list(kind).size() > freeIds.list(kind).size())
            return false;
    }
    return !freeIds.list(ResourceKind::IconData).empty() &&
           !freeIds.list(ResourceKind::Unit).empty();
}

rom::RomResult<TransplantedImage> transplantUnit(rom::ByteSpan image,
                                                 const rom::TableDirectory& directory,
                                                 const rom::UnitResourceSet& freeIds,
                                                 const rom::UnitResourceSet& loaded,
                                                 const UnitFileSet& files)
{
    if (!hasRoomFor(freeIds, loaded))
        return std::unexpected(rom::RomError{"空きIDが足りません"});

    // Where every block goes, in the order the tables are filled.
    std::vector<PlacedBlock> blocks;
    addBlocks(blocks, ResourceKind::MotionPart, files.motionParts, freeIds);
    addBlocks(blocks, ResourceKind::ShadowEtc, files.shadowEtcs, freeIds);
    addBlocks(blocks, ResourceKind::CutinScroll, files.cutinScrolls, freeIds);
    addBlocks(blocks, ResourceKind::Sprite, files.sprites, freeIds);
    addBlocks(blocks, ResourceKind::Pallet, files.pallets, freeIds);
    addBlocks(blocks, ResourceKind::BGMap, files.bgMaps, freeIds);
    std::uint64_t cursor = image.size();
    for (PlacedBlock& block : blocks) {
        if (block.bytes->empty())
            continue;
        block.offset = cursor;
        cursor = nextBlockCursor(cursor, block.bytes->size());
    }
    if (cursor > kCartridgeLimit)
        return std::unexpected(rom::RomError{"追加後のROMが32MBを超えるため、追加できません"});

    TransplantedImage result{rom::Bytes(static_cast<std::size_t>(cursor)), 0};
    std::ranges::copy(image, result.image.begin());
    Transplant transplant(result.image, directory, freeIds, loaded);
    const std::uint16_t unitId = freeIds.wIdUnit;
    namespace fields = remapped_fields;

    auto written = transplant.writeRecord(GameTable::Unit, unitId, files.unit, fields::kUnit, false);
    if (!written)
        return std::unexpected(written.error());

    result.iconId = freeIds.list(ResourceKind::IconData).front();
    if (auto done = transplant.writeRecord(GameTable::IconData, result.iconId, files.icon, {}, false);
        !done)
        return std::unexpected(done.error());
    auto iconIndex = rom::mutableRecordBytes(result.image, directory, GameTable::UnitIconIndex, unitId);
    if (!iconIndex)
        return std::unexpected(iconIndex.error());
    rom::storeU16(*iconIndex, 0, result.iconId);

    rom::RomResult<void> done;
    if (auto header = transplant.writeRecord(GameTable::UnitAnimeHeader, unitId, files.unitAnime,
                                             fields::kUnitAnime, true);
        !header)
        done = std::unexpected(header.error());
    if (done)
        done = transplant.writeRecords(GameTable::Weapon, ResourceKind::FixedWeapon, files.weapons,
                                       {}, false);
    if (done)
        done = transplant.writeRecords(GameTable::FixedWeaponAnime, ResourceKind::FixedWeapon,
                                       files.fixedWeaponAnimes, fields::kFixedWeaponAnime, true);
    if (done)
        done = transplant.writeRecords(GameTable::UnitCutin, ResourceKind::UnitCutin,
                                       files.unitCutins, fields::kUnitCutin, true);
    if (done)
        done = transplant.writeRecords(GameTable::GraphicDifinition,
                                       ResourceKind::GraphicDifinition, files.graphicDifinitions,
                                       fields::kGraphicDifinition, true);
    if (done)
        done = transplant.writeRecords(GameTable::SystemAnime, ResourceKind::SystemAnime,
                                       files.systemAnimes, fields::kSystemAnime, true);

    for (std::size_t i = 0; done && i < blocks.size(); ++i) {
        const PlacedBlock& block = blocks[i];
        const std::uint32_t pointer =
            block.bytes->empty() ? 0 : rom::gbaPointerOf(static_cast<std::uint32_t>(block.offset));
        if (block.kind == ResourceKind::BGMap) {
            // The header goes in as it was, pointing at the map's new place.
            auto header = transplant.writeRecord(GameTable::BGMap, block.id,
                                                 files.bgMapHeaders[block.bgMapHeader], {}, false);
            if (!header) {
                done = std::unexpected(header.error());
                break;
            }
            rom::storeU32(*header, 0, pointer);
        } else {
            done = transplant.setTableEntry(rom::tableOf(block.kind), block.id, pointer);
        }
        if (done && !block.bytes->empty())
            done = placeBlock(result.image, block, freeIds, loaded);
    }
    if (!done)
        return std::unexpected(done.error());
    return result;
}

}  // namespace transplant
