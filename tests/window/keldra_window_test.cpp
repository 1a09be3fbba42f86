// The transplant tool's main window, driven through its menu with a scripted shell.

#include "shell/qt/qt_text.hpp"
#include "tests/doubles/scripted_shell.hpp"
#include "tests/support/character_table_file.hpp"
#include "tests/support/synthetic_rom.hpp"
#include "tests/window/modal_helper.hpp"
#include "transplant/keldra_session.hpp"
#include "transplant/window/keldra_window.hpp"

#include <QAction>
#include <QGroupBox>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <fstream>

using shell::qt::displayText;
using testing_doubles::ScriptedShell;

namespace {

constexpr int kNamedUnit = 0x2A;

rom::CharacterTable characterTable()
{
    return rom::CharacterTable(synthetic::makeCharacterTableFile());
}

// An image whose unit 0x2A is named and carries weapon 0x11; `gameCode` goes to 0xAC.
std::filesystem::path writeImage(const QTemporaryDir& folder, const char* name, const char* gameCode)
{
    synthetic::RomBuilder builder;
    synthetic::UnitSpec unit;
    unit.dwMaxHP = 4500;
    unit.wWeapon[0] = 0x11;
    unit.name = synthetic::encodeGameText("テストキ");
    builder.setUnit(kNamedUnit, unit);
    synthetic::WeaponSpec weapon;
    weapon.name = synthetic::encodeGameText("ビーム");
    builder.setWeapon(0x11, weapon);
    synthetic::Bytes image = builder.take();
    std::copy_n(gameCode, 4, image.begin() + 0xAC);

    const std::filesystem::path path = shell::qt::toPath(folder.filePath(name));
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
    return path;
}

}  // namespace

class KeldraWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir folder_;
    std::filesystem::path rom_;
    std::unique_ptr<ScriptedShell> shell_;
    std::unique_ptr<transplant::KeldraWindow> window_;

    template <class Control>
    Control& control(int id) const
    {
        auto* found = window_->centralWidget()->findChild<Control*>(QString::number(id));
        if (found == nullptr)
            qFatal("no control %d", id);
        return *found;
    }
    QString text(int id) const { return control<QPlainTextEdit>(id).toPlainText(); }
    QListWidget& unitList() const { return control<QListWidget>(1000); }

    void run(int commandId)
    {
        window_->menuBar()->findChild<QAction*>(QString::number(commandId))->trigger();
    }
    void openImage(const std::filesystem::path& path)
    {
        shell_->openPaths.push_back(path);
        run(1024);
    }

