#include "editor/port.hpp"

#include "editor/anime_fields.hpp"
#include "editor/routine_serializer.hpp"
#include "editor/unit_reader.hpp"
#include "rom/block_writer.hpp"
#include "shell/number_text.hpp"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace editor {
namespace {

constexpr std::string_view kErrorCaption = "エラー";

void showError(shell::Shell& shell, const std::string& text)
{
    shell.message(text, std::string(kErrorCaption), shell::Buttons::Ok, shell::Icon::Warning);
}

// A kind of ID that a port takes over: how many the file side needs, how many the ROM side has.
struct IdNeed {
    std::string_view label;  // the summary's name of the count
    std::size_t needed;
    std::size_t available;
};

// Icons are not compared: a file side's icon goes to the ROM side's icon, if it has one.
std::vector<IdNeed> idNeeds(const UnitIdSet& file, const UnitIdSet& rom)
{
    return {
        // A port always replaces a unit: a ROM side that was never read has none to give.
        {"bNumUnit", std::max<std::size_t>(file.unit.count, 1), rom.unit.count},
        {"bNumFixedWeapon", file.fixedWeapon.count, rom.fixedWeapon.count},
        {"bNumBGMap", file.bgMap.count, rom.bgMap.count},
        {"bNumSprite", file.sprite.count, rom.sprite.count},
        {"bNumPallet", file.pallet.count, rom.pallet.count},
        {"bNumMotionPart", file.motionPart.count, rom.motionPart.count},
        {"bNumShadowEtc", file.shadowEtc.count, rom.shadowEtc.count},
        {"bNumCutinScroll", file.cutinScroll.count, rom.cutinScroll.count},
    };
}

// "IDが足りません", then on the command line each kind that falls short with its counts.
bool idsSuffice(shell::Shell& shell, const UnitIdSet& file, const UnitIdSet& rom)
{
    const std::vector<IdNeed> needs = idNeeds(file, rom);
    const auto isShort = [](const IdNeed& need) { return need.available < need.needed; };
    if (std::none_of(needs.begin(), needs.end(), isShort))
        return true;
    showError(shell, std::string(kPortShortOfIds));
    for (const IdNeed& need : needs) {
        if (isShort(need))
            shell.detail(std::string(need.label) + ": 必要 " + std::to_string(need.needed) +
                         ", 空き " + std::to_string(need.available));
    }
    return false;
}

// Replaces `field` by the ROM side's ID at the position of its first match among the file
// side's IDs; a field that matches none (0xFFFF included) stays as it is.
template <std::size_t N>
void remap(std::uint16_t& field, const IdList<N>& file, const IdList<N>& rom)
{
    if (const std::optional<std::size_t> j = file.find(field))
        field = rom.ids[*j];
}

template <class Fields, std::size_t N>
void remapAll(const Fields& fields, const IdList<N>& file, const IdList<N>& rom)
{
    for (std::uint16_t* field : fields)
        remap(*field, file, rom);
}

// The block appended behind an image of `base` bytes; every item starts after the folders' gap.
class AppendBlock {
public:
    explicit AppendBlock(std::uint32_t base) : writer_(base) {}

    // Places `bytes` after a gap and gives their GBA address, or 0 for no bytes, which keeps an
    // empty item an empty ID.
    std::uint32_t place(ByteSpan bytes)
    {
        writer_.gap(rom::kFolderPieceGap);
        if (bytes.empty())
            return 0;
        const std::uint32_t address = writer_.pointerHere();
        writer_.append(bytes);
        return address;
    }

    template <class Routine>
    std::uint32_t placeRoutine(Routine& routine)
    {
        writer_.gap(rom::kFolderPieceGap);
        SerializedRoutine serialized = SerializeRoutine(routine, writer_.offsetHere());
        writer_.append(serialized.block);
        return serialized.pointer;
    }

