// The sprite viewer's window, driven through its controls with a scripted shell, and the PNG
// encoding of its command line.

#include "shell/qt/qt_text.hpp"
#include "rom/lz77.hpp"
#include "sprite/png_file.hpp"
#include "sprite/window/image_view.hpp"
#include "sprite/window/vistrel_window.hpp"
#include "tests/doubles/scripted_shell.hpp"
#include "tests/window/modal_helper.hpp"

#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include <fstream>

using testing_doubles::ScriptedShell;
using window_testing::whenModalShows;

namespace {

void writeFile(const std::filesystem::path& path, const shell::Bytes& bytes)
{
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

shell::Bytes literalSheet(std::uint32_t size, std::uint8_t fill)
{
    return rom::lz77EncodeLiterals(shell::Bytes(size, fill), size);
}

}  // namespace

class VistrelWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir folder_;
    std::filesystem::path sprite_;
    std::filesystem::path palette_;
    std::filesystem::path rom_;
    std::unique_ptr<ScriptedShell> shell_;
    std::unique_ptr<sprite::VistrelWindow> window_;

    std::filesystem::path path(const char* name) const { return shell::qt::toPath(folder_.filePath(name)); }

    template <class Control>
    Control& control(int id) const
    {
        auto* found = window_->centralWidget()->findChild<Control*>(QString::number(id), Qt::FindDirectChildrenOnly);
        if (found == nullptr)
            qFatal("no control %d", id);
        return *found;
    }
    QString text(int id) const { return control<QLineEdit>(id).text(); }
    bool enabled(int id) const { return control<QWidget>(id).isEnabled(); }
    void click(int id) { QTest::mouseClick(&control<QAbstractButton>(id), Qt::LeftButton); }

    // The canvas: the one child that is not a numbered control.
    QWidget* canvas() const
    {
        for (QWidget* child : window_->centralWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (child->objectName().isEmpty())
                return child;
        }
        return nullptr;
    }

    // Types `keys` into the address dialog once it shows, checks its text, then presses Enter.
    void enterAddress(int buttonId, const QString& keys, const QString& expectedText)
    {
        QString seen;
        whenModalShows([&](QWidget& modal) {
            auto* edit = modal.findChild<QLineEdit*>(QStringLiteral("1000"));
            QTest::keyClicks(edit, keys);
            seen = edit->text();
            QTest::keyClick(edit, Qt::Key_Return);
        });
        click(buttonId);
        QCOMPARE(seen, expectedText);
    }

