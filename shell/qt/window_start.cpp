#include "shell/qt/window_start.hpp"

#include "shell/command_line.hpp"
#include "shell/qt/qt_text.hpp"
#include "shell/qt/system_texts.hpp"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace shell::qt {
namespace {

QtMessageHandler previousHandler = nullptr;
std::string programName;

// Qt's fatal messages end in abort(); the one a tool meets in practice is a display that cannot
// be opened. The message is shown, and the tool ends as a failed run does.
void endOnFatal(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type != QtFatalMsg) {
        if (previousHandler)
            previousHandler(type, context, message);
        return;
    }
    std::fprintf(stderr, "%s: the window cannot be opened: %s\n", programName.c_str(),
                 message.toUtf8().constData());
    std::fflush(stderr);
    std::_Exit(kExitFailed);
}

}  // namespace

int runToolWindow(int argc, char* argv[], const WindowRun& run)
{
    // The program's name without the ".exe" that Windows gives it.
    programName = argc > 0 ? shell::pathText(pathFromUtf8(argv[0]).stem()) : std::string();
    previousHandler = qInstallMessageHandler(endOnFatal);
    QApplication application(argc, argv);
    installJapaneseSystemTexts(application);
    QtShell shell;
    const QStringList arguments = QApplication::arguments();
    std::optional<std::filesystem::path> argument;
    if (arguments.size() > 1)
        argument = toPath(arguments.at(1));
    return run(shell, argument);
}

}  // namespace shell::qt
