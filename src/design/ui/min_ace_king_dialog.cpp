#include "design/ui/min_ace_king_dialog.h"

namespace studlab {

TMinAceKingDialog::TMinAceKingDialog(TGameDesign& design)
    : TOptionDialog("TForm6", QSize(248, 111), "минимальная игра",
                    {"любой туз-король", "туз-король с дамой"}),
      m_design(design) {
    RefreshFromDesign();
}

std::optional<int> TMinAceKingDialog::ChosenOption() const {
    if (!m_design.MinAceKing) return std::nullopt;
    return *m_design.MinAceKing == TMinAceKing::akAny ? 0 : 1;
}

void TMinAceKingDialog::Choose(int option) {
    m_design.MinAceKing = option == 0 ? TMinAceKing::akAny : TMinAceKing::akWithQueen;
}

}  // namespace studlab
