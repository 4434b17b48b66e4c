#include "app/studlab_windows.h"

#include <QCoreApplication>

#include "app/empty_window.h"
#include "app/graph_window.h"
#include "app/start_window.h"
#include "design/ui/actions_window.h"
#include "design/ui/costs_window.h"
#include "design/ui/min_ace_king_dialog.h"
#include "design/ui/min_pair_dialog.h"
#include "design/ui/payouts_window.h"
#include "design/ui/round_straight_dialog.h"
#include "profit/ui/profit_window.h"
#include "profit/ui/statistics_window.h"
#include "table/ui/combinations_window.h"
#include "table/ui/decision_list_window.h"
#include "table/ui/decision_window.h"
#include "widgets/window_look.h"

namespace studlab {

TStudlabWindows::TStudlabWindows(TGame& model, IDialogs& dialogs)
    : m_start(std::make_unique<TForm12>()),
      m_payouts(std::make_unique<TForm1>(model, dialogs)),
      m_actions(std::make_unique<TForm2>(model.Design)),
      m_costs(std::make_unique<TForm3>(model.Design)),
      m_profit(std::make_unique<TForm4>(model, dialogs)),
      m_minPair(std::make_unique<TForm5>(model.Design)),
      m_minAceKing(std::make_unique<TForm6>(model.Design)),
      m_roundStraight(std::make_unique<TForm7>(model.Design)),
      m_decisions(std::make_unique<TForm8>(model, dialogs)),
      m_combinations(std::make_unique<TForm9>(model.Table)),
      m_empty(std::make_unique<TForm10>()),
      m_statistics(std::make_unique<TForm11>(model.Profit)),
      m_decisionList(std::make_unique<TForm13>(model.Table)),
      m_graph(std::make_unique<TForm14>()) {
    ConnectStartPicture();
    ConnectConstructor();
    ConnectDecisionWindow();
    ConnectProfitWindow();
}

TStudlabWindows::~TStudlabWindows() = default;

void TStudlabWindows::Start() {
    m_start->show();
}

std::vector<QWidget*> TStudlabWindows::Windows() const {
    return {m_start.get(),        m_payouts.get(),      m_actions.get(),    m_costs.get(),
            m_profit.get(),       m_minPair.get(),      m_minAceKing.get(), m_roundStraight.get(),
            m_decisions.get(),    m_combinations.get(), m_empty.get(),      m_statistics.get(),
            m_decisionList.get(), m_graph.get()};
}

QWidget* TStudlabWindows::Window(const QString& name) const {
    for (QWidget* window : Windows()) {
        if (window->objectName() == name) return window;
    }
    return nullptr;
}

void TStudlabWindows::ConnectStartPicture() {
    connect(m_start.get(), &TForm12::PictureClicked, this,
            [this] { Move(m_start.get(), m_payouts.get()); });
    connect(m_start.get(), &TForm12::Closed, this, &TStudlabWindows::EndProgram);
}

void TStudlabWindows::ConnectConstructor() {
    TForm1* payouts = m_payouts.get();
    connect(payouts, &TForm1::NextWindowRequested, this,
            [this] { Move(m_payouts.get(), m_actions.get()); });
    connect(payouts, &TForm1::DecisionWindowRequested, this,
            [this] { Move(m_payouts.get(), m_decisions.get()); });
    connect(payouts, &TForm1::ProfitWindowRequested, this, [this] {
        m_profit->ShowCyclesControls();
        Move(m_payouts.get(), m_profit.get());
    });
    connect(payouts, &TForm1::ExitRequested, m_start.get(), &QWidget::close);
    connect(payouts, &TForm1::RoundStraightDialogRequested, this,
            [this] { OpenOptionDialog(m_roundStraight.get()); });
    connect(payouts, &TForm1::MinPairDialogRequested, this,
            [this] { OpenOptionDialog(m_minPair.get()); });
    connect(payouts, &TForm1::MinAceKingDialogRequested, this,
            [this] { OpenOptionDialog(m_minAceKing.get()); });
    connect(payouts, &TForm1::DesignLoaded, this, &TStudlabWindows::RefreshDesignViews);

    connect(m_actions.get(), &TForm2::PreviousWindowRequested, this,
            [this] { Move(m_actions.get(), m_payouts.get()); });
    connect(m_actions.get(), &TForm2::NextWindowRequested, this,
            [this] { Move(m_actions.get(), m_costs.get()); });
    connect(m_costs.get(), &TForm3::PreviousWindowRequested, this,
            [this] { Move(m_costs.get(), m_actions.get()); });
}

void TStudlabWindows::ConnectDecisionWindow() {
    TForm8* decisions = m_decisions.get();
    connect(decisions, &TForm8::ConstructorRequested, this,
            [this] { Move(m_decisions.get(), m_payouts.get()); });
    connect(decisions, &TForm8::ProfitWindowRequested, this,
            [this] { Move(m_decisions.get(), m_profit.get()); });
    connect(decisions, &TForm8::ExitRequested, m_start.get(), &QWidget::close);
    connect(decisions, &TForm8::CombinationsWindowRequested, this,
            [this] { OpenBeside(m_combinations.get()); });
    connect(decisions, &TForm8::DecisionListRequested, this,
            [this] { OpenBeside(m_decisionList.get()); });
    connect(decisions, &TForm8::DesignLoaded, this, &TStudlabWindows::RefreshDesignViews);
    // The list windows show what the last decision left, whether they are open or not.
    connect(decisions, &TForm8::Rendered, m_combinations.get(), &TForm9::Render);
    connect(decisions, &TForm8::Rendered, m_decisionList.get(), &TForm13::Render);
}

void TStudlabWindows::ConnectProfitWindow() {
    TForm4* profit = m_profit.get();
    connect(profit, &TForm4::ConstructorRequested, this,
            [this] { Move(m_profit.get(), m_payouts.get()); });
    connect(profit, &TForm4::DecisionWindowRequested, this,
            [this] { Move(m_profit.get(), m_decisions.get()); });
    connect(profit, &TForm4::ExitRequested, m_start.get(), &QWidget::close);
    connect(profit, &TForm4::StatisticsWindowRequested, this,
            [this] { OpenBeside(m_statistics.get()); });
    connect(profit, &TForm4::GraphWindowRequested, this, [this] {
        m_graph->setWindowModality(Qt::ApplicationModal);
        OpenBeside(m_graph.get());
    });
    // A run plays its hands on the decision table and publishes its statistics at the end.
    connect(profit, &TForm4::RunEnded, m_statistics.get(), &TForm11::Render);
    connect(profit, &TForm4::RunEnded, m_decisions.get(), &TForm8::Render);
    connect(profit, &TForm4::RunProgressed, this, [this] {
        if (m_decisions->isVisible()) m_decisions->Render();
    });
}

void TStudlabWindows::Move(QWidget* from, QWidget* to) {
    to->show();
    to->raise();
    to->activateWindow();
    from->hide();
}

void TStudlabWindows::OpenBeside(QWidget* window) {
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
}

void TStudlabWindows::EndProgram() {
    // "выход" may come while a run lets its pending events through; the run must not go on
    // playing hands in hidden windows.
    m_profit->AbandonRun();
    for (QWidget* window : Windows()) window->hide();
    QCoreApplication::exit(0);
}

}  // namespace studlab
