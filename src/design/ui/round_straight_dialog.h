#pragma once

#include "design/game_design.h"
#include "design/ui/option_dialog.h"

namespace studlab {

// TForm7, "круговой стрит": whether a wrap-around straight counts.
class TRoundStraightDialog final : public TOptionDialog {
    Q_OBJECT
public:
    explicit TRoundStraightDialog(TGameDesign& design);

private:
    std::optional<int> ChosenOption() const override;
    void Choose(int option) override;

    TGameDesign& m_design;
};

}  // namespace studlab
