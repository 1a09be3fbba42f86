#pragma once
// The texts the main window shows for units: the list lines, the resource summary and the unit
// information. All are UTF-8 with CR LF line ends; game names are decoded and converted for show.

#include "rom/game_tables.hpp"
#include "rom/game_text.hpp"
#include "rom/rom_error.hpp"
#include "rom/unit_resources.hpp"

#include <cstdint>
#include <string>
#include <string_view>

namespace transplant {

// The digits of a unit ID in lists, messages and folder names: "02A".
inline constexpr int kUnitIdDigits = 3;

// "02A": an ID as three upper-case hexadecimal digits, as lists and messages show it.
std::string unitIdText(std::uint16_t unitId);

// "02A: name": an ID as three hexadecimal digits and a decoded name, as lists show them.
std::string idNameLine(std::uint16_t unitId, std::string_view displayName);

// The unit's name, then its ID and the count of each resource list as "[key]=&H..." lines.
std::string resourceSummaryText(std::string_view displayName, const rom::UnitResourceSet& set);

// Name, HP, EN, mobility, armour, then the fixed weapons with their names.
rom::RomResult<std::string> unitInformationText(rom::ByteSpan image,
                                                const rom::TableDirectory& directory,
                                                std::uint16_t unitId, std::string_view displayName,
                                                const rom::CharacterTable& table);

}  // namespace transplant
