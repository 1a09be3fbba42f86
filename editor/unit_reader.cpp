#include "editor/unit_reader.hpp"

#include "editor/anime_fields.hpp"
#include "rom/gba_address.hpp"
#include "rom/lz77.hpp"
#include "rom/routines.hpp"

#include <algorithm>
#include <string>
#include <utility>

namespace editor {
namespace {

rom::RomResult<Bytes> copyRange(ByteSpan bytes, std::uint64_t offset, std::size_t length,
                                std::string_view what)
{
    if (!rom::fits(bytes.size(), offset, length))
        return std::unexpected(rom::outOfImage(what, offset, length));
    const auto begin = bytes.begin() + static_cast<std::ptrdiff_t>(offset);
    return Bytes(begin, begin + static_cast<std::ptrdiff_t>(length));
}

// The bytes of a range that a routine reader measured inside `bytes`.
Bytes copyOf(ByteSpan bytes, const rom::ByteRange& range)
{
    const ByteSpan piece = bytes.subspan(range.offset, range.length);
    return Bytes(piece.begin(), piece.end());
}

// The ID lists of one kind while a unit is read: unique, in first-met order, within capacity.
template <std::size_t N>
class IdCollector {
public:
    IdCollector(std::array<std::uint16_t, N>& ids, std::uint8_t& count, std::string_view kindLabel)
        : ids_(ids), count_(count), kindLabel_(kindLabel)
    {
    }

