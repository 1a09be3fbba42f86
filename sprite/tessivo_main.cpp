// Tessivo, the sprite compressor. With a subcommand it runs on the command line and opens no
// window (no display is needed); otherwise it opens its window.

#include "shell/qt/qt_shell.hpp"
#include "shell/qt/system_texts.hpp"
#include "sprite/tessivo_cli.hpp"
#include "sprite/window/tessivo_window.hpp"

#include <QApplication>

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char* argv[])
{
    if (argc > 1 && sprite::isTessivoCommand(argv[1])) {
        const std::vector<std::string> arguments(argv + 1, argv + argc);
        return sprite::runTessivoCommand(arguments, std::cout, std::cerr);
    }
    QApplication application(argc, argv);
    shell::qt::installJapaneseSystemTexts(application);

    shell::qt::QtShell shell;
    sprite::TessivoWindow window(shell);
    shell.setOwner(&window);
    window.show();
    return QApplication::exec();
}
