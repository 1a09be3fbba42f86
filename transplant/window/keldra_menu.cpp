#include "transplant/window/keldra_menu.hpp"

#include "shell/qt/qt_text.hpp"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <optional>
#include <string_view>
#include <vector>

namespace transplant {
namespace {

// An item, or a separator where `command` is empty.
struct MenuItem {
    std::optional<KeldraCommand> command;
    std::string_view text;
};

struct Menu {
    std::string_view title;
    std::vector<MenuItem> items;
};

const std::vector<Menu>& menus()
{
    static const std::vector<Menu> table{
        {"ファイル(&F)",
         {{KeldraCommand::Open, "開く"},
          {KeldraCommand::Save, "保存"},
          {KeldraCommand::Exit, "終了"}}},
        {"操作(&E)",
         {{KeldraCommand::AddUnit, "ユニット追加"},
          {std::nullopt, {}},
          {KeldraCommand::ExtractUnit, "選択ユニット抽出"},
          {KeldraCommand::DeleteUnit, "選択ユニット削除"}}},
        {"ID領域拡張(&D)",
         {{KeldraCommand::ExtendIdAreas, "ID領域を拡張する"},
          {std::nullopt, {}},
          {KeldraCommand::LoadExtensionInfo, "拡張定義読込"},
          {KeldraCommand::SaveExtensionInfo, "拡張定義保存"}}},
        {"その他", {{KeldraCommand::Version, "バージョン表示"}}},
    };
    return table;
}

}  // namespace

std::map<KeldraCommand, QAction*> buildKeldraMenuBar(QMenuBar& bar)
{
    std::map<KeldraCommand, QAction*> actions;
    for (const Menu& menu : menus()) {
        QMenu* popup = bar.addMenu(shell::qt::displayText(menu.title));
        for (const MenuItem& item : menu.items) {
            if (!item.command) {
                popup->addSeparator();
                continue;
            }
            QAction* action = popup->addAction(shell::qt::displayText(item.text));
            action->setObjectName(QString::number(static_cast<int>(*item.command)));
            actions.emplace(*item.command, action);
        }
    }
    return actions;
}

}  // namespace transplant
