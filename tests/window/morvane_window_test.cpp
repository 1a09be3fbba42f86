// The unit animation editor's window, driven through its controls with a scripted shell.

#include "editor/morvane_cli.hpp"
#include "editor/window/morvane_window.hpp"
#include "shell/file_filter.hpp"
#include "shell/path_text.hpp"
#include "shell/qt/qt_shell.hpp"
#include "shell/qt/qt_text.hpp"
#include "shell/text_encoding.hpp"
#include "tests/doubles/scripted_shell.hpp"
#include "tests/editor/editor_test_support.hpp"
#include "tests/support/character_table_file.hpp"
#include "tests/support/demo_streams.hpp"
#include "tests/support/synthetic_lz77.hpp"
#include "tests/window/modal_helper.hpp"

#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include <sstream>

using shell::qt::displayText;
using testing_doubles::ScriptedShell;
using window_testing::whenModalShows;

namespace {

// Unit 10 "カキ" with resources of its own, at least as many of each kind as the scene unit
// kSceneUnit "アイ" has, so that a folder of "アイ" ports into it.
constexpr std::uint16_t kUnit = 10;
constexpr std::uint16_t kWeaponA = 2;
constexpr std::uint16_t kWeaponB = 3;
constexpr std::uint16_t kIcon = 7;
constexpr std::uint16_t kSpriteBG = 20;
constexpr std::uint16_t kSprite1 = 21;
constexpr std::uint16_t kPalletBG = 22;
constexpr std::uint16_t kPallet1 = 23;
constexpr std::uint16_t kPalletWeapon = 24;
constexpr std::uint16_t kBGMap = 6;
constexpr std::uint16_t kMotion = 13;
constexpr std::uint16_t kShadow = 14;
constexpr std::uint16_t kCutin = 15;
// Unit 5's BG sprite points past the end of the image.
constexpr std::uint16_t kDamagedUnit = 5;
constexpr std::uint16_t kDamagedSprite = 30;

shell::Bytes windowScene()
{
    synthetic::RomBuilder rom = editor_test::sceneBuilder();
    synthetic::UnitSpec unit;
    unit.dwMaxHP = 777;
    unit.wWeapon[0] = kWeaponA;
    unit.wWeapon[1] = kWeaponB;
    unit.name = synthetic::encodeGameText("カキ");
    rom.setUnit(kUnit, unit);
    rom.setWeapon(kWeaponA, synthetic::WeaponSpec{.name = synthetic::encodeGameText("ク")});
    rom.setWeapon(kWeaponB, synthetic::WeaponSpec{.name = synthetic::encodeGameText("ケ")});

    synthetic::FixedAnimeSpec animeA;
    animeA.wIdWeapon = kWeaponA;
    animeA.wIdSprite1_1 = kSpriteBG;
    animeA.wIdPallet1_3 = kPalletWeapon;
    animeA.wIdMotionPart1 = kMotion;
    rom.setFixedAnimeHeader(kWeaponA, animeA);
    rom.setFixedAnimeHeader(kWeaponB, synthetic::FixedAnimeSpec{.wIdWeapon = kWeaponB});

    synthetic::UnitAnimeSpec header;
    header.wIdUnit = kUnit;
    header.wIdSpriteBG = kSpriteBG;
    header.wIdPalletBG = kPalletBG;
    header.wIdBGMap = kBGMap;
    header.groups[0].wIdSprite1 = kSprite1;
    header.groups[0].wIdPallet1 = kPallet1;
    header.groups[0].wIdMotionPart = kMotion;
    header.groups[0].wIdShadowEtc = kShadow;
    header.groups[0].wIdCutinScroll = kCutin;
    rom.setUnitAnimeHeader(kUnit, header);

    rom.setUnitIcon(kUnit, kIcon);
    rom.setIcon(kIcon, synthetic::makeIcon(21));
    rom.setSprite(kSpriteBG, synthetic::compressLz77(synthetic::makeSpriteSheet(8, 22)));
    rom.setSprite(kSprite1, synthetic::compressLz77(synthetic::makeSpriteSheet(4, 23)));
    rom.setPallet(kPalletBG, synthetic::makePalette(5, 24));
    rom.setPallet(kPallet1, synthetic::makePalette(2, 25));
    rom.setPallet(kPalletWeapon, synthetic::makePalette(4, 26));
    rom.setBGMap(kBGMap, 1, 0x11, synthetic::compressLz77(synthetic::makeBGMapData(1, 27)));

    synthetic::MotionPartSpec motion;
    motion.totalFrames = 20;
    motion.parts.push_back({synthetic::makePartStream(20, synthetic::StreamEnd::EndMark, 28), {}});
    rom.setMotionPart(kMotion, motion);
    rom.setShadowEtc(kShadow, synthetic::ShadowEtcSpec{
        .mask = 1, .streams = {synthetic::makePartStream(0x400, synthetic::StreamEnd::EndMark, 29)}});
    rom.setCutinScroll(kCutin, synthetic::CutinScrollSpec{
        .commands = {synthetic::plainCommand(0x01, 0x44)}});

    rom.setUnit(kDamagedUnit, synthetic::UnitSpec{.name = synthetic::encodeGameText("コ")});
    rom.setUnitAnimeHeader(kDamagedUnit, synthetic::UnitAnimeSpec{.wIdUnit = kDamagedUnit,
                                                                  .wIdSpriteBG = kDamagedSprite});
    rom.putU32(synthetic::layout::recordOffset(synthetic::layout::Table::Sprite, kDamagedSprite),
               synthetic::gbaPointer(static_cast<std::uint32_t>(rom.image().size()) + 0x100));
    return rom.take<shell::Bytes>();
}

// Answers the next `count` message boxes with their first button, keeping their titles.
void answerBoxes(int count, QStringList& titles)
{
    whenModalShows([count, &titles](QWidget& box) {
        titles << box.windowTitle();
        if (count > 1)
            answerBoxes(count - 1, titles);
        dynamic_cast<QMessageBox&>(box).buttons().front()->click();
    });
}

}  // namespace

