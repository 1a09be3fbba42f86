#pragma once
// The transplant tool's menu bar: four menus, each item an action named after its command ID.

#include <map>

class QAction;
class QMenuBar;

namespace transplant {

enum class KeldraCommand {
    Open = 1024,
    Save = 1025,
    Exit = 1026,
    AddUnit = 1027,
    ExtractUnit = 1028,
    DeleteUnit = 1029,
    ExtendIdAreas = 1030,
    LoadExtensionInfo = 1031,
    SaveExtensionInfo = 1032,
    Version = 1033,
};

// Fills `bar` left to right with the menus and their items in order, separators included.
std::map<KeldraCommand, QAction*> buildKeldraMenuBar(QMenuBar& bar);

}  // namespace transplant
