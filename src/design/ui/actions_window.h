#pragma once

#include <QWidget>

#include "design/game_design.h"
#include "widgets/field_bindings.h"

class QLabel;

namespace studlab {

// Constructor window 2 (TForm2): the actions the player may take at each stage, and which card the
// dealer exchanges when the player buys him a game.
class TActionsWindow final : public QWidget {
    Q_OBJECT
public:
    explicit TActionsWindow(TGameDesign& design);

    void RefreshFromDesign();

private slots:
    // Says whether the purchases switched on could give the player more than seven cards.
    void ShowCardLimit();

signals:
    void PreviousWindowRequested();  // "<< НАЗАД"
    void NextWindowRequested();      // "ДАЛЕЕ >>"

private:
    const TGameDesign& m_design;
    TFieldBindings<TGameDesign> m_bindings;
    QLabel* m_cardLimit = nullptr;
};

}  // namespace studlab
