// The sprite compressor's window, driven through its buttons with a scripted shell.

#include "shell/qt/qt_text.hpp"
#include "sprite/window/image_view.hpp"
#include "sprite/window/tessivo_window.hpp"
#include "tests/doubles/scripted_shell.hpp"
#include "tests/sprite/sprite_test_files.hpp"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <fstream>

using testing_doubles::ScriptedShell;

class TessivoWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir folder_;
    std::unique_ptr<ScriptedShell> shell_;
    std::unique_ptr<sprite::TessivoWindow> window_;

    std::filesystem::path write(const char* name, const sprite_test::ByteVector& bytes)
    {
        const std::filesystem::path file = shell::qt::toPath(folder_.filePath(name));
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return file;
    }

    template <class Control>
    Control& control(int id) const
    {
        auto* found = window_->centralWidget()->findChild<Control*>(QString::number(id), Qt::FindDirectChildrenOnly);
        if (found == nullptr)
            qFatal("no control %d", id);
        return *found;
    }
    void click(int id) { QTest::mouseClick(&control<QPushButton>(id), Qt::LeftButton); }
    QString pathText() const { return control<QPlainTextEdit>(1001).toPlainText(); }
    QString sizeText() const { return control<QLabel>(1004).text(); }
    const QImage& preview() const
    {
        return window_->centralWidget()->findChild<sprite::ImageView*>(QString(), Qt::FindDirectChildrenOnly)->image();
    }

    void load(const std::filesystem::path& file)
    {
        shell_->openPaths.push_back(file);
        click(1000);
    }

private Q_SLOTS:
    void init()
    {
        shell_ = std::make_unique<ScriptedShell>();
        window_ = std::make_unique<sprite::TessivoWindow>(*shell_);
        window_->show();
    }

    void everyControlSitsWhereTheLayoutPutsIt()
    {
        QCOMPARE(window_->windowTitle(), QStringLiteral("Tessivo"));
        QCOMPARE(window_->size(), QSize(474, 331));
        QVERIFY(window_->minimumSize() != window_->maximumSize());
        QCOMPARE(control<QPushButton>(1000).text(), QStringLiteral("Bmp読込"));
        QCOMPARE(control<QPushButton>(1002).text(), QStringLiteral("Sprite作成"));
        QCOMPARE(control<QPushButton>(1003).text(), QStringLiteral("Pallet作成"));
        QCOMPARE(sizeText(), QStringLiteral("ビットマップを読み込んでください"));
        QCOMPARE(control<QWidget>(1000).geometry(), QRect(7, 7, 77, 18));
        QCOMPARE(control<QWidget>(1001).geometry(), QRect(88, 4, 353, 30));
        QCOMPARE(control<QWidget>(1002).geometry(), QRect(7, 36, 77, 18));
        QCOMPARE(control<QWidget>(1003).geometry(), QRect(86, 36, 77, 18));
        QCOMPARE(control<QWidget>(1004).geometry(), QRect(171, 37, 256, 16));
        QVERIFY(control<QPlainTextEdit>(1001).isReadOnly());
        QVERIFY(!control<QWidget>(1002).isEnabled() && !control<QWidget>(1003).isEnabled());
        QCOMPARE(preview().size(), QSize(512, 512));
    }

    void aLoadedBitmapShowsItsPathSizeAndPreview()
    {
        sprite_test::BitmapPlan plan;
        plan.colours = {0x000000, 0x102030};
        const std::filesystem::path file = write("a.bmp", sprite_test::bitmapFile(plan));
        load(file);
        QVERIFY(shell_->messages.empty());
        QCOMPARE(pathText(), shell::qt::pathText(file));
        QCOMPARE(sizeText(), QStringLiteral("幅256x高さ64"));
        QVERIFY(control<QWidget>(1002).isEnabled() && control<QWidget>(1003).isEnabled());
        QCOMPARE(preview().pixel(1, 0), qRgb(0x10, 0x20, 0x30));  // pixel (1, 0) is index 1
        QCOMPARE(preview().pixel(16 + 3, 64 + 10 + 3), qRgb(0x10, 0x20, 0x30));  // swatch 1
    }

    void aRefusedBitmapKeepsTheFieldsAndTheButtons()
    {
        const std::filesystem::path good = write("good.bmp", sprite_test::bitmapFile({}));
        load(good);
        sprite_test::ByteVector bad = sprite_test::bitmapFile({});
        sprite_test::putU32(bad, 2, static_cast<std::uint32_t>(bad.size() + 1));
        load(write("bad.bmp", bad));
        QCOMPARE(shell_->texts(), std::vector<std::string>{"ファイルサイズが不正です"});
        QVERIFY(!shell_->messages[0].caption);
        QCOMPARE(pathText(), shell::qt::pathText(good));
        QCOMPARE(sizeText(), QStringLiteral("幅256x高さ64"));
        QVERIFY(control<QWidget>(1002).isEnabled());
        QCOMPARE(preview().pixel(0, 0), window_->palette().color(QPalette::Button).rgb());
    }

    void theMakeButtonsSaveAndReport()
    {
        load(write("c.bmp", sprite_test::bitmapFile({})));
        const std::filesystem::path spriteFile = shell::qt::toPath(folder_.filePath("c.dat"));
        shell_->savePaths.push_back(spriteFile);
        click(1002);
        QCOMPARE(std::filesystem::file_size(spriteFile), std::uintmax_t{9220});
        shell_->savePaths.push_back(std::nullopt);
        click(1003);
        QCOMPARE(shell_->texts(), (std::vector<std::string>{"ファイルの保存に成功しました", "キャンセルされました"}));
        QCOMPARE(shell_->messages[0].caption, shell::Caption("スプライトの作成"));
        QCOMPARE(shell_->messages[1].caption, shell::Caption("パレットの作成"));
    }
};

QTEST_MAIN(TessivoWindowTest)
#include "tessivo_window_test.moc"
