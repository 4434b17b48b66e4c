#pragma once

#include <QMainWindow>

#include "app/services/dialogs.h"
#include "app/studlab_model.h"

class QLabel;

namespace studlab {

// The decision window "решения по раскладам": the table on which a hand is laid out and
// decided.
class TForm8 final : public QMainWindow {
    Q_OBJECT
public:
    TForm8(TStudlabModel& model, IDialogs& dialogs);

    // Shows the current game's name in place of the prompt; called after a design is loaded.
    void ShowGameName();

signals:
    void ConstructorRequested();         // "конструктор покера"
    void ProfitWindowRequested();        // "MO"
    void ExitRequested();                // "выход"
    void CombinationsWindowRequested();  // "комбинации"
    void DecisionListRequested();        // a click on the list of candidate decisions
    void DesignLoaded();                 // a game's design was loaded

private:
    void BuildMenu();
    void SelectGame();  // "выбрать игру"; does nothing until the table state exists
    void NewLayout();   // "новый расклад"; does nothing until the table state exists

    TStudlabModel& m_model;
    IDialogs& m_dialogs;
    QLabel* m_gameName = nullptr;
};

}  // namespace studlab
