// studlab-screenshots OUTDIR [--quick]: shows each main window of the program in turn and saves a
// picture of it as OUTDIR/<name>.png. tools/screenshots.sh runs it under Xvfb. The windows of the
// exact analysis show the standard game, whose analysis takes minutes; --quick shows the
// fold-or-bet game instead (seconds), to look at the layout.
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTranslator>
#include <cstdio>
#include <cstring>
#include <utility>

#include "app/application_setup.h"
#include "app/game.h"
#include "app/studlab_windows.h"
#include "profit/ui/profit_window.h"
#include "profit/ui/strategy_window.h"
#include "widgets/dialogs.h"

namespace {

void Settle(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

// A hand of the standard game with the insured bet at both stages, decided at its second stage:
// the dealer shows the king of spades, the player holds four hearts and the seven of clubs, buys
// a card, gets the three of hearts, and "РЕШЕНИЕ" values folding, betting and betting insured.
void DecideAHand(studlab::TGame& game) {
    using studlab::TPlayerAction;
    game.Design.SetAllows(1, TPlayerAction::paBetInsured, true);
    game.Design.SetAllows(2, TPlayerAction::paBetInsured, true);
    game.Table.SetGameName("стандартная игра со страховкой");
    game.Table.SelectGame(std::nullopt);
    const auto click = [&](const char* card) {
        game.Table.ClickCard(studlab::CardIdByName(card).value());
    };
    for (const char* card : {"K пик", "2 черви", "5 черви", "9 черви", "J черви", "7 треф"})
        click(card);
    game.Table.Decide();
    if (game.Table.State().Choice1 != "4") {
        std::fprintf(stderr, "the first decision did not buy a card\n");
        return;
    }
    game.Table.ContinueHand();
    click("3 черви");
    game.Table.Decide();
}

// A finished run of a few thousand hands from a fixed seed with its bank, through the window's
// own buttons.
void RunAFewHands(studlab::TGame& game, QWidget* window) {
    game.Profit.Settings().HandCount = "5000";
    game.Profit.Settings().Seed = "2024";
    static_cast<studlab::TProfitWindow*>(window)->RefreshFromSettings();
    window->findChild<QPushButton*>("Button2")->click();
    window->findChild<QPushButton*>("Button6")->click();
}

// The exact analysis of the design through the profitability window's "точный расчет", waited
// for; false when it did not end with its figures.
bool RunTheExactAnalysis(QWidget* window) {
    window->show();
    auto* calculate = window->findChild<QPushButton*>("ExactCalculate");
    calculate->click();
    while (!calculate->isVisible()) Settle(250);
    return window->findChild<QLabel*>("ExactMo")->isVisible();
}

// The strategy window with a hand valued in its field: ace-king with an eight against the
// dealer's nine, among the hands whose play depends most on the cards.
void ValueAHand(QWidget* window) {
    window->show();
    Settle(300);
    window->findChild<QLineEdit*>("HandEdit")->setText("Ah Kc 8d 5s 3h 9s");
    window->findChild<QPushButton*>("EvaluateHand")->click();
}

bool Shoot(QWidget* window, const QDir& out, const char* file) {
    window->show();
    window->raise();
    Settle(300);
    const QString path = out.filePath(QString(file) + ".png");
    if (!window->grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    window->hide();
    std::printf("%s\n", qPrintable(path));
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    studlab::UseRussianLocale();
    QApplication app(argc, argv);
    QTranslator translator;
    studlab::SetUpApplication(app, translator);
    const bool quick = argc == 3 && std::strcmp(argv[2], "--quick") == 0;
    if (argc != 2 && !quick) {
        std::fprintf(stderr, "usage: studlab-screenshots OUTDIR [--quick]\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.exists() && !QDir().mkpath(out.path())) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }

    studlab::TGame game;
    studlab::TPlatformDialogs dialogs;
    studlab::TStudlabWindows windows(game, dialogs);
    game.Table.SetGameName("стандартная игра");
    RunAFewHands(game, windows.Window("TForm4"));
    // The windows of the exact analysis before the hand below changes the design.
    if (quick) game.Design.SetAllows(1, studlab::TPlayerAction::paBuyCard, false);
    if (!RunTheExactAnalysis(windows.Window("TForm4"))) {
        std::fprintf(stderr, "the exact analysis ended without its figures\n");
        return 1;
    }
    ValueAHand(windows.Window("StrategyWindow"));
    const std::pair<const char*, const char*> exactShots[] = {
        {"TForm4", "profitability-window"},
        {"StrategyWindow", "strategy-window"},
        {"ReturnTableWindow", "return-table-window"}};
    for (const auto& [name, file] : exactShots) {
        if (!Shoot(windows.Window(name), out, file)) return 1;
    }
    // The whole grid as "сохранить PNG" writes it.
    const QString grid = out.filePath("strategy-grid.png");
    if (!static_cast<studlab::TStrategyWindow*>(windows.Window("StrategyWindow"))->SavePng(grid)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(grid));
        return 1;
    }
    std::printf("%s\n", qPrintable(grid));
    if (quick) game.Design.SetAllows(1, studlab::TPlayerAction::paBuyCard, true);

    DecideAHand(game);
    const std::pair<const char*, const char*> shots[] = {
        {"TForm12", "start-picture"},        {"TForm1", "constructor-1"},
        {"TForm2", "constructor-2"},         {"TForm3", "constructor-3"},
        {"TForm7", "round-straight-dialog"}, {"TForm8", "decision-window"},
        {"TForm13", "decision-list-window"}, {"TForm14", "graph-window"}};
    for (const auto& [name, file] : shots) {
        if (!Shoot(windows.Window(name), out, file)) return 1;
    }
    return 0;
}
