#include "rom/record_names.hpp"

#include "rom/records.hpp"

namespace rom {
namespace {

// A name field is decoded in place: a two-byte code that starts at the field's last byte takes
// its second byte from what follows the field in the image.
template <class Record>
RomResult<std::string> decodeNameField(ByteSpan image, const TableDirectory& directory,
                                       std::uint32_t id, const CharacterTable& table,
                                       AbsentCodeRule rule)
{
    auto record = recordBytes(image, directory, Record::kTable, id);
    if (!record)
        return std::unexpected(record.error());
    const std::size_t nameOffset =
        static_cast<std::size_t>(record->data() - image.data()) + Record::kNameOffset;
    return DecodeGameText(image.subspan(nameOffset), kGameNameLength, table, rule);
}

}  // namespace

RomResult<std::string> decodeUnitName(ByteSpan image, const TableDirectory& directory,
                                      std::uint16_t unitId, const CharacterTable& table,
                                      AbsentCodeRule rule)
{
    return decodeNameField<UnitDataRecord>(image, directory, unitId, table, rule);
}

RomResult<std::string> decodeWeaponName(ByteSpan image, const TableDirectory& directory,
                                        std::uint16_t weaponId, const CharacterTable& table,
                                        AbsentCodeRule rule)
{
    return decodeNameField<WEAPON_DATA>(image, directory, weaponId, table, rule);
}

}  // namespace rom
