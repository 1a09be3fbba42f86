// Keldra, the unit transplant tool. With a subcommand it runs on the command line and opens no
// window (no display is needed); otherwise it opens its window, with the ROM image named by the
// only argument already opened, if there is one.

#include "rom/game_text.hpp"
#include "shell/files.hpp"
#include "shell/program_folder.hpp"
#include "shell/qt/qt_shell.hpp"
#include "shell/qt/qt_text.hpp"
#include "shell/qt/system_texts.hpp"
#include "transplant/keldra_cli.hpp"
#include "transplant/window/keldra_window.hpp"

#include <QApplication>

#include <iostream>
#include <string>
#include <vector>

namespace {

int runWindow(int argc, char* argv[])
{
    QApplication application(argc, argv);
    shell::qt::installJapaneseSystemTexts(application);

    shell::qt::QtShell shell;
    transplant::KeldraWindow window(
        shell, rom::characterTableFrom(shell::readWholeFile(shell, rom::defaultCharacterTablePath())),
        shell::programFolder());
    shell.setOwner(&window);
    window.show();

    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1) {
        shell.answerNextOpenWith(shell::qt::toPath(arguments.at(1)));
        window.openRom();
    }
    return QApplication::exec();
}

}  // namespace

int main(int argc, char* argv[])
{
    // A subcommand, or anything that cannot be "Keldra ROM" (an option, more than one argument),
    // goes to the command line, which runs it or prints the usage; only "Keldra [ROM]" opens the
    // window.
    const bool windowArguments = argc == 1 || (argc == 2 && argv[1][0] != '-');
    if (argc > 1 && (transplant::isKeldraCommand(argv[1]) || !windowArguments)) {
        const std::vector<std::string> arguments(argv + 1, argv + argc);
        return transplant::runKeldraCommand(arguments, std::cout, std::cerr);
    }
    return runWindow(argc, argv);
}
