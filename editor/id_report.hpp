#pragma once
// The ID list report: for every graphic and routine reference of the unit's animation header and
// of its weapons' headers, the ID it names and the file of the unit folder that holds that item.

#include "editor/unit_data_set.hpp"
#include "rom/game_text.hpp"

#include <string>
#include <string_view>

namespace editor {

inline constexpr std::string_view kIdReportFileName = "ID一覧表.txt";

// The report as Shift-JIS text with CR LF line ends. A reference names a file only when its ID
// is among the set's IDs of that kind (below the kind's count).
std::string BuildIdReport(const UnitDataSet& set, const rom::CharacterTable& table);

// A name field decoded as the editor decodes names; nothing past the field is read.
std::string decodeEditorName(const rom::GameName& field, const rom::CharacterTable& table);

}  // namespace editor
