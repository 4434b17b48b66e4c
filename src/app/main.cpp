// studlab: design and analyse stud-poker games played against a dealer.
#include <QApplication>
#include <QTranslator>
#include <filesystem>

#include "app/application_setup.h"
#include "app/services/dialogs.h"
#include "app/studlab_model.h"
#include "app/studlab_windows.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QTranslator translator;
    studlab::SetUpApplication(app, translator);

    studlab::TStudlabModel model;
    model.Table.Cache().SetGamesDir(std::filesystem::path(
        (QCoreApplication::applicationDirPath() + "/Games").toStdU16String()));
    studlab::TPlatformDialogs dialogs;
    studlab::TStudlabWindows windows(model, dialogs);
    windows.Start();
    return QApplication::exec();
}
