#pragma once
// Definition texts: a record as lines "[key]=value" CR LF, values in plain decimal, so that a user
// can read and change it in any text editor. One key table per record type serves both writing
// (its keys in order) and reading (ReadDefinitionText).

#include "rom/records.hpp"

#include <array>
#include <cstdint>
#include <expected>
#include <functional>
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
    // The largest value the field holds: 255, 65535 or 4294967295.
    std::uint32_t maxValue() const;
    // `value` must fit the field; the reader checks it first.
    void store(std::uint32_t value) const;

private:
    std::variant<std::uint8_t*, std::uint16_t*, std::uint32_t*> field_;
};

struct PlainKey {
    std::string name;
    FieldRef field;
};

// Keys "name:index"; an index outside the elements matches nothing.
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

// The keys of a table that a text defines: a flag per plain key and per array element, in the
// table's order.
struct DefinedKeys {
    std::vector<bool> plain;
    std::vector<std::vector<bool>> arrays;
};

// Reads `text`, the file `fileName` of a unit folder, into the fields of `keys`, and gives the keys
// it defined. A line is "[key]=value", ending in CR LF or in LF alone (a text saved by another
// editor), blanks allowed around the value and before the "=". The value is a whole number:
// decimal with an optional sign (a fraction of zeros, "12.0", is whole), "&H" and hexadecimal
// digits, or "&O" and octal digits; it must fit its field. The key "TYPE", keys that match no
// field and lines of another form are passed over; a key given twice takes its last value. A value
// that is no number, not whole or out of its field's range gives the message naming the file, the
// line (counted from 1), the line's key and value; the fields may then hold part of the text, so
// callers read into a copy.
std::expected<DefinedKeys, std::string> ReadDefinitionText(std::string_view text,
                                                           const KeyTable& keys,
                                                           std::string_view fileName);

// Reads `text` as ReadDefinitionText does, then requires every plain key and, of each array a,
// its first `requiredElements(a)` elements (at most all of them); the first key lacking, in table
// order, gives the message "<file> に [<key>] の行がありません". `requiredElements` is asked after
// the reading, so it may depend on values just read (the counts of an index).
std::expected<void, std::string> ReadRequiredKeys(
    std::string_view text, const KeyTable& keys, std::string_view fileName,
    const std::function<std::size_t(std::size_t)>& requiredElements);

// A record text, which must define every key and every array element of its table.
std::expected<void, std::string> ReadRecordText(std::string_view text, const KeyTable& keys,
                                                std::string_view fileName);

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
