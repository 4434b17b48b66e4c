// "РЕШЕНИЕ": the candidates of the stage, the choice, the marks and the settlement of a hand.

#include <initializer_list>

#include "cards/hand_classification.h"
#include "design/design_rules.h"
#include "table/decision_table.h"
#include "text/number_text.h"

namespace studlab {
namespace {

using enum TPlayerAction;

constexpr std::string_view kFoldCaption = "сделать пас";
constexpr std::string_view kBetCaption = "забиться";
constexpr std::string_view kWinStart = "Вы выграли  ";
constexpr std::string_view kWinEnd = "  анте!";
constexpr std::string_view kLossEnd = "  анте";
constexpr std::string_view kSettleLoss = "Вы проиграли  ";
constexpr std::string_view kDealerGameLoss = "Вы проиграли ";
constexpr std::string_view kEven = "Вы остались при своих";
constexpr std::string_view kDesignConflict =
    "Вы неправильно сконструировали игру. проверьте настройки";

bool IsOneOf(const std::string& code, std::initializer_list<std::string_view> codes) {
    for (std::string_view c : codes) {
        if (code == c) return true;
    }
    return false;
}

}  // namespace

const TEvalRules& TDecisionTable::Rules() {
    if (!m_rules) m_rules = MakeEvalRules(m_design, m_settings);
    return *m_rules;
}

TEvalLayout TDecisionTable::TableLayout() const {
    return {m_state.PlayerCards, m_state.DealerCards,
            m_state.PlayerCards | m_state.DealerCards | m_state.OutCards, m_state.ExtraStake};
}

std::int64_t TDecisionTable::Evaluate(const TEvalLayout& layout, TEvalMode mode) {
    ++m_evaluatorCalls;
    const TEvalResult result = EvaluateLayout(Rules(), layout, mode);
    m_state.HandInsurable = result.HandInsurable;
    return result.Value;
}

int TDecisionTable::AddCandidate(std::string text, std::string value, std::string code) {
    const int slot = m_state.Candidates.FirstFreeSlot();
    if (slot == 0) return 0;  // cannot happen: no stage offers more candidates than the table holds
    TCandidateTable::TSlot& s = m_state.Candidates.Slot(slot);
    s.Text = std::move(text);
    s.Value = std::move(value);
    s.Code = std::move(code);
    return slot;
}

void TDecisionTable::Decide() {
    if (ProcessPendingEvents) ProcessPendingEvents();
    m_state.HandCategory = ClassifyHand(m_state.PlayerCards, m_design.Plays);
    const std::string& cycles = m_settings.ProbabilisticCycles;
    m_sampleCount = cycles.empty() ? 2000 : ParseDesignInteger(cycles);
    m_state.Candidates.Clear();
    m_rules.reset();
    if (CacheLookup()) return;
    const int stage = m_state.HandStage;
    switch (stage) {
        case 1:
            DecideStage1();
            break;
        case 2:
            DecideStage2();
            break;
        case 3:
            DecideStage3();
            break;
        case 4:
            DecideStage4();
            break;
        case 5:
            SettleHand(kSettleLoss);
            break;
        default:
            return;
    }
    if (m_settings.UseCacheTable) CacheStore(stage);
}

void TDecisionTable::DecideStage1() {
    const TEvalLayout layout = TableLayout();
    if (m_design.Allows(1, paFold)) AddCandidate(std::string(kFoldCaption), "-1", "1");
    if (m_design.Allows(1, paBet)) {
        AddCandidate(std::string(kBetCaption), FormatTenThousandths(Evaluate(layout, kModeBet)),
                     "2");
    } else {
        Evaluate(layout, kModeBet);  // tells whether the hand is insurable
    }
    if (m_design.Allows(1, paBetInsured) && m_state.HandInsurable) {
        AddCandidate("забиться со страховкой ",
                     FormatTenThousandths(Evaluate(layout, kModeBetInsured)), "3");
    }
    if (m_design.Allows(1, paBuyCard)) OfferBuyCard(1);
    if (m_design.Allows(1, paBuyTwoCards)) OfferBuyTwoCards(1);
    if (m_design.Allows(1, paExchange1)) OfferExchange1(1);
    if (m_design.Allows(1, paExchange2)) OfferExchange2(1);
    if (m_design.Allows(1, paExchange3)) OfferExchange3(1);
    if (m_design.Allows(1, paExchange4)) OfferExchange4(1);
    if (m_design.Allows(1, paExchange5)) OfferExchange5(1);
    ChooseBest(1);
    MarkCardsForExchange();
    m_view.Button2Visible = m_view.Button3Visible = m_view.Label3Visible = m_view.Label4Visible =
        true;
}

void TDecisionTable::DecideStage2() {
    const std::string& c1 = m_state.Choice1;
    const bool afterDraw = !IsOneOf(c1, {"1", "2", "3"});  // not after a fold or a bet
    const TEvalLayout layout = TableLayout();
    if (m_design.Allows(2, paFold) && afterDraw) {
        AddCandidate(std::string(kFoldCaption), FormatNumber(m_state.PlayerBalance), "1");
    }
    if (m_design.Allows(2, paBet) && afterDraw) {
        AddCandidate(std::string(kBetCaption), FormatTenThousandths(Evaluate(layout, kModeBet)),
                     "2");
    }
    if (m_design.Allows(2, paBetInsured) && afterDraw) {
        AddCandidate("забиться со страховкой",
                     FormatTenThousandths(Evaluate(layout, kModeBetInsured)), "3");
    }
    if (m_design.Allows(2, paBuyCard) && !IsOneOf(c1, {"1", "2", "3", "5"})) OfferBuyCard(2);
    if (m_design.Allows(2, paBuyTwoCards) && !IsOneOf(c1, {"1", "2", "3", "4", "5"}))
        OfferBuyTwoCards(2);
    if (afterDraw) {
        if (m_design.Allows(2, paExchange1)) OfferExchange1(2);
        if (m_design.Allows(2, paExchange2)) OfferExchange2(2);
        if (m_design.Allows(2, paExchange3)) OfferExchange3(2);
        if (m_design.Allows(2, paExchange4)) OfferExchange4(2);
        if (m_design.Allows(2, paExchange5)) OfferExchange5(2);
    }
    if (m_design.Allows(2, paBuyDealerGame) && IsOneOf(c1, {"2", "3"})) OfferDealerGame(2);
    ChooseBest(2);
    const bool dealerCanHaveGame = DealerCanHaveGame();
    m_view.Button2Visible = m_view.Button3Visible = m_view.Label3Visible = m_view.Label4Visible =
        true;
    if (dealerCanHaveGame && m_state.Choice2 == "11") SettleHand(kDealerGameLoss);
    MarkCardsForExchange();
    if (IsOneOf(c1, {"2", "3"}) && m_state.Choice2 != "11") SettleHand(kSettleLoss);
    DesignConflictCheck();
}

void TDecisionTable::DecideStage3() {
    const std::string& c2 = m_state.Choice2;
    const bool afterDraw = !IsOneOf(c2, {"1", "2", "3", "11"});
    const TEvalLayout layout = TableLayout();
    if (m_design.Allows(3, paFold) && afterDraw) {
        AddCandidate(std::string(kFoldCaption), FormatNumber(m_state.PlayerBalance), "1");
    }
    if (m_design.Allows(3, paBet) && afterDraw) {
        AddCandidate(std::string(kBetCaption), FormatTenThousandths(Evaluate(layout, kModeBet)),
                     "2");
    }
    if (m_design.Allows(3, paBetInsured) && afterDraw) {
        AddCandidate("забиться со страховкой",
                     FormatTenThousandths(Evaluate(layout, kModeBetInsured)), "3");
    }
    if (m_design.Allows(3, paBuyDealerGame) && IsOneOf(c2, {"2", "3"})) OfferDealerGame(3);
    ChooseBest(3);
    const bool dealerCanHaveGame = DealerCanHaveGame();
    m_view.Button2Visible = m_view.Button3Visible = m_view.Label3Visible = m_view.Label4Visible =
        true;
    if (dealerCanHaveGame && m_state.Choice3 == "4") SettleHand(kSettleLoss);
    if (IsOneOf(c2, {"2", "3"}) && m_state.Choice3 != "4") SettleHand(kSettleLoss);
    if (c2 == "11") SettleHand(kSettleLoss);
}

void TDecisionTable::DecideStage4() {
    if (m_design.Allows(4, paBuyDealerGame)) OfferDealerGame(4);
    ChooseBest(4);
    const bool dealerCanHaveGame = DealerCanHaveGame();
    m_view.Button2Visible = m_view.Button3Visible = m_view.Label3Visible = m_view.Label4Visible =
        true;
    if (dealerCanHaveGame && m_state.Choice4 == "1") SettleHand(kSettleLoss);
    if (IsOneOf(m_state.Choice3, {"2", "3"}) && m_state.Choice4 != "1") SettleHand(kSettleLoss);
    if (m_state.Choice3 == "4") SettleHand(kSettleLoss);
}

void TDecisionTable::ChooseBest(int stage) {
    // The listing that follows the choice needs the design's numbers: a number that does not
    // convert must stop the press before the choice and the labels change.
    Rules();
    const TCandidateTable& candidates = m_state.Candidates;
    const TCandidateTable::TSlot& chosen = candidates.Chosen();
    m_view.Label3 = m_view.ListWindowTexts = candidates.TextList();
    m_view.Label4 = m_view.ListWindowValues = candidates.ValueList();
    m_view.Label1 = chosen.Text;
    m_state.Choice(stage) = chosen.Code;
}

// The listing of the layout as it stands, which also tells whether any completion of the
// dealer's cards still makes a game.
bool TDecisionTable::DealerCanHaveGame() {
    ++m_evaluatorCalls;
    const TCombinationListing listing = ListCombinations(Rules(), TableLayout());
    m_view.CombinationCounts = listing.RightLabel;
    if (listing.EmptyLeftLabel) m_view.CombinationNames.clear();
    return listing.DealerCanHaveGame;
}

void TDecisionTable::ShowCombinations() {
    m_view.CombinationNames = std::string(kCombinationNames);
    m_rules.reset();
    DealerCanHaveGame();
}

// The chosen exchange's cards are raised: the continuation throws away exactly these.
void TDecisionTable::MarkCardsForExchange() {
    const TCandidateTable::TSlot& chosen = m_state.Candidates.Chosen();
    ClearExchangeMarks();
    for (std::size_t i = 0; i < 5; ++i) {
        if (const auto id = CardIdByName(chosen.Cards[i])) MarkForExchange(*id);
    }
}

void TDecisionTable::SettleHand(std::string_view lossText) {
    m_view.Button1Visible = m_view.Button2Visible = false;
    m_view.Label3Visible = m_view.Label4Visible = false;
    m_state.HandStage = 0;
    const std::int64_t r = Evaluate(TableLayout(), kModeBet);
    if (r > 0) {
        m_view.Label1 = std::string(kWinStart) + FormatTenThousandths(r) + std::string(kWinEnd);
    } else if (r < 0) {
        m_view.Label1 = std::string(lossText) + FormatTenThousandths(-r) + std::string(kLossEnd);
    } else {
        m_view.Label1 = std::string(kEven);
    }
    m_state.HandResult = r;
}

// The player may never hold more than seven cards; a design that could give him more is
// reported at every decision of the second stage.
void TDecisionTable::DesignConflictCheck() {
    if (!m_design.BuysTooManyCards()) return;
    m_view.Label1 = std::string(kDesignConflict);
    m_view.Button1Visible = m_view.Button2Visible = m_view.Button3Visible = false;
    m_view.Label3Visible = m_view.Label4Visible = false;
}

// A row is served only to the design and settings that stored it; the view says it was served.
bool TDecisionTable::CacheLookup() {
    m_view.FromCache = false;
    if (!m_settings.UseCacheTable) return false;
    const std::optional<TDecisionCacheRow> row =
        m_cache.Find(m_gameName.value_or(""), m_fingerprint.Of(m_design, m_settings),
                     LayoutKey(m_state.DealerCards, m_state.PlayerCards, m_state.OutCards));
    if (!row) return false;
    m_view.FromCache = true;
    m_view.Button3Visible = m_view.Button2Visible = m_view.Label3Visible = m_view.Label4Visible =
        true;
    m_view.Label3 = row->Choose;
    m_view.Label4 = row->ChooseN;
    m_view.Label1 = row->Nadpis;
    m_state.HandResult =
        RoundHalfEven(static_cast<long double>(ParseDesignNumber(row->MoR)) * 10000);
    for (int stage = 1; stage <= kStages; ++stage) m_state.Choice(stage) = row->Reshenie[stage - 1];
    return true;
}

void TDecisionTable::CacheStore(int stage) {
    TDecisionCacheRow row;
    row.Matrix = LayoutKey(m_state.DealerCards, m_state.PlayerCards, m_state.OutCards);
    // The last stage settles without choosing: the press has no lists.
    if (stage != 5) {
        row.Choose = m_state.Candidates.TextList();
        row.ChooseN = m_state.Candidates.ValueList();
    }
    row.MoR = FormatTenThousandths(m_state.HandResult);
    row.Nadpis = m_view.Label1;
    for (int stage = 1; stage <= kStages; ++stage) row.Reshenie[stage - 1] = m_state.Choice(stage);
    m_cache.Append(m_gameName.value_or(""), m_fingerprint.Of(m_design, m_settings), row);
}

}  // namespace studlab
