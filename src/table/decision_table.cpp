#include "table/decision_table.h"

#include <stdexcept>

#include "design/design_file.h"

namespace studlab {

void TDecisionTable::ClickCard(TCardId id) {
    if (!IsCardId(id)) throw std::out_of_range("card pictures are Image1 to Image52");
    if (!State().PlaceOf(id).Clickable) return;
    State().ClickedImageName = ImageName(id);
    m_hand.PlaceCard(RankIndexOf(id), SuitIndexOf(id));
}

void TDecisionTable::SelectGame(const std::optional<std::filesystem::path>& designFile) {
    if (designFile) SetGameName(LoadDesignFile(*designFile, Design()));
    View().RandomDealVisible = true;
    m_hand.StartHand(false);
}

void TDecisionTable::NewLayout() {
    View().RandomDealVisible = true;
    if (!GameChosen()) return;
    m_hand.StartHand(true);
}

void TDecisionTable::RandomDeal() {
    View().RandomDealVisible = true;
    m_hand.PlayRandomHand(
        [this] {
            if (ButtonPressed) ButtonPressed(kDecideCaption);
        },
        [this] {
            if (ButtonPressed) ButtonPressed(kContinueCaption);
        });
}

}  // namespace studlab