class MorvaneWindowTest : public QObject {
    Q_OBJECT

    editor_test::ScratchFolder scratch_;
    std::filesystem::path rom_;
    std::filesystem::path table_;
    std::filesystem::path programFolder_;
    std::unique_ptr<ScriptedShell> shell_;
    std::unique_ptr<editor::MorvaneWindow> window_;

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
    QPushButton& button(int id) const { return control<QPushButton>(id); }

    void start()
    {
        shell_->openPaths.push_back(rom_);
        QVERIFY(window_->start());
    }
    // "↑に読込" answered with the folder's "unitall.dat".
    void loadFolder(const std::filesystem::path& folder)
    {
        shell_->openPaths.push_back(folder / "unitall.dat");
        button(1006).click();
    }
    // Selects `unit` and saves its folder; gives the folder.
    std::filesystem::path saveFolderOf(int unit, const std::string& name)
    {
        unitList().setCurrentRow(unit);
        button(1004).click();
        return programFolder_ / shell::pathFromUtf8(name);
    }
    std::vector<std::string> messageTexts() const { return shell_->texts(); }

private Q_SLOTS:
    void initTestCase()
    {
        rom_ = scratch_.write("scene.gba", windowScene());
        table_ = scratch_.write("string.txt", editor_test::characterTableText());
    }

    void init()
    {
        static int round = 0;
        programFolder_ = scratch_.path("program" + std::to_string(++round));
        std::filesystem::create_directories(programFolder_);
        shell_ = std::make_unique<ScriptedShell>();
        window_ = std::make_unique<editor::MorvaneWindow>(*shell_, table_, programFolder_);
        window_->show();
    }

    void theControlsSitWhereTheLayoutPutsThem()
    {
        QCOMPARE(window_->windowTitle(), QStringLiteral("Morvane"));
        QCOMPARE(window_->size(), QSize(511, 310));
        const std::map<int, QRect> layout{
            {1000, {9, 9, 167, 285}},    {1001, {189, 11, 151, 131}}, {1002, {189, 191, 242, 95}},
            {1003, {350, 11, 151, 131}}, {1004, {190, 145, 44, 20}},  {1005, {236, 145, 44, 20}},
            {1006, {352, 145, 56, 19}},  {1007, {352, 167, 56, 19}},  {1008, {447, 270, 56, 19}},
        };
        for (const auto& [id, rect] : layout) {
            QRect placed = control<QWidget>(id).geometry();
            if (id == 1000)
                placed.setHeight(rect.height());  // the list is cut to whole lines
            QCOMPARE(placed, rect);
            QVERIFY(window_->centralWidget()->rect().contains(rect));
        }
        const std::map<int, QString> captions{
            {1004, "保存"}, {1005, "確保"}, {1006, "↑に読込"}, {1007, "←に移植"}, {1008, "GBA保存"}};
        for (const auto& [id, caption] : captions)
            QCOMPARE(button(id).text(), caption);
        for (const int id : {1001, 1002, 1003})
            QVERIFY(control<QPlainTextEdit>(id).isReadOnly());
    }

