// The start of a hand: a new game or a new layout puts the hand back to its first card.

#include <array>
#include <string_view>

#include "table/hand.h"
#include "table/table_prompts.h"
#include "text/number_text.h"

namespace studlab {
namespace {

struct TOpening {
    std::string_view OpenCards;
    std::string_view Prompt;
    int FirstStep;
};

// The number of open dealer cards, compared as text, decides where the layout starts.
constexpr std::array<TOpening, 6> kOpenings = {{
    {"0", kPromptPlayer, 6},
    {"1", kPromptDealerCard, 5},
    {"2", kPromptDealerCards, 4},
    {"3", kPromptDealerCards, 3},
    {"4", kPromptDealerCards, 2},
    {"5", kPromptDealerCards, 1},
}};

}  // namespace

// Sets the prompt and the first step of the layout; false when the design's number of open
// dealer cards is none of "0".."5", in which case the layout is shut until it is corrected.
bool THand::SetOpeningPrompt() {
    for (const TOpening& opening : kOpenings) {
        if (m_design.DealerOpenCards == opening.OpenCards) {
            m_view.Prompt = opening.Prompt;
            m_state.Stage1Step = opening.FirstStep;
            return true;
        }
    }
    m_view.Prompt = std::string(kPromptBadOpenCardsStart) + m_design.DealerOpenCards +
                    std::string(kPromptBadOpenCardsEnd);
    m_state.Stage1Step = 0;
    return false;
}

void THand::HideDecision() {
    m_view.FromCache = false;
    m_view.FromStrategy = false;
    m_view.CandidateCaptions.clear();
    m_view.CandidateValues.clear();
    m_view.CandidatesVisible = false;
    m_view.DecideVisible = false;
    m_view.ContinueVisible = false;
    m_view.CombinationsVisible = false;
}

// A new layout keeps the cards of fixed slots (a marked card comes back down into its slot);
// game selection clears the fix marks and returns every card to the deck.
void THand::StartHand(bool keepFixedSlots) {
    m_state.HandStage = 1;
    m_state.Stage1Step = m_state.Stage2Step = m_state.Stage3Step = m_state.Stage4Step = 1;
    m_state.PlayerBalance = -1.0F;  // the ante
    m_state.ExtraStake = 0.0F;
    m_state.HandFolded = false;
    m_state.HandPaid.reset();
    const bool layoutOpen = SetOpeningPrompt();
    HideDecision();

    if (!keepFixedSlots) {
        m_state.PlayerFixed = {};
        m_state.DealerFixed = {};
    }
    for (int slot = 1; slot <= kDealtSlots; ++slot) {
        m_view.PlayerFixVisible[slot] = m_state.PlayerFixed[slot];
        m_view.DealerFixVisible[slot] = m_state.DealerFixed[slot];
    }

    m_state.PlayerCards.Clear();
    m_state.DealerCards.Clear();
    m_state.OutCards.Clear();
    m_state.PlayerSlotUsed = {};
    m_state.DealerSlotUsed = {};
    for (TCardId id = 1; id <= kCards; ++id) {
        TCardPlace& place = m_state.PlaceOf(id);
        const bool keep = (place.Place == TPlaceKind::cpPlayer && place.Slot <= kDealtSlots &&
                           m_state.PlayerFixed[place.Slot]) ||
                          (place.Place == TPlaceKind::cpDealer && m_state.DealerFixed[place.Slot]);
        if (!keep) {
            place = TCardPlace::Deck();
        } else if (place.Place == TPlaceKind::cpPlayer) {
            place = TCardPlace::Player(place.Slot);
            m_state.PlayerCards.Add(id);
            m_state.PlayerSlotUsed[place.Slot] = true;
        } else {
            m_state.DealerCards.Add(id);
            m_state.DealerSlotUsed[place.Slot] = true;
        }
    }
    // The slots for bought cards stay shut until a purchase opens them.
    m_state.PlayerSlotUsed[6] = true;
    m_state.PlayerSlotUsed[7] = true;

    if (!keepFixedSlots || !layoutOpen) return;
    // Kept cards may already complete the dealer's open cards, or the whole layout.
    if (m_state.UsedDealerSlots() == ParseDesignInteger(m_design.DealerOpenCards)) {
        if (m_state.UsedDealtPlayerSlots() == kDealtSlots) {
            m_state.Stage1Step = 11;
            CompleteEntry(kPromptNeighbours);
        } else {
            m_view.Prompt = kPromptPlayer;
            m_state.Stage1Step = 6;
        }
    }
}

}  // namespace studlab
