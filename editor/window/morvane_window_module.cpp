// The window of Morvane, loaded by the program only when a window opens. It asks for the ROM image
// at start, or takes the image named by the program's only argument instead of asking.

#include "editor/window/morvane_window.hpp"
#include "rom/game_text.hpp"
#include "shell/command_line.hpp"
#include "shell/program_folder.hpp"
#include "shell/qt/window_start.hpp"
#include "shell/tool_start.hpp"

#include <QApplication>

#include <type_traits>

namespace {

// The exit status when the start-up ends without a ROM image (cancelled or unreadable): the
// program did not do what it was started for, as a failed command-line run reports it.
constexpr int kExitNoImage = shell::kExitFailed;

int runWindow(shell::qt::QtShell& shell, const std::optional<std::filesystem::path>& image)
{
    editor::MorvaneWindow window(shell, rom::characterTablePathIn(shell::programFolder()), shell::programFolder());
    shell.setOwner(&window);
    window.show();
    if (!window.start(image))
        return kExitNoImage;
    return QApplication::exec();
}

}  // namespace

extern "C" int suiteRunWindow(int argc, char* argv[])
{
    static_assert(std::is_same_v<decltype(&suiteRunWindow), shell::WindowEntry>);
    return shell::qt::runToolWindow(argc, argv, runWindow);
}