    void startUpListsTheUnitsOfTheChosenImage()
    {
        start();
        QCOMPARE(shell_->openDialogTitles, std::vector<std::string>{"ファイルを開く"});
        QCOMPARE(shell_->dialogFilters.at(0),
                 shell::makeFilter({{"GBA ファイル(*.gba)", "*.gba"}, {"すべてのファイル(*.*)", "*"}}));
        QCOMPARE(unitList().count(), 150);
        QCOMPARE(unitList().item(0)->text(), QStringLiteral("00:ア"));
        QCOMPARE(unitList().item(kUnit)->text(), QStringLiteral("0A:カキ"));
        QCOMPARE(unitList().item(0x2A)->text(), QStringLiteral("2A:アイ"));
        QVERIFY(unitList().item(149)->text().startsWith(QStringLiteral("95:")));
        QCOMPARE(unitList().currentRow(), -1);
        QVERIFY(text(1001).isEmpty() && text(1002).isEmpty() && text(1003).isEmpty());
        QVERIFY(shell_->messages.empty());
    }

    void startUpWithoutAnImageEndsWithTheMessages()
    {
        QVERIFY(!window_->start());  // no path queued: the dialog is cancelled
        QCOMPARE(shell_->messages.size(), std::size_t{2});
        QCOMPARE(shell_->messages[0].text, std::string("キャンセル"));
        QCOMPARE(shell_->messages[0].caption, shell::Caption(""));
        QCOMPARE(shell_->messages[1].text, std::string("エラー"));
        QCOMPARE(shell_->messages[1].caption, shell::Caption("エラー"));
        QCOMPARE(unitList().count(), 0);

        shell_->messages.clear();
        shell_->openPaths.push_back(scratch_.path("missing.gba"));
        QVERIFY(!window_->start());
        QCOMPARE(messageTexts(), (std::vector<std::string>{"ファイルオープンに失敗", "エラー"}));
        QCOMPARE(shell_->messages[0].caption, shell::Caption(""));
        QCOMPARE(shell_->messages[0].icon, shell::Icon::Warning);
        QCOMPARE(shell_->messages[1].caption, shell::Caption("エラー"));
    }

    void saveIsOfferedFromTheFirstSelectionOn()
    {
        start();
        QVERIFY(!button(1004).isEnabled());
        QVERIFY(!button(1005).isEnabled());
        button(1004).click();  // disabled: nothing happens
        QVERIFY(shell_->messages.empty());

        unitList().setCurrentRow(kUnit);
        QVERIFY(button(1004).isEnabled());
        QCOMPARE(text(1001), QStringLiteral("カキ\nbNumUnit:1\nbNumIcon:1\nbNumFixedWeapon:2\n"
                                            "bNumBGMap:1\nbNumSprite:2\nbNumPallet:3\n"
                                            "bNumMotionPart:1\nbNumShadowEtc:1\nbNumCutinScroll:1\n"));
        unitList().setCurrentRow(0);
        QVERIFY(button(1004).isEnabled());
        QVERIFY(text(1001).startsWith(QStringLiteral("ア\nbNumUnit:1\n")));
        QVERIFY(!button(1005).isEnabled());
    }

    // "保存" stays enabled, and saves nothing.
    void aUnitThatCannotBeReadLeavesNothingToSave()
    {
        start();
        unitList().setCurrentRow(kUnit);
        QVERIFY(button(1004).isEnabled());
        unitList().setCurrentRow(kDamagedUnit);
        QCOMPARE(shell_->messages.size(), std::size_t{1});
        QCOMPARE(shell_->messages[0].caption, shell::Caption("エラー"));
        QCOMPARE(shell_->messages[0].icon, shell::Icon::None);
        QVERIFY(text(1001).isEmpty());
        QVERIFY(button(1004).isEnabled());
        QVERIFY(!window_->session().hasSelection());
        button(1004).click();
        QCOMPARE(shell_->messages.size(), std::size_t{1});
        QVERIFY(std::filesystem::is_empty(programFolder_));
    }

