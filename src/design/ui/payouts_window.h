#pragma once

#include <QMainWindow>
#include <functional>
#include <string>

#include "design/game_design.h"
#include "widgets/dialogs.h"
#include "widgets/field_bindings.h"

namespace studlab {

// Constructor window 1 (TForm1), "конструктор покера": the deck, the combinations that play and
// their payouts, composite and joker combinations; its menu saves and loads the design and leads to
// the other main windows.
class TPayoutsWindow final : public QMainWindow {
    Q_OBJECT
public:
    // `gameNamed` takes the name a loaded design file gives the game, before DesignLoaded.
    TPayoutsWindow(TGameDesign& design, IDialogs& dialogs,
                   std::function<void(const std::string&)> gameNamed);

    // Shows the design's current values in every control.
    void RefreshFromDesign();

signals:
    void NextWindowRequested();           // "ДАЛЕЕ >>"
    void DecisionWindowRequested();       // "тренинг по раскладам"
    void ProfitWindowRequested();         // "MO"
    void PaySolverRequested();            // "подбор выплат"
    void ExitRequested();                 // "выход"
    void RoundStraightDialogRequested();  // right button down on "стритфлеш" or "стрит"
    void MinPairDialogRequested();        // right button down on "пара"
    void MinAceKingDialogRequested();     // right button down on "туз-король"
    void DesignLoaded();
    void DesignSaved();

private:
    void BuildMenu();
    void BuildDeckOptions(QWidget* client);
    void BuildPayTable(QWidget* client);
    void BuildCompositeCombinations(QWidget* client);
    void BuildJokerCombinations(QWidget* client);
    void SaveDesign();  // "сохранить конструкцию"
    void LoadDesign();  // "загрузить конструкцию"

    TGameDesign& m_design;
    IDialogs& m_dialogs;
    std::function<void(const std::string&)> m_gameNamed;
    TFieldBindings<TGameDesign> m_bindings;
};

}  // namespace studlab
