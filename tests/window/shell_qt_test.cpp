// The Qt shell: window frame, font, control factory, modal dialogs, message boxes, file dialogs.

#include "shell/file_filter.hpp"
#include "shell/qt/controls.hpp"
#include "shell/qt/modal_dialog.hpp"
#include "shell/qt/qt_shell.hpp"
#include "shell/qt/qt_text.hpp"
#include "shell/qt/system_texts.hpp"
#include "shell/qt/tool_frame.hpp"
#include "tests/window/modal_helper.hpp"

#include <QCheckBox>
#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QtTest>

using namespace shell::qt;
using window_testing::whenModalShows;

namespace {

const std::string kGbaFilter = shell::makeFilter({{"GBAファイル", "*.gba"}});

struct ShownBox {
    QString title;
    QString text;
    QMessageBox::StandardButtons buttons;
};

// Presses `press` in the next message box; what the box showed is filled in once it has run.
std::shared_ptr<const ShownBox> pressInNextBox(QMessageBox::StandardButton press)
{
    auto shown = std::make_shared<ShownBox>();
    whenModalShows([shown, press](QWidget& modal) {
        auto& box = dynamic_cast<QMessageBox&>(modal);
        *shown = {box.windowTitle(), box.text(), box.standardButtons()};
        box.button(press)->click();
    });
    return shown;
}

// The texts a user reads in `window` (captions, labels, menu items, tool tips, column headings)
// that hold an English word. "OK" is what the Japanese system shows as well. File names, paths
// and filter patterns are data, not texts of the dialog.
QStringList englishTexts(const QWidget& window)
{
    static const QRegularExpression englishWord(QStringLiteral("[A-Za-z]{2,}"));
    QStringList texts;
    for (const QLabel* label : window.findChildren<QLabel*>())
        texts << label->text();
    for (const QAbstractButton* button : window.findChildren<QAbstractButton*>())
        texts << button->text() << button->toolTip();
    for (const QAction* action : window.findChildren<QAction*>())
        texts << action->text();
    for (const QHeaderView* header : window.findChildren<QHeaderView*>()) {
        for (int section = 0; section < header->count(); ++section)
            texts << header->model()->headerData(section, header->orientation()).toString();
    }
    QStringList english;
    for (const QString& text : texts) {
        if (text != QStringLiteral("OK") && text.contains(englishWord))
            english << text;
    }
    return english;
}

// Types `path` into a file dialog and accepts it, as its own button does.
void choose(QFileDialog& dialog, const QString& path)
{
    // The dialog leaves the name field alone while the field has the focus.
    if (QWidget* focused = dialog.focusWidget())
        focused->clearFocus();
    dialog.selectFile(path);
    static_cast<QDialog&>(dialog).accept();
}

}  // namespace

class ShellQtTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void fixedWindowsTakeTheirOuterSizeLessTheFrame()
    {
        QWidget keldra;
        applyMainWindowFrame(keldra, Tool::Keldra);
        QCOMPARE(keldra.windowTitle(), QStringLiteral("ユニット抽出移植ツール"));
        QCOMPARE(keldra.size(), QSize(618, 348) - kWindowsFrameAllowance);
        QCOMPARE(keldra.minimumSize(), keldra.maximumSize());
        QVERIFY(!(keldra.windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(keldra.windowFlags() & Qt::WindowMinimizeButtonHint);

        QWidget tessivo;
        applyMainWindowFrame(tessivo, Tool::Tessivo);
        QCOMPARE(tessivo.size(), QSize(480, 360) - kWindowsFrameAllowance);
        QVERIFY(tessivo.minimumSize() != tessivo.maximumSize());
    }

    void theSharedFontIsTwelvePixelsOfAJapaneseFace()
    {
        const QFont font = toolFont(Tool::Keldra);
        QCOMPARE(font.pixelSize(), 12);
        QCOMPARE(font.families().mid(0, 2), (QStringList{"ＭＳ Ｐゴシック", "IPAPGothic"}));
        QCOMPARE(toolFont(Tool::Sonnary).families().front(), QStringLiteral("ＭＳ ゴシック"));
        if (!QFontDatabase::families().contains(QStringLiteral("IPAPGothic")))
            QSKIP("the IPA Gothic fonts are not installed");
        QVERIFY(QStringList({"ＭＳ Ｐゴシック", "IPAPGothic"}).contains(QFontInfo(font).family()));
    }

    void controlsAreNamedPlacedAndGivenTheFont()
    {
        QWidget parent;
        const QFont font = toolFont(Tool::Keldra);
        ControlFactory controls(parent, font);
        const QList<QWidget*> made{
            &controls.pushButton(1001, "保存", {1, 2, 30, 20}),
            &controls.checkBox(1002, "細かく設定", {3, 4, 30, 20}),
            &controls.radioButton(1003, "SysAni", {5, 6, 30, 20}),
            &controls.groupBox(1004, "抽出選択", {7, 8, 30, 20}),
            &controls.staticText(1005, "空きアイテム", {9, 10, 30, 20}),
            &controls.lineEdit(1006, {11, 12, 30, 20}),
            &controls.textBox(1007, {13, 14, 30, 20}, EditEdge::Sunken, ScrollBar::Vertical),
        };
        for (int i = 0; i < made.size(); ++i) {
            QCOMPARE(parent.findChild<QWidget*>(QString::number(1001 + i)), made[i]);
            QCOMPARE(made[i]->geometry(), QRect(1 + 2 * i, 2 + 2 * i, 30, 20));
            QCOMPARE(made[i]->font(), font);
        }
    }

    // A list box keeps its top and width and shrinks to its last whole line, which then ends at
    // its lower border.
    void listBoxesShowOnlyWholeLines()
    {
        QWidget parent;
        parent.resize(300, 400);
        parent.show();
        ControlFactory controls(parent, toolFont(Tool::Keldra));
        for (const int height : {265, 285, 231}) {
            QListWidget& list = controls.listBox(1000, {6, 20, 188, height});
            for (int line = 0; line < 40; ++line)
                list.addItem(QStringLiteral("%1: 名前").arg(line));
            const int lineHeight = list.sizeHintForRow(0);
            QCOMPARE(list.pos(), QPoint(6, 20));
            QCOMPARE(list.width(), 188);
            QVERIFY(list.height() <= height && list.height() > height - lineHeight);
            QApplication::processEvents();
            QCOMPARE(list.height() - 2 * list.frameWidth(), list.viewport()->height());
            QCOMPARE(list.viewport()->height() % lineHeight, 0);
        }
    }

    void textBoxesShowWindowsLineEndsAsLineBreaks()
    {
        QWidget parent;
        ControlFactory controls(parent, toolFont(Tool::Keldra));
        QPlainTextEdit& box = controls.textBox(1, {0, 0, 100, 50}, EditEdge::Sunken, ScrollBar::None);
        setControlText(box, "HP: 10\r\nEN: 5\r\n");
        QCOMPARE(box.toPlainText(), QStringLiteral("HP: 10\nEN: 5\n"));
        QCOMPARE(box.document()->blockCount(), 3);
    }

    void sortedComboBoxesPlaceEveryItemWhereItSorts()
    {
        QWidget parent;
        ControlFactory controls(parent, toolFont(Tool::Keldra));
        QComboBox& sorted = controls.comboBox(1021, {15, 17, 189, 118}, ItemOrder::Sorted);
        QComboBox& asAdded = controls.comboBox(1022, {15, 17, 189, 118}, ItemOrder::AsAdded);
        for (QComboBox* combo : {&sorted, &asAdded}) {
            combo->addItems({"05F: C", "00A: A"});
            combo->insertItem(0, "01B: B");
        }
        QCOMPARE(sorted.itemText(0), QStringLiteral("00A: A"));
        QCOMPARE(sorted.itemText(2), QStringLiteral("05F: C"));
        QCOMPARE(asAdded.itemText(0), QStringLiteral("01B: B"));
        QCOMPARE(sorted.insertPolicy(), QComboBox::NoInsert);
        QVERIFY(sorted.height() < 118);  // the closed box; 118 is the opened list
    }

    void columnTextLinesUpEveryFieldPastTheWidestBeforeIt()
    {
        QWidget parent;
        ControlFactory controls(parent, toolFont(Tool::Keldra));
        QPlainTextEdit& box = controls.textBox(1004, {0, 0, 346, 78}, EditEdge::Static, ScrollBar::None);
        setColumnText(box, "a heading wider than any field\r\nSprite\t08F1FA7C\t0334\t\r\nUnitCutin\t00\t0048\t\r\n");
        const QList<QTextOption::Tab> stops = box.document()->defaultTextOption().tabs();
        const QFontMetrics metrics(box.font());
        QCOMPARE(stops.size(), 3);
        QVERIFY(stops[0].position > metrics.horizontalAdvance("UnitCutin"));
        QVERIFY(stops[0].position < metrics.horizontalAdvance("a heading wider"));
        QVERIFY(stops[1].position - stops[0].position > metrics.horizontalAdvance("08F1FA7C"));
        QVERIFY(stops[2].position - stops[1].position > metrics.horizontalAdvance("0334"));
    }

    void aModalDialogDisablesItsOwnersContentsWhileItRuns()
    {
        QMainWindow owner;
        owner.setCentralWidget(new QWidget);
        owner.menuBar()->addMenu("ファイル(&F)");
        auto* disabledBefore = new QPushButton("x", &owner);
        disabledBefore->setEnabled(false);
        owner.show();
        QDialog dialog(&owner);
        applyDialogFrame(dialog, "ユニット追加ダイアログ", 353, 325);
        QVERIFY(!(dialog.windowFlags() & Qt::WindowSystemMenuHint));

        bool ownerDisabled = false;
        bool dialogEnabled = false;
        whenModalShows([&](QWidget& modal) {
            ownerDisabled = !owner.centralWidget()->isEnabled() && !owner.menuBar()->isEnabled();
            dialogEnabled = modal.isEnabled();
            dialog.done(1);
        });
        QCOMPARE(runModalDialog(dialog, owner), 1);
        QVERIFY(ownerDisabled && dialogEnabled);
        QVERIFY(owner.centralWidget()->isEnabled() && owner.menuBar()->isEnabled());
        QVERIFY(!disabledBefore->isEnabled());

        whenModalShows([&](QWidget&) { dialog.reject(); });
        QCOMPARE(runModalDialog(dialog, owner), 0);
        QVERIFY(owner.centralWidget()->isEnabled());
    }

    void messageBoxesShowTheirCaptionTextAndButtons()
    {
        QtShell shell;
        auto shown = pressInNextBox(QMessageBox::No);
        QCOMPARE(shell.message("終了します\r\n", std::string("確認"), shell::Buttons::YesNo,
                               shell::Icon::None),
                 shell::Answer::No);
        QCOMPARE(shown->title, QStringLiteral("確認"));
        QCOMPARE(shown->text, QStringLiteral("終了します\n"));
        QCOMPARE(shown->buttons, QMessageBox::Yes | QMessageBox::No);

        // No caption is the system's default title; an empty one is an empty title bar. The window
        // system would title a box without any title with the program's name.
        shown = pressInNextBox(QMessageBox::Cancel);
        QCOMPARE(shell.message("x", std::nullopt, shell::Buttons::OkCancel, shell::Icon::None),
                 shell::Answer::Cancel);
        QCOMPARE(shown->title, QStringLiteral("エラー"));
        shown = pressInNextBox(QMessageBox::Ok);
        shell.message("ファイルオープンに失敗", std::string(), shell::Buttons::Ok, shell::Icon::Warning);
        QVERIFY(!shown->title.isEmpty() && shown->title.trimmed().isEmpty());
    }

    // The stock texts of every box and dialog the tools open are Japanese, and a filter reads as
    // its description alone.
    void stockDialogsSpeakJapanese()
    {
        installJapaneseSystemTexts(*QCoreApplication::instance());
        QTemporaryDir folder;
        // A name without Latin letters, since the prompt names the file.
        const QString existing = folder.filePath("保存先");
        QFile(existing).open(QIODevice::WriteOnly);
        QtShell shell;
        const std::string filter = shell::makeFilter({{"パレット(*.dat)", "*.dat"}, {"すべてのファイル(*.*)", "*"}});
        QStringList english;
        QStringList filters;
        whenModalShows([&](QWidget& modal) {
            english << englishTexts(modal);
            auto* types = modal.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            for (int i = 0; i < types->count(); ++i)
                filters << types->itemText(i);
            dynamic_cast<QFileDialog&>(modal).reject();
        });
        shell.askOpenPath(filter, "ファイルを開く");
        QCOMPARE(filters, (QStringList{"パレット(*.dat)", "すべてのファイル(*.*)"}));

        // Saving over a file asks first, in the save dialog's prompt.
        QString prompt;
        whenModalShows([&](QWidget& modal) {
            english << englishTexts(modal);
            whenModalShows([&](QWidget& box) {
                english << englishTexts(box);
                prompt = dynamic_cast<QMessageBox&>(box).text();
                dynamic_cast<QMessageBox&>(box).button(QMessageBox::No)->click();
            });
            choose(dynamic_cast<QFileDialog&>(modal), existing);
            dynamic_cast<QFileDialog&>(modal).reject();
        });
        shell.askSavePath(filter, "ファイルの保存");
        QVERIFY(prompt.contains(QStringLiteral("上書きしますか")));

        for (const shell::Buttons buttons : {shell::Buttons::OkCancel, shell::Buttons::YesNo}) {
            whenModalShows([&](QWidget& box) {
                english << englishTexts(box);
                dynamic_cast<QMessageBox&>(box).buttons().front()->click();
            });
            shell.message("終了します", std::string("確認"), buttons, shell::Icon::None);
        }
        QCOMPARE(english.join(u'|'), QString());
    }

    void nameFiltersReadAsDescriptionAndPattern()
    {
        QCOMPARE(qtNameFilters(shell::makeFilter({{"画像", "*.bmp;*.dib"}, {"全て", "*.*"}})),
                 (QStringList{"画像 (*.bmp *.dib)", "全て (*.*)"}));
    }

    void theOpenDialogTakesAnExistingFileUnderTheFirstFilter()
    {
        QTemporaryDir folder;
        const QString rom = folder.filePath("game.gba");
        QFile(rom).open(QIODevice::WriteOnly);
        QtShell shell;
        QStringList seen;
        QFileDialog::FileMode mode = QFileDialog::AnyFile;
        whenModalShows([&](QWidget& modal) {
            auto& dialog = dynamic_cast<QFileDialog&>(modal);
            seen << dialog.windowTitle() << dialog.selectedNameFilter();
            mode = dialog.fileMode();
            choose(dialog, rom);
        });
        QCOMPARE(shell.askOpenPath(kGbaFilter, "ファイルを開く"), toPath(rom));
        QCOMPARE(seen, (QStringList{"ファイルを開く", "GBAファイル"}));
        QCOMPARE(mode, QFileDialog::ExistingFile);
    }

    void aCancelledOpenDialogAnswersNothing()
    {
        QtShell shell;
        whenModalShows([](QWidget& modal) { dynamic_cast<QFileDialog&>(modal).reject(); });
        QVERIFY(!shell.askOpenPath(kGbaFilter, "ファイルを開く"));
    }

    void theSaveDialogOffersThePathChosenLastTime()
    {
        QTemporaryDir folder;
        const QString target = folder.filePath("saved.gba");
        QtShell shell;
        whenModalShows([&](QWidget& modal) { choose(dynamic_cast<QFileDialog&>(modal), target); });
        QCOMPARE(shell.askSavePath(kGbaFilter, "ファイルの保存"), toPath(target));

        QStringList offered;
        whenModalShows([&](QWidget& modal) {
            offered = dynamic_cast<QFileDialog&>(modal).selectedFiles();
            dynamic_cast<QFileDialog&>(modal).reject();
        });
        QVERIFY(!shell.askSavePath(kGbaFilter, "ファイルの保存"));
        QCOMPARE(offered, QStringList{target});
    }
};

QTEST_MAIN(ShellQtTest)
#include "shell_qt_test.moc"
