#pragma once

#include "design/game_design.h"
#include "design/ui/option_dialog.h"

namespace studlab {

// "круговой стрит": whether a wrap-around straight counts.
class TForm7 final : public TOptionDialog {
    Q_OBJECT
public:
    explicit TForm7(TGameDesign& design);

private:
    std::optional<int> ChosenOption() const override;
    void Choose(int option) override;

    TGameDesign& m_design;
};

}  // namespace studlab