    const Bytes& bytes() const { return writer_.bytes(); }

private:
    rom::BlockWriter writer_;
};

template <class Routine>
void placeRoutines(AppendBlock& block, std::uint8_t count, std::array<Routine, kMaxRoutines>& routines,
                   std::array<std::uint32_t, kMaxRoutines>& addresses)
{
    for (std::size_t j = 0; j < count; ++j)
        addresses[j] = block.placeRoutine(routines[j]);
}

rom::RomResult<void> writePointer(Bytes& image, const RomTableOffsets& offsets, rom::GameTable table,
                                  std::uint16_t id, std::uint32_t pointer)
{
    auto entry = rom::mutableRecordBytes(image, offsets.directory, table, id);
    if (!entry)
        return std::unexpected(entry.error());
    rom::storeU32(*entry, 0, pointer);
    return {};
}

template <std::size_t N>
rom::RomResult<void> writePointers(Bytes& image, const RomTableOffsets& offsets,
                                   rom::GameTable table, const IdList<N>& romIds,
                                   std::size_t count, auto addressOf)
{
    for (std::size_t j = 0; j < count; ++j) {
        if (auto written = writePointer(image, offsets, table, romIds.ids[j], addressOf(j)); !written)
            return written;
    }
    return {};
}

// The bytes of every data block the file side appends, gaps aside.
std::size_t dataSize(const UnitDataSet& set)
{
    std::size_t size = set.hasBGMap() ? set.bgMap.data.size() : 0;
    for (std::size_t j = 0; j < set.bNumSprite; ++j)
        size += set.sprites[j].data.size();
    for (std::size_t j = 0; j < set.bNumMotionPart; ++j) {
        for (const MotionPartEntry& part : set.motionParts[j].parts)
            size += part.stream.size();
        size += set.motionParts[j].script.size();
    }
    for (std::size_t j = 0; j < set.bNumShadowEtc; ++j) {
        for (const ShadowEtcEntry& entry : set.shadowEtcs[j].entries)
            size += entry.stream.size();
    }
    for (std::size_t j = 0; j < set.bNumCutinScroll; ++j)
        size += set.cutinScrolls[j].commands.size();
    return size;
}

// Every write of the port into `image` (already grown by the appended block).
rom::RomResult<void> writeRecords(Bytes& image, const RomTableOffsets& offsets, UnitDataSet& set,
                                  const UnitIdSet& romIds)
{
    const std::uint16_t unit = romIds.unit.ids[0];
    // The unnamed byte 47 is in no text, so the target record keeps its own.
    auto target = rom::readRecord<rom::UnitDataRecord>(image, offsets.directory, unit);
    if (!target)
        return std::unexpected(target.error());
    set.unit.bUnnamed47 = target->bUnnamed47;
    if (auto r = rom::writeRecord(image, offsets.directory, unit, set.unit); !r)
        return r;
    if (auto r = rom::writeRecord(image, offsets.directory, unit, set.anime); !r)
        return r;

    if (set.icon && romIds.icon.count > 0) {
        auto entry = rom::mutableRecordBytes(image, offsets.directory, rom::GameTable::UnitIconIndex, unit);
        if (!entry)
            return std::unexpected(entry.error());
        rom::storeU16(*entry, 0, romIds.icon.ids[0]);
        if (auto r = rom::writeRecord(image, offsets.directory, romIds.icon.ids[0],
                                      rom::IconRecord{*set.icon});
            !r)
            return r;
    }

    for (std::size_t j = 0; j < set.bNumFixedWeapon; ++j) {
        const std::uint16_t weapon = romIds.fixedWeapon.ids[j];
        if (auto r = rom::writeRecord(image, offsets.directory, weapon, set.weapons[j]); !r)
            return r;
        if (auto r = rom::writeRecord(image, offsets.directory, weapon, set.weaponAnimes[j]); !r)
            return r;
    }

    if (set.hasBGMap()) {
        if (auto r = rom::writeRecord(image, offsets.directory, romIds.bgMap.ids[0], set.bgMap.record); !r)
            return r;
    }

    if (auto r = writePointers(image, offsets, rom::GameTable::Sprite, romIds.sprite, set.bNumSprite,
                               [&set](std::size_t j) { return set.sprites[j].dwAddress; });
        !r)
        return r;
    if (auto r = writePointers(image, offsets, rom::GameTable::Pallet, romIds.pallet, set.bNumPallet,
                               [&set](std::size_t j) { return set.pallets[j].dwAddress; });
        !r)
        return r;
    if (auto r = writePointers(image, offsets, rom::GameTable::MotionPart, romIds.motionPart,
                               set.bNumMotionPart,
                               [&set](std::size_t j) { return set.dwAdrMotionPart[j]; });
        !r)
        return r;
    if (auto r = writePointers(image, offsets, rom::GameTable::ShadowEtc, romIds.shadowEtc,
                               set.bNumShadowEtc,
                               [&set](std::size_t j) { return set.dwAdrShadowEtc[j]; });
        !r)
        return r;
    return writePointers(image, offsets, rom::GameTable::CutinScroll, romIds.cutinScroll,
                         set.bNumCutinScroll, [&set](std::size_t j) { return set.dwAdrCutinScroll[j]; });
}

// Steps 3 to 6 of a port on the file side: every ID it names becomes the ROM side's.
void remapIds(UnitDataSet& set, const UnitIdSet& file, const UnitIdSet& rom)
{
    set.wUnitID = rom.unit.ids[0];
    set.anime.wIdUnit = rom.unit.ids[0];
    if (rom.icon.count > 0)
        set.wIdIcon = rom.icon.ids[0];

    for (std::uint16_t& weapon : set.unit.wWeapon)
        remap(weapon, file.fixedWeapon, rom.fixedWeapon);

    // A file side without a BG map keeps its header's "none"; there is nothing to point at.
    if (set.hasBGMap()) {
        set.wIdBGMap = rom.bgMap.ids[0];
        set.anime.wIdBGMap = rom.bgMap.ids[0];
    }

    rom::UNIT_ANIME_HEADER& anime = set.anime;
    remap(anime.wIdSpriteBG, file.sprite, rom.sprite);
    remapAll(unitMotionSprites(anime), file.sprite, rom.sprite);
    remap(anime.wIdPalletBG, file.pallet, rom.pallet);
    remapAll(unitMotionPallets(anime), file.pallet, rom.pallet);
    remapAll(unitMotionParts(anime), file.motionPart, rom.motionPart);
    remapAll(unitShadowEtcs(anime), file.shadowEtc, rom.shadowEtc);
    remapAll(unitCutinScrolls(anime), file.cutinScroll, rom.cutinScroll);
    for (std::size_t k = 0; k < set.bNumFixedWeapon; ++k) {
        rom::FIXED_ANIME_HEADER& weapon = set.weaponAnimes[k];
        remapAll(weaponSprites(weapon), file.sprite, rom.sprite);
        remapAll(weaponPallets(weapon), file.pallet, rom.pallet);
        remapAll(weaponMotionParts(weapon), file.motionPart, rom.motionPart);
        remapAll(weaponShadowEtcs(weapon), file.shadowEtc, rom.shadowEtc);
        remapAll(weaponCutinScrolls(weapon), file.cutinScroll, rom.cutinScroll);
    }
}

}  // namespace

