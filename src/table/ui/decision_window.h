#pragma once

#include <QMainWindow>
#include <array>
#include <filesystem>
#include <functional>
#include <optional>

#include "cards/card.h"
#include "design/game_design.h"
#include "table/decision_table.h"
#include "table/ui/table_geometry.h"
#include "widgets/dialogs.h"

class QAction;
class QLabel;
class QPushButton;

namespace studlab {

class TClickableLabel;

// The decision window "решения по раскладам": the table on which a hand is laid out and
// decided (TForm8). Every command goes to the game's decision table; the window then shows the
// table as the command left it, and draws it: where each card's picture stands, the pointer over
// it, and the fix buttons' captions and sizes.
class TDecisionWindow final : public QMainWindow {
    Q_OBJECT
public:
    TDecisionWindow(TDecisionTable& table, TCalculationSettings& settings, IDialogs& dialogs);

    // "выбрать игру" asks it for the design file of the game to play: the chosen file, or nothing
    // when the user cancels. Without it the command does nothing.
    std::function<std::optional<std::filesystem::path>()> ChooseDesignFile;

    // Shows the table as the game holds it: the cards, the fix buttons, the labels and buttons.
    void Render();
    // The profitability check has left the last hand of its run on the table: the window says so
    // until the user lays out or decides a hand of his own.
    void ShowRunsLastHand();

signals:
    void ConstructorRequested();         // "конструктор покера"
    void ProfitWindowRequested();        // "MO"
    void ExitRequested();                // "выход"
    void CombinationsWindowRequested();  // "комбинации"
    void DecisionListRequested();        // a click on the list of candidate decisions
    void DesignLoaded();                 // a game's design was loaded
    void SettingsChanged();              // a calculation setting was switched here
    void Rendered();                     // the table was shown afresh; the list windows follow

protected:
    void showEvent(QShowEvent* event) override;

private:
    void BuildMenu();
    void BuildTable(QWidget* client);
    // Runs one command of the table. A command that fails is reported to the user; either way
    // the window then shows the table as the command left it. False when the command failed, or
    // was not started because another one is running.
    bool Run(const std::function<void()>& command);
    void HandlePendingEvents();

    void SelectGame();  // "выбрать игру"
    void NewLayout();   // "новый расклад"
    // "с учётом решения после прикупа": the valuation of draws the next decisions use.
    void SetLookAhead(bool on);
    // Tells the user, once, what the game's decision cache could not do.
    void ShowCacheNotice();
    void ShowCombinations();  // "комбинации"
    // Sizes the candidate lists to their lines and sets them along the right edge.
    void PlaceCandidateLists(bool shown);

    TDecisionTable& m_table;
    TCalculationSettings& m_settings;
    IDialogs& m_dialogs;
    // Set while a command of the table runs, including a decision that the profitability check
    // plays: commands that arrive with its pending events are not started inside it.
    bool m_busy = false;
    // The table holds the last hand of a profitability run, not one the user laid out.
    bool m_runsHand = false;

    std::array<TClickableLabel*, kCards + 1> m_cards{};           // [1..52]
    std::array<QPushButton*, kLastFixButton + 1> m_fixButtons{};  // [4..13]
    QLabel* m_prompt = nullptr;                                   // Label1
    QLabel* m_gameName = nullptr;                                 // Label2
    QLabel* m_decisions = nullptr;                                // Label3
    QLabel* m_values = nullptr;                                   // Label4
    QLabel* m_listHint = nullptr;                                 // Label5: a click opens the list
    QLabel* m_listPanel = nullptr;                                // the frame behind the lists
    QLabel* m_valuation = nullptr;                                // Label6: which valuation holds
    QAction* m_lookAhead = nullptr;                               // N6
    QPushButton* m_decide = nullptr;                              // Button1
    QPushButton* m_continue = nullptr;                            // Button2
    QPushButton* m_combinations = nullptr;                        // Button3
    QPushButton* m_randomDeal = nullptr;                          // Button15
    QPushButton* m_newLayout = nullptr;  // Button16 "новый расклад", once a hand is settled
};

}  // namespace studlab
