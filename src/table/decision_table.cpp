#include "table/decision_table.h"

#include "table/decision_table_parts.h"

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

// Every move of a card goes through here, so that the card tables and the slot occupancy
// always follow the card places.
void TDecisionTable::MoveCard(TCardId id, TCardPlace to) {
    TCardPlace& place = m_state.PlaceOf(id);
    switch (place.Place) {
        case TPlaceKind::cpDeck:
            break;
        case TPlaceKind::cpOut:
            m_state.OutCards.Remove(id);
            break;
        case TPlaceKind::cpPlayer:
            m_state.PlayerCards.Remove(id);
            m_state.PlayerSlotUsed[place.Slot] = false;
            break;
        case TPlaceKind::cpDealer:
            m_state.DealerCards.Remove(id);
            m_state.DealerSlotUsed[place.Slot] = false;
            break;
    }
    place = to;
    switch (place.Place) {
        case TPlaceKind::cpDeck:
            break;
        case TPlaceKind::cpOut:
            m_state.OutCards.Add(id);
            break;
        case TPlaceKind::cpPlayer:
            m_state.PlayerCards.Add(id);
            m_state.PlayerSlotUsed[place.Slot] = true;
            break;
        case TPlaceKind::cpDealer:
            m_state.DealerCards.Add(id);
            m_state.DealerSlotUsed[place.Slot] = true;
            break;
    }
}

// A card in the deck is lifted as a known out card; a lifted card goes back.
void TDecisionTable::Toggle(TCardId id) {
    const TCardPlace& place = m_state.PlaceOf(id);
    if (place.InDeck()) {
        MoveCard(id, TCardPlace::Lifted());
    } else if (place.IsLifted()) {
        MoveCard(id, TCardPlace::Deck());
    }
}

void TDecisionTable::PutIntoPlayerSlot(TCardId id, int slot) {
    MoveCard(id, TCardPlace::Player(slot));
}

void TDecisionTable::PutIntoDealerSlot(TCardId id, int slot) {
    MoveCard(id, TCardPlace::Dealer(slot));
}

}  // namespace studlab
