#pragma once

#include "design/game_design.h"
#include "design/ui/option_dialog.h"

namespace studlab {

// "выбирете минимальную пару": the lowest pair that gives the dealer a game.
class TForm5 final : public TOptionDialog {
    Q_OBJECT
public:
    explicit TForm5(TGameDesign& design);

private:
    std::optional<int> ChosenOption() const override;
    void Choose(int option) override;

    TGameDesign& m_design;
};

}  // namespace studlab
