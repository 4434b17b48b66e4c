#include "app/application_setup.h"

#include <QApplication>
#include <QByteArray>
#include <QFont>
#include <QLibraryInfo>
#include <QStyleFactory>
#include <QTranslator>
#include <clocale>

namespace studlab {

void SetUpApplication(QApplication& app, QTranslator& translator) {
    QApplication::setApplicationName("studlab");
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    // Comic Sans MS is a Windows font; Comic Neue looks alike. Where neither is installed the
    // default font serves.
    QFont::insertSubstitution("Comic Sans MS", "Comic Neue");
    if (translator.load("qtbase_ru", QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&translator);
    }
    app.setQuitOnLastWindowClosed(false);
    // Qt has set the C library's locale to the user's; numbers in files and the engine's texts
    // are written and read in one notation whatever the user's country.
    std::setlocale(LC_NUMERIC, "C");
}

void UseRussianLocale() {
    // Qt takes the system locale from these variables, LC_ALL first. The C library's locale
    // follows them where Russian is installed and is otherwise the plain one; numbers are read
    // in one notation anyway (see above).
    qputenv("LC_ALL", "ru_RU.UTF-8");
}

}  // namespace studlab
