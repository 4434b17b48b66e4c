#include "table/decision_table.h"

#include "table/decision_table_parts.h"
#include "table/hand_engine.h"

#include <utility>

namespace studlab {

TDecisionTable::TDecisionTable(TGameDesign& design, TCalculationSettings& settings)
    : m_design(design), m_settings(settings), m_parts(std::make_unique<TParts>()) {}

TDecisionTable::~TDecisionTable() = default;

TDecisionCache& TDecisionTable::Cache() {
    return m_parts->Cache;
}

void TDecisionTable::SetGameName(std::string name) {
    m_view.GameTitle = name;
    m_gameName = std::move(name);
}

bool TDecisionTable::MarkForExchange(TCardId id) {
    TCardPlace& place = m_state.PlaceOf(id);
    if (place.Place != TPlaceKind::cpPlayer) return false;
    place.Marked = true;
    return true;
}

void TDecisionTable::ClearExchangeMarks() {
    for (TCardId id = 1; id <= kCards; ++id) m_state.PlaceOf(id).Marked = false;
}

void TDecisionTable::ToggleFix(TPlaceKind row, int slot) {
    bool& fixed = m_state.Fixed(row, slot);
    fixed = !fixed;
}

// A card in the deck is lifted as a known out card; a lifted card goes back.
void TDecisionTable::Toggle(TCardId id) {
    const TCardPlace& place = m_state.PlaceOf(id);
    if (place.InDeck()) {
        MoveCard(m_state, id, TCardPlace::Lifted());
    } else if (place.IsLifted()) {
        MoveCard(m_state, id, TCardPlace::Deck());
    }
}

void TDecisionTable::PutIntoPlayerSlot(TCardId id, int slot) {
    MoveCard(m_state, id, TCardPlace::Player(slot));
}

void TDecisionTable::PutIntoDealerSlot(TCardId id, int slot) {
    MoveCard(m_state, id, TCardPlace::Dealer(slot));
}

}  // namespace studlab
