#pragma once

#include <QWidget>

#include "design/game_design.h"
#include "widgets/field_bindings.h"

namespace studlab {

// Constructor window 3 (TForm3): what each action costs, the bet size, the dealer's open cards and
// the insurance settings. It is the end of the constructor's sequence.
class TCostsWindow final : public QWidget {
    Q_OBJECT
public:
    explicit TCostsWindow(TGameDesign& design);

    void RefreshFromDesign();

signals:
    void PreviousWindowRequested();  // "<< НАЗАД"

private:
    TFieldBindings<TGameDesign> m_bindings;
};

}  // namespace studlab
