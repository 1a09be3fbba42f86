#pragma once
// The decoded names of unit and weapon records in an image (Shift-JIS).

#include "rom/game_tables.hpp"
#include "rom/game_text.hpp"
#include "rom/rom_error.hpp"

#include <cstdint>
#include <string>

namespace rom {

RomResult<std::string> decodeUnitName(ByteSpan image, const TableDirectory& directory,
                                      std::uint16_t unitId, const CharacterTable& table,
                                      AbsentCodeRule rule = AbsentCodeRule::CharacterAfterFirstComma);

RomResult<std::string> decodeWeaponName(ByteSpan image, const TableDirectory& directory,
                                        std::uint16_t weaponId, const CharacterTable& table,
                                        AbsentCodeRule rule = AbsentCodeRule::CharacterAfterFirstComma);

}  // namespace rom
