// The transplant tool's dialogs and the menu commands that open them: the extraction dialog, the
// add-unit dialog, the ID area extension, deletion and saving, checked against what the command
// line writes for the same steps.

#include "rom/unit_resources.hpp"
#include "shell/qt/qt_text.hpp"
#include "tests/doubles/scratch_folder.hpp"
#include "tests/doubles/scripted_shell.hpp"
#include "tests/support/character_table_file.hpp"
#include "tests/support/demo_scenario.hpp"
#include "tests/window/modal_helper.hpp"
#include "transplant/free_ids.hpp"
#include "transplant/keldra_cli.hpp"
#include "transplant/window/extract_dialog.hpp"
#include "transplant/window/keldra_window.hpp"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QtTest>

#include <fstream>
#include <sstream>

namespace fs = std::filesystem;
using shell::qt::displayText;
using testing_doubles::ScratchFolder;
using testing_doubles::ScriptedShell;
using window_testing::whenModalShows;

namespace {

constexpr std::uint16_t kExtractedUnit = 0x2A;  // "シュヴァルツ" of image A
constexpr const char* kExtractedName = "シュヴァルツ";

template <class Control>
Control& child(const QWidget& parent, int id)
{
    auto* found = parent.findChild<Control*>(QString::number(id));
    if (found == nullptr)
        qFatal("no control %d", id);
    return *found;
}

void click(const QWidget& parent, int id)
{
    child<QAbstractButton>(parent, id).click();
}

// Every file of a folder, by name.
std::map<std::string, std::vector<std::uint8_t>> filesOf(const fs::path& folder)
{
    std::map<std::string, std::vector<std::uint8_t>> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        std::ifstream in(entry.path(), std::ios::binary);
        files[entry.path().filename().string()] =
            std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
    }
    return files;
}

// Files and folders below `folder`; 0 when it does not exist.
std::size_t entryCount(const fs::path& folder)
{
    std::error_code error;
    auto entries = fs::recursive_directory_iterator(folder, error);
    return error ? 0 : static_cast<std::size_t>(std::distance(begin(entries), end(entries)));
}

std::vector<std::uint8_t> fileBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

class KeldraDialogsTest : public QObject {
    Q_OBJECT

    ScratchFolder folder_;
    synthetic::DemoScenario scenarioB_;
    fs::path imageA_;
    fs::path imageB_;
    std::unique_ptr<ScriptedShell> shell_;
    std::unique_ptr<transplant::KeldraWindow> window_;

    fs::path sets() const { return folder_.path("window_sets"); }
    QListWidget& unitList() const { return child<QListWidget>(*window_->centralWidget(), 1000); }
    QString box(int id) const { return child<QPlainTextEdit>(*window_->centralWidget(), id).toPlainText(); }

    void run(int commandId)
    {
        window_->menuBar()->findChild<QAction*>(QString::number(commandId))->trigger();
    }
    void open(const fs::path& image)
    {
        shell_->openPaths.push_back(image);
        run(1024);
    }

    int cli(std::vector<std::string> arguments)
    {
        arguments.insert(arguments.end(), {"--table", folder_.path("string.txt").string()});
        std::ostringstream out;
        std::ostringstream err;
        const int status = transplant::runKeldraCommand(arguments, out, err);
        if (status != 0)
            qWarning("%s", err.str().c_str());
        return status;
    }

    // Whether a message with this text was shown, and with that caption.
    bool shown(const std::string& text, const std::string& caption) const
    {
        return std::ranges::any_of(shell_->messages, [&](const auto& message) {
            return message.text == text && message.caption == shell::Caption(caption);
        });
    }

private Q_SLOTS:
    void initTestCase()
    {
        scenarioB_ = synthetic::makeDemoScenarioB();
        const synthetic::Bytes a = synthetic::makeDemoScenarioA().image;
        imageA_ = folder_.write("demo_a.gba", shell::Bytes(a.begin(), a.end()));
        imageB_ = folder_.write("demo_b.gba",
                                shell::Bytes(scenarioB_.image.begin(), scenarioB_.image.end()));
        folder_.write("string.txt", synthetic::makeCharacterTableFile());
    }

    void init()
    {
        shell_ = std::make_unique<ScriptedShell>();
        window_ = std::make_unique<transplant::KeldraWindow>(
            *shell_, rom::CharacterTable(synthetic::makeCharacterTableFile()), sets());
        window_->show();
    }

