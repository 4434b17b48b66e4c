#include "design/ui/min_ace_king_dialog.h"

namespace studlab {

TForm6::TForm6(TGameDesign& design)
    : TOptionDialog("TForm6", QSize(248, 111), "минимальная игра",
                    {"любой туз-король", "туз-король с дамой"}),
      m_design(design) {
    RefreshFromDesign();
}

std::optional<int> TForm6::ChosenOption() const {
    if (!m_design.MinAceKing) return std::nullopt;
    return *m_design.MinAceKing == TMinAceKing::akAny ? 0 : 1;
}

void TForm6::Choose(int option) {
    m_design.MinAceKing = option == 0 ? TMinAceKing::akAny : TMinAceKing::akWithQueen;
}

}  // namespace studlab
