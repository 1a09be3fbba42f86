#include "rom/unit_resources.hpp"

#include "rom/gba_address.hpp"
#include "rom/records.hpp"
#include "rom/routines.hpp"

#include <algorithm>

namespace rom {
namespace {

using Kind = ResourceKind;

// Adds an ID field; 0xFFFF names no record.
void addId(UnitResourceSet& set, Kind kind, std::uint16_t id)
{
    if (id != kNoId)
        set.addUnique(kind, id);
}

void addPalletId(UnitResourceSet& set, std::uint16_t id, std::uint8_t banks)
{
    if (id != kNoId)
        set.addPallet(id, banks);
}

void addBGMapId(UnitResourceSet& set, std::uint16_t id)
{
    if (isBGMapId(id))
        set.addUnique(Kind::BGMap, id);
}

void addRoutines(UnitResourceSet& set, std::uint16_t motionPart, std::uint16_t shadowEtc,
                 std::uint16_t cutinScroll)
{
    addId(set, Kind::MotionPart, motionPart);
    addId(set, Kind::ShadowEtc, shadowEtc);
    addId(set, Kind::CutinScroll, cutinScroll);
}

}  // namespace

void addUnitAnimeHeader(UnitResourceSet& set, const UNIT_ANIME_HEADER& header)
{
    addBGMapId(set, header.wIdBGMap);

    addId(set, Kind::Sprite, header.wIdSpriteBG);
    for (const UnitMotionGroup& group : header.motion) {
        addId(set, Kind::Sprite, group.wIdSprite_1);
        addId(set, Kind::Sprite, group.wIdSprite_2);
    }

    addPalletId(set, header.wIdPalletBG, pallet_banks::kBackground);
    for (const UnitMotionGroup& group : header.motion) {
        addPalletId(set, group.wIdPallet_1, pallet_banks::kOrdinary);
        addPalletId(set, group.wIdPallet_2, pallet_banks::kOrdinary);
    }

    for (const UnitMotionGroup& group : header.motion)
        addId(set, Kind::MotionPart, group.wIdMotionPart);
    for (const UnitMotionGroup& group : header.motion)
        addId(set, Kind::ShadowEtc, group.wIdShadowEtc);
    for (const UnitMotionGroup& group : header.motion)
        addId(set, Kind::CutinScroll, group.wIdCutinScroll);
}

void addFixedAnimeHeader(UnitResourceSet& set, const FIXED_ANIME_HEADER& h)
{
    for (std::uint16_t sprite : {h.wIdSprite1_1, h.wIdSprite1_2, h.wIdSprite1_3, h.wIdSprite1_4,
                                 h.wIdSprite2_1, h.wIdSprite2_2, h.wIdSprite2_3, h.wIdSprite3_1,
                                 h.wIdSprite3_2, h.wIdSprite3_3})
        addId(set, Kind::Sprite, sprite);

    using pallet_banks::kOrdinary;
    using pallet_banks::kWeaponThird;
    const std::pair<std::uint16_t, std::uint8_t> pallets[] = {
        {h.wIdPallet1_1, kOrdinary}, {h.wIdPallet1_2, kOrdinary}, {h.wIdPallet1_3, kWeaponThird},
        {h.wIdPallet1_4, kOrdinary}, {h.wIdPallet2_1, kOrdinary}, {h.wIdPallet2_2, kOrdinary},
        {h.wIdPallet2_3, kWeaponThird}, {h.wIdPallet3_1, kOrdinary}, {h.wIdPallet3_2, kOrdinary},
        {h.wIdPallet3_3, kWeaponThird},
    };
    for (const auto& [pallet, banks] : pallets)
        addPalletId(set, pallet, banks);

    for (std::uint16_t id : {h.wIdMotionPart1, h.wIdMotionPart2, h.wIdMotionPart3, h.wIdMotionPart3_2})
        addId(set, Kind::MotionPart, id);
    for (std::uint16_t id : {h.wIdShadowEtc1, h.wIdShadowEtc2, h.wIdShadowEtc3, h.wIdShadowEtc3_2})
        addId(set, Kind::ShadowEtc, id);
    for (std::uint16_t id :
         {h.wIdCutinScroll1, h.wIdCutinScroll2, h.wIdCutinScroll3, h.wIdCutinScroll3_2})
        addId(set, Kind::CutinScroll, id);
}

namespace {

// The records that the commands of effect routine `id` name. An empty pointer-table entry is a
// routine without commands.
RomResult<void> addCutinScrollCommands(UnitResourceSet& set, ByteSpan image,
                                       const TableDirectory& directory, std::uint16_t id)
{
    namespace cmd = cutin_command;
    auto pointer = readTablePointer(image, directory, GameTable::CutinScroll, id);
    if (!pointer)
        return std::unexpected(pointer.error());
    if (*pointer == 0)
        return {};
    auto routine = readCutinScroll(image, romOffsetOf(*pointer));
    if (!routine)
        return std::unexpected(withContext(routine.error(), itemName("CutinScroll", id)));

    const ByteSpan commands = image.subspan(routine->commands.offset, routine->commands.length);
    for (std::size_t at = 0; at < commands.size(); at += kCutinScrollCommandSize) {
        const ByteSpan command = commands.subspan(at, kCutinScrollCommandSize);
        const std::uint8_t opcode = command[0];
        if (opcode == cmd::kGraphicChange)
            addId(set, Kind::GraphicDifinition, loadU16(command, cmd::kGraphicChangeIdField));
        else if (opcode == cmd::kUnitCutin &&
                 cmd::unitCutinModeCarriesId(command[cmd::kUnitCutinModeField]))
            addId(set, Kind::UnitCutin, loadU16(command, cmd::kUnitCutinIdField));
        else if (opcode >= cmd::kSystemAnimeFirst && opcode <= cmd::kSystemAnimeLast)
            addId(set, Kind::SystemAnime, loadU16(command, cmd::kSystemAnimeIdField));
    }
    return {};
}

}  // namespace

void addUnitCutin(UnitResourceSet& set, const UnitCutinRecord& r)
{
    using pallet_banks::kReachedIndirectly;
    addBGMapId(set, r.wIdBGMap1);
    addBGMapId(set, r.wIdBGMap2);
    addBGMapId(set, r.wIdBGMap3);
    addId(set, Kind::Sprite, r.wIdSprite1);
    addId(set, Kind::Sprite, r.wIdSprite2);
    addId(set, Kind::Sprite, r.wIdSprite3);
    addPalletId(set, r.wIdPallet1, kReachedIndirectly);
    addPalletId(set, r.wIdPallet2, kReachedIndirectly);
    addPalletId(set, r.wIdPallet3, kReachedIndirectly);
    addRoutines(set, r.wIdMotionPart, r.wIdShadowEtc, r.wIdCutinScroll);
}

void addGraphicDifinition(UnitResourceSet& set, const GraphicDifinitionRecord& r)
{
    addId(set, Kind::Sprite, r.wIdSprite);
    addPalletId(set, r.wIdPallet, pallet_banks::kReachedIndirectly);
}

void addSystemAnime(UnitResourceSet& set, const SystemAnimeRecord& r)
{
    addId(set, Kind::Sprite, r.wIdSprite);
    addPalletId(set, r.wIdPallet, pallet_banks::kReachedIndirectly);
    addRoutines(set, r.wIdMotionPart, r.wIdShadowEtc, r.wIdCutinScroll);
}

namespace {

// Reads record `id` of each ID in `ids` (a copy: adding may grow the list being walked) and hands
// it to `add`.
template <class Record, class Add>
RomResult<void> forEachRecord(UnitResourceSet& set, ByteSpan image,
                              const TableDirectory& directory, std::vector<std::uint16_t> ids,
                              Add add)
{
    for (std::uint16_t id : ids) {
        auto record = readRecord<Record>(image, directory, id);
        if (!record)
            return std::unexpected(record.error());
        add(set, *record);
    }
    return {};
}

}  // namespace

void UnitResourceSet::addUnique(ResourceKind kind, std::uint16_t id)
{
    std::vector<std::uint16_t>& ids = list(kind);
    if (std::find(ids.begin(), ids.end(), id) == ids.end())
        ids.push_back(id);
}

void UnitResourceSet::addPallet(std::uint16_t id, std::uint8_t banks)
{
    std::vector<std::uint16_t>& ids = list(Kind::Pallet);
    if (std::find(ids.begin(), ids.end(), id) != ids.end())
        return;
    ids.push_back(id);
    palletBankCounts.push_back(banks);
}

RomResult<UnitResourceSet> CollectUnitResources(ByteSpan image, const TableDirectory& directory,
                                                std::uint16_t unitId)
{
    UnitResourceSet set;
    set.valid = true;
    set.wIdUnit = unitId;

    auto unit = readRecord<UnitDataRecord>(image, directory, unitId);
    if (!unit)
        return std::unexpected(unit.error());
    for (std::uint16_t weapon : unit->wWeapon) {
        if (isWeaponId(weapon))
            set.addUnique(Kind::FixedWeapon, weapon);
    }

    auto icon = recordBytes(image, directory, GameTable::UnitIconIndex, unitId);
    if (!icon)
        return std::unexpected(icon.error());
    set.wIdIcon = loadU16(*icon, 0);

    auto header = readRecord<UNIT_ANIME_HEADER>(image, directory, unitId);
    if (!header)
        return std::unexpected(header.error());
    addUnitAnimeHeader(set, *header);

    if (auto done = forEachRecord<FIXED_ANIME_HEADER>(set, image, directory,
                                                      set.list(Kind::FixedWeapon),
                                                      addFixedAnimeHeader);
        !done)
        return std::unexpected(done.error());

    // Only the effect routines known at this point are walked; those reached later through
    // cut-ins and system animations are collected but not followed.
    for (std::uint16_t id : std::vector<std::uint16_t>(set.list(Kind::CutinScroll))) {
        if (id == kNoId)
            continue;
        if (auto done = addCutinScrollCommands(set, image, directory, id); !done)
            return std::unexpected(done.error());
    }

    if (auto done = forEachRecord<UnitCutinRecord>(set, image, directory,
                                                   set.list(Kind::UnitCutin), addUnitCutin);
        !done)
        return std::unexpected(done.error());
    if (auto done = forEachRecord<GraphicDifinitionRecord>(
            set, image, directory, set.list(Kind::GraphicDifinition), addGraphicDifinition);
        !done)
        return std::unexpected(done.error());
    if (auto done = forEachRecord<SystemAnimeRecord>(set, image, directory,
                                                     set.list(Kind::SystemAnime), addSystemAnime);
        !done)
        return std::unexpected(done.error());
    return set;
}

}  // namespace rom
