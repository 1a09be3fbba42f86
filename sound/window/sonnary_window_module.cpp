// Sonnary's window, loaded by the program only when the window opens: with the ROM image named by
// the program's argument already loaded, if there is one.

#include "shell/qt/window_start.hpp"
#include "shell/tool_start.hpp"
#include "sound/playback/system_sound_output.hpp"
#include "sound/window/sonnary_window.hpp"

#include <QApplication>

extern "C" int suiteRunWindow(int argc, char* argv[])
{
    return shell::qt::runToolWindow(argc, argv, [](shell::qt::QtShell& shell, const auto& argument) {
        sound::SystemSoundOutput output;
        sound::SonnaryWindow window(shell, output);
        shell.setOwner(&window);
        window.show();
        if (argument)
            window.openRom(*argument);
        return QApplication::exec();
    });
}