    // The whole road through the window: extract with some items cleared, extend a second image,
    // add the unit into a slot chosen in the dialog, delete a unit, save. Each step's files equal
    // what the command line writes for the same steps.
    void theWindowWritesWhatTheCommandLineWrites()
    {
        open(imageA_);
        unitList().setCurrentRow(kExtractedUnit);
        bool ownerDisabled = false;
        whenModalShows([&](QWidget& dialog) {
            ownerDisabled = !window_->centralWidget()->isEnabled() && !window_->menuBar()->isEnabled();
            QCOMPARE(dialog.objectName(), QStringLiteral("ExtractWnd"));
            QCOMPARE(child<QLineEdit>(dialog, 1001).text(), QStringLiteral("02A: シュヴァルツ"));
            child<QCheckBox>(dialog, 5000).setChecked(false);
            child<QCheckBox>(dialog, 5002).setChecked(false);
            click(dialog, 1014);  // the unit cut-ins; the system animations' choice is kept
            child<QCheckBox>(dialog, 5001).setChecked(false);
            click(dialog, 1012);
            QVERIFY(!child<QCheckBox>(dialog, 5000).isChecked());
            QVERIFY(child<QCheckBox>(dialog, 5001).isChecked());
            click(dialog, 1017);
        });
        run(1028);
        QVERIFY(ownerDisabled);
        QVERIFY(window_->centralWidget()->isEnabled() && window_->menuBar()->isEnabled());
        QVERIFY(shown(std::string(kExtractedName) + "保存完了", "ユニットデータ保存"));
        QCOMPARE(cli({"extract", imageA_.string(), "0x2A", "--dir", folder_.path("cli_sets").string(),
                      "--off", "SystemAnime:0,2", "--off", "UnitCutin:1"}),
                 0);
        const fs::path windowSet = sets() / kExtractedName;
        const fs::path cliSet = folder_.path("cli_sets") / kExtractedName;
        QVERIFY(!fs::exists(windowSet / "SystemAnime2.dat"));
        QVERIFY(filesOf(windowSet) == filesOf(cliSet));

        open(imageB_);
        shell_->savePaths.push_back(folder_.path("window.ExtInfo"));
        run(1030);
        QVERIFY(box(1004).startsWith(QStringLiteral("拡張情報 読み込み済\n")));
        QVERIFY(shown("拡張情報を保存しました", "Brenmark_SaveExtendInfo"));
        QCOMPARE(cli({"extend", imageB_.string(), "-o", folder_.path("cli_ext.gba").string(),
                      "--save-ext-info", folder_.path("cli.ExtInfo").string()}),
                 0);
        QVERIFY(folder_.read("window.ExtInfo") == folder_.read("cli.ExtInfo"));

        // The second free slot, typed by its ID alone.
        std::uint16_t slot = 0;
        whenModalShows([&](QWidget& dialog) {
            QCOMPARE(dialog.objectName(), QStringLiteral("ImplantWnd"));
            auto& slots = child<QComboBox>(dialog, 1021);
            QVERIFY(slots.count() >= 2);
            QCOMPARE(slots.currentIndex(), 0);
            QVERIFY(child<QPlainTextEdit>(dialog, 1001).toPlainText().startsWith(
                QStringLiteral("ユニット\t%1\n").arg(slots.count())));
            shell_->openPaths.push_back(windowSet / "UnitAllData.dat");
            click(dialog, 1018);
            QCOMPARE(child<QLabel>(dialog, 1023).text(), QString::fromUtf8(kExtractedName));
            QVERIFY(child<QPlainTextEdit>(dialog, 1002).toPlainText().startsWith(
                QStringLiteral("ユニット\t1\n武器\t")));
            slot = static_cast<std::uint16_t>(slots.itemText(1).left(3).toUInt(nullptr, 16));
            slots.setEditText(QString::number(slot, 16));
            click(dialog, 1016);
        });
        run(1027);
        const std::string slotText = QStringLiteral("%1").arg(slot, 3, 16, QChar(u'0')).toUpper().toStdString();
        QVERIFY(shown(slotText + "に" + kExtractedName + "を追加しました", "追加完了"));
        QCOMPARE(unitList().item(slot)->text(),
                 QString::fromStdString(slotText + ": " + kExtractedName));
        QCOMPARE(cli({"add", folder_.path("cli_ext.gba").string(), cliSet.string(), "--ext-info",
                      folder_.path("cli.ExtInfo").string(), "--slot", std::to_string(slot), "-o",
                      folder_.path("cli_added.gba").string()}),
                 0);

        const std::uint16_t deleted = scenarioB_.units.front().id;
        unitList().setCurrentRow(deleted);
        const QString information = box(1002);
        run(1029);
        QCOMPARE(shell_->messages.back().text, std::string("選択ユニットを削除して、\r\n空きユニット欄・武器欄を作ります"));
        QVERIFY(unitList().item(deleted)->text() != QString::fromStdString(scenarioB_.units.front().name));
        // The panels show the emptied unit, as a new pick of its line would.
        QVERIFY(box(1002) != information);
        QVERIFY(box(1002).startsWith(unitList().item(deleted)->text().mid(5) + u'\n'));
        QCOMPARE(cli({"delete", folder_.path("cli_added.gba").string(), std::to_string(deleted),
                      "-o", folder_.path("cli_final.gba").string()}),
                 0);

        shell_->savePaths.push_back(folder_.path("window_final.gba"));
        run(1025);
        QVERIFY(fileBytes(folder_.path("window_final.gba")) == fileBytes(folder_.path("cli_final.gba")));

        // The saved image has moved tables: it needs its extension info before units can be added.
        open(folder_.path("window_final.gba"));
        QVERIFY(box(1004).startsWith(QStringLiteral("拡張情報 なし\n")));
        run(1027);
        QCOMPARE(shell_->messages.back().text,
                 std::string("拡張情報が読み込まれてません\r\n拡張情報を読み込んで下さい"));
        shell_->openPaths.push_back(folder_.path("window.ExtInfo"));
        run(1031);
        QVERIFY(shown("読込完了", "拡張情報読み込み"));
        QVERIFY(box(1004).startsWith(QStringLiteral("拡張情報 読み込み済\n")));
    }

