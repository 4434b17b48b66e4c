// The card entry of the decision window: where each click puts its card, stage by stage.

#include <array>
#include <stdexcept>

#include "table/choice_codes.h"
#include "table/decision_table.h"
#include "table/table_prompts.h"
#include "text/number_text.h"

namespace studlab {
namespace {

// Stage 1 takes the dealer's open cards in the slot order 1, 5, 2, 4, 3 (steps 1..5), so that k
// open cards always fill the last k slots of that order; slot 3, the middle, is always open.
constexpr std::array<int, 6> kOpenDealerSlotOfStep = {0, 1, 5, 2, 4, 3};
constexpr int kFirstPlayerStep = 6;
constexpr int kInitialLayoutComplete = 11;

// His hidden cards come in the reverse order 3, 4, 2, 5, 1, the complement of the open ones.
constexpr std::array<int, 6> kHiddenDealerSlotOfStep = {0, 3, 4, 2, 5, 1};
// The dealer's replacement card takes his free slot, looked for from the right.
constexpr std::array<int, 5> kReplacementSearchOrder = {5, 4, 3, 2, 1};

// Steps at which the arriving cards of stages 2..4 are complete and clicks lift known cards.
constexpr int kStage2Complete = 12;
constexpr int kStage3Complete = 13;
constexpr int kStage4Complete = 6;

constexpr bool IsDealerStep(int step) {
    return step >= 1 && step <= 5;
}

}  // namespace

void TDecisionTable::ClickCard(TCardId id) {
    if (!IsCardId(id)) throw std::out_of_range("card pictures are Image1 to Image52");
    if (!m_state.PlaceOf(id).Clickable) return;
    m_state.ClickedImageName = ImageName(id);
    PlaceCard(RankIndexOf(id), SuitIndexOf(id));
}

void TDecisionTable::PlaceCard(RankIndex rank, SuitIndex suit) {
    if (rank < 1 || rank > kRanks || suit < 1 || suit > kSuits) {
        throw std::out_of_range("a card has rank 1..13 and suit 1..4");
    }
    if (m_state.HandStage == 0) return;
    const TCardId card = CardIdOf(rank, suit);
    // Cards in slots and thrown-away cards stay where they are.
    if (!m_state.PlaceOf(card).Clickable) return;
    if (m_state.HandStage == 1) {
        if (GameChosen()) PlaceInitialCard(card);
    } else {
        PlaceArrivingCard(card);
    }
}

bool TDecisionTable::EntryOpen() const {
    switch (m_state.HandStage) {
        case 0:
            return false;
        case 1:
            return GameChosen() && m_state.Stage1Step != 0;
        default:
            return true;
    }
}

void TDecisionTable::CompleteEntry(std::string_view prompt) {
    m_view.Prompt = prompt;
    m_view.DecideVisible = true;
    m_view.ContinueVisible = false;
}

// Stage 1: the dealer's open cards, then the player's five, then known out cards. Slots that
// already hold a card (kept by a new layout) are skipped.
void TDecisionTable::PlaceInitialCard(TCardId card) {
    int& step = m_state.Stage1Step;
    // Step 0: the design's number of open dealer cards is unusable; nothing is laid out.
    if (step < 1 || step > kInitialLayoutComplete) return;
    for (;;) {
        if (step == kInitialLayoutComplete) {
            Toggle(card);
            return;
        }
        if (step >= kFirstPlayerStep) {
            const int slot = step - kFirstPlayerStep + 1;
            if (m_state.PlayerSlotUsed[slot]) {
                // All the player's slots were kept: the layout is complete, the click lifts.
                if (++step == kInitialLayoutComplete) CompleteEntry(kPromptNeighbours);
                continue;
            }
            if (!m_state.PlaceOf(card).InDeck()) return;
            PutIntoPlayerSlot(card, slot);
            m_view.PlayerFixVisible[slot] = true;
            if (++step == kInitialLayoutComplete || m_state.UsedDealtPlayerSlots() == kDealtSlots) {
                step = kInitialLayoutComplete;
                CompleteEntry(kPromptNeighbours);
            }
            return;
        }
        const int slot = kOpenDealerSlotOfStep[step];
        if (m_state.DealerSlotUsed[slot]) {
            if (++step == kFirstPlayerStep) m_view.Prompt = kPromptPlayer;
            continue;
        }
        if (!m_state.PlaceOf(card).InDeck()) return;
        PutIntoDealerSlot(card, slot);
        m_view.DealerFixVisible[slot] = true;
        if (++step == kFirstPlayerStep) m_view.Prompt = kPromptPlayer;
        // Kept cards may already fill some of his open slots: his part ends at the count.
        if (ParseDesignInteger(m_design.DealerOpenCards) == m_state.UsedDealerSlots()) {
            m_view.Prompt = kPromptPlayer;
            step = kFirstPlayerStep;
        }
        // With the player's five cards kept, the layout is complete once the dealer's are in.
        if (step == kFirstPlayerStep && m_state.UsedDealtPlayerSlots() == kDealtSlots) {
            step = kInitialLayoutComplete;
            CompleteEntry(kPromptNeighbours);
        }
        return;
    }
}

// Stages 2..5: the cards that arrived after the last continuation, then known out cards.
void TDecisionTable::PlaceArrivingCard(TCardId card) {
    const int stage = m_state.HandStage;
    const int toggleStep = ToggleStep();
    if (toggleStep != 0 && m_state.EntryStep(stage) == toggleStep) {
        Toggle(card);
        return;
    }
    if (!m_state.PlaceOf(card).InDeck()) return;
    const std::optional<TPlacement> placement = NextPlacement();
    if (!placement) return;
    if (placement->Row == TPlaceKind::cpPlayer) {
        PutIntoPlayerSlot(card, placement->Slot);
    } else {
        PutIntoDealerSlot(card, placement->Slot);
    }
    if (stage <= 4) m_state.EntryStep(stage) = placement->NextStep;
    CompleteIfNothingMoreArrives();
}

int TDecisionTable::ToggleStep() const {
    switch (m_state.HandStage) {
        case 2:
            return kStage2Complete;
        case 3:
            return kStage3Complete;
        case 4:
            return kStage4Complete;
        default:
            return 0;
    }
}

std::optional<TDecisionTable::TPlacement> TDecisionTable::NextPlacement() const {
    switch (m_state.HandStage) {
        case 2:
            return NextPlacementStage2();
        case 3:
            return NextPlacementStage3();
        case 4:
            return NextPlacementStage4();
        case 5:
            return NextPlacementStage5();
        default:
            return std::nullopt;
    }
}

// Bought cards go to slot 7 then 6; exchanged cards refill the freed slots from the right; after
// a bet the dealer's hidden cards follow.
std::optional<TDecisionTable::TPlacement> TDecisionTable::NextPlacementStage2() const {
    const int step = m_state.Stage2Step;
    if (step == 11 && !m_state.CardInPlayerSlot(6)) return TPlacement{TPlaceKind::cpPlayer, 6, 12};
    if (step == 10 && !m_state.CardInPlayerSlot(7)) return TPlacement{TPlaceKind::cpPlayer, 7, 11};
    for (int slot = kDealtSlots; slot >= 1; --slot) {
        if (!m_state.PlayerSlotUsed[slot]) return TPlacement{TPlaceKind::cpPlayer, slot, step};
    }
    if (IsDealerStep(step)) return NextHiddenDealerCard();
    return std::nullopt;
}

std::optional<TDecisionTable::TPlacement> TDecisionTable::NextPlacementStage3() const {
    const int step = m_state.Stage3Step;
    const std::string& choice2 = m_state.Choice2;
    const bool dealerGameBought = BuysDealerGame(2, choice2);
    if (!dealerGameBought) {
        if (step == 12 && !m_state.CardInPlayerSlot(7)) {
            return TPlacement{TPlaceKind::cpPlayer, 7, 13};
        }
        if (step == 11 && !m_state.CardInPlayerSlot(6)) {
            return TPlacement{TPlaceKind::cpPlayer, 6, 13};
        }
        if (step == 10 && !m_state.CardInPlayerSlot(7)) {
            return TPlacement{TPlaceKind::cpPlayer, 7, 11};
        }
    }
    // A bought card exchanged at decision 2 left slot 7 or 6 free.
    const bool refillsBoughtSlots =
        !dealerGameBought && !IsBetCode(choice2) && !IsPurchaseCode(choice2);
    if (refillsBoughtSlots) {
        for (int slot : {7, 6}) {
            if (!m_state.PlayerSlotUsed[slot]) return TPlacement{TPlaceKind::cpPlayer, slot, step};
        }
    }
    for (int slot = kDealtSlots; slot >= 1; --slot) {
        if (!m_state.PlayerSlotUsed[slot]) return TPlacement{TPlaceKind::cpPlayer, slot, step};
    }
    if (IsDealerStep(step)) return NextHiddenDealerCard();
    if (dealerGameBought) return ReplacementDealerCard(step);
    return std::nullopt;
}

std::optional<TDecisionTable::TPlacement> TDecisionTable::NextPlacementStage4() const {
    const int step = m_state.Stage4Step;
    if (IsDealerStep(step)) return NextHiddenDealerCard();
    if (BuysDealerGame(3, m_state.Choice3)) return ReplacementDealerCard(step);
    return std::nullopt;
}

// The dealer's new card after a game bought at decision 4, or his hidden cards when no decision
// since the first has asked for them: a hand is settled on all five.
std::optional<TDecisionTable::TPlacement> TDecisionTable::NextPlacementStage5() const {
    if (BuysDealerGame(4, m_state.Choice4)) return ReplacementDealerCard(0);
    return NextHiddenDealerCard();
}

// The dealer's hidden cards fill his free slots in the order 3, 4, 2, 5, 1. Slots that already
// hold a card are passed over, so that a card never lands on another.
std::optional<TDecisionTable::TPlacement> TDecisionTable::NextHiddenDealerCard() const {
    for (int step = 1; step <= kDealerSlots; ++step) {
        const int slot = kHiddenDealerSlotOfStep[step];
        if (!m_state.DealerSlotUsed[slot]) return TPlacement{TPlaceKind::cpDealer, slot, step + 1};
    }
    return std::nullopt;
}

std::optional<TDecisionTable::TPlacement> TDecisionTable::ReplacementDealerCard(int step) const {
    for (int slot : kReplacementSearchOrder) {
        if (!m_state.DealerSlotUsed[slot]) return TPlacement{TPlaceKind::cpDealer, slot, step};
    }
    return std::nullopt;
}

// The stage's cards are in when no further click could place one.
void TDecisionTable::CompleteIfNothingMoreArrives() {
    if (!NextPlacement()) CompleteArrivingCards();
}

void TDecisionTable::CompleteArrivingCards() {
    switch (m_state.HandStage) {
        case 2:
            m_state.Stage2Step = kStage2Complete;
            CompleteEntry(kPromptKnown);
            break;
        case 3:
            if (BuysDealerGame(2, m_state.Choice2)) {
                CompleteEntry(kPromptPress1);
            } else {
                m_state.Stage3Step = kStage3Complete;
                CompleteEntry(kPromptKnown);
            }
            break;
        case 4:
            if (BuysDealerGame(3, m_state.Choice3)) {
                CompleteEntry(kPromptPress2);
            } else {
                m_state.Stage4Step = kStage4Complete;
                CompleteEntry(kPromptKnown);
            }
            break;
        case 5:
            CompleteEntry(kPromptPress2);
            break;
        default:
            break;
    }
}

}  // namespace studlab
