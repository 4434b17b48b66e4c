#pragma once

#include <QWidget>

#include "design/game_design.h"
#include "widgets/field_bindings.h"

namespace studlab {

// Constructor window 2 (TForm2): the actions the player may take at each stage, and which card the
// dealer exchanges when the player buys him a game.
class TActionsWindow final : public QWidget {
    Q_OBJECT
public:
    explicit TActionsWindow(TGameDesign& design);

    void RefreshFromDesign();

signals:
    void PreviousWindowRequested();  // "<< НАЗАД"
    void NextWindowRequested();      // "ДАЛЕЕ >>"

private:
    TFieldBindings<TGameDesign> m_bindings;
};

}  // namespace studlab
