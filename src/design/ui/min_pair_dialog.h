#pragma once

#include "design/game_design.h"
#include "design/ui/option_dialog.h"

namespace studlab {

// TForm5, "выбирете минимальную пару": the lowest pair that gives the dealer a game.
class TMinPairDialog final : public TOptionDialog {
    Q_OBJECT
public:
    explicit TMinPairDialog(TGameDesign& design);

private:
    std::optional<int> ChosenOption() const override;
    void Choose(int option) override;

    TGameDesign& m_design;
};

}  // namespace studlab
