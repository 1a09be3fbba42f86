#include "shell/qt/system_texts.hpp"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace shell::qt {

void installJapaneseSystemTexts(QCoreApplication& application)
{
    auto* translator = new QTranslator(&application);
    if (translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

}  // namespace shell::qt
