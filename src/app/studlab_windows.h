#pragma once

#include <QObject>
#include <QWidget>
#include <memory>
#include <vector>

#include "app/game.h"
#include "widgets/dialogs.h"

namespace studlab {

class TPayoutsWindow;
class TStrategyShelf;
class TActionsWindow;
class TCostsWindow;
class TProfitWindow;
class TMinPairDialog;
class TMinAceKingDialog;
class TRoundStraightDialog;
class TDecisionWindow;
class TCombinationsWindow;
class TEmptyWindow;
class TStatisticsWindow;
class TStartWindow;
class TDecisionListWindow;
class TGraphWindow;
class TExactAnalysis;
class TStrategyWindow;
class TReturnTableWindow;
class TPaySolverWindow;
class TGameReportWindow;

// The program's windows, created once in a fixed order and kept until the program ends, and the
// moves between them: the fourteen forms, then the strategy and return-table windows of the exact
// analysis, the pay-table solver and the game's report. Of the main windows (the constructor's
// three, the decision window, the profitability window) one is visible at a time: a move shows the
// target and hides the window it starts from. Minor windows and option dialogs open beside and hide
// nothing. A window that opens is made to fit its screen.
class TStudlabWindows final : public QObject {
    Q_OBJECT
public:
    TStudlabWindows(TGame& game, IDialogs& dialogs);
    ~TStudlabWindows() override;

    // Shows the start picture, the program's main window; the program ends when it closes.
    void Start();
    // Where the exact analysis keeps the strategies it works out, which the game's hands then
    // look their first decisions up in.
    void KeepStrategiesOn(std::shared_ptr<TStrategyShelf> shelf);

    // Every window in the order of its creation, the main window first.
    std::vector<QWidget*> Windows() const;
    // The window of that object name ("TForm8"), or null.
    QWidget* Window(const QString& name) const;

private:
    void ConnectStartPicture();
    void ConnectConstructor();
    void ConnectDecisionWindow();
    void ConnectProfitWindow();

    bool eventFilter(QObject* watched, QEvent* event) override;

    void Move(QWidget* from, QWidget* to);
    void OpenBeside(QWidget* window);
    void OpenOptionDialog(QWidget* dialog);
    void RefreshDesignViews();
    // The design as it stands is the one last saved or loaded.
    void RememberDesign();
    // "выход" or a main window's close box: a design changed since it was last saved or loaded
    // is offered for saving first, and the user may stay.
    void RequestExit(QWidget* from);
    void EndProgram();

    TGame& m_game;
    IDialogs& m_dialogs;
    // The design as last saved or loaded (at start, the default one).
    TGameDesign m_savedDesign;

    // The exact analysis the profitability window and the strategy window share; it outlives
    // them.
    std::unique_ptr<TExactAnalysis> m_exact;
    // In creation order; the start picture comes first and so is the main window.
    std::unique_ptr<TStartWindow> m_start;
    std::unique_ptr<TPayoutsWindow> m_payouts;
    std::unique_ptr<TActionsWindow> m_actions;
    std::unique_ptr<TCostsWindow> m_costs;
    std::unique_ptr<TProfitWindow> m_profit;
    std::unique_ptr<TMinPairDialog> m_minPair;
    std::unique_ptr<TMinAceKingDialog> m_minAceKing;
    std::unique_ptr<TRoundStraightDialog> m_roundStraight;
    std::unique_ptr<TDecisionWindow> m_decisions;
    std::unique_ptr<TCombinationsWindow> m_combinations;
    std::unique_ptr<TEmptyWindow> m_empty;
    std::unique_ptr<TStatisticsWindow> m_statistics;
    std::unique_ptr<TDecisionListWindow> m_decisionList;
    std::unique_ptr<TGraphWindow> m_graph;
    std::unique_ptr<TStrategyWindow> m_strategy;
    std::unique_ptr<TReturnTableWindow> m_returnTable;
    std::unique_ptr<TPaySolverWindow> m_paySolver;
    std::unique_ptr<TGameReportWindow> m_report;
};

}  // namespace studlab
