// The draw of a hand: where each arriving card goes, and what carrying out a decision's choice
// does to the cards, the balance and the entry that follows.

#include <array>

#include "table/choice_codes.h"
#include "table/hand_rules.h"

namespace studlab {
namespace {

// His hidden cards come in the order 3, 4, 2, 5, 1, the reverse of the open ones.
constexpr std::array<int, 6> kHiddenDealerSlotOfStep = {0, 3, 4, 2, 5, 1};
// The dealer's replacement card takes his free slot, looked for from the right.
constexpr std::array<int, 5> kReplacementSearchOrder = {5, 4, 3, 2, 1};

constexpr bool IsDealerStep(int step) {
    return step >= 1 && step <= 5;
}

std::optional<TCardPlacement> ReplacementDealerCard(const TTableState& state, int step) {
    for (int slot : kReplacementSearchOrder) {
        if (!state.DealerSlotUsed[slot]) return TCardPlacement{TPlaceKind::cpDealer, slot, step};
    }
    return std::nullopt;
}

// Bought cards go to slot 7 then 6; exchanged cards refill the freed slots from the right; after
// a bet the dealer's hidden cards follow.
std::optional<TCardPlacement> NextPlacementStage2(const TTableState& state) {
    const int step = state.Stage2Step;
    if (step == 11 && !state.CardInPlayerSlot(6))
        return TCardPlacement{TPlaceKind::cpPlayer, 6, 12};
    if (step == 10 && !state.CardInPlayerSlot(7))
        return TCardPlacement{TPlaceKind::cpPlayer, 7, 11};
    for (int slot = kDealtSlots; slot >= 1; --slot) {
        if (!state.PlayerSlotUsed[slot]) return TCardPlacement{TPlaceKind::cpPlayer, slot, step};
    }
    if (IsDealerStep(step)) return NextHiddenDealerCard(state);
    return std::nullopt;
}

std::optional<TCardPlacement> NextPlacementStage3(const TTableState& state) {
    const int step = state.Stage3Step;
    const std::string& choice2 = state.Choice2;
    const bool dealerGameBought = BuysDealerGame(2, choice2);
    if (!dealerGameBought) {
        if (step == 12 && !state.CardInPlayerSlot(7)) {
            return TCardPlacement{TPlaceKind::cpPlayer, 7, 13};
        }
        if (step == 11 && !state.CardInPlayerSlot(6)) {
            return TCardPlacement{TPlaceKind::cpPlayer, 6, 13};
        }
        if (step == 10 && !state.CardInPlayerSlot(7)) {
            return TCardPlacement{TPlaceKind::cpPlayer, 7, 11};
        }
    }
    // A bought card exchanged at decision 2 left slot 7 or 6 free.
    const bool refillsBoughtSlots =
        !dealerGameBought && !IsBetCode(choice2) && !IsPurchaseCode(choice2);
    if (refillsBoughtSlots) {
        for (int slot : {7, 6}) {
            if (!state.PlayerSlotUsed[slot])
                return TCardPlacement{TPlaceKind::cpPlayer, slot, step};
        }
    }
    for (int slot = kDealtSlots; slot >= 1; --slot) {
        if (!state.PlayerSlotUsed[slot]) return TCardPlacement{TPlaceKind::cpPlayer, slot, step};
    }
    if (IsDealerStep(step)) return NextHiddenDealerCard(state);
    if (dealerGameBought) return ReplacementDealerCard(state, step);
    return std::nullopt;
}

std::optional<TCardPlacement> NextPlacementStage4(const TTableState& state) {
    const int step = state.Stage4Step;
    if (IsDealerStep(step)) return NextHiddenDealerCard(state);
    if (BuysDealerGame(3, state.Choice3)) return ReplacementDealerCard(state, step);
    return std::nullopt;
}

// The dealer's new card after a game bought at decision 4, or his hidden cards when no decision
// since the first has asked for them: a hand is settled on all five.
std::optional<TCardPlacement> NextPlacementStage5(const TTableState& state) {
    if (BuysDealerGame(4, state.Choice4)) return ReplacementDealerCard(state, 0);
    return NextHiddenDealerCard(state);
}

// The cards the decision marked leave the table when the choice exchanges them. Any other
// choice leaves them where they are: the marks are left over from an earlier press.
void SettleExchangeMarks(TTableState& state, bool exchanged) {
    for (TCardId id = 1; id <= kCards; ++id) {
        TCardPlace& place = state.PlaceOf(id);
        if (place.Place != TPlaceKind::cpPlayer || !place.Marked) continue;
        if (exchanged) {
            MoveCard(state, id, TCardPlace::ThrownAway());
        } else {
            place.Marked = false;
        }
    }
}

// A name that is no card of the dealer's throws nothing away.
void ThrowAwayDealerSwapCard(TTableState& state) {
    const std::optional<TCardId> id = CardIdByName(state.DealerSwapCard);
    if (id && state.PlaceOf(*id).Place == TPlaceKind::cpDealer) {
        MoveCard(state, *id, TCardPlace::ThrownAway());
    }
}

// A fold loses everything paid so far: the ante and the costs.
TDrawNext Fold(TTableState& state) {
    state.HandStage = 0;
    state.HandFolded = true;
    state.HandResult = FoldSettlement(state.PlayerBalance).Result;
    return TDrawNext::dnFold;
}

// The dealer's hidden cards go into his free slots, from the entry step of the first.
TDrawNext AskForHiddenDealerCards(const TTableState& state, int& step) {
    step = 0;
    if (state.UsedDealerSlots() == kDealerSlots) return TDrawNext::dnNothing;
    if (const std::optional<TCardPlacement> first = NextHiddenDealerCard(state)) {
        step = first->NextStep - 1;
    }
    return TDrawNext::dnDealerHiddenCards;
}

void Pay(TTableState& state, std::optional<double> cost) {
    if (cost) PayCost(state.PlayerBalance, state.ExtraStake, *cost);
}

TDrawNext AfterDecision1(TTableState& state, std::optional<double> cost) {
    const std::string code = state.Choice1;
    state.HandStage = 2;
    SettleExchangeMarks(state, ExchangedCount(code).has_value());
    if (code == kFoldCode) return Fold(state);
    if (IsBetCode(code)) return AskForHiddenDealerCards(state, state.Stage2Step);
    if (code == kBuyCardCode) {
        Pay(state, cost);
        state.Stage2Step = 11;  // into slot 6
        return TDrawNext::dnBoughtCard;
    }
    if (code == kBuyTwoCardsCode) {
        Pay(state, cost);
        state.Stage2Step = 10;  // into slot 7, then slot 6
        return TDrawNext::dnArrivingCards;
    }
    state.Stage2Step = 0;  // exchanged cards refill the freed slots; the dealer's steps stay shut
    if (ExchangedCount(code)) {
        Pay(state, cost);
        return TDrawNext::dnArrivingCards;
    }
    return TDrawNext::dnNothing;  // the decision offered nothing: no card arrives
}

TDrawNext AfterDecision2(TTableState& state, std::optional<double> cost) {
    const std::string code = state.Choice2;
    state.HandStage = 3;
    // Here a marked card may also be a card bought at decision 1, in slot 6 or 7.
    SettleExchangeMarks(state, ExchangedCount(code).has_value());
    if (code == kFoldCode) return Fold(state);
    if (IsBetCode(code)) {
        const TDrawNext next = AskForHiddenDealerCards(state, state.Stage3Step);
        state.PlayerSlotUsed[6] = true;
        state.PlayerSlotUsed[7] = true;
        return next;
    }
    if (code == kBuyCardCode) {
        Pay(state, cost);
        // Slot 6 already holds the card bought at decision 1.
        state.Stage3Step = state.Choice1 == kBuyCardCode ? 12 : 11;
        return TDrawNext::dnBoughtCard;
    }
    if (code == kBuyTwoCardsCode) {
        Pay(state, cost);
        state.Stage3Step = 10;
        return TDrawNext::dnArrivingCards;
    }
    state.Stage3Step = 0;
    if (ExchangedCount(code)) {
        Pay(state, cost);
        return TDrawNext::dnArrivingCards;
    }
    if (BuysDealerGame(2, code)) {
        Pay(state, cost);
        ThrowAwayDealerSwapCard(state);
        return TDrawNext::dnDealerNewCard;  // the new card takes the freed dealer slot
    }
    return TDrawNext::dnNothing;
}

TDrawNext AfterDecision3(TTableState& state, std::optional<double> cost) {
    const std::string code = state.Choice3;
    state.HandStage = 4;
    if (code == kFoldCode) return Fold(state);
    if (BuysDealerGame(3, code)) {
        ThrowAwayDealerSwapCard(state);
        Pay(state, cost);
        state.Stage4Step = 0;
        return TDrawNext::dnDealerNewCard;
    }
    // After a bet, or when the last decision of the player offered nothing, the hand goes on to
    // its settlement, which needs every card of the dealer's hand.
    return AskForHiddenDealerCards(state, state.Stage4Step);
}

TDrawNext AfterDecision4(TTableState& state, std::optional<double> cost) {
    const std::string code = state.Choice4;
    state.HandStage = 5;
    if (BuysDealerGame(4, code)) {
        ThrowAwayDealerSwapCard(state);
        Pay(state, cost);
        return TDrawNext::dnDealerNewCard;
    }
    // The settlement that follows needs every card of the dealer's hand.
    int unused = 0;
    return AskForHiddenDealerCards(state, unused);
}

}  // namespace

void MoveCard(TTableState& state, TCardId id, TCardPlace to) {
    // The card leaves the card table and the slot of its place, and takes those of the new one.
    const auto occupy = [&](const TCardPlace& place, bool on) {
        const auto mark = [&](TCardTable& cards) { on ? cards.Add(id) : cards.Remove(id); };
        switch (place.Place) {
            case TPlaceKind::cpDeck:
                break;
            case TPlaceKind::cpOut:
                mark(state.OutCards);
                break;
            case TPlaceKind::cpPlayer:
                mark(state.PlayerCards);
                state.PlayerSlotUsed[place.Slot] = on;
                break;
            case TPlaceKind::cpDealer:
                mark(state.DealerCards);
                state.DealerSlotUsed[place.Slot] = on;
                break;
        }
    };
    TCardPlace& place = state.PlaceOf(id);
    occupy(place, false);
    place = to;
    occupy(place, true);
}

TCardPlacement InitialPlacement(int step) {
    constexpr std::array<int, 6> kOpenDealerSlotOfStep = {0, 1, 5, 2, 4, 3};
    if (step <= kDealerSlots) {
        return {TPlaceKind::cpDealer, kOpenDealerSlotOfStep.at(static_cast<std::size_t>(step)),
                step + 1};
    }
    return {TPlaceKind::cpPlayer, step - kDealerSlots, step + 1};
}

std::optional<TCardPlacement> NextPlacement(const TTableState& state) {
    switch (state.HandStage) {
        case 2:
            return NextPlacementStage2(state);
        case 3:
            return NextPlacementStage3(state);
        case 4:
            return NextPlacementStage4(state);
        case 5:
            return NextPlacementStage5(state);
        default:
            return std::nullopt;
    }
}

std::optional<TCardPlacement> NextHiddenDealerCard(const TTableState& state) {
    for (int step = 1; step <= kDealerSlots; ++step) {
        const int slot = kHiddenDealerSlotOfStep[step];
        if (!state.DealerSlotUsed[slot])
            return TCardPlacement{TPlaceKind::cpDealer, slot, step + 1};
    }
    return std::nullopt;
}

TDrawNext CarryOutChoice(TTableState& state, std::optional<double> cost) {
    switch (state.HandStage) {
        case 1:
            return AfterDecision1(state, cost);
        case 2:
            return AfterDecision2(state, cost);
        case 3:
            return AfterDecision3(state, cost);
        case 4:
            return AfterDecision4(state, cost);
        default:
            return TDrawNext::dnNothing;
    }
}

}  // namespace studlab
