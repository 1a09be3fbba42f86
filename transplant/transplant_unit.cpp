#include "transplant/transplant_unit.hpp"

#include "rom/gba_address.hpp"
#include "rom/records.hpp"
#include "transplant/extraction.hpp"
#include "transplant/file_set.hpp"
#include "transplant/id_extension.hpp"
#include "transplant/id_remap.hpp"
#include "transplant/remapped_fields.hpp"
#include "transplant/routine_blocks.hpp"
#include "transplant/unit_texts.hpp"

#include <algorithm>
#include <span>

namespace transplant {
namespace {

using rom::GameTable;
using rom::ResourceKind;

constexpr std::string_view kNotReadBack = "追加したユニットを読み返せません: ";

// What the writing pass changed, so that a unit that cannot be read back leaves the image as it
// was without a copy of the whole image: the old bytes of every record and table entry it wrote
// (all of them inside the old image), and the old size, past which the appended blocks lie.
class ImageUndo {
public:
    explicit ImageUndo(const rom::Bytes& image) : oldSize_(image.size()) {}

    // Keeps the bytes of `range`, a span of `image`, before they are written.
    void keep(const rom::Bytes& image, rom::ByteSpan range)
    {
        const auto offset = static_cast<std::size_t>(range.data() - image.data());
        kept_.push_back({offset, rom::Bytes(range.begin(), range.end())});
    }

    void restore(rom::Bytes& image) const
    {
        // Last kept first: where two records overlap, the bytes kept first are the image's own.
        for (auto it = kept_.rbegin(); it != kept_.rend(); ++it)
            std::ranges::copy(it->bytes, image.begin() + static_cast<std::ptrdiff_t>(it->offset));
        image.resize(oldSize_);
    }

private:
    struct Kept {
        std::size_t offset;
        rom::Bytes bytes;
    };
    std::size_t oldSize_;
    std::vector<Kept> kept_;
};

// One appended block: its bytes, the table entry that points at it, and where it goes.
struct PlacedBlock {
    const rom::Bytes* bytes;
    ResourceKind kind;
    std::uint16_t id;             // entry in the kind's table
    std::size_t bgMapHeader = 0;  // BG maps: the header file whose pointer is set
    std::uint64_t offset = 0;     // unused for an empty block, which keeps its entry's pointer 0
    const RoutineBlockLayout* layout = nullptr;  // routines: where the checked block's pointers lie
};

// The steps of a transplant. They run twice: a checking pass that touches every record and block
// the writing pass will write, and fails before anything changes; then the writing pass.
class Transplant {
public:
    // `undo` is null for the checking pass; the writing pass keeps there what it overwrites.
    Transplant(rom::Bytes& image, const rom::TableDirectory& directory,
               const rom::UnitResourceSet& freeIds, const rom::UnitResourceSet& loaded,
               ImageUndo* undo)
        : image_(image),
          directory_(directory),
          freeIds_(freeIds),
          loaded_(loaded),
          remap_(freeIds, loaded),
          undo_(undo),
          writing_(undo != nullptr)
    {
    }

    // Copies `file` over record `id` of `table`, sets its own ID field when asked, and remaps.
    // Returns the record, for the caller to finish.
    rom::RomResult<rom::MutableByteSpan> record(GameTable table, std::uint16_t id,
                                                const rom::Bytes& file,
                                                std::span<const RemappedField> fields,
                                                bool setOwnId)
    {
        auto record = rom::mutableRecordBytes(image_, directory_, table, id);
        if (!record || !writing_)
            return record;
        undo_->keep(image_, *record);
        std::ranges::copy(std::span(file).first(record->size()), record->begin());
        if (setOwnId)
            rom::storeU16(*record, kOwnIdField, id);
        for (const RemappedField& field : fields)
            remap_.field(*record, field.offset, field.kind);
        return record;
    }

    rom::RomResult<void> records(GameTable table, ResourceKind kind,
                                 const std::vector<rom::Bytes>& files,
                                 std::span<const RemappedField> fields, bool setOwnId)
    {
        for (std::size_t j = 0; j < files.size(); ++j) {
            if (auto done = record(table, freeIds_.list(kind)[j], files[j], fields, setOwnId); !done)
                return std::unexpected(done.error());
        }
        return {};
    }

    rom::RomResult<void> iconIndex(std::uint16_t unitId, std::uint16_t iconId)
    {
        auto entry = rom::mutableRecordBytes(image_, directory_, GameTable::UnitIconIndex, unitId);
        if (!entry)
            return std::unexpected(entry.error());
        if (writing_) {
            undo_->keep(image_, *entry);
            rom::storeU16(*entry, 0, iconId);
        }
        return {};
    }

    // Points the block's table entry at its place and, when writing, copies it there and
    // rebases it. The image must already reach past the block.
    rom::RomResult<void> block(const PlacedBlock& block, const UnitFileSet& files)
    {
        const std::uint32_t pointer =
            block.bytes->empty() ? 0 : rom::gbaPointerOf(static_cast<std::uint32_t>(block.offset));
        rom::MutableByteSpan entry;
        if (block.kind == ResourceKind::BGMap) {
            // The header goes in as it was, pointing at the map's new place.
            auto header = record(GameTable::BGMap, block.id, files.bgMapHeaders[block.bgMapHeader],
                                 {}, false);
            if (!header)
                return std::unexpected(header.error());
            entry = *header;
        } else {
            auto tableEntry = rom::mutableRecordBytes(image_, directory_, rom::tableOf(block.kind),
                                                      block.id);
            if (!tableEntry)
                return std::unexpected(tableEntry.error());
            entry = *tableEntry;
            if (writing_)
                undo_->keep(image_, entry);
        }
        if (writing_) {
            rom::storeU32(entry, 0, pointer);
            if (!block.bytes->empty())
                placeBlock(block);
        }
        return {};
    }

private:
    // Routine blocks were checked when the file set was read; a placed copy is rebased with the
    // layout found then, an effect routine's IDs remapped first.
    void placeBlock(const PlacedBlock& block)
    {
        const auto at = static_cast<std::size_t>(block.offset);
        std::ranges::copy(*block.bytes, image_.begin() + static_cast<std::ptrdiff_t>(at));
        if (!block.layout)
            return;
        const rom::MutableByteSpan placed(image_.data() + at, block.bytes->size());
        if (block.kind == ResourceKind::CutinScroll)
            remapCutinScrollIds(placed, *block.layout, freeIds_, loaded_);
        relocateRoutineBlock(placed, *block.layout, static_cast<std::uint32_t>(block.offset));
    }

