// Vistrel, the sprite viewer. With a subcommand it runs on the command line and opens no window
// (no display is needed); otherwise it opens its window, in file mode with the sprite file named by
// the first argument when that names an existing file.

#include "shell/qt/qt_shell.hpp"
#include "shell/qt/qt_text.hpp"
#include "shell/qt/system_texts.hpp"
#include "sprite/vistrel_cli.hpp"
#include "sprite/window/vistrel_window.hpp"

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
    sprite::VistrelWindow window(shell);
    shell.setOwner(&window);
    window.show();

    const QStringList arguments = QApplication::arguments();
    std::optional<std::filesystem::path> path;
    if (arguments.size() > 1)
        path = shell::qt::toPath(arguments.at(1));
    window.start(path);
    return QApplication::exec();
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc > 1 && sprite::isVistrelCommand(argv[1])) {
        const std::vector<std::string> arguments(argv + 1, argv + argc);
        return sprite::runVistrelCommand(arguments, std::cout, std::cerr);
    }
    return runWindow(argc, argv);
}
