// Vistrel's window, loaded by the program only when the window opens: in file mode with the sprite
// file named by the program's argument when that names an existing file.

#include "shell/qt/window_start.hpp"
#include "shell/tool_start.hpp"
#include "sprite/window/vistrel_window.hpp"

#include <QApplication>

extern "C" int suiteRunWindow(int argc, char* argv[])
{
    return shell::qt::runToolWindow(argc, argv, [](shell::qt::QtShell& shell, const auto& argument) {
        sprite::VistrelWindow window(shell);
        shell.setOwner(&window);
        window.show();
        window.start(argument);
        return QApplication::exec();
    });
}
