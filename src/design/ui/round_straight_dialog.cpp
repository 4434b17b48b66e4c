#include "design/ui/round_straight_dialog.h"

namespace studlab {

TForm7::TForm7(TGameDesign& design)
    : TOptionDialog("TForm7", QSize(278, 101), "круговой стрит",
                    {"круговой стрит не играет", "круговой стрит играет"}),
      m_design(design) {
    RefreshFromDesign();
}

std::optional<int> TForm7::ChosenOption() const {
    if (!m_design.RoundStraight) return std::nullopt;
    return *m_design.RoundStraight ? 1 : 0;
}

void TForm7::Choose(int option) {
    m_design.RoundStraight = option == 1;
}

}  // namespace studlab
