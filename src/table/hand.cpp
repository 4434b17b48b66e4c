#include "table/hand.h"

#include "table/hand_parts.h"
#include "table/hand_rules.h"

#include <utility>

namespace studlab {

THand::THand(TGameDesign& design, TCalculationSettings& settings)
    : m_design(design), m_settings(settings), m_parts(std::make_unique<TParts>()) {}

THand::~THand() = default;

TDecisionCache& THand::Cache() {
    return m_parts->Cache;
}

const TDecisionCache& THand::Cache() const {
    return m_parts->Cache;
}

void THand::SetGameName(std::string name) {
    m_view.GameTitle = name;
    m_gameName = std::move(name);
}

bool THand::MarkForExchange(TCardId id) {
    TCardPlace& place = m_state.PlaceOf(id);
    if (place.Place != TPlaceKind::cpPlayer) return false;
    place.Marked = true;
    return true;
}

void THand::ClearExchangeMarks() {
    for (TCardId id = 1; id <= kCards; ++id) m_state.PlaceOf(id).Marked = false;
}

void THand::ToggleFix(TPlaceKind row, int slot) {
    bool& fixed = m_state.Fixed(row, slot);
    fixed = !fixed;
}

// A card in the deck is lifted as a known out card; a lifted card goes back.
void THand::Toggle(TCardId id) {
    const TCardPlace& place = m_state.PlaceOf(id);
    if (place.InDeck()) {
        MoveCard(m_state, id, TCardPlace::Lifted());
    } else if (place.IsLifted()) {
        MoveCard(m_state, id, TCardPlace::Deck());
    }
}

void THand::PutIntoPlayerSlot(TCardId id, int slot) {
    MoveCard(m_state, id, TCardPlace::Player(slot));
}

void THand::PutIntoDealerSlot(TCardId id, int slot) {
    MoveCard(m_state, id, TCardPlace::Dealer(slot));
}

}  // namespace studlab
