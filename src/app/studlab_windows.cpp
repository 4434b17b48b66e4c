#include "app/studlab_windows.h"

#include <QCoreApplication>
#include <QEvent>
#include <initializer_list>

#include "app/empty_window.h"
#include "app/start_window.h"
#include "design/ui/actions_window.h"
#include "design/ui/costs_window.h"
#include "design/ui/design_file_commands.h"
#include "design/ui/min_ace_king_dialog.h"
#include "design/ui/min_pair_dialog.h"
#include "design/ui/payouts_window.h"
#include "design/ui/round_straight_dialog.h"
#include "profit/exact/strategy_shelf.h"
#include "profit/ui/exact_analysis.h"
#include "profit/ui/game_report_window.h"
#include "profit/ui/graph_window.h"
#include "profit/ui/pay_solver_window.h"
#include "profit/ui/profit_window.h"
#include "profit/ui/return_table_window.h"
#include "profit/ui/statistics_window.h"
#include "profit/ui/strategy_window.h"
#include "table/ui/combinations_window.h"
#include "table/ui/decision_list_window.h"
#include "table/ui/decision_window.h"
#include "widgets/window_look.h"

namespace studlab {

namespace {

constexpr const char* kUnsavedDesignQuestion =
    "Конструкция игры изменена после последнего сохранения или загрузки. Сохранить её перед "
    "выходом?";

}  // namespace

TStudlabWindows::TStudlabWindows(TGame& game, IDialogs& dialogs)
    : m_game(game),
      m_dialogs(dialogs),
      m_savedDesign(game.Design),
      m_exact(std::make_unique<TExactAnalysis>(game.Design, game.Settings)),
      m_start(std::make_unique<TStartWindow>()),
      m_payouts(std::make_unique<TPayoutsWindow>(
          game.Design, dialogs,
          [&game](const std::string& name) { game.Table.SetGameName(name); })),
      m_actions(std::make_unique<TActionsWindow>(game.Design)),
      m_costs(std::make_unique<TCostsWindow>(game.Design)),
      m_profit(std::make_unique<TProfitWindow>(game.Profit, game.Table, game.Design, game.Settings,
                                               dialogs, *m_exact)),
      m_minPair(std::make_unique<TMinPairDialog>(game.Design)),
      m_minAceKing(std::make_unique<TMinAceKingDialog>(game.Design)),
      m_roundStraight(std::make_unique<TRoundStraightDialog>(game.Design)),
      m_decisions(std::make_unique<TDecisionWindow>(game.Table, game.Settings, dialogs)),
      m_combinations(std::make_unique<TCombinationsWindow>(game.Table)),
      m_empty(std::make_unique<TEmptyWindow>()),
      m_statistics(std::make_unique<TStatisticsWindow>(game.Profit)),
      m_decisionList(std::make_unique<TDecisionListWindow>(game.Table)),
      m_graph(std::make_unique<TGraphWindow>(game.Profit, dialogs)),
      m_strategy(std::make_unique<TStrategyWindow>(game.Design, game.Settings, game.Table, *m_exact,
                                                   dialogs)),
      m_returnTable(std::make_unique<TReturnTableWindow>(*m_exact)),
      m_paySolver(std::make_unique<TPaySolverWindow>(game.Design, game.Settings)),
      m_report(std::make_unique<TGameReportWindow>(game.Design, game.Settings, game.Table, *m_exact,
                                                   dialogs)) {
    ConnectStartPicture();
    ConnectConstructor();
    ConnectDecisionWindow();
    ConnectProfitWindow();
    // The window manager may offer a close box even where the window asks for none: on a main
    // window it acts as "выход".
    for (QWidget* window : std::initializer_list<QWidget*>{
             m_payouts.get(), m_actions.get(), m_costs.get(), m_profit.get(), m_decisions.get()})
        window->installEventFilter(this);
}

TStudlabWindows::~TStudlabWindows() = default;

void TStudlabWindows::KeepStrategiesOn(std::shared_ptr<TStrategyShelf> shelf) {
    m_exact->KeepStrategiesOn(std::move(shelf));
}

void TStudlabWindows::Start() {
    m_start->show();
}

std::vector<QWidget*> TStudlabWindows::Windows() const {
    return {m_start.get(),        m_payouts.get(),      m_actions.get(),    m_costs.get(),
            m_profit.get(),       m_minPair.get(),      m_minAceKing.get(), m_roundStraight.get(),
            m_decisions.get(),    m_combinations.get(), m_empty.get(),      m_statistics.get(),
            m_decisionList.get(), m_graph.get(),        m_strategy.get(),   m_returnTable.get(),
            m_paySolver.get(),    m_report.get()};
}

QWidget* TStudlabWindows::Window(const QString& name) const {
    for (QWidget* window : Windows()) {
        if (window->objectName() == name) return window;
    }
    return nullptr;
}

void TStudlabWindows::ConnectStartPicture() {
    connect(m_start.get(), &TStartWindow::PictureClicked, this,
            [this] { Move(m_start.get(), m_payouts.get()); });
    connect(m_start.get(), &TStartWindow::Closed, this, &TStudlabWindows::EndProgram);
}

void TStudlabWindows::ConnectConstructor() {
    TPayoutsWindow* payouts = m_payouts.get();
    connect(payouts, &TPayoutsWindow::NextWindowRequested, this,
            [this] { Move(m_payouts.get(), m_actions.get()); });
    connect(payouts, &TPayoutsWindow::DecisionWindowRequested, this,
            [this] { Move(m_payouts.get(), m_decisions.get()); });
    connect(payouts, &TPayoutsWindow::ProfitWindowRequested, this, [this] {
        m_profit->ShowCyclesControls();
        Move(m_payouts.get(), m_profit.get());
    });
    connect(payouts, &TPayoutsWindow::ExitRequested, this,
            [this] { RequestExit(m_payouts.get()); });
    connect(payouts, &TPayoutsWindow::RoundStraightDialogRequested, this,
            [this] { OpenOptionDialog(m_roundStraight.get()); });
    connect(payouts, &TPayoutsWindow::MinPairDialogRequested, this,
            [this] { OpenOptionDialog(m_minPair.get()); });
    connect(payouts, &TPayoutsWindow::MinAceKingDialogRequested, this,
            [this] { OpenOptionDialog(m_minAceKing.get()); });
    connect(payouts, &TPayoutsWindow::PaySolverRequested, this,
            [this] { OpenBeside(m_paySolver.get()); });
    connect(payouts, &TPayoutsWindow::DesignLoaded, this, &TStudlabWindows::RefreshDesignViews);
    connect(payouts, &TPayoutsWindow::DesignLoaded, this, &TStudlabWindows::RememberDesign);
    connect(payouts, &TPayoutsWindow::DesignSaved, this, &TStudlabWindows::RememberDesign);

    connect(m_actions.get(), &TActionsWindow::PreviousWindowRequested, this,
            [this] { Move(m_actions.get(), m_payouts.get()); });
    connect(m_actions.get(), &TActionsWindow::NextWindowRequested, this,
            [this] { Move(m_actions.get(), m_costs.get()); });
    connect(m_costs.get(), &TCostsWindow::PreviousWindowRequested, this,
            [this] { Move(m_costs.get(), m_actions.get()); });
}

void TStudlabWindows::ConnectDecisionWindow() {
    TDecisionWindow* decisions = m_decisions.get();
    decisions->ChooseDesignFile = [this] { return AskForDesignFile(m_decisions.get(), m_dialogs); };
    connect(decisions, &TDecisionWindow::ConstructorRequested, this,
            [this] { Move(m_decisions.get(), m_payouts.get()); });
    connect(decisions, &TDecisionWindow::ProfitWindowRequested, this,
            [this] { Move(m_decisions.get(), m_profit.get()); });
    connect(decisions, &TDecisionWindow::ExitRequested, this,
            [this] { RequestExit(m_decisions.get()); });
    connect(decisions, &TDecisionWindow::CombinationsWindowRequested, this,
            [this] { OpenBeside(m_combinations.get()); });
    connect(decisions, &TDecisionWindow::DecisionListRequested, this,
            [this] { OpenBeside(m_decisionList.get()); });
    connect(decisions, &TDecisionWindow::DesignLoaded, this, &TStudlabWindows::RefreshDesignViews);
    connect(decisions, &TDecisionWindow::DesignLoaded, this, &TStudlabWindows::RememberDesign);
    connect(decisions, &TDecisionWindow::SettingsChanged, m_profit.get(),
            &TProfitWindow::RefreshFromSettings);
    // The list windows show what the last decision left, whether they are open or not.
    connect(decisions, &TDecisionWindow::Rendered, m_combinations.get(),
            &TCombinationsWindow::Render);
    connect(decisions, &TDecisionWindow::Rendered, m_decisionList.get(),
            &TDecisionListWindow::Render);
}

void TStudlabWindows::ConnectProfitWindow() {
    TProfitWindow* profit = m_profit.get();
    profit->DesignEdited = [this] { return m_game.Design != m_savedDesign; };
    connect(profit, &TProfitWindow::ConstructorRequested, this,
            [this] { Move(m_profit.get(), m_payouts.get()); });
    connect(profit, &TProfitWindow::DecisionWindowRequested, this,
            [this] { Move(m_profit.get(), m_decisions.get()); });
    connect(profit, &TProfitWindow::ExitRequested, this, [this] { RequestExit(m_profit.get()); });
    connect(profit, &TProfitWindow::StatisticsWindowRequested, this,
            [this] { OpenBeside(m_statistics.get()); });
    // The graph opens beside the window and blocks nothing, so that it can follow a run that
    // "СТОП" must still be able to reach.
    connect(profit, &TProfitWindow::GraphWindowRequested, this,
            [this] { OpenBeside(m_graph.get()); });
    // The strategy and the return table open beside as well: the exact analysis they show goes
    // on in the background while the user works in any window.
    connect(profit, &TProfitWindow::StrategyWindowRequested, this,
            [this] { OpenBeside(m_strategy.get()); });
    connect(profit, &TProfitWindow::ReturnTableWindowRequested, this,
            [this] { OpenBeside(m_returnTable.get()); });
    connect(profit, &TProfitWindow::PaySolverWindowRequested, this,
            [this] { OpenBeside(m_paySolver.get()); });
    connect(profit, &TProfitWindow::ReportWindowRequested, this,
            [this] { OpenBeside(m_report.get()); });
    // Payouts applied from the solver are an edit of the design like one in the constructor.
    connect(m_paySolver.get(), &TPaySolverWindow::DesignEdited, this, [this] {
        RefreshDesignViews();
        m_profit->Render();
    });
    // A run's last hand is dealt again on the decision table at its end; the statistics are
    // published then.
    connect(profit, &TProfitWindow::RunEnded, m_statistics.get(), &TStatisticsWindow::Render);
    connect(profit, &TProfitWindow::RunEnded, m_decisions.get(), &TDecisionWindow::Render);
    connect(profit, &TProfitWindow::TableHandReplaced, m_decisions.get(),
            &TDecisionWindow::ShowRunsLastHand);
    // The statistics and the graph show the same run: their captions say when it no longer
    // belongs to the game as it is.
    connect(profit, &TProfitWindow::FiguresOutdated, this, [this](const QString& changed) {
        const QString note = changed.isEmpty()
                                 ? QString()
                                 : " — получены до смены " + changed + ", к игре не относятся";
        m_statistics->setWindowTitle("статистика раздач" + note);
        m_graph->setWindowTitle("график расчета" + note);
    });
    connect(profit, &TProfitWindow::RunEnded, m_graph.get(), &TGraphWindow::Render);
    connect(profit, &TProfitWindow::RunProgressed, this, [this] {
        if (m_graph->isVisible()) m_graph->RenderRunning();
    });
    connect(profit, &TProfitWindow::FixedCardsReleased, m_decisions.get(),
            &TDecisionWindow::Render);
    connect(profit, &TProfitWindow::SettingsChanged, m_decisions.get(), &TDecisionWindow::Render);
}

bool TStudlabWindows::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Close) return QObject::eventFilter(watched, event);
    event->ignore();
    RequestExit(static_cast<QWidget*>(watched));
    return true;
}

