// The card entry of the hand: where each card goes, stage by stage.

#include <stdexcept>

#include "table/choice_codes.h"
#include "table/hand.h"
#include "table/hand_rules.h"
#include "table/table_prompts.h"
#include "text/number_text.h"

namespace studlab {
namespace {

constexpr int kFirstPlayerStep = 6;
constexpr int kInitialLayoutComplete = 11;

// Steps at which the arriving cards of stages 2..4 are complete and clicks lift known cards.
constexpr int kStage2Complete = 12;
constexpr int kStage3Complete = 13;
constexpr int kStage4Complete = 6;

}  // namespace

void THand::PlaceCard(RankIndex rank, SuitIndex suit) {
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

bool THand::EntryOpen() const {
    switch (m_state.HandStage) {
        case 0:
            return false;
        case 1:
            return GameChosen() && m_state.Stage1Step != 0;
        default:
            return true;
    }
}

void THand::CompleteEntry(std::string_view prompt) {
    m_view.Prompt = prompt;
    m_view.DecideVisible = true;
    m_view.ContinueVisible = false;
}

// Stage 1: the dealer's open cards, then the player's five, then known out cards. Slots that
// already hold a card (kept by a new layout) are skipped.
void THand::PlaceInitialCard(TCardId card) {
    int& step = m_state.Stage1Step;
    // Step 0: the design's number of open dealer cards is unusable; nothing is laid out.
    if (step < 1 || step > kInitialLayoutComplete) return;
    for (;;) {
        if (step == kInitialLayoutComplete) {
            Toggle(card);
            return;
        }
        if (step >= kFirstPlayerStep) {
            const int slot = InitialPlacement(step).Slot;
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
        const int slot = InitialPlacement(step).Slot;
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
void THand::PlaceArrivingCard(TCardId card) {
    const int stage = m_state.HandStage;
    const int toggleStep = ToggleStep();
    if (toggleStep != 0 && m_state.EntryStep(stage) == toggleStep) {
        Toggle(card);
        return;
    }
    if (!m_state.PlaceOf(card).InDeck()) return;
    const std::optional<TCardPlacement> placement = NextPlacement(m_state);
    if (!placement) return;
    if (placement->Row == TPlaceKind::cpPlayer) {
        PutIntoPlayerSlot(card, placement->Slot);
    } else {
        PutIntoDealerSlot(card, placement->Slot);
    }
    if (stage <= 4) m_state.EntryStep(stage) = placement->NextStep;
    CompleteIfNothingMoreArrives();
}

int THand::ToggleStep() const {
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

// The stage's cards are in when no further click could place one.
void THand::CompleteIfNothingMoreArrives() {
    if (!NextPlacement(m_state)) CompleteArrivingCards();
}

void THand::CompleteArrivingCards() {
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