    void theExtractionDialogPlacesItsItemsAndKeepsEveryKindsChoice()
    {
        rom::UnitResourceSet target;
        target.valid = true;
        for (std::uint16_t id = 0; id < 50; ++id)
            target.list(rom::ResourceKind::SystemAnime).push_back(static_cast<std::uint16_t>(0x100 + id));
        target.list(rom::ResourceKind::UnitCutin) = {7, 9};
        transplant::SelectionFlags flags;
        transplant::ExtractDialog dialog(target, "02A: name", flags, window_.get());
        dialog.show();

        QCOMPARE(dialog.windowTitle(),
                 QStringLiteral("ユニット抽出ダイアログ(抽出対象をチェックしてください)"));
        for (int disabled : {1006, 1007, 1008, 1009, 1010, 1011, 1015})
            QVERIFY(!child<QWidget>(dialog, disabled).isEnabled());
        QVERIFY(child<QRadioButton>(dialog, 1012).isChecked());
        QVERIFY(child<QPushButton>(dialog, 1017).isEnabled());

        QCheckBox& eighteenth = child<QCheckBox>(dialog, 5017);
        QCOMPARE(eighteenth.text(), QStringLiteral("システムアニメ111"));
        QCOMPARE(eighteenth.mapTo(&dialog, QPoint(0, 0)), QPoint(160, 109));
        QCOMPARE(eighteenth.size(), QSize(135, 14));
        // The fourth column lies beyond the dialog's edge; the group scrolls to reach it.
        QCheckBox& fortyNinth = child<QCheckBox>(dialog, 5048);
        auto* area = dialog.findChild<QScrollArea*>();
        area->ensureWidgetVisible(&fortyNinth);
        const QRect shownAt(fortyNinth.mapTo(&dialog, QPoint(0, 0)), fortyNinth.size());
        QVERIFY(dialog.rect().contains(shownAt));
        QVERIFY(QRect(8, 80, 431, 246).contains(shownAt));

        fortyNinth.setChecked(false);
        click(dialog, 1014);
        QVERIFY(dialog.findChild<QCheckBox*>(QStringLiteral("5002")) == nullptr);
        QCOMPARE(child<QCheckBox>(dialog, 5001).text(), QStringLiteral("Unitカットイン009"));
        click(dialog, 1019);  // 一括OFF clears the shown kind too
        QVERIFY(!child<QCheckBox>(dialog, 5000).isChecked());
        click(dialog, 1012);
        QVERIFY(!child<QCheckBox>(dialog, 5017).isChecked());
        click(dialog, 1016);  // すべて抽出
        QVERIFY(child<QCheckBox>(dialog, 5048).isChecked());
        child<QCheckBox>(dialog, 5003).setChecked(false);
        click(dialog, 1018);
        QCOMPARE(dialog.result(), 0);
        // Cancel keeps what was stored when the kind was last left, not the box just cleared.
        QVERIFY(flags.isSelected(rom::ResourceKind::SystemAnime, 3));
        QVERIFY(flags.isSelected(rom::ResourceKind::UnitCutin, 1));
    }

    void extractionWithoutASelectedUnitOffersNoSave()
    {
        open(imageA_);
        const std::size_t entriesBefore = entryCount(sets());
        bool saveEnabled = true;
        QString target = QStringLiteral("?");
        whenModalShows([&](QWidget& dialog) {
            saveEnabled = child<QPushButton>(dialog, 1017).isEnabled();
            target = child<QLineEdit>(dialog, 1001).text();
            QVERIFY(dialog.findChild<QCheckBox*>(QStringLiteral("5000")) == nullptr);
            click(dialog, 1018);
        });
        run(1028);
        QVERIFY(!saveEnabled);
        QVERIFY(target.isEmpty());
        QCOMPARE(entryCount(sets()), entriesBefore);
        QVERIFY(shell_->messages.empty());
    }