bool PortUnit(shell::Shell& shell, Bytes& image, const RomTableOffsets& offsets,
              UnitDataSet& fileSide, const UnitIdSet& fileIds, const UnitIdSet& romIds)
{
    if (!idsSuffice(shell, fileIds, romIds))
        return false;
    // Data that cannot fit is refused before any block is built, so positions always fit 32 bits.
    if (image.size() >= kMaxImageSize || dataSize(fileSide) > kMaxImageSize - image.size()) {
        showError(shell, std::string(kPortTooLarge));
        return false;
    }

    UnitDataSet set = fileSide;
    AppendBlock block(static_cast<std::uint32_t>(image.size()));
    if (set.hasBGMap())
        set.bgMap.record.dwAddress = block.place(set.bgMap.data);
    for (std::size_t j = 0; j < set.bNumSprite; ++j)
        set.sprites[j].dwAddress = block.place(set.sprites[j].data);
    for (std::size_t j = 0; j < set.bNumPallet; ++j)
        set.pallets[j].dwAddress = block.place(set.pallets[j].bytes());
    placeRoutines(block, set.bNumMotionPart, set.motionParts, set.dwAdrMotionPart);
    placeRoutines(block, set.bNumShadowEtc, set.shadowEtcs, set.dwAdrShadowEtc);
    placeRoutines(block, set.bNumCutinScroll, set.cutinScrolls, set.dwAdrCutinScroll);
    if (block.bytes().size() > kMaxImageSize - image.size()) {
        showError(shell, std::string(kPortTooLarge) + " (0x" +
                             shell::hexText(image.size() + block.bytes().size()) + " バイト)");
        return false;
    }

    remapIds(set, fileIds, romIds);

    Bytes work;
    work.reserve(image.size() + block.bytes().size());
    work.assign(image.begin(), image.end());
    work.insert(work.end(), block.bytes().begin(), block.bytes().end());
    if (auto written = writeRecords(work, offsets, set, romIds); !written) {
        showError(shell, written.error().message);
        return false;
    }
    // The unit must read back as every command reads it (summary, report, save), or the image
    // would hold a unit that no tool can open again.
    if (auto readBack = ReadUnitFromRom(work, offsets, romIds.unit.ids[0]); !readBack) {
        showError(shell, std::string(kPortNotReadable) + ": " + readBack.error().message);
        return false;
    }

    image = std::move(work);
    fileSide = std::move(set);
    shell.message(kPortDone, std::nullopt, shell::Buttons::Ok, shell::Icon::None);
    return true;
}

}  // namespace editor
