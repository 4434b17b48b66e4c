#include "design/ui/round_straight_dialog.h"

namespace studlab {

TRoundStraightDialog::TRoundStraightDialog(TGameDesign& design)
    : TOptionDialog("TForm7", QSize(278, 101), "круговой стрит",
                    {"круговой стрит не играет", "круговой стрит играет"}),
      m_design(design) {
    RefreshFromDesign();
}

std::optional<int> TRoundStraightDialog::ChosenOption() const {
    if (!m_design.RoundStraight) return std::nullopt;
    return *m_design.RoundStraight ? 1 : 0;
}

void TRoundStraightDialog::Choose(int option) {
    m_design.RoundStraight = option == 1;
}

}  // namespace studlab
