#pragma once
// Definition texts: a record as lines "[key]=value" CR LF, values in plain decimal, so that a user
// can read and change it in any text editor. One key table per record type serves both writing
// (its keys in order) and reading (ParseDefinitionText).

#include "rom/records.hpp"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace editor {

// A field of a record that a key names: its address and, through its type, its width.
class FieldRef {
public:
    FieldRef(std::uint8_t& field) : field_(&field) {}
    FieldRef(std::uint16_t& field) : field_(&field) {}
    FieldRef(std::uint32_t& field) : field_(&field) {}

    std::uint32_t value() const;
    // Keeps the low bits that fit the field.
    void store(std::uint64_t value) const;

private:
    std::variant<std::uint8_t*, std::uint16_t*, std::uint32_t*> field_;
};

struct PlainKey {
    std::string name;
    FieldRef field;
};

// Keys "name:index"; an index outside the elements is ignored.
struct ArrayKey {
    std::string name;
    std::vector<FieldRef> elements;
};

template <class Element, std::size_t N>
ArrayKey arrayKey(std::string name, std::array<Element, N>& elements)
{
    ArrayKey key{std::move(name), {}};
    for (Element& element : elements)
        key.elements.emplace_back(element);
    return key;
}

struct KeyTable {
    std::vector<PlainKey> plain;
    std::vector<ArrayKey> arrays;
};

// Reads `text` into the fields of `keys`. Lines are found by searching forward: the key is the
// text between the next "[" and the "]" after it, the value runs from the next "=" to the line's
// CR LF (or to the end of the text). The key "TYPE" is passed over; keys that match nothing are
// ignored; fields whose key does not occur keep their value.
void ParseDefinitionText(std::string_view text, const KeyTable& keys);

// The keys of a table that a text defines, as ParseDefinitionText finds them: a flag per plain key
// and per array element ("name:index", the index read as a number), in the table's order.
struct DefinedKeys {
    std::vector<bool> plain;
    std::vector<std::vector<bool>> arrays;
};
DefinedKeys FindDefinedKeys(std::string_view text, const KeyTable& keys);

// The number at the start of `text`: leading blanks and tabs skipped, then "&H" and hexadecimal
// digits, "&O" and octal digits, or an optional sign, decimal digits and an optional decimal
// fraction. Reading stops at the first character that does not fit; no digits give 0.
double ReadNumber(std::string_view text);

// The integer a field takes from a number read: the fraction dropped, then the low 64 bits of
// the value (a negative value wraps, so -1 fills the field with ones).
std::uint64_t fieldBitsOf(double number);

// The key of an array element: "name:index".
std::string arrayElementKey(std::string_view name, std::size_t index);

// "[key]=value" CR LF.
std::string definitionLine(std::string_view key, std::uint32_t value);

// Type names of the type line "[TYPE]=...".
inline constexpr std::string_view kUnitAnimeTypeName = "UNIT_ANIME_HEADER";
inline constexpr std::string_view kFixedAnimeTypeName = "FIXED_ANIME_HEADER";
inline constexpr std::string_view kWeaponTypeName = "WEAPON_DATA";
inline constexpr std::string_view kBGMapTypeName = "BGMAP";

// The key tables of the five record texts, over the given record.
KeyTable unitDataKeys(rom::UnitDataRecord& record);
KeyTable unitAnimeKeys(rom::UNIT_ANIME_HEADER& record);
KeyTable fixedAnimeKeys(rom::FIXED_ANIME_HEADER& record);
KeyTable weaponKeys(rom::WEAPON_DATA& record);
KeyTable bgMapKeys(rom::BGMAP& record);

// The five writers: the type line (none for the unit data text), then every key in table order.
// The unnamed byte 47 of the unit record is in no text.
std::string UnitDataText(const rom::UnitDataRecord& record);
std::string UnitAnimeText(const rom::UNIT_ANIME_HEADER& record);
std::string FixedAnimeText(const rom::FIXED_ANIME_HEADER& record);
std::string WeaponText(const rom::WEAPON_DATA& record);
std::string BGMapText(const rom::BGMAP& record);

}  // namespace editor
