// Sonnary's window, driven through its controls and keys with a scripted shell, playing through
// SDL's dummy audio driver.

#include "shell/qt/qt_text.hpp"
#include "sound/playback/sdl_sound_output.hpp"
#include "sound/window/sonnary_window.hpp"
#include "tests/doubles/scripted_shell.hpp"
#include "tests/sound/sound_rom_builder.hpp"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QWindow>
#include <QtTest>

#include <map>
#include <optional>

using testing_doubles::ScriptedShell;

namespace {

// The SDL player, counting the plays it starts and keeping how the last one started.
class CountingOutput final : public sound::SoundOutput {
public:
    sound::PlayStart play(const std::filesystem::path& waveFile) override
    {
        ++plays;
        lastStart = player.play(waveFile);
        return *lastStart;
    }
    void waitUntilFinished() override { player.waitUntilFinished(); }

    sound::SdlSoundOutput player;
    int plays = 0;
    std::optional<sound::PlayStart> lastStart;
};

}  // namespace

class SonnaryWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir folder_;
    std::filesystem::path rom_;
    std::unique_ptr<ScriptedShell> shell_;
    std::unique_ptr<CountingOutput> output_;
    std::unique_ptr<sound::SonnaryWindow> window_;

    template <class Control>
    Control& control(int id) const
    {
        auto* found = window_->centralWidget()->findChild<Control*>(QString::number(id));
        if (found == nullptr)
            qFatal("no control %d", id);
        return *found;
    }
    QListWidget& instruments() const { return control<QListWidget>(1001); }
    QListWidget& notes() const { return control<QListWidget>(1004); }
    QString field(int id) const { return control<QLineEdit>(id).text(); }
    std::filesystem::path playFile() const { return shell::qt::toPath(folder_.filePath("PlaySound.wav")); }

    std::filesystem::path writeRom(const char* name, const sound_testing::Bytes& image)
    {
        const std::filesystem::path path = shell::qt::toPath(folder_.filePath(name));
        sound_testing::writeFile(path, image);
        return path;
    }
    void load(const std::filesystem::path& path)
    {
        shell_->openPaths.push_back(path);
        QTest::mouseClick(&control<QPushButton>(1005), Qt::LeftButton);
    }
    void pressSpace(bool release = true)
    {
        QTest::keyPress(window_->windowHandle(), Qt::Key_Space);
        if (release)
            QTest::keyRelease(window_->windowHandle(), Qt::Key_Space);
    }
    // A double click as a hand makes it: a click, then the second press.
    static void doubleClick(QListWidget& list, int row)
    {
        const QPoint point = list.visualItemRect(list.item(row)).center();
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, point);
        QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, point);
    }
    QStringList lines(const QListWidget& list) const
    {
        QStringList texts;
        for (int row = 0; row < list.count(); ++row)
            texts << list.item(row)->text();
        return texts;
    }

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("SDL_AUDIODRIVER", "dummy");
        rom_ = writeRom("demo.gba", sound_testing::makeDemoSound().image);
    }

    void init()
    {
        std::filesystem::remove(playFile());
        shell_ = std::make_unique<ScriptedShell>();
        output_ = std::make_unique<CountingOutput>();
        window_ = std::make_unique<sound::SonnaryWindow>(*shell_, *output_, playFile());
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        window_->activateWindow();
    }

    void cleanup()
    {
        window_.reset();
        output_.reset();
    }

    void theControlsSitWhereTheLayoutPutsThem()
    {
        QCOMPARE(window_->windowTitle(), QStringLiteral("Sonnary"));
        const std::map<int, QRect> layout{
            {1005, {5, 3, 63, 18}},    {1009, {74, 2, 269, 18}},   {1011, {345, 4, 92, 17}},
            {1002, {10, 24, 73, 13}},  {1001, {9, 39, 174, 231}},  {1003, {201, 24, 73, 13}},
            {1004, {205, 39, 232, 232}}, {1006, {13, 283, 83, 13}}, {1007, {101, 278, 268, 19}},
            {1010, {101, 298, 268, 19}}, {1008, {5, 321, 101, 27}}, {1000, {372, 330, 67, 18}},
        };
        for (const auto& [id, rect] : layout) {
            QRect placed = control<QWidget>(id).geometry();
            if (id == 1001 || id == 1004)
                placed.setHeight(rect.height());  // the lists are cut to whole lines
            QCOMPARE(placed, rect);
            QVERIFY(window_->centralWidget()->rect().contains(rect));
        }
        QCOMPARE(control<QPushButton>(1005).text(), QStringLiteral("ROM読込"));
        QCOMPARE(control<QCheckBox>(1011).text(), QStringLiteral("7F限定解除"));
        QCOMPARE(control<QLabel>(1002).text(), QStringLiteral("楽器番号"));
        QCOMPARE(control<QLabel>(1003).text(), QStringLiteral("ノート番号"));
        QCOMPARE(control<QLabel>(1006).text(), QStringLiteral("WaveEntry情報"));
        QCOMPARE(control<QPushButton>(1008).text(), QStringLiteral("再生(space)"));
        QCOMPARE(control<QPushButton>(1000).text(), QStringLiteral("Wave出力"));
        QVERIFY(!control<QPushButton>(1000).isEnabled());
        QVERIFY(control<QLineEdit>(1007).isReadOnly() && control<QLineEdit>(1010).isReadOnly());
        QCOMPARE(control<QWidget>(1001).font().families().value(0), QStringLiteral("ＭＳ ゴシック"));
        QVERIFY(control<QLabel>(1009).text().isEmpty());
        QCOMPARE(instruments().count(), 0);
        QCOMPARE(notes().count(), 0);
    }

    void loadingListsTheInstrumentsAndShowsTheFirst()
    {
        load(rom_);
        QVERIFY(shell_->messages.empty());
        QCOMPARE(control<QLabel>(1009).text(), QStringLiteral("KX4M TALMIR"));
        QCOMPARE(instruments().count(), 128);
        QCOMPARE(instruments().item(0)->text(), QStringLiteral("0\tメロディ楽器(PCM)[00h]"));
        QCOMPARE(instruments().item(0x7F)->text(), QStringLiteral("7F\tパルス波Ch1[01h]"));
        QCOMPARE(instruments().currentRow(), 0);
        QCOMPARE(lines(notes()), QStringList{QStringLiteral("ノート番号の影響を受けません")});
        QCOMPARE(field(1007), QStringLiteral("00 3C 00 00 00 10 00 08 00 00 00 00 "));
        QVERIFY(field(1010).isEmpty());
        QCOMPARE(shell_->dialogFilters, std::vector<std::string>{std::string("GBAROM\0*.gba\0\0", 14)});

        // A cancelled dialog keeps the image and the lists.
        instruments().setCurrentRow(9);
        QTest::mouseClick(&control<QPushButton>(1005), Qt::LeftButton);
        QCOMPARE(instruments().count(), 128);
        QCOMPARE(instruments().currentRow(), 9);
        QCOMPARE(notes().count(), 7);
    }

    void selectingAnInstrumentThenANoteFillsTheRecordFields()
    {
        load(rom_);
        instruments().setCurrentRow(9);
        QCOMPARE(notes().count(), 7);
        QCOMPARE(notes().item(1)->text(), QStringLiteral("01       同上"));
        QCOMPARE(notes().currentRow(), 0);
        QVERIFY(field(1007).startsWith(QStringLiteral("40 00 00 00 ")));
        QVERIFY(field(1010).isEmpty());

        notes().setCurrentRow(5);
        QVERIFY(field(1010).startsWith(QStringLiteral("01 3C 00 00 ")));  // the pulse sub-instrument
        instruments().setCurrentRow(0xA);
        QCOMPARE(lines(notes()), QStringList{QStringLiteral("エラー")});
        QVERIFY(field(1010).isEmpty());
    }

    void thePlayButtonAndDoubleClicksPlayTheChosenSample()
    {
        load(rom_);
        instruments().setCurrentRow(0xB);
        QTest::mouseClick(&control<QPushButton>(1008), Qt::LeftButton);
        QCOMPARE(output_->plays, 1);
        QCOMPARE(std::filesystem::file_size(playFile()), 44u + sound_testing::kSampleBLength);
        // Started, not still playing: a short sample may be over by now on a busy machine.
        QVERIFY(output_->lastStart == sound::PlayStart::Started);

        // Drum 1 is a pulse wave: nothing plays, nothing is said.
        notes().setCurrentRow(1);
        QTest::mouseClick(&control<QPushButton>(1008), Qt::LeftButton);
        QCOMPARE(output_->plays, 1);

        doubleClick(notes(), 2);
        QCOMPARE(notes().currentRow(), 2);
        QCOMPARE(output_->plays, 2);
        QCOMPARE(std::filesystem::file_size(playFile()), 48u);

        doubleClick(instruments(), 0);
        QCOMPARE(output_->plays, 3);
        QVERIFY(shell_->messages.empty());
    }

    void theSpaceKeyPlaysOnEveryPressOnceAnImageIsHeld()
    {
        pressSpace();
        QCOMPARE(output_->plays, 0);

        // The click leaves the focus on the ROM button, which must not take the key.
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        load(rom_);
        QCOMPARE(QApplication::focusWidget(), &control<QPushButton>(1005));
        const std::size_t dialogs = shell_->openDialogTitles.size();
        pressSpace();
        QCOMPARE(output_->plays, 1);
        QCOMPARE(shell_->openDialogTitles.size(), dialogs);
        instruments().setFocus();
        // Held down: each auto-repeated press plays again.
        pressSpace(false);
        pressSpace(false);
        pressSpace(true);
        QCOMPARE(output_->plays, 4);

        // A focused play button plays once, from the key alone.
        control<QPushButton>(1008).setFocus(Qt::TabFocusReason);
        pressSpace();
        QCOMPARE(output_->plays, 5);
    }

    void theCheckBoxRefillsTheListOnlyOnceAGameIsRecognised()
    {
        QTest::mouseClick(&control<QCheckBox>(1011), Qt::LeftButton);
        QVERIFY(control<QCheckBox>(1011).isChecked());
        QCOMPARE(instruments().count(), 0);

        load(rom_);
        QCOMPARE(instruments().count(), 0x81);
        QCOMPARE(instruments().item(0x80)->text(), QStringLiteral("80\tパルス波Ch2[02h]"));
        instruments().setCurrentRow(0x80);

        QTest::mouseClick(&control<QCheckBox>(1011), Qt::LeftButton);
        QCOMPARE(instruments().count(), 128);
        QCOMPARE(instruments().currentRow(), 0);
        QCOMPARE(lines(notes()), QStringList{QStringLiteral("ノート番号の影響を受けません")});
    }

    void anUnrecognisedImageLeavesTheListsButPlaysNothing()
    {
        load(rom_);
        instruments().setCurrentRow(9);
        const QStringList shown = lines(notes());
        load(writeRom("other.gba", sound_testing::SoundRomBuilder("ABCD", 0, 0x200).take()));

        QCOMPARE(shell_->messages.size(), std::size_t{1});
        QCOMPARE(shell_->messages[0].text, std::string("該当するROMではありません"));
        QCOMPARE(instruments().count(), 128);
        QCOMPARE(lines(notes()), shown);
        QTest::mouseClick(&control<QPushButton>(1008), Qt::LeftButton);
        pressSpace();
        instruments().setCurrentRow(0);
        QCOMPARE(lines(notes()), shown);
        QCOMPARE(output_->plays, 0);

        // Toggling the box without a recognised game changes nothing.
        QTest::mouseClick(&control<QCheckBox>(1011), Qt::LeftButton);
        QCOMPARE(instruments().count(), 128);
    }
};

QTEST_MAIN(SonnaryWindowTest)
#include "sonnary_window_test.moc"
