#pragma once
// The seam between the tools' core and the user. The core shows message boxes and asks for paths
// at the moment it meets a failure or needs a file; it does so through this interface, which the
// Qt window, the command line and the tests each implement in their own way.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace shell {

enum class Buttons { Ok, OkCancel, YesNo };
enum class Icon { None, Information, Warning, Error, Question };
enum class Answer { Ok, Cancel, Yes, No };

// A message box caption. `std::nullopt` asks for the system's default title; an empty string is a
// deliberately empty title bar (the file failure message uses one).
using Caption = std::optional<std::string>;

// Shown for every file that cannot be read or written.
inline constexpr std::string_view kFileOpenFailed = "ファイルオープンに失敗";

class Shell {
public:
    virtual ~Shell() = default;

    // Texts are UTF-8. Returns the button the user pressed.
    virtual Answer message(std::string_view text, const Caption& caption, Buttons buttons,
                           Icon icon) = 0;

    // `filter` is a dialog filter text (see file_filter.hpp). Nothing means cancelled.
    virtual std::optional<std::filesystem::path> askOpenPath(std::string_view filter,
                                                             std::string_view title) = 0;
    virtual std::optional<std::filesystem::path> askSavePath(std::string_view filter,
                                                             std::string_view title) = 0;

    // A file that could not be read or written. The windows show the one file failure message
    // (kFileOpenFailed, warning icon, empty caption); the command line also names the file.
    virtual void fileFailure(const std::filesystem::path& path);

    // Detail that only the command line prints, after the message it explains: the windows keep
    // their exact texts, a script's user learns what exactly fell short.
    virtual void detail(std::string_view /*text*/) {}
};


}  // namespace shell
