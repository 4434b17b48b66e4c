// "ПРОДОЛЖИТЬ": carries out the choice of the last decision and opens the next stage.

#include <optional>
#include <string>

#include "table/choice_codes.h"
#include "table/decision_table.h"
#include "table/hand_engine.h"
#include "table/table_prompts.h"
#include "text/number_text.h"

namespace studlab {

void TDecisionTable::ContinueHand() {
    m_view.FromCache = false;  // the prompt moves on from the decision served
    switch (m_state.HandStage) {
        case 1:
            ContinueAfterDecision1();
            break;
        case 2:
            ContinueAfterDecision2();
            break;
        case 3:
            ContinueAfterDecision3();
            break;
        case 4:
            ContinueAfterDecision4();
            break;
        default:
            return;  // settled, or waiting for the last decision
    }
    // Nothing may be left to enter (all the dealer's cards open, an exchange with no card
    // marked, a decision that offered nothing): the next decision can follow at once.
    if (m_state.HandStage != 0) CompleteIfNothingMoreArrives();
}

// What the chosen action costs; read before anything changes, so that a cost that does not
// convert leaves the hand as it was, ready to continue once the design is corrected.
std::optional<double> TDecisionTable::CostOf(int decision, const std::string& code) const {
    return ChoiceCost(m_design, m_settings, decision, code);
}

void TDecisionTable::Pay(std::optional<double> amount) {
    if (amount) PayCost(m_state.PlayerBalance, m_state.ExtraStake, *amount);
}

// A fold loses everything paid so far: the ante and the costs.
void TDecisionTable::Fold() {
    m_view.Prompt = std::string(kFoldLossStart) + FormatAmount(-m_state.PlayerBalance) +
                    std::string(kFoldLossEnd);
    m_state.HandStage = 0;
    m_state.HandFolded = true;
    m_state.HandResult = FoldSettlement(m_state.PlayerBalance).Result;
}

// The dealer's hidden cards go into his free slots; the prompt counts what is left to enter.
void TDecisionTable::AskForHiddenDealerCards(int& step) {
    const int free = kDealerSlots - m_state.UsedDealerSlots();
    step = 0;
    if (free == 0) return;  // all his cards lie open: nothing to enter
    if (free == kDealerSlots) {
        m_view.Prompt = kPromptDealerCards;
    } else if (free == 1) {
        m_view.Prompt = kPromptLastDealerCard;
    } else {
        m_view.Prompt = kPromptRemainingDealerCards;
    }
    if (const std::optional<TPlacement> first = NextHiddenDealerCard()) step = first->NextStep - 1;
}

// The cards the decision marked leave the table when the choice exchanges them. Any other
// choice leaves them where they are: the marks are left over from an earlier press.
void TDecisionTable::SettleExchangeMarks(bool exchanged) {
    for (TCardId id = 1; id <= kCards; ++id) {
        TCardPlace& place = m_state.PlaceOf(id);
        if (place.Place != TPlaceKind::cpPlayer || !place.Marked) continue;
        if (exchanged) {
            MoveCard(id, TCardPlace::ThrownAway());
        } else {
            place.Marked = false;
        }
    }
}

// A name that is no card of the dealer's throws nothing away.
void TDecisionTable::ThrowAwayDealerSwapCard() {
    const std::optional<TCardId> id = CardIdByName(m_state.DealerSwapCard);
    if (id && m_state.PlaceOf(*id).Place == TPlaceKind::cpDealer) {
        MoveCard(*id, TCardPlace::ThrownAway());
    }
}

// Moves the hand on to `stage`: the decision's buttons go and its lists are emptied; after the
// first decision "комбинации" stays.
void TDecisionTable::OpenStage(int stage, bool hideCombinations) {
    m_state.HandStage = stage;
    m_view.DecideVisible = false;
    m_view.ContinueVisible = false;
    if (hideCombinations) m_view.CombinationsVisible = false;
    m_view.CandidateCaptions.clear();
    m_view.CandidateValues.clear();
}

void TDecisionTable::ContinueAfterDecision1() {
    const std::string code = m_state.Choice1;
    const std::optional<double> cost = CostOf(1, code);
    OpenStage(2, false);
    SettleExchangeMarks(ExchangedCount(code).has_value());
    if (code == kFoldCode) {
        Fold();
    } else if (IsBetCode(code)) {
        AskForHiddenDealerCards(m_state.Stage2Step);
    } else if (code == kBuyCardCode) {
        Pay(cost);
        m_view.Prompt = kPromptBoughtCard;
        m_state.Stage2Step = 11;  // into slot 6
    } else if (code == kBuyTwoCardsCode) {
        Pay(cost);
        m_view.Prompt = kPromptArrivedCards;
        m_state.Stage2Step = 10;  // into slot 7, then slot 6
    } else if (ExchangedCount(code)) {
        Pay(cost);
        m_view.Prompt = kPromptArrivedCards;
        m_state.Stage2Step = 0;  // the freed slots refill; the dealer's steps stay shut
    } else {
        m_state.Stage2Step = 0;  // the decision offered nothing: no card arrives
    }
    m_view.PlayerFixVisible = {};
    m_view.DealerFixVisible = {};
}

void TDecisionTable::ContinueAfterDecision2() {
    const std::string code = m_state.Choice2;
    const std::optional<double> cost = CostOf(2, code);
    OpenStage(3, true);
    // Here a marked card may also be a card bought at decision 1, in slot 6 or 7.
    SettleExchangeMarks(ExchangedCount(code).has_value());
    if (code == kFoldCode) {
        Fold();
    } else if (IsBetCode(code)) {
        AskForHiddenDealerCards(m_state.Stage3Step);
        m_state.PlayerSlotUsed[6] = true;
        m_state.PlayerSlotUsed[7] = true;
    } else if (code == kBuyCardCode) {
        Pay(cost);
        m_view.Prompt = kPromptBoughtCard;
        // Slot 6 already holds the card bought at decision 1.
        m_state.Stage3Step = m_state.Choice1 == kBuyCardCode ? 12 : 11;
    } else if (code == kBuyTwoCardsCode) {
        Pay(cost);
        m_view.Prompt = kPromptArrivedCards;
        m_state.Stage3Step = 10;
    } else if (ExchangedCount(code)) {
        Pay(cost);
        m_view.Prompt = kPromptArrivedCards;
        m_state.Stage3Step = 0;
    } else if (BuysDealerGame(2, code)) {
        Pay(cost);
        ThrowAwayDealerSwapCard();
        m_view.Prompt = kPromptDealerNewCard;
        m_state.Stage3Step = 0;  // the new card takes the freed dealer slot
    } else {
        m_state.Stage3Step = 0;
    }
}

void TDecisionTable::ContinueAfterDecision3() {
    const std::string code = m_state.Choice3;
    const std::optional<double> cost = CostOf(3, code);
    OpenStage(4, true);
    if (code == kFoldCode) {
        Fold();
    } else if (IsBetCode(code)) {
        AskForHiddenDealerCards(m_state.Stage4Step);
    } else if (BuysDealerGame(3, code)) {
        ThrowAwayDealerSwapCard();
        Pay(cost);
        m_view.Prompt = kPromptDealerNewCard;
        m_state.Stage4Step = 0;
    } else {
        // The last decision of the player offered nothing: the hand goes on to its settlement,
        // which needs every card of the dealer's hand.
        AskForHiddenDealerCards(m_state.Stage4Step);
    }
}

void TDecisionTable::ContinueAfterDecision4() {
    const std::string code = m_state.Choice4;
    const std::optional<double> cost = CostOf(4, code);
    OpenStage(5, true);
    if (BuysDealerGame(4, code)) {
        ThrowAwayDealerSwapCard();
        Pay(cost);
        m_view.Prompt = kPromptDealerNewCard;
    } else {
        // The settlement that follows needs every card of the dealer's hand.
        int unused = 0;
        AskForHiddenDealerCards(unused);
    }
}

}  // namespace studlab