private Q_SLOTS:
    void initTestCase() { rom_ = writeImage(folder_, "a.gba", "KX4M"); }

    void init()
    {
        shell_ = std::make_unique<ScriptedShell>();
        window_ = std::make_unique<transplant::KeldraWindow>(
            *shell_, characterTable(), shell::qt::toPath(folder_.filePath("sets")));
        window_->show();
    }

    void theMenusReadInOrderWithTheirCommandIds()
    {
        QStringList menus;
        QStringList items;
        for (const QAction* menu : window_->menuBar()->actions()) {
            menus << menu->text();
            for (const QAction* item : menu->menu()->actions())
                items << (item->isSeparator() ? QStringLiteral("-") : item->objectName() + item->text());
        }
        QCOMPARE(menus, (QStringList{"ファイル(&F)", "操作(&E)", "ID領域拡張(&D)", "その他"}));
        QCOMPARE(items, (QStringList{"1024開く", "1025保存", "1026終了", "1027ユニット追加", "-",
                                     "1028選択ユニット抽出", "1029選択ユニット削除",
                                     "1030ID領域を拡張する", "-", "1031拡張定義読込",
                                     "1032拡張定義保存", "1033バージョン表示"}));
    }

    void theControlsSitWhereTheLayoutPutsThem()
    {
        QCOMPARE(window_->windowTitle(), QStringLiteral("ユニット抽出移植ツール"));
        QCOMPARE(control<QGroupBox>(1005).title(), QStringLiteral("ユニット一覧"));
        QCOMPARE(control<QGroupBox>(1003).title(), QStringLiteral("ID領域拡張定義"));
        const std::map<int, QRect> layout{
            {1005, {0, 3, 201, 290}},   {1000, {6, 20, 188, 265}},   {1002, {204, 8, 195, 168}},
            {1001, {403, 8, 200, 168}}, {1003, {211, 191, 376, 100}}, {1004, {217, 206, 346, 78}},
        };
        for (const auto& [id, rect] : layout) {
            QRect placed = control<QWidget>(id).geometry();
            if (id == 1000)
                placed.setHeight(rect.height());  // the list is cut to whole lines
            QCOMPARE(placed, rect);
            QVERIFY(window_->centralWidget()->rect().contains(rect));
        }
    }

    void theExtensionSummaryWaitsForAnImage()
    {
        run(1030);
        QVERIFY(text(1004).isEmpty());
        QCOMPARE(unitList().count(), 0);
    }

    // The list takes the focus with its first line current; only a key or a click selects.
    void focusingTheListSelectsNoUnit()
    {
        openImage(rom_);
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        unitList().setFocus(Qt::TabFocusReason);
        QCOMPARE(QApplication::focusWidget(), &unitList());
        QVERIFY(text(1001).isEmpty() && text(1002).isEmpty());
        QVERIFY(unitList().selectedItems().isEmpty());

        bool saveOffered = true;
        window_testing::whenModalShows([&](QWidget& dialog) {
            saveOffered = dialog.findChild<QPushButton*>(QStringLiteral("1017"))->isEnabled();
            dynamic_cast<QDialog&>(dialog).reject();
        });
        run(1028);
        QVERIFY(!saveOffered);

        QTest::keyClick(&unitList(), Qt::Key_Down);
        QCOMPARE(unitList().selectedItems().size(), 1);
        QVERIFY(text(1002).startsWith(unitList().selectedItems().front()->text().mid(5) + u'\n'));
    }

    void openingListsTheUnitsAndPickingOneFillsThePanels()
    {
        ScriptedShell referenceShell;
        transplant::KeldraSession reference(referenceShell, characterTable());
        QVERIFY(reference.OpenRom(rom_));

        // As "Keldra ROM" opens it.
        window_->openRomFile(rom_);
        QCOMPARE(unitList().count(), 150);
        QCOMPARE(unitList().item(kNamedUnit)->text(), displayText(reference.unitListLines()[kNamedUnit]));
        QCOMPARE(text(1004), displayText(reference.extensionStatusText()));
        QVERIFY(text(1001).isEmpty());

        unitList().setCurrentRow(kNamedUnit);
        const transplant::UnitPanels panels = reference.selectUnit(kNamedUnit).value();
        QCOMPARE(text(1001), displayText(panels.resourceSummary));
        QCOMPARE(text(1002), displayText(panels.unitInformation));
        QVERIFY(text(1002).startsWith(QStringLiteral("テストキ\nHP: 4500\n")));
        QVERIFY(text(1002).contains(QStringLiteral(" 011: ビーム\n")));
        QVERIFY(shell_->messages.empty());
    }

    void aCancelledOpenKeepsWhatIsShown()
    {
        openImage(rom_);
        unitList().setCurrentRow(kNamedUnit);
        const QString summary = text(1001);
        run(1024);  // no path queued: the dialog is cancelled
        QCOMPARE(unitList().count(), 150);
        QCOMPARE(unitList().currentRow(), kNamedUnit);
        QCOMPARE(text(1001), summary);
    }

    void anImageOfAnotherGameIsRefusedAndEmptiesTheWindow()
    {
        openImage(rom_);
        unitList().setCurrentRow(kNamedUnit);
        openImage(writeImage(folder_, "b.gba", "ABCD"));

        QCOMPARE(shell_->messages.size(), std::size_t{1});
        QCOMPARE(shell_->messages[0].text, std::string("Vexaのロムではありません"));
        QCOMPARE(shell_->messages[0].caption, shell::Caption("ABCD"));
        QCOMPARE(unitList().count(), 0);
        QVERIFY(text(1001).isEmpty() && text(1002).isEmpty());
    }

    void theVersionBoxShowsTheVersionNumber()
    {
        run(1033);
        QCOMPARE(shell_->messages.size(), std::size_t{1});
        QCOMPARE(shell_->messages[0].text, std::string("0011"));
        QCOMPARE(shell_->messages[0].caption, shell::Caption("バージョン情報"));
    }

    void exitAsksFirstAndClosesOnlyOnYes()
    {
        shell_->answers = {shell::Answer::No, shell::Answer::Yes};
        run(1026);
        QCOMPARE(shell_->messages.at(0).text, std::string("終了します"));
        QCOMPARE(shell_->messages.at(0).caption, shell::Caption("確認"));
        QCOMPARE(shell_->messages.at(0).buttons, shell::Buttons::YesNo);
        QVERIFY(window_->isVisible());
        run(1026);
        QVERIFY(!window_->isVisible());
    }

    void closingByTheTitleBarAsksNothing()
    {
        QVERIFY(window_->close());
        QVERIFY(shell_->messages.empty());
    }
};

QTEST_MAIN(KeldraWindowTest)
#include "keldra_window_test.moc"