    rom::Bytes& image_;
    const rom::TableDirectory& directory_;
    const rom::UnitResourceSet& freeIds_;
    const rom::UnitResourceSet& loaded_;
    IdRemap remap_;
    ImageUndo* undo_;
    bool writing_;
};

void addBlocks(std::vector<PlacedBlock>& blocks, ResourceKind kind,
               const std::vector<rom::Bytes>& files, const rom::UnitResourceSet& freeIds)
{
    for (std::size_t j = 0; j < files.size(); ++j)
        blocks.push_back({&files[j], kind, freeIds.list(kind)[j], j});
}

void addBlocks(std::vector<PlacedBlock>& blocks, ResourceKind kind,
               const std::vector<CheckedRoutineBlock>& routines, const rom::UnitResourceSet& freeIds)
{
    for (std::size_t j = 0; j < routines.size(); ++j)
        blocks.push_back({&routines[j].bytes(), kind, freeIds.list(kind)[j], j, 0,
                          &routines[j].layout()});
}

// Every step, in order; when writing, the blocks are written only once the image has been grown
// to `end`.
rom::RomResult<void> runSteps(Transplant& transplant, rom::Bytes& image, bool writing,
                              std::uint64_t end, const std::vector<PlacedBlock>& blocks,
                              const rom::UnitResourceSet& freeIds, const UnitFileSet& files)
{
    namespace fields = remapped_fields;
    const std::uint16_t unitId = freeIds.wIdUnit;
    const std::uint16_t iconId = freeIds.list(ResourceKind::IconData).front();

    rom::RomResult<void> done;
    auto step = [&](auto result) {
        if (done && !result)
            done = std::unexpected(result.error());
    };
    step(transplant.record(GameTable::Unit, unitId, files.unit, fields::kUnit, false));
    step(transplant.record(GameTable::IconData, iconId, files.icon, {}, false));
    step(transplant.iconIndex(unitId, iconId));
    step(transplant.record(GameTable::UnitAnimeHeader, unitId, files.unitAnime, fields::kUnitAnime,
                           true));
    step(transplant.records(GameTable::Weapon, ResourceKind::FixedWeapon, files.weapons, {}, false));
    step(transplant.records(GameTable::FixedWeaponAnime, ResourceKind::FixedWeapon,
                            files.fixedWeaponAnimes, fields::kFixedWeaponAnime, true));
    step(transplant.records(GameTable::UnitCutin, ResourceKind::UnitCutin, files.unitCutins,
                            fields::kUnitCutin, true));
    step(transplant.records(GameTable::GraphicDifinition, ResourceKind::GraphicDifinition,
                            files.graphicDifinitions, fields::kGraphicDifinition, true));
    step(transplant.records(GameTable::SystemAnime, ResourceKind::SystemAnime, files.systemAnimes,
                            fields::kSystemAnime, true));
    if (!done)
        return done;
    if (writing)
        image.resize(static_cast<std::size_t>(end));
    for (const PlacedBlock& block : blocks)
        step(transplant.block(block, files));
    return done;
}

// Reads the placed unit as showing, summing up and extracting it read it, so that a unit the
// tools could not read again is never added. Names do not matter here, only that every record
// they come from can be read.
rom::RomResult<void> readUnitBack(rom::ByteSpan image, const rom::TableDirectory& directory,
                                  std::uint16_t unitId)
{
    const auto failed = [](const rom::RomError& error) {
        return std::unexpected(rom::RomError{std::string(kNotReadBack) + error.message});
    };
    auto collected = rom::CollectUnitResources(image, directory, unitId);
    if (!collected)
        return failed(collected.error());
    if (auto information = unitInformationText(image, directory, unitId, {}, rom::CharacterTable());
        !information)
        return failed(information.error());
    SelectionFlags everything;
    everything.selectAll();
    auto extracted = buildExtractionSet(image, directory, *collected, everything);
    if (!extracted)
        return failed(extracted.error());
    if (auto files = buildFileSet(image, directory, *extracted); !files)
        return failed(files.error());
    return {};
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

rom::RomResult<std::uint16_t> transplantUnit(rom::Bytes& image, const rom::TableDirectory& directory,
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

    Transplant check(image, directory, freeIds, loaded, nullptr);
    if (auto checked = runSteps(check, image, false, cursor, blocks, freeIds, files); !checked)
        return std::unexpected(checked.error());
    // The writing pass cannot fail: every record and block was reached by the check.
    ImageUndo undo(image);
    Transplant write(image, directory, freeIds, loaded, &undo);
    auto written = runSteps(write, image, true, cursor, blocks, freeIds, files);
    if (written)
        written = readUnitBack(image, directory, freeIds.wIdUnit);
    if (!written) {
        undo.restore(image);
        return std::unexpected(written.error());
    }
    return freeIds.list(ResourceKind::IconData).front();
}

}  // namespace transplant