    // The list takes the focus with its first line current; only a key or a click selects.
    void focusingTheListSelectsNoUnit()
    {
        start();
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        unitList().setFocus(Qt::TabFocusReason);
        QCOMPARE(QApplication::focusWidget(), &unitList());
        QVERIFY(text(1001).isEmpty());
        QVERIFY(!button(1004).isEnabled());
        QTest::keyClick(&unitList(), Qt::Key_Down);
        QCOMPARE(unitList().selectedItems().size(), 1);
        QVERIFY(button(1004).isEnabled());
    }

    // Through the real boxes: the empty captions are blank title bars, and a saved folder's
    // report is on screen before its closing message.
    void theBoxesShowAsTheUserSeesThem()
    {
        shell::qt::QtShell shell;
        editor::MorvaneWindow window(shell, table_, programFolder_);
        shell.setOwner(&window);
        window.show();
        QStringList titles;
        whenModalShows([&](QWidget& dialog) {
            answerBoxes(2, titles);
            dynamic_cast<QDialog&>(dialog).reject();
        });
        QVERIFY(!window.start());
        QCOMPARE(titles.size(), 2);
        QVERIFY(!titles[0].isEmpty() && titles[0].trimmed().isEmpty());
        QCOMPARE(titles[1], QStringLiteral("エラー"));

        // The image given at start opens without a dialog, which no one would answer here.
        QVERIFY(window.start(rom_));
        const QWidget& client = *window.centralWidget();
        client.findChild<QListWidget*>(QStringLiteral("1000"))->setCurrentRow(kUnit);
        QString reportOnScreen;
        whenModalShows([&](QWidget& box) {
            reportOnScreen = client.findChild<QPlainTextEdit*>(QStringLiteral("1002"))->toPlainText();
            dynamic_cast<QMessageBox&>(box).button(QMessageBox::Ok)->click();
        });
        client.findChild<QPushButton*>(QStringLiteral("1004"))->click();
        QVERIFY(reportOnScreen.startsWith(QStringLiteral("カキ\n")));
    }

    void savingAFolderShowsItsReport()
    {
        start();
        // A file where the folder would go: one failure, and no report shown as if saved.
        scratch_.write(programFolder_.filename().string() + "/" + "カキ", shell::Bytes{1});
        saveFolderOf(kUnit, "カキ");
        QCOMPARE(messageTexts(), std::vector<std::string>{"ファイルオープンに失敗"});
        QVERIFY(text(1002).isEmpty());
        std::filesystem::remove(programFolder_ / shell::pathFromUtf8("カキ"));
        shell_->messages.clear();

        const std::filesystem::path folder = saveFolderOf(kUnit, "カキ");
        QCOMPARE(messageTexts(),
                 std::vector<std::string>{"フォルダ「カキ」にユニットデータを保存しました"});
        const std::string report = editor_test::fileText(folder / shell::pathFromUtf8("ID一覧表.txt"));
        QVERIFY(!report.empty());
        QCOMPARE(text(1002), displayText(shell::sjisToUtf8(report)));
        QVERIFY(text(1002).startsWith(QStringLiteral("カキ\n立ち絵（防御時のグラフィック）\n")));
        QVERIFY(std::filesystem::exists(folder / "unitall.dat"));
        QVERIFY(std::filesystem::exists(folder / "sprite1.dat"));
    }

    void cancellingTheFolderDialogLeavesTheFileSideAsItWas()
    {
        start();
        const std::filesystem::path folder = saveFolderOf(0x2A, "アイ");
        loadFolder(folder);
        const QString summary = text(1003);
        QVERIFY(summary.startsWith(QStringLiteral("アイ\nbNumUnit:1\n")));
        shell_->messages.clear();

        button(1006).click();  // no path queued: the dialog is cancelled
        QCOMPARE(shell_->messages.size(), std::size_t{1});
        QCOMPARE(shell_->messages[0].text, std::string("キャンセル"));
        QCOMPARE(shell_->messages[0].caption, shell::Caption(std::nullopt));
        QCOMPARE(text(1003), summary);
        QCOMPARE(shell_->dialogFilters.back(), shell::makeFilter({{"総合ユニットデータ", "unitall.dat"}}));

        // A refused folder shows its one message and changes nothing either.
        const std::string index = editor_test::fileText(folder / "unitall.dat");
        scratch_.write(std::filesystem::relative(folder / "unitall.dat", scratch_.path()).string(),
                       "[wUnitID]=-1" + index.substr(index.find("\r\n")));
        shell_->messages.clear();
        loadFolder(folder);
        QCOMPARE(messageTexts(), std::vector<std::string>{
                                     "unitall.dat 1行目: [wUnitID]=-1 は範囲外です (0 から 65535)"});
        QCOMPARE(text(1003), summary);
    }

