// Keldra's window, loaded by the program only when the window opens. "Keldra ROM" opens the window
// with ROM opened as "開く" opens it.

#include "rom/game_text.hpp"
#include "shell/files.hpp"
#include "shell/program_folder.hpp"
#include "shell/qt/window_start.hpp"
#include "shell/tool_start.hpp"
#include "transplant/window/keldra_window.hpp"

#include <QApplication>

extern "C" int suiteRunWindow(int argc, char* argv[])
{
    return shell::qt::runToolWindow(
        argc, argv,
        [](shell::qt::QtShell& shell, const std::optional<std::filesystem::path>& rom) {
            transplant::KeldraWindow window(
                shell,
                rom::characterTableFrom(
                    shell::readWholeFile(shell, rom::characterTablePathIn(shell::programFolder()))),
                shell::programFolder());
            shell.setOwner(&window);
            window.show();
            if (rom)
                window.openRomFile(*rom);
            return QApplication::exec();
        });
}
