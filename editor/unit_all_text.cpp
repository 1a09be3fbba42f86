#include "editor/unit_all_text.hpp"

#include <cstdint>

namespace editor {
namespace {

// Arrays in the order the lines are written; the routine arrays are written interleaved.
KeyTable unitAllKeys(UnitDataSet& set)
{
    KeyTable keys;
    keys.plain = {
        {"wUnitID", set.wUnitID},
        {"bNumFixedWeapon", set.bNumFixedWeapon},
        {"bNumSprite", set.bNumSprite},
        {"bNumPallet", set.bNumPallet},
        {"bNumMotionPart", set.bNumMotionPart},
        {"bNumShadowEtc", set.bNumShadowEtc},
        {"bNumCutinScroll", set.bNumCutinScroll},
        {"wIdBGMap", set.wIdBGMap},
        {"wIdIcon", set.wIdIcon},
    };
    keys.arrays.push_back(arrayKey("wIdFixedWeapon", set.wIdFixedWeapon));
    keys.arrays.push_back(arrayKey("wIdPallet", set.wIdPallet));
    keys.arrays.push_back(arrayKey("wIdSprite", set.wIdSprite));
    keys.arrays.push_back(arrayKey("wIdMotionPart", set.wIdMotionPart));
    keys.arrays.push_back(arrayKey("wIdShadowEtc", set.wIdShadowEtc));
    keys.arrays.push_back(arrayKey("wIdCutinScroll", set.wIdCutinScroll));
    keys.arrays.push_back(arrayKey("dwAdrMotionPart", set.dwAdrMotionPart));
    keys.arrays.push_back(arrayKey("dwAdrShadowEtc", set.dwAdrShadowEtc));
    keys.arrays.push_back(arrayKey("dwAdrCutinScroll", set.dwAdrCutinScroll));
    return keys;
}

void writeElement(std::string& text, const ArrayKey& array, std::size_t i)
{
    text += definitionLine(arrayElementKey(array.name, i), array.elements[i].value());
}

}  // namespace

std::string UnitAllText(const UnitDataSet& set)
{
    UnitDataSet copy = set;  // the key table points into a set it may change
    const KeyTable keys = unitAllKeys(copy);
    std::string text;
    for (const PlainKey& plain : keys.plain)
        text += definitionLine(plain.name, plain.field.value());
    // wIdFixedWeapon, wIdPallet, wIdSprite: each whole in turn.
    for (std::size_t a = 0; a < 3; ++a) {
        for (std::size_t i = 0; i < keys.arrays[a].elements.size(); ++i)
            writeElement(text, keys.arrays[a], i);
    }
    // The three routine ID arrays, then the three pointer arrays: three lines per index.
    for (std::size_t first : {std::size_t{3}, std::size_t{6}}) {
        for (std::size_t i = 0; i < kMaxRoutines; ++i) {
            for (std::size_t a = first; a < first + 3; ++a)
                writeElement(text, keys.arrays[a], i);
        }
    }
    return text;
}

std::expected<void, std::string> ReadUnitAllText(std::string_view text, UnitDataSet& set)
{
    // Each array's count, in the order of the key table's arrays; a count beyond a list's capacity
    // is reported on its own, and only the entries the list holds are asked for here.
    const std::uint8_t* const counts[] = {
        &set.bNumFixedWeapon, &set.bNumPallet,    &set.bNumSprite,
        &set.bNumMotionPart,  &set.bNumShadowEtc, &set.bNumCutinScroll,
        &set.bNumMotionPart,  &set.bNumShadowEtc, &set.bNumCutinScroll,
    };
    return ReadRequiredKeys(text, unitAllKeys(set), kUnitAllFileName,
                            [&counts](std::size_t a) { return std::size_t{*counts[a]}; });
}

}  // namespace editor
