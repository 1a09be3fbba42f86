#pragma once
// The filters of the transplant tool's file dialogs. The window asks with them; the session's file
// commands take the path the user chose.

#include <string>

namespace transplant {

std::string romFilter();            // "*.gba"
std::string extensionInfoFilter();  // "*.ExtInfo"
std::string fileSetFilter();        // "UnitAllData.dat"

}  // namespace transplant
