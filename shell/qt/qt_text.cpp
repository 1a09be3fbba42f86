#include "shell/qt/qt_text.hpp"

#include <QFile>

namespace shell::qt {

QString displayText(std::string_view utf8)
{
    QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

std::filesystem::path toPath(const QString& text)
{
#ifdef _WIN32
    return std::filesystem::path(text.toStdWString());
#else
    // File names on POSIX are bytes in the locale's encoding; QFile knows which.
    const QByteArray bytes = QFile::encodeName(text);
    return std::filesystem::path(std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())));
#endif
}

QString pathText(const std::filesystem::path& path)
{
#ifdef _WIN32
    return QString::fromStdWString(path.native());
#else
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
#endif
}

}  // namespace shell::qt