    // Adds `id` unless it is 0xFFFF or already listed; the position of a new ID, or nothing.
    rom::RomResult<std::optional<std::size_t>> add(std::uint16_t id)
    {
        if (id == kNoId)
            return std::nullopt;
        for (std::size_t i = 0; i < count_; ++i) {
            if (ids_[i] == id)
                return std::nullopt;
        }
        if (count_ >= N)
            return std::unexpected(rom::RomError{std::string(kindLabel_) + " が多すぎます (最大 " +
                                                 std::to_string(N) + " 個)"});
        ids_[count_] = id;
        return std::optional<std::size_t>(count_++);
    }

private:
    std::array<std::uint16_t, N>& ids_;
    std::uint8_t& count_;
    std::string_view kindLabel_;
};

// Reads the routines of one kind named by `fields` (the unit header's fields, then each weapon
// slot's), each new ID once.
template <class Routine, class ReadRoutine>
rom::RomResult<void> readRoutines(ByteSpan image, const RomTableOffsets& offsets,
                                  rom::GameTable table, std::string_view kindLabel,
                                  const std::vector<std::uint16_t>& fields,
                                  std::array<std::uint16_t, kMaxRoutines>& ids,
                                  std::uint8_t& count,
                                  std::array<std::uint32_t, kMaxRoutines>& addresses,
                                  std::array<Routine, kMaxRoutines>& routines, ReadRoutine read)
{
    IdCollector<kMaxRoutines> collector(ids, count, kindLabel);
    for (std::uint16_t id : fields) {
        auto slot = collector.add(id);
        if (!slot)
            return std::unexpected(slot.error());
        if (!*slot)
            continue;
        auto pointer = rom::readTablePointer(image, offsets.directory, table, id);
        if (!pointer)
            return std::unexpected(pointer.error());
        auto routine = read(image, *pointer, rom::DataSource::Rom);
        if (!routine)
            return std::unexpected(rom::withContext(routine.error(), rom::itemName(kindLabel, id)));
        addresses[**slot] = *pointer;
        routines[**slot] = std::move(*routine);
    }
    return {};
}

template <class FieldsOf>
std::vector<std::uint16_t> routineFields(const UnitDataSet& set, FieldsOf unitFields,
                                         auto weaponFields)
{
    std::vector<std::uint16_t> fields;
    for (const std::uint16_t* field : unitFields(set.anime))
        fields.push_back(*field);
    for (std::size_t slot = 0; slot < set.bNumFixedWeapon; ++slot) {
        for (const std::uint16_t* field : weaponFields(set.weaponAnimes[slot]))
            fields.push_back(*field);
    }
    return fields;
}

rom::RomResult<Bytes> readSpriteStream(ByteSpan image, const RomTableOffsets& offsets,
                                       std::uint16_t id)
{
    auto pointer = rom::readTablePointer(image, offsets.directory, rom::GameTable::Sprite, id);
    if (!pointer)
        return std::unexpected(pointer.error());
    if (*pointer == 0)
        return Bytes();
    const std::uint32_t offset = rom::romOffsetOf(*pointer);
    auto length = rom::measureLz77Block(image, offset);
    if (!length)
        return std::unexpected(length.error());
    return copyRange(image, offset, *length, "Sprite");
}

rom::RomResult<void> readSprites(ByteSpan image, const RomTableOffsets& offsets, UnitDataSet& set)
{
    std::vector<std::uint16_t> fields{set.anime.wIdSpriteBG};
    for (const std::uint16_t* field : unitMotionSprites(std::as_const(set.anime)))
        fields.push_back(*field);
    for (std::size_t slot = 0; slot < set.bNumFixedWeapon; ++slot) {
        for (const std::uint16_t* field : weaponSprites(std::as_const(set.weaponAnimes[slot])))
            fields.push_back(*field);
    }
    IdCollector<kMaxSprites> collector(set.wIdSprite, set.bNumSprite, "Sprite");
    for (std::uint16_t id : fields) {
        auto slot = collector.add(id);
        if (!slot)
            return std::unexpected(slot.error());
        if (!*slot)
            continue;
        auto data = readSpriteStream(image, offsets, id);
        if (!data)
            return std::unexpected(rom::withContext(data.error(), rom::itemName("Sprite", id)));
        set.sprites[**slot].data = std::move(*data);
    }
    return {};
}

rom::RomResult<void> readPallets(ByteSpan image, const RomTableOffsets& offsets, UnitDataSet& set)
{
    std::vector<std::pair<std::uint16_t, std::uint8_t>> fields{
        {set.anime.wIdPalletBG, rom::pallet_banks::kBackground}};
    for (const std::uint16_t* field : unitMotionPallets(std::as_const(set.anime)))
        fields.emplace_back(*field, rom::pallet_banks::kOrdinary);
    for (std::size_t slot = 0; slot < set.bNumFixedWeapon; ++slot) {
        const auto weaponFields = weaponPallets(std::as_const(set.weaponAnimes[slot]));
        for (std::size_t i = 0; i < weaponFields.size(); ++i)
            fields.emplace_back(*weaponFields[i], kWeaponPalletLimits[i]);
    }
    IdCollector<kMaxPalletGroups> collector(set.wIdPallet, set.bNumPallet, "Pallet");
    for (const auto& [id, limit] : fields) {
        auto slot = collector.add(id);
        if (!slot)
            return std::unexpected(slot.error());
        if (!*slot)
            continue;
        auto pointer = rom::readTablePointer(image, offsets.directory, rom::GameTable::Pallet, id);
        if (!pointer)
            return std::unexpected(pointer.error());
        if (*pointer == 0)
            continue;  // an empty ID: a group of no palettes
        auto group = ReadPalletGroup(image, rom::romOffsetOf(*pointer), limit);
        if (!group)
            return std::unexpected(rom::withContext(group.error(), rom::itemName("Pallet", id)));
        set.pallets[**slot] = *group;
    }
    return {};
}

rom::RomResult<void> readBGMap(ByteSpan image, const RomTableOffsets& offsets, UnitDataSet& set)
{
    set.wIdBGMap = set.anime.wIdBGMap;
    if (!set.hasBGMap())
        return {};
    auto record = rom::readRecord<rom::BGMAP>(image, offsets.directory, set.wIdBGMap);
    if (!record)
        return std::unexpected(record.error());
    set.bgMap.record = *record;
    if (record->dwAddress == 0)
        return {};
    const std::uint32_t offset = rom::romOffsetOf(record->dwAddress);
    auto length = rom::measureLz77Block(image, offset);
    if (!length)
        return std::unexpected(rom::withContext(length.error(), rom::itemName("BGMap", set.wIdBGMap)));
    auto data = copyRange(image, offset, *length, "BGMap");
    if (!data)
        return std::unexpected(data.error());
    set.bgMap.data = std::move(*data);
    return {};
}

rom::RomResult<void> readIcon(ByteSpan image, const RomTableOffsets& offsets, UnitDataSet& set)
{
    auto entry = rom::recordBytes(image, offsets.directory, rom::GameTable::UnitIconIndex, set.wUnitID);
    if (!entry)
        return std::unexpected(entry.error());
    const std::uint16_t iconId = rom::loadU16(*entry, 0);
    // An ID past the icon table names no icon: nothing is read, and a port writes none.
    if (!isIconInTable(image, offsets, iconId)) {
        set.wIdIcon = kNoId;
        return {};
    }
    auto icon = rom::readRecord<rom::IconRecord>(image, offsets.directory, iconId);
    if (!icon)
        return std::unexpected(icon.error());
    set.wIdIcon = iconId;
    set.icon = icon->bImage;
    return {};
}

rom::RomResult<void> readWeapons(ByteSpan image, const RomTableOffsets& offsets, UnitDataSet& set)
{
    for (std::uint16_t weapon : set.unit.wWeapon) {
        if (!rom::isWeaponId(weapon))
            continue;
        auto record = rom::readRecord<rom::WEAPON_DATA>(image, offsets.directory, weapon);
        if (!record)
            return std::unexpected(record.error());
        auto anime = rom::readRecord<rom::FIXED_ANIME_HEADER>(image, offsets.directory, weapon);
        if (!anime)
            return std::unexpected(anime.error());
        // Twelve record slots hold at most twelve weapons, so the model's twelve always suffice.
        const std::size_t slot = set.bNumFixedWeapon++;
        set.wIdFixedWeapon[slot] = weapon;
        set.weapons[slot] = *record;
        set.weaponAnimes[slot] = *anime;
    }
    return {};
}

}  // namespace

rom::RomResult<PalletGroup> ReadPalletGroup(ByteSpan bytes, std::uint32_t offset,
                                            std::uint8_t limit)
{
    constexpr std::uint16_t kLastPaletteMark = 0x8000;  // bit 15 of a palette's first colour
    PalletGroup group;
    const std::size_t most = std::min<std::size_t>(limit, kMaxPalettesPerGroup);
    for (std::size_t i = 0; i < most; ++i) {
        const std::uint64_t at = static_cast<std::uint64_t>(offset) + i * kPaletteBytes;
        if (!rom::fits(bytes.size(), at, kPaletteBytes)) {
            if (i == 0)
                return std::unexpected(rom::outOfImage("Pallet", at, kPaletteBytes));
            break;
        }
        const auto palette = bytes.subspan(static_cast<std::size_t>(at), kPaletteBytes);
        std::copy(palette.begin(), palette.end(), group.colours.begin() + i * kPaletteBytes);
        group.bNumPalette = static_cast<std::uint8_t>(i + 1);
        if (rom::loadU16(palette, 0) & kLastPaletteMark)
            break;
    }
    return group;
}

rom::RomResult<MotionPartRoutine> ReadMotionPartRoutine(ByteSpan bytes, std::uint32_t gbaPointer,
                                                        rom::DataSource source)
{
    MotionPartRoutine routine;
    if (gbaPointer == 0)
        return routine;
    auto layout = rom::readMotionPart(bytes, rom::romOffsetOf(gbaPointer), source,
                                      rom::NullStreams::Empty);
    if (!layout)
        return std::unexpected(layout.error());
    routine.present = true;
    routine.header = layout->header;
    for (std::size_t j = 0; j < layout->parts.size(); ++j) {
        MotionPartEntry part;
        part.entry = rom::parseRecord<PartTableEntry>(
            bytes.subspan(layout->partTable.offset + j * PartTableEntry::kSize));
        part.stream = copyOf(bytes, layout->parts[j]);
        routine.parts.push_back(std::move(part));
    }
    routine.script = copyOf(bytes, layout->keyBlock);
    return routine;
}

rom::RomResult<ShadowEtcRoutine> ReadShadowEtcRoutine(ByteSpan bytes, std::uint32_t gbaPointer,
                                                      rom::DataSource source)
{
    ShadowEtcRoutine routine;
    if (gbaPointer == 0)
        return routine;
    auto layout = rom::readShadowEtc(bytes, rom::romOffsetOf(gbaPointer), source,
                                     rom::NullStreams::Empty);
    if (!layout)
        return std::unexpected(layout.error());
    routine.present = true;
    routine.header = layout->header;
    // The list holds one stream per set bit of the mask, in bit order.
    std::size_t listed = 0;
    for (std::size_t k = 0; k < kShadowEtcEntries; ++k) {
        if (!(layout->header.wMask & (1u << k)))
            continue;
        ShadowEtcEntry& entry = routine.entries[k];
        entry.dwPointer = rom::loadU32(
            bytes, layout->streamList.offset + listed * rom::kShadowEtcListEntrySize);
        entry.stream = copyOf(bytes, layout->streams[listed++]);
    }
    return routine;
}

rom::RomResult<CutinScrollRoutine> ReadCutinScrollRoutine(ByteSpan bytes, std::uint32_t gbaPointer,
                                                          rom::DataSource source)
{
    CutinScrollRoutine routine;
    if (gbaPointer == 0)
        return routine;
    auto layout = rom::readCutinScroll(bytes, rom::romOffsetOf(gbaPointer), source);
    if (!layout)
        return std::unexpected(layout.error());
    routine.present = true;
    routine.header = layout->header;
    routine.commands = copyOf(bytes, layout->commands);
    return routine;
}

rom::RomResult<UnitDataSet> ReadUnitFromRom(ByteSpan image, const RomTableOffsets& offsets,
                                            std::uint16_t unitId)
{
    UnitDataSet set;
    auto failed = [unitId](const rom::RomError& error) {
        return std::unexpected(rom::withContext(error, rom::itemName("Unit", unitId)));
    };

    auto unit = rom::readRecord<rom::UnitDataRecord>(image, offsets.directory, unitId);
    if (!unit)
        return failed(unit.error());
    // All 140 bytes of the header, wParam8 included.
    auto anime = rom::readRecord<rom::UNIT_ANIME_HEADER>(image, offsets.directory, unitId);
    if (!anime)
        return failed(anime.error());
    set.unit = *unit;
    set.anime = *anime;
    set.wUnitID = unitId;

    if (auto icon = readIcon(image, offsets, set); !icon)
        return failed(icon.error());
    if (auto weapons = readWeapons(image, offsets, set); !weapons)
        return failed(weapons.error());

    auto motion = readRoutines(
        image, offsets, rom::GameTable::MotionPart, "MotionPart",
        routineFields(set, [](auto& h) { return unitMotionParts(h); },
                      [](auto& h) { return weaponMotionParts(h); }),
        set.wIdMotionPart, set.bNumMotionPart, set.dwAdrMotionPart, set.motionParts,
        ReadMotionPartRoutine);
    if (!motion)
        return failed(motion.error());
    auto shadow = readRoutines(
        image, offsets, rom::GameTable::ShadowEtc, "ShadowEtc",
        routineFields(set, [](auto& h) { return unitShadowEtcs(h); },
                      [](auto& h) { return weaponShadowEtcs(h); }),
        set.wIdShadowEtc, set.bNumShadowEtc, set.dwAdrShadowEtc, set.shadowEtcs,
        ReadShadowEtcRoutine);
    if (!shadow)
        return failed(shadow.error());
    auto cutin = readRoutines(
        image, offsets, rom::GameTable::CutinScroll, "CutinScroll",
        routineFields(set, [](auto& h) { return unitCutinScrolls(h); },
                      [](auto& h) { return weaponCutinScrolls(h); }),
        set.wIdCutinScroll, set.bNumCutinScroll, set.dwAdrCutinScroll, set.cutinScrolls,
        ReadCutinScrollRoutine);
    if (!cutin)
        return failed(cutin.error());

    if (auto bgMap = readBGMap(image, offsets, set); !bgMap)
        return failed(bgMap.error());
    if (auto sprites = readSprites(image, offsets, set); !sprites)
        return failed(sprites.error());
    if (auto pallets = readPallets(image, offsets, set); !pallets)
        return failed(pallets.error());
    return set;
}

}  // namespace editor
