// studlab: design and analyse stud-poker games played against a dealer.
#include <QApplication>
#include <QTranslator>
#include <filesystem>

#include "app/application_setup.h"
#include "app/game.h"
#include "app/studlab_windows.h"
#include "profit/exact/strategy_shelf.h"
#include "table/cache/decision_cache.h"
#include "widgets/dialogs.h"

int main(int argc, char* argv[]) {
    studlab::UseRussianLocale();
    QApplication app(argc, argv);
    QTranslator translator;
    studlab::SetUpApplication(app, translator);

    studlab::TGame game;
    game.Table.Cache().SetGamesDir(std::filesystem::path(
        (QCoreApplication::applicationDirPath() + "/Games").toStdU16String()));
    // The strategies of the designs analysed are kept beside the decision caches.
    auto strategies = std::make_shared<studlab::TStrategyShelf>(game.Table.Cache().GamesDir());
    game.Table.Hand().SetStrategies(strategies);
    studlab::TPlatformDialogs dialogs;
    studlab::TStudlabWindows windows(game, dialogs);
    windows.KeepStrategiesOn(strategies);
    windows.Start();
    return QApplication::exec();
}
