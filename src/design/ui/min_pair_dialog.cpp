#include "design/ui/min_pair_dialog.h"

namespace studlab {
namespace {

// Options run from the pair of twos (RankIndex 13) up to the pair of aces (RankIndex 1).
constexpr RankIndex RankOfOption(int option) {
    return kRanks - option;
}
constexpr int OptionOfRank(RankIndex rank) {
    return kRanks - rank;
}

}  // namespace

TMinPairDialog::TMinPairDialog(TGameDesign& design)
    : TOptionDialog("TForm5", QSize(258, 348), "выбирете минимальную пару",
                    {"пара двоек", "пара троек", "пара четверок", "пара пятерок", "пара шестерок",
                     "пара семерок", "пара восьмерок", "пара девяток", "пара десяток",
                     "пара валетов", "пара дам", "пара королей", "пара тузов"}),
      m_design(design) {
    RefreshFromDesign();
}

std::optional<int> TMinPairDialog::ChosenOption() const {
    if (!m_design.MinPair) return std::nullopt;
    return OptionOfRank(*m_design.MinPair);
}

void TMinPairDialog::Choose(int option) {
    m_design.MinPair = RankOfOption(option);
}

}  // namespace studlab
