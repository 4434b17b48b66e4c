// "ПРОДОЛЖИТЬ": carries out the choice of the last decision and opens the next stage; what the
// choice does to the cards is the draw of hand_rules.h; this adds the prompt that follows.

#include <optional>
#include <string>

#include "table/hand.h"
#include "table/hand_rules.h"
#include "table/table_prompts.h"
#include "text/number_text.h"

namespace studlab {

void THand::Continue() {
    m_view.FromCache = false;  // the prompt moves on from the decision served
    m_view.FromStrategy = false;
    const int decision = m_state.HandStage;
    if (decision < 1 || decision > 4) return;  // settled, or waiting for the last decision
    // What the chosen action costs is read before anything changes, so that a cost that does
    // not convert leaves the hand as it was, ready to continue once the design is corrected.
    const std::optional<double> cost =
        ChoiceCost(m_design, m_settings, decision, m_state.Choice(decision));
    const TDrawNext next = CarryOutChoice(m_state, cost);

    // The decision's buttons go and its lists are emptied; after the first decision
    // "комбинации" stays, and the fix buttons go.
    m_view.DecideVisible = false;
    m_view.ContinueVisible = false;
    if (decision > 1) m_view.CombinationsVisible = false;
    m_view.CandidateCaptions.clear();
    m_view.CandidateValues.clear();
    if (decision == 1) {
        m_view.PlayerFixVisible = {};
        m_view.DealerFixVisible = {};
    }
    switch (next) {
        case TDrawNext::dnFold:
            m_view.Prompt = std::string(kFoldLossStart) + FormatAmount(-m_state.PlayerBalance) +
                            std::string(kFoldLossEnd);
            break;
        case TDrawNext::dnDealerHiddenCards: {
            // The prompt counts what is left to enter.
            const int free = kDealerSlots - m_state.UsedDealerSlots();
            if (free == kDealerSlots) {
                m_view.Prompt = kPromptDealerCards;
            } else if (free == 1) {
                m_view.Prompt = kPromptLastDealerCard;
            } else {
                m_view.Prompt = kPromptRemainingDealerCards;
            }
            break;
        }
        case TDrawNext::dnBoughtCard:
            m_view.Prompt = kPromptBoughtCard;
            break;
        case TDrawNext::dnArrivingCards:
            m_view.Prompt = kPromptArrivedCards;
            break;
        case TDrawNext::dnDealerNewCard:
            m_view.Prompt = kPromptDealerNewCard;
            break;
        case TDrawNext::dnNothing:
            break;
    }
    // Nothing may be left to enter (all the dealer's cards open, an exchange with no card
    // marked, a decision that offered nothing): the next decision can follow at once.
    if (m_state.HandStage != 0) CompleteIfNothingMoreArrives();
}

}  // namespace studlab
