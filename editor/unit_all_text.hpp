#pragma once
// "unitall.dat", the index of a unit folder: the ID part of a UnitDataSet (unit, counts, BG map,
// icon, the ID lists and the routines' pointers inside their own files) as a definition text.

#include "editor/definition_text.hpp"
#include "editor/unit_data_set.hpp"

#include <expected>
#include <string>
#include <string_view>

namespace editor {

inline constexpr std::string_view kUnitAllFileName = "unitall.dat";
inline constexpr std::string_view kUnitAllFilterDescription = "総合ユニットデータ";

// Every entry of every array, used or not, in the file's line order.
std::string UnitAllText(const UnitDataSet& set);

// Reads the index into `set`, as ReadDefinitionText reads a text. Every plain key must be there,
// and each list's entries below its count (up to the list's capacity): an index that lacks one was
// cut short, and its lost entries would keep the values of an earlier load. The message names the
// first problem; `set` may then hold part of the text, so callers read into a copy.
std::expected<void, std::string> ReadUnitAllText(std::string_view text, UnitDataSet& set);

}  // namespace editor
