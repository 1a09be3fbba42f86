#pragma once
// The frame the five tools share: the main windows' titles and sizes, the frame allowance that
// turns a Windows outer size into a Qt client size, the shared font and the background.

#include <QFont>
#include <QSize>

#include <string_view>

class QWidget;

namespace shell::qt {

enum class Tool { Morvane, Keldra, Vistrel, Sonnary, Tessivo };

struct MainWindowFrame {
    Tool tool;
    std::string_view title;  // UTF-8
    int outerWidth;          // the size of the whole Windows frame, caption and borders included
    int outerHeight;
    bool resizable;
};

const MainWindowFrame& mainWindowFrame(Tool tool);

// The tools' window sizes are outer sizes of a Windows frame, while Qt sizes a window by its
// client area (a QMainWindow's menu bar counts as client area, as Windows counts it as frame).
// This is what the fixed Windows frame takes: a 23-pixel caption and a 3-pixel border on every
// side. The tools' layouts leave a margin of 6 to 9 pixels inside exactly that frame (Morvane's
// rightmost button ends 8 pixels short of 517 - 6), so a wider allowance would crop controls.
inline constexpr QSize kWindowsFrameAllowance{6, 29};

QSize clientSizeOf(int outerWidth, int outerHeight);

// Title, size and window kind of the tool's main window, and the button-face background. A fixed
// window has a caption, a system menu with close box and a minimise box, and cannot be resized.
void applyMainWindowFrame(QWidget& window, Tool tool);

// The font every control of the tool gets: 12 pixels, normal weight, the Windows face first and
// then Japanese faces found on other systems, so Japanese captions render everywhere.
QFont toolFont(Tool tool);

// The system's button-face colour as the window's background, as the tools' window class has.
void applyButtonFaceBackground(QWidget& window);

}  // namespace shell::qt
