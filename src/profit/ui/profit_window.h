#pragma once

#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "design/game_design.h"
#include "profit/profit_check.h"
#include "table/decision_table.h"
#include "widgets/dialogs.h"
#include "widgets/field_bindings.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace studlab {

class TExactAnalysis;

// The profitability window (TForm4) "проверка выгодности игры": the calculation settings, the run
// settings, and the run of random hands with its summary. The run itself is the model's; the
// window starts it, stops it and shows how it stands. Beside it, the exact analysis of the design
// (TExactPanel) and the way to the game's strategy.
class TProfitWindow final : public QWidget {
    Q_OBJECT
public:
    // Runs `profit`, which plays on `table`, for `design` under `settings`, and shows `exact`.
    TProfitWindow(TProfitCheck& profit, TDecisionTable& table, const TGameDesign& design,
                  TCalculationSettings& settings, IDialogs& dialogs, TExactAnalysis& exact);

    // "циклы" and the four limit fields under their header; the constructor's "MO" shows them.
    void ShowCyclesControls();
    // Shows the run as the model holds it.
    void Render();
    // Shows the settings as the model holds them, after they were set elsewhere.
    void RefreshFromSettings();
    // The program is ending: a run still going stops before its next hand, without a beep.
    void AbandonRun();

    // Whether the design differs from the one last saved or loaded; the program, which keeps
    // that one, answers. Unset, the design counts as unchanged.
    std::function<bool()> DesignEdited;

signals:
    void ConstructorRequested();        // "на начало"
    void DecisionWindowRequested();     // "расклады"
    void ExitRequested();               // "выход"
    void StatisticsWindowRequested();   // "статистика"
    void GraphWindowRequested();        // "Показать график"
    void StrategyWindowRequested();     // "стратегия игры"
    void ReturnTableWindowRequested();  // "таблица исходов" of the exact analysis
    void PaySolverWindowRequested();    // "подбор выплат"
    void ReportWindowRequested();       // "отчет по игре"
    void RunProgressed();               // the window showed how a running run stands
    void RunEnded();                    // a run is over, however it ended
    void TableHandReplaced();           // the run left its last hand on the decision table
    // The run's figures stopped or started belonging to the game as it is: `changed` says what
    // changed since the run ("конструкции"), empty when nothing did.
    void FiguresOutdated(const QString& changed);
    void FixedCardsReleased();  // the fix marks of the decision table were taken off
    void SettingsChanged();     // a calculation setting was switched here

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void BuildTableData();
    void BuildParameters();
    void BuildMethod();
    void BuildRunControls();
    void BuildCycles();
    void BuildNavigation();
    void BuildFixedCards();
    void BuildExactAnalysis(TExactAnalysis& exact);
    void ShowDrawsWarning();
    // What of the game changed since the run whose figures are shown, in words that follow "до
    // смены": "конструкции и фиксированных карт"; empty while they still belong to it.
    std::string ChangedSinceRun() const;
    void RenderGameLine();

    // Runs a command of the model; one that fails is reported to the user. The window then shows
    // the model as the command left it.
    void Run(const std::function<void()>& command);
    void Calculate();  // "расчет"
    void Stop();       // "СТОП"
    // "очистить таблицу игры": removes the current game's stored decisions once the user agrees.
    void ClearGameTable();

    // What a run was played for: its figures belong to that game alone.
    struct TRunBasis {
        std::optional<std::string> Game;
        TGameDesign Design;
        TCalculationSettings Settings;
        std::string FixedCards;
    };

    TProfitCheck& m_profit;
    TDecisionTable& m_table;
    const TGameDesign& m_design;
    std::optional<TRunBasis> m_runBasis;
    std::string m_outdated;  // what FiguresOutdated said last
    const TCalculationSettings& m_calculation;
    IDialogs& m_dialogs;
    TFieldBindings<TCalculationSettings> m_settings;
    TFieldBindings<TRunSettings> m_runSettings;
    // Set while "расчет" or "банк" runs: their pending events must not start either again.
    bool m_busy = false;
    bool m_abandoned = false;

    QPushButton* m_calculate = nullptr;     // Button2
    QPushButton* m_stop = nullptr;          // Button3
    QPushButton* m_statistics = nullptr;    // Button4
    QPushButton* m_bank = nullptr;          // Button6
    QProgressBar* m_progress = nullptr;     // ProgressBar1
    QLabel* m_mo = nullptr;                 // Label6
    QLabel* m_bankFigure = nullptr;         // Label10
    QLabel* m_message = nullptr;            // Label11
    QLabel* m_handsHeader = nullptr;        // Label7
    QLabel* m_handNumber = nullptr;         // Label8
    QLabel* m_runTotal = nullptr;           // Label9
    QLabel* m_cyclesHeader = nullptr;       // Label12
    QLabel* m_cycleCount = nullptr;         // Label13
    QLabel* m_cyclesTotal = nullptr;        // Label14
    QLabel* m_moInterval = nullptr;         // Label16
    QLabel* m_risk = nullptr;               // Label17
    QLabel* m_fixedCards = nullptr;         // Label18
    QPushButton* m_releaseFixed = nullptr;  // Button10
    QLabel* m_drawsWarning = nullptr;       // Label19
    QLabel* m_gameLine = nullptr;           // GameLine: the game and its design's state
    QLineEdit* m_draws = nullptr;           // Edit5
    QLineEdit* m_seed = nullptr;            // Edit10
    QPushButton* m_graph = nullptr;         // Button7
    QPushButton* m_clearCache = nullptr;    // Button20 "очистить таблицу игры"
};

}  // namespace studlab
