// Morvane, the unit animation editor. With a subcommand it runs on the command line and opens no
// window (no display is needed); otherwise it opens its window, which asks for the ROM image at
// start, or takes the image named by the only argument instead of asking.

#include "editor/morvane_cli.hpp"
#include "editor/window/morvane_window.hpp"
#include "rom/game_text.hpp"
#include "shell/command_line.hpp"
#include "shell/program_folder.hpp"
#include "shell/qt/qt_shell.hpp"
#include "shell/qt/qt_text.hpp"
#include "shell/qt/system_texts.hpp"

#include <QApplication>

#include <iostream>
#include <string>
#include <vector>

namespace {

// The exit status when the start-up ends without a ROM image (cancelled or unreadable): the
// program did not do what it was started for, as a failed command-line run reports it.
constexpr int kExitNoImage = shell::kExitFailed;

int runWindow(int argc, char* argv[])
{
    QApplication application(argc, argv);
    shell::qt::installJapaneseSystemTexts(application);

    shell::qt::QtShell shell;
    editor::MorvaneWindow window(shell, rom::defaultCharacterTablePath(), shell::programFolder());
    shell.setOwner(&window);
    window.show();

    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1)
        shell.answerNextOpenWith(shell::qt::toPath(arguments.at(1)));
    if (!window.start())
        return kExitNoImage;
    return QApplication::exec();
}

}  // namespace

int main(int argc, char* argv[])
{
    // A subcommand, or anything that cannot be "Morvane ROM" (an option, more than one argument),
    // goes to the command line, which runs it or prints the usage; only "Morvane [ROM]" opens the
    // window.
    const bool windowArguments = argc == 1 || (argc == 2 && argv[1][0] != '-');
    if (argc > 1 && (editor::isMorvaneCommand(argv[1]) || !windowArguments)) {
        const std::vector<std::string> arguments(argv + 1, argv + argc);
        return editor::runMorvaneCommand(arguments, std::cout, std::cerr);
    }
    return runWindow(argc, argv);
}
