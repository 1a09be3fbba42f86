#pragma once
// Names of folders written side by side in one run (units extracted or saved together).

#include <span>
#include <string>
#include <vector>

namespace shell {

// The folders of several items written into one folder, in their order: each item's own name,
// except that a name an earlier item has gets "_" and the item's tag ("アイ_2B"), and a further
// "_2", "_3"... when that is taken too. Names are compared as the file systems that ignore the case
// of letters compare them, and every own name is reserved before any name is made, so no two items
// ever write into one folder and an item keeps its own folder whenever no earlier item has it.
std::vector<std::string> distinctFolderNames(std::span<const std::string> ownNames,
                                             std::span<const std::string> tags);

}  // namespace shell
