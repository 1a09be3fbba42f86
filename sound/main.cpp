// Sonnary, the sound sample extractor. With a subcommand it runs on the command line and opens no
// window (no display is needed); otherwise it opens its window, with the ROM image named by the
// first argument already loaded, if there is one.

#include "shell/qt/qt_shell.hpp"
#include "shell/qt/qt_text.hpp"
#include "shell/qt/system_texts.hpp"
#include "sound/playback/sdl_sound_output.hpp"
#include "sound/sonnary_cli.hpp"
#include "sound/window/sonnary_window.hpp"

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
    sound::SdlSoundOutput output;
    sound::SonnaryWindow window(shell, output);
    shell.setOwner(&window);
    window.show();

    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1) {
        shell.answerNextOpenWith(shell::qt::toPath(arguments.at(1)));
        window.loadRom();
    }
    return QApplication::exec();
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc > 1 && sound::isSonnaryCommand(argv[1])) {
        const std::vector<std::string> arguments(argv + 1, argv + argc);
        sound::SdlSoundOutput output;
        return sound::runSonnaryCommand(arguments, std::cout, std::cerr, output);
    }
    return runWindow(argc, argv);
}