void TStudlabWindows::Move(QWidget* from, QWidget* to) {
    FitOnScreen(to);
    to->show();
    to->raise();
    to->activateWindow();
    from->hide();
}

void TStudlabWindows::OpenBeside(QWidget* window) {
    FitOnScreen(window);
    window->show();
    window->raise();
    window->activateWindow();
}

void TStudlabWindows::OpenOptionDialog(QWidget* dialog) {
    // The option dialogs appear over the middle of the start picture's place.
    CentreOver(dialog, m_start.get());
    OpenBeside(dialog);
}

void TStudlabWindows::RefreshDesignViews() {
    m_payouts->RefreshFromDesign();
    m_actions->RefreshFromDesign();
    m_costs->RefreshFromDesign();
    m_minPair->RefreshFromDesign();
    m_minAceKing->RefreshFromDesign();
    m_roundStraight->RefreshFromDesign();
    m_decisions->Render();
    m_profit->RefreshFromSettings();  // the game named, its table can be cleared
}

void TStudlabWindows::RememberDesign() {
    m_savedDesign = m_game.Design;
    m_profit->Render();
}

void TStudlabWindows::RequestExit(QWidget* from) {
    if (m_game.Design != m_savedDesign) {
        switch (m_dialogs.AskToSave(from, kUnsavedDesignQuestion)) {
            case TSaveAnswer::Save:
                if (!SaveDesignWithDialog(from, m_dialogs, m_game.Design)) return;
                break;
            case TSaveAnswer::Discard:
                break;
            case TSaveAnswer::Cancel:
                return;
        }
    }
    EndProgram();
}

void TStudlabWindows::EndProgram() {
    // "выход" may come while a run lets its pending events through; the run must not go on
    // playing hands in hidden windows.
    m_profit->AbandonRun();
    m_exact->Stop();
    for (QWidget* window : Windows()) window->hide();
    QCoreApplication::exit(0);
}

}  // namespace studlab
