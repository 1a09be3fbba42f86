// Tessivo's window, loaded by the program only when the window opens.

#include "shell/qt/window_start.hpp"
#include "shell/tool_start.hpp"
#include "sprite/window/tessivo_window.hpp"

#include <QApplication>

extern "C" int suiteRunWindow(int argc, char* argv[])
{
    return shell::qt::runToolWindow(argc, argv, [](shell::qt::QtShell& shell, const auto&) {
        sprite::TessivoWindow window(shell);
        shell.setOwner(&window);
        window.show();
        return QApplication::exec();
    });
}