    void drop(int fieldId, const std::filesystem::path& file)
    {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(shell::qt::pathText(file))});
        QWidget& field = control<QWidget>(fieldId);
        const QPoint at(5, 5);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&field, &enter);
        if (!enter.isAccepted())
            return;
        QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&field, &dropped);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(folder_.isValid());
        sprite_ = path("sprite.dat");
        writeFile(sprite_, literalSheet(0x2000, 0x21));
        palette_ = path("palette.dat");
        writeFile(palette_, shell::Bytes{0, 0, 0x1F, 0, 0xE0, 0x03});
        shell::Bytes rom(0x1000, 0);
        const shell::Bytes stream = literalSheet(0x800, 0x10);
        std::copy(stream.begin(), stream.end(), rom.begin() + 0x200);
        rom[0x42] = 0x1F;
        rom_ = path("game.gba");
        writeFile(rom_, rom);
    }

    void init()
    {
        shell_ = std::make_unique<ScriptedShell>();
        window_ = std::make_unique<sprite::VistrelWindow>(*shell_);
        window_->show();
    }

    void everyControlSitsWhereTheLayoutPutsIt()
    {
        window_->start(path("missing.dat"));
        QCOMPARE(window_->windowTitle(), QStringLiteral("簡易スプライトビューアー(F5で再読込)"));
        QCOMPARE(window_->size(), QSize(461, 362));
        QCOMPARE(window_->minimumSize(), window_->maximumSize());
        struct Expected {
            int id;
            QString text;
            QRect rect;
        };
        const std::vector<Expected> layout{
            {1004, "GBAから読込", {13, 9, 90, 14}},    {1005, "抽出データから読込", {111, 9, 123, 14}},
            {1007, "GBA", {5, 25, 58, 19}},            {1006, "", {66, 24, 373, 20}},
            {1008, "スプライト", {18, 55, 63, 15}},   {1010, "0", {75, 52, 81, 20}},
            {1012, "入力", {162, 53, 63, 20}},         {1009, "パレット", {228, 55, 63, 15}},
            {1011, "0", {289, 52, 81, 20}},            {1013, "入力", {376, 52, 63, 20}},
            {1001, "スプライト", {11, 86, 58, 19}},   {1000, "", {71, 85, 373, 20}},
            {1003, "パレット", {10, 106, 58, 19}},    {1002, "", {71, 105, 373, 20}},
        };
        for (const Expected& expected : layout) {
            QWidget& widget = control<QWidget>(expected.id);
            QCOMPARE(widget.geometry(), expected.rect);
            QString shown;
            if (auto* button = qobject_cast<QAbstractButton*>(&widget))
                shown = button->text();
            else if (auto* label = qobject_cast<QLabel*>(&widget))
                shown = label->text();
            else
                shown = qobject_cast<QLineEdit*>(&widget)->text();
            QCOMPARE(shown, expected.text);
        }
        QVERIFY(control<QLineEdit>(1010).alignment() & Qt::AlignRight);
        QVERIFY(control<QLineEdit>(1006).isReadOnly());
        // Started with a path that names no file: ROM mode, nothing shown.
        QVERIFY(control<QRadioButton>(1004).isChecked());
        QVERIFY(enabled(1007) && enabled(1012) && enabled(1013) && !enabled(1001) && !enabled(1003));
        QVERIFY(static_cast<sprite::ImageView*>(canvas())->image().isNull());
        QVERIFY(shell_->messages.empty());
    }

    void startingWithASpriteFileShowsItInFileMode()
    {
        window_->start(sprite_);
        QVERIFY(control<QRadioButton>(1005).isChecked());
        QVERIFY(enabled(1001) && enabled(1003));
        QVERIFY(!enabled(1007) && !enabled(1012) && !enabled(1013));
        QCOMPARE(text(1000), shell::qt::pathText(sprite_));
        QCOMPARE(canvas()->geometry(), QRect(8, 135, 256, 64));
        QVERIFY(!window_->session().paletteSet());
    }

    void switchingModesFlipsTheButtonsAndLoadsNothing()
    {
        window_->start(std::nullopt);
        click(1005);
        QVERIFY(enabled(1001) && enabled(1003) && !enabled(1007) && !enabled(1012) && !enabled(1013));
        click(1004);
        QVERIFY(!enabled(1001) && !enabled(1003) && enabled(1007) && enabled(1012) && enabled(1013));
        QVERIFY(!window_->session().canvas());
        QVERIFY(shell_->openDialogTitles.empty());
    }

    void theAddressDialogKeepsItsTextHexadecimalAndUpperCase()
    {
        window_->start(std::nullopt);
        enterAddress(1012, QStringLiteral("12G"), QStringLiteral("0"));
        QCOMPARE(text(1010), QStringLiteral("0"));
        enterAddress(1012, QStringLiteral("1a2b"), QStringLiteral("1A2B"));
        QCOMPARE(text(1010), QStringLiteral("1A2B"));
        QCOMPARE(window_->session().spriteAddress(), 0x1A2Bu);
        // The dialog opens on the current address, all of it selected: typing replaces it.
        enterAddress(1012, QStringLiteral("ff"), QStringLiteral("FF"));
        QCOMPARE(window_->session().spriteAddress(), 0xFFu);
    }

    // Escape does not close it.
    void closingTheAddressDialogOtherwiseGivesZero()
    {
        window_->start(std::nullopt);
        enterAddress(1013, QStringLiteral("abc"), QStringLiteral("ABC"));
        bool ownerDisabled = false;
        bool escapeIgnored = false;
        QString title;
        whenModalShows([&](QWidget& modal) {
            ownerDisabled = !control<QWidget>(1013).isEnabled();
            title = modal.windowTitle();
            QTest::keyClick(modal.focusWidget(), Qt::Key_Escape);
            escapeIgnored = modal.isVisible();
            modal.close();
        });
        click(1013);
        QVERIFY(ownerDisabled && escapeIgnored);
        QCOMPARE(title, QStringLiteral("16進数をいれてください"));
        QCOMPARE(text(1011), QStringLiteral("0"));
        QVERIFY(enabled(1013));
        // Entered before any image, the palette address stops the random colours.
        QVERIFY(window_->session().paletteSet());
    }

    void romModeShowsTheStreamAtTheEnteredAddresses()
    {
        window_->start(std::nullopt);
        shell_->openPaths.push_back(rom_);
        click(1007);
        QCOMPARE(text(1006), shell::qt::pathText(rom_));
        enterAddress(1012, QStringLiteral("200"), QStringLiteral("200"));
        QCOMPARE(canvas()->geometry(), QRect(8, 135, 256, 16));
        enterAddress(1013, QStringLiteral("40"), QStringLiteral("40"));
        const auto* view = static_cast<sprite::ImageView*>(canvas());
        QCOMPARE(view->image().pixel(1, 0), qRgb(248, 0, 0));
        // A cancelled dialog frees the image: its path leaves the field.
        click(1007);
        QCOMPARE(text(1006), QString());
        QVERIFY(shell_->messages.empty());
    }

    void f5WithOnlyAPalettePathReloadsThePaletteAndDrawsNothing()
    {
        window_->start(std::nullopt);
        click(1005);
        shell_->openPaths.push_back(palette_);
        click(1003);
        QCOMPARE(text(1002), shell::qt::pathText(palette_));
        QVERIFY(window_->session().paletteSet());
        const std::filesystem::path changing = path("changing.dat");
        writeFile(changing, shell::Bytes{0xFF, 0x7F});
        shell_->openPaths.push_back(changing);
        click(1003);
        writeFile(changing, shell::Bytes{0x1F, 0x00});
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        QTest::keyClick(window_.get(), Qt::Key_F5);
        QCOMPARE(window_->session().palette()[0], (sprite::Rgb{248, 0, 0}));
        QVERIFY(!window_->session().canvas());
        QVERIFY(shell_->messages.empty());
    }

    void filesDroppedOnTheFieldsLoadAsTheButtonsDo()
    {
        window_->start(std::nullopt);
        // In ROM mode the file fields take nothing; the ROM field takes files in either mode.
        drop(1000, sprite_);
        QVERIFY(text(1000).isEmpty());
        drop(1006, rom_);
        QCOMPARE(text(1006), shell::qt::pathText(rom_));
        QVERIFY(window_->session().romLoaded());

        click(1005);
        drop(1002, palette_);
        QCOMPARE(text(1002), shell::qt::pathText(palette_));
        drop(1000, sprite_);
        QCOMPARE(text(1000), shell::qt::pathText(sprite_));
        QCOMPARE(canvas()->geometry(), QRect(8, 135, 256, 64));
        QCOMPARE(static_cast<sprite::ImageView*>(canvas())->image().pixel(0, 0), qRgb(248, 0, 0));
    }

    void pngsKeepTheColoursOrTheIndices()
    {
        sprite::Palette colours{};
        colours[1] = {8, 16, 24};
        colours[2] = {248, 0, 0};
        const sprite::SheetCanvas canvas = sprite::drawSheet(8, shell::Bytes(1000, 0x21), colours);
        const std::optional<shell::Bytes> colour = sprite::encodeSheetPng(canvas, {sprite::PngKind::Colour});
        const std::optional<shell::Bytes> indexed = sprite::encodeSheetPng(canvas, {sprite::PngKind::Indexed});
        QVERIFY(colour && indexed);
        const QImage colourImage = QImage::fromData(colour->data(), static_cast<int>(colour->size()), "PNG");
        const QImage indexedImage = QImage::fromData(indexed->data(), static_cast<int>(indexed->size()), "PNG");
        QCOMPARE(colourImage.size(), QSize(256, 8));
        QCOMPARE(colourImage.pixel(0, 0), qRgb(8, 16, 24));
        QCOMPARE(colourImage.pixel(1, 0), qRgb(248, 0, 0));
        QCOMPARE(colourImage.pixel(255, 7), qRgb(0, 0, 0));  // not reached by 1000 bytes
        QCOMPARE(indexedImage.format(), QImage::Format_Indexed8);
        QCOMPARE(indexedImage.colorCount(), 16);
        QCOMPARE(indexedImage.pixelIndex(0, 0), 1);
        QCOMPARE(indexedImage.pixelIndex(1, 0), 2);
        QCOMPARE(indexedImage.pixelIndex(255, 7), 0);
        QVERIFY(!sprite::encodeSheetPng(sprite::SheetCanvas{}, {sprite::PngKind::Colour}));
    }
};

QTEST_MAIN(VistrelWindowTest)
#include "vistrel_window_test.moc"