    // The whole road: save a folder of one unit, select another, port the folder into it and save
    // the image; the image is byte for byte what the command line's port makes of the same steps.
    void portingPutsTheFolderInPlaceOfTheSelectedUnit()
    {
        start();
        const std::filesystem::path folder = saveFolderOf(0x2A, "アイ");
        saveFolderOf(kUnit, "カキ");
        loadFolder(folder);
        const QString romSummary = text(1001);
        const QString fileSummary = text(1003);
        const QString report = text(1002);
        QVERIFY(romSummary.startsWith(QStringLiteral("カキ\n")));
        shell_->messages.clear();

        button(1007).click();
        QCOMPARE(messageTexts(), std::vector<std::string>{"GBAに移植完了"});
        QCOMPARE(unitList().count(), 150);
        QCOMPARE(unitList().item(kUnit)->text(), QStringLiteral("0A:アイ"));
        QCOMPARE(unitList().item(0x2A)->text(), QStringLiteral("2A:アイ"));
        QCOMPARE(unitList().currentRow(), -1);
        QVERIFY(unitList().selectedItems().isEmpty());
        QVERIFY(unitList().isVisible());
        QCOMPARE(text(1001), romSummary);
        QCOMPARE(text(1002), report);
        QCOMPARE(text(1003), fileSummary);
        QVERIFY(button(1004).isEnabled());

        const std::filesystem::path saved = scratch_.path("window.gba");
        shell_->savePaths.push_back(saved);
        button(1008).click();
        QCOMPARE(messageTexts(), (std::vector<std::string>{"GBAに移植完了", "ＧＢＡ保存しました"}));
        QCOMPARE(shell_->saveDialogTitles, std::vector<std::string>{"ファイルの保存"});
        QCOMPARE(shell_->dialogFilters.back(),
                 shell::makeFilter({{"GBAファイル(*.gba)", "*.gba"}, {"すべてのファイル(*.*)", "*"}}));

        const std::filesystem::path viaCommand = scratch_.path("command.gba");
        std::ostringstream out;
        std::ostringstream err;
        const std::vector<std::string> arguments{"port", rom_.string(), std::to_string(kUnit),
                                                 folder.string(), "-o", viaCommand.string(),
                                                 "--table", table_.string()};
        QCOMPARE(editor::runMorvaneCommand(arguments, out, err), 0);
        const shell::Bytes windowImage = editor_test::fileBytes(saved);
        QVERIFY(windowImage.size() > std::filesystem::file_size(rom_));
        QVERIFY(windowImage == editor_test::fileBytes(viaCommand));

        // Selecting the replaced unit again reads it afresh from the changed image.
        unitList().setCurrentRow(kUnit);
        QVERIFY(text(1001).startsWith(QStringLiteral("アイ\n")));
    }

    void aPortShortOfIdsChangesNothing()
    {
        start();
        const std::filesystem::path folder = saveFolderOf(0x2A, "アイ");
        loadFolder(folder);
        unitList().setCurrentRow(0);  // "ア" has no weapons, sprites or routines
        shell_->messages.clear();

        button(1007).click();
        QCOMPARE(shell_->messages.size(), std::size_t{1});
        QCOMPARE(shell_->messages[0].text, std::string("IDが足りません"));
        QCOMPARE(shell_->messages[0].caption, shell::Caption("エラー"));
        QCOMPARE(unitList().currentRow(), 0);
        QCOMPARE(window_->session().image().size(), std::filesystem::file_size(rom_));
    }
};

QTEST_MAIN(MorvaneWindowTest)
#include "morvane_window_test.moc"