    // "追加" aims only at a listed free slot: text naming none is refused with the dialog open,
    // and a shortage keeps the dialog open with the image unchanged.
    void theAddDialogRefusesWhatItCannotDo()
    {
        QCOMPARE(cli({"extract", imageA_.string(), "0x2A", "--dir", folder_.path("refusal_sets").string()}), 0);
        open(imageA_);
        const fs::path set = folder_.path("refusal_sets") / kExtractedName / "UnitAllData.dat";
        int refusals = 0;
        QImage underLoadedName;
        whenModalShows([&](QWidget& dialog) {
            underLoadedName = dialog.grab(child<QWidget>(dialog, 1023).geometry()).toImage();
            click(dialog, 1016);  // nothing loaded: nothing happens
            QVERIFY(shell_->messages.empty());
            shell_->openPaths.push_back(set);
            click(dialog, 1018);
            auto& slots = child<QComboBox>(dialog, 1021);
            slots.setEditText(QStringLiteral("02A"));  // a named unit, not a free slot
            click(dialog, 1016);
            QCOMPARE(shell_->messages.back().text, std::string("追加先のユニットを一覧から選んでください"));
            ++refusals;
            QVERIFY(dialog.isVisible());
            click(dialog, 1017);
        });
        run(1027);
        QCOMPARE(refusals, 1);
        // The empty name field hides the end of "追加に必要な数", which runs under it.
        QVERIFY(!underLoadedName.isNull());
        for (int y = 0; y < underLoadedName.height(); ++y) {
            for (int x = 0; x < underLoadedName.width(); ++x)
                QCOMPARE(underLoadedName.pixel(x, y), underLoadedName.pixel(0, 0));
        }
        QVERIFY(shell_->messages.size() == 1);

        // A set that lost a file is refused; the dialog stays open and the image as it was.
        fs::remove(set.parent_path() / "Sprite0.dat");
        bool stayedOpen = false;
        whenModalShows([&](QWidget& dialog) {
            QCOMPARE(child<QLabel>(dialog, 1023).text(), QString::fromUtf8(kExtractedName));
            click(dialog, 1016);
            stayedOpen = dialog.isVisible();
            click(dialog, 1017);
        });
        run(1027);
        QVERIFY(stayedOpen);
        QVERIFY(shown("ファイルオープンに失敗", ""));
        shell_->savePaths.push_back(folder_.path("unchanged.gba"));
        run(1025);
        QVERIFY(fileBytes(folder_.path("unchanged.gba")) == fileBytes(imageA_));
    }

    void commandsWithoutAnImageOrInfoShowNothing()
    {
        for (int command : {1025, 1027, 1029, 1030, 1031, 1032})
            run(command);
        QVERIFY(shell_->messages.empty());
        QCOMPARE(unitList().count(), 0);

        // Extension info asks for its file all the same, and matches no image.
        shell_->openPaths.push_back(folder_.write("any.ExtInfo", shell::Bytes{'[', ']'}));
        run(1031);
        QCOMPARE(shell_->texts(), std::vector<std::string>{"拡張情報とROMが一致しません"});
        QVERIFY(box(1004).isEmpty());
    }

    // Enter presses only a focused button, Escape closes nothing: a cleared item stays cleared,
    // and Enter in the slot box opens no file dialog.
    void enterAndEscapePressNothingInTheDialogs()
    {
        open(imageA_);
        unitList().setCurrentRow(kExtractedUnit);
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        bool itemKept = false;
        bool extractStayedOpen = false;
        whenModalShows([&](QWidget& dialog) {
            dialog.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&dialog));
            auto& item = child<QCheckBox>(dialog, 5000);
            item.setFocus(Qt::TabFocusReason);
            QTest::keyClick(&item, Qt::Key_Space);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            itemKept = !item.isChecked();
            extractStayedOpen = dialog.isVisible();
        });
        run(1028);
        QVERIFY(itemKept && extractStayedOpen);

        const std::size_t opened = shell_->openDialogTitles.size();
        bool addStayedOpen = false;
        whenModalShows([&](QWidget& dialog) {
            dialog.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&dialog));
            child<QComboBox>(dialog, 1021).setFocus(Qt::TabFocusReason);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            addStayedOpen = dialog.isVisible();
        });
        run(1027);
        QVERIFY(addStayedOpen);
        QCOMPARE(shell_->openDialogTitles.size(), opened);
    }
};

QTEST_MAIN(KeldraDialogsTest)
#include "keldra_dialogs_test.moc"
