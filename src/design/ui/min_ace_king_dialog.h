#pragma once

#include "design/game_design.h"
#include "design/ui/option_dialog.h"

namespace studlab {

// TForm6, "минимальная игра": whether any dealer ace-king counts as a game, or only one with a
// queen.
class TMinAceKingDialog final : public TOptionDialog {
    Q_OBJECT
public:
    explicit TMinAceKingDialog(TGameDesign& design);

private:
    std::optional<int> ChosenOption() const override;
    void Choose(int option) override;

    TGameDesign& m_design;
};

}  // namespace studlab
