#pragma once
// "unitall.dat", the index of a unit folder: the ID part of a UnitDataSet (unit, counts, BG map,
// icon, the ID lists and the routines' pointers inside their own files) as a definition text.

#include "editor/definition_text.hpp"
#include "editor/unit_data_set.hpp"

#include <optional>
#include <string>
#include <string_view>

namespace editor {

inline constexpr std::string_view kUnitAllFileName = "unitall.dat";
inline constexpr std::string_view kUnitAllFilterDescription = "総合ユニットデータ";

// Every entry of every array, used or not, in the file's line order.
std::string UnitAllText(const UnitDataSet& set);

// Sets the fields the text names; the others keep their values.
void ParseUnitAllText(std::string_view text, UnitDataSet& set);

// The first line, as "[key]", that an index read into `set` must hold and `text` lacks: the six
// counts, and each list's entries below its count (up to the list's capacity). A folder whose
// index lacks one was cut short, and its lost entries would keep the values of an earlier load.
std::optional<std::string> MissingUnitAllLine(std::string_view text, const UnitDataSet& set);

}  // namespace editor
