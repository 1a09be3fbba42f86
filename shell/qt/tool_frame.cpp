#include "shell/qt/tool_frame.hpp"

#include "shell/qt/qt_text.hpp"

#include <QFontDatabase>
#include <QPalette>
#include <QWidget>

#include <algorithm>
#include <array>

namespace shell::qt {
namespace {

constexpr std::array<MainWindowFrame, 5> kMainWindows{{
    {Tool::Morvane, "Morvane", 517, 339, false},
    {Tool::Keldra, "ユニット抽出移植ツール", 618, 348, false},
    {Tool::Vistrel, "簡易スプライトビューアー(F5で再読込)", 467, 391, false},
    {Tool::Sonnary, "Sonnary", 453, 383, false},
    {Tool::Tessivo, "Tessivo", 480, 360, true},
}};

constexpr int kFontPixelSize = 12;

// Debian's fonts-ipafont-gothic: the proportional and the fixed-pitch IPA Gothic.
constexpr auto kProportionalFallback = "IPAPGothic";
constexpr auto kFixedPitchFallback = "IPAGothic";

// The Windows face first, then its nearest IPA equivalent, then the other IPA face.
QStringList preferredFamilies(Tool tool)
{
    if (tool == Tool::Sonnary)
        return {QStringLiteral("ＭＳ ゴシック"), kFixedPitchFallback, kProportionalFallback};
    return {QStringLiteral("ＭＳ Ｐゴシック"), kProportionalFallback, kFixedPitchFallback};
}

}  // namespace

const MainWindowFrame& mainWindowFrame(Tool tool)
{
    return *std::ranges::find(kMainWindows, tool, &MainWindowFrame::tool);
}

QSize clientSizeOf(int outerWidth, int outerHeight)
{
    return QSize(outerWidth, outerHeight) - kWindowsFrameAllowance;
}

void applyMainWindowFrame(QWidget& window, Tool tool)
{
    const MainWindowFrame& frame = mainWindowFrame(tool);
    window.setWindowTitle(displayText(frame.title));
    const QSize client = clientSizeOf(frame.outerWidth, frame.outerHeight);
    if (frame.resizable) {
        window.resize(client);
    } else {
        window.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint);
        window.setFixedSize(client);
    }
    applyButtonFaceBackground(window);
}

QFont toolFont(Tool tool)
{
    QStringList families = preferredFamilies(tool);
    // Any face that writes Japanese, for systems that have none of the above.
    for (const QString& family : QFontDatabase::families(QFontDatabase::Japanese)) {
        if (!families.contains(family)) {
            families.append(family);
            break;
        }
    }
    QFont font;
    font.setFamilies(families);
    font.setPixelSize(kFontPixelSize);
    font.setWeight(QFont::Normal);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

void applyButtonFaceBackground(QWidget& window)
{
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Button));
    window.setPalette(palette);
    window.setAutoFillBackground(true);
}

}  // namespace shell::qt
