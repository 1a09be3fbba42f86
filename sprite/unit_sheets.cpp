#include "sprite/unit_sheets.hpp"

#include "editor/anime_fields.hpp"
#include "editor/rom_table_offsets.hpp"
#include "editor/unit_reader.hpp"
#include "rom/gba_address.hpp"
#include "sprite/sprite_format.hpp"

#include <algorithm>
#include <utility>

namespace sprite {
namespace {

// A sprite field and the palette field that goes with it.
using FieldPair = std::pair<std::uint16_t, std::uint16_t>;

std::vector<FieldPair> spriteFieldPairs(const editor::UnitDataSet& set)
{
    std::vector<FieldPair> pairs{{set.anime.wIdSpriteBG, set.anime.wIdPalletBG}};
    const auto sprites = editor::unitMotionSprites(set.anime);
    const auto pallets = editor::unitMotionPallets(set.anime);
    for (std::size_t i = 0; i < sprites.size(); ++i)
        pairs.emplace_back(*sprites[i], *pallets[i]);
    for (std::size_t slot = 0; slot < set.bNumFixedWeapon; ++slot) {
        const auto weaponSprites = editor::weaponSprites(set.weaponAnimes[slot]);
        const auto weaponPallets = editor::weaponPallets(set.weaponAnimes[slot]);
        for (std::size_t i = 0; i < weaponSprites.size(); ++i)
            pairs.emplace_back(*weaponSprites[i], *weaponPallets[i]);
    }
    return pairs;
}

template <std::size_t N>
std::optional<std::size_t> positionOf(const std::array<std::uint16_t, N>& ids, std::size_t count,
                                      std::uint16_t id)
{
    const auto end = ids.begin() + static_cast<std::ptrdiff_t>(std::min(count, N));
    const auto found = std::find(ids.begin(), end, id);
    if (found == end)
        return std::nullopt;
    return static_cast<std::size_t>(found - ids.begin());
}

rom::RomResult<std::uint32_t> tableOffset(shell::ByteSpan image, const editor::RomTableOffsets& offsets,
                                          rom::GameTable table, std::uint16_t id)
{
    auto pointer = rom::readTablePointer(image, offsets.directory, table, id);
    if (!pointer)
        return std::unexpected(pointer.error());
    return *pointer == 0 ? 0 : rom::romOffsetOf(*pointer);
}

}  // namespace

rom::RomResult<UnitSheets> readUnitSheets(shell::ByteSpan image, std::uint16_t unitId)
{
    auto offsets = editor::ReadRomTableOffsets(image);
    if (!offsets)
        return std::unexpected(offsets.error());
    auto set = editor::ReadUnitFromRom(image, *offsets, unitId);
    if (!set)
        return std::unexpected(set.error());
    UnitSheets result{std::move(*set), {}};
    const editor::UnitDataSet& unit = result.set;
    for (const auto& [spriteId, palletId] : spriteFieldPairs(unit)) {
        const std::optional<std::size_t> sprite = positionOf(unit.wIdSprite, unit.bNumSprite, spriteId);
        const bool listed = std::any_of(result.sheets.begin(), result.sheets.end(),
                                        [&](const UnitSheet& s) { return s.spriteId == spriteId; });
        if (!sprite || listed)
            continue;
        // The reader has walked these entries already; they read again without fail.
        auto spriteOffset = tableOffset(image, *offsets, rom::GameTable::Sprite, spriteId);
        if (!spriteOffset)
            return std::unexpected(spriteOffset.error());
        UnitSheet sheet{spriteId, *sprite, *spriteOffset, std::nullopt};
        if (const std::optional<std::size_t> pallet = positionOf(unit.wIdPallet, unit.bNumPallet, palletId)) {
            auto palletOffset = tableOffset(image, *offsets, rom::GameTable::Pallet, palletId);
            if (!palletOffset)
                return std::unexpected(palletOffset.error());
            sheet.palette = UnitSheetPalette{palletId, *pallet, *palletOffset,
                                             unit.pallets[*pallet].bNumPalette};
        }
        result.sheets.push_back(sheet);
    }
    return result;
}

std::optional<shell::ByteSpan> paletteBank(const editor::UnitDataSet& set,
                                           const UnitSheetPalette& palette, std::size_t bank)
{
    if (bank >= palette.banks)
        return std::nullopt;
    return set.pallets[palette.folderIndex].bytes().subspan(bank * kPaletteBytes, kPaletteBytes);
}

}  // namespace sprite
