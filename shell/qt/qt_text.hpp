#pragma once
// Conversions between the core's texts and paths and Qt's strings, in one place.

#include <QString>

#include <filesystem>
#include <string_view>

namespace shell::qt {

// A UTF-8 text of the core as a widget shows it: the CR LF line ends that the Windows controls
// expect become the LF that Qt's text widgets break lines at.
QString displayText(std::string_view utf8);

std::filesystem::path toPath(const QString& text);
QString pathText(const std::filesystem::path& path);

}  // namespace shell::qt
