#include "transplant/unit_deletion.hpp"

#include "rom/records.hpp"
#include "transplant/free_ids.hpp"

#include <algorithm>

namespace transplant {
namespace {

constexpr std::uint8_t kEmptyWeaponSlotByte = 0xFF;
constexpr std::size_t kWeaponSlotsBytes = rom::kUnitWeaponSlots * 2;

}  // namespace

rom::RomResult<void> deleteUnitRecords(rom::MutableByteSpan image,
                                       const rom::TableDirectory& directory, std::uint16_t unitId,
                                       std::span<const std::uint16_t> weapons)
{
    auto unit = rom::mutableRecordBytes(image, directory, rom::GameTable::Unit, unitId);
    if (!unit)
        return std::unexpected(unit.error());
    for (std::uint16_t weapon : weapons) {
        if (auto record = rom::mutableRecordBytes(image, directory, rom::GameTable::Weapon, weapon);
            !record)
            return std::unexpected(record.error());
    }

    for (std::uint16_t weapon : weapons) {
        const rom::MutableByteSpan record =
            *rom::mutableRecordBytes(image, directory, rom::GameTable::Weapon, weapon);
        std::ranges::fill(record, 0);
        std::ranges::copy(EmptyWeaponName, record.begin() + rom::WEAPON_DATA::kNameOffset);
    }
    std::ranges::fill(*unit, 0);
    std::fill_n(unit->begin() + rom::UnitDataRecord::kWeaponOffset, kWeaponSlotsBytes,
                kEmptyWeaponSlotByte);
    std::ranges::copy(EmptyUnitName, unit->begin() + rom::UnitDataRecord::kNameOffset);
    return {};
}

}  // namespace transplant
