#include "table/table_state.h"

#include <stdexcept>

namespace studlab {
namespace {

template <class State>
auto& ChoiceOf(State& state, int stage) {
    switch (stage) {
        case 1:
            return state.Choice1;
        case 2:
            return state.Choice2;
        case 3:
            return state.Choice3;
        case 4:
            return state.Choice4;
        default:
            throw std::out_of_range("a hand has decisions 1 to 4");
    }
}

template <class Test>
std::optional<TCardId> FindCard(const TTableState& state, Test inSlot) {
    for (TCardId id = 1; id <= kCards; ++id) {
        if (inSlot(state.PlaceOf(id))) return id;
    }
    return std::nullopt;
}

}  // namespace

std::string& TTableState::Choice(int stage) {
    return ChoiceOf(*this, stage);
}
const std::string& TTableState::Choice(int stage) const {
    return ChoiceOf(*this, stage);
}

int& TTableState::EntryStep(int stage) {
    switch (stage) {
        case 1:
            return Stage1Step;
        case 2:
            return Stage2Step;
        case 3:
            return Stage3Step;
        case 4:
            return Stage4Step;
        default:
            throw std::out_of_range("entry steps exist for stages 1 to 4");
    }
}

bool& TTableState::Fixed(TPlaceKind row, int slot) {
    return FixFlagOf(PlayerFixed, DealerFixed, row, slot);
}
bool TTableState::Fixed(TPlaceKind row, int slot) const {
    return FixFlagOf(PlayerFixed, DealerFixed, row, slot);
}

std::optional<TCardId> TTableState::CardInPlayerSlot(int slot) const {
    return FindCard(*this, [slot](const TCardPlace& p) { return p.InPlayerSlot(slot); });
}

std::optional<TCardId> TTableState::CardInDealerSlot(int slot) const {
    return FindCard(*this, [slot](const TCardPlace& p) { return p.InDealerSlot(slot); });
}

int TTableState::UsedDealerSlots() const {
    int used = 0;
    for (int slot = 1; slot <= kDealerSlots; ++slot) used += DealerSlotUsed[slot] ? 1 : 0;
    return used;
}

int TTableState::UsedDealtPlayerSlots() const {
    int used = 0;
    for (int slot = 1; slot <= kDealtSlots; ++slot) used += PlayerSlotUsed[slot] ? 1 : 0;
    return used;
}

}  // namespace studlab
