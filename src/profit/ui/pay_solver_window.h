#pragma once

#include <QTimer>
#include <QWidget>
#include <array>
#include <optional>

#include "design/game_design.h"
#include "profit/background_task.h"
#include "profit/exact/pay_solver.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace studlab {

// "подбор выплат": the payouts of the chosen combinations whose exact MO comes closest to a
// target, searched in the background; the pay tables tried are listed, and "применить" writes the
// chosen payouts into the constructor as any edit there would.
class TPaySolverWindow final : public QWidget {
    Q_OBJECT
public:
    // Solves for `design` under `calculation`; "применить" writes the chosen payouts into `design`.
    TPaySolverWindow(TGameDesign& design, const TCalculationSettings& calculation);
    ~TPaySolverWindow() override;

    // For tests: the last search's result, if it ended.
    const std::optional<TPaySolution>& Solution() const { return m_solution; }

signals:
    // "применить" changed the design's payouts.
    void DesignEdited();

private:
    void Solve();
    void Poll();
    void ShowSolution();
    void Apply();
    void Render();

    TGameDesign& m_design;
    const TCalculationSettings& m_settings;
    TBackgroundTask<TPaySolution, TPaySolverProgress> m_task;
    QTimer m_poll;
    std::optional<TPaySolution> m_solution;
    std::optional<TGameDesign> m_solvedDesign;  // the design the solution was searched for
    std::optional<TCalculationSettings> m_solvedSettings;  // and the settings

    QLineEdit* m_target = nullptr;
    QLineEdit* m_step = nullptr;
    QLineEdit* m_min = nullptr;
    QLineEdit* m_max = nullptr;
    std::array<QCheckBox*, 10> m_vary{};
    QPushButton* m_solve = nullptr;
    QPushButton* m_stop = nullptr;
    QPushButton* m_apply = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_status = nullptr;
    QString m_solutionStatus;  // what the search found and why it stopped
    QTableWidget* m_table = nullptr;
};

}  // namespace studlab
