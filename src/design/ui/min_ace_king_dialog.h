#pragma once

#include "design/game_design.h"
#include "design/ui/option_dialog.h"

namespace studlab {

// "минимальная игра": whether any dealer ace-king counts as a game, or only one with a queen.
class TForm6 final : public TOptionDialog {
    Q_OBJECT
public:
    explicit TForm6(TGameDesign& design);

private:
    std::optional<int> ChosenOption() const override;
    void Choose(int option) override;

    TGameDesign& m_design;
};

}  // namespace studlab
