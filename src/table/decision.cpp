// "РЕШЕНИЕ": the candidates of the stage, the choice, the marks and the settlement of a hand.

#include <algorithm>
#include <string>
#include <vector>

#include "cards/hand_classification.h"
#include "design/design_numbers.h"
#include "design/design_rules.h"
#include "table/choice_codes.h"
#include "table/hand_parts.h"
#include "table/hand_rules.h"
#include "table/offers.h"
#include "text/number_text.h"

namespace studlab {
namespace {

using enum TPlayerAction;

constexpr std::string_view kWinStart = "Вы выграли  ";
constexpr std::string_view kWinEnd = "  анте!";
constexpr std::string_view kLossEnd = "  анте";
constexpr std::string_view kSettleLoss = "Вы проиграли  ";
constexpr std::string_view kDealerGameLoss = "Вы проиграли ";
constexpr std::string_view kEven = "Вы остались при своих";
constexpr std::string_view kDesignConflict =
    "Вы неправильно сконструировали игру. проверьте настройки";

}  // namespace

const TEvalRules& THand::Rules() {
    if (!m_rules) m_rules = MakeEvalRules(m_design, m_settings);
    return *m_rules;
}

TEvalLayout THand::TableLayout() const {
    return {m_state.PlayerCards, m_state.DealerCards,
            m_state.PlayerCards | m_state.DealerCards | m_state.OutCards, m_state.ExtraStake};
}

int THand::AddCandidate(std::string text, std::string value, std::string_view code) {
    const int slot = m_state.Candidates.FirstFreeSlot();
    if (slot == 0) return 0;  // cannot happen: no stage offers more candidates than the table holds
    TCandidateTable::TSlot& s = m_state.Candidates.Slot(slot);
    s.Text = std::move(text);
    s.Value = std::move(value);
    s.Code = code;
    return slot;
}

void THand::Decide() {
    if (BeforeDecision) BeforeDecision();
    m_state.HandCategory =
        ClassifyHand(m_state.PlayerCards, m_design.Plays, m_design.RoundStraight.value_or(false));
    m_sampleCount.reset();  // read when a sampled draw first needs it
    m_state.Candidates.Clear();
    m_rules.reset();
    m_view.FromStrategy = false;
    if (CacheLookup()) return;
    const int stage = m_state.HandStage;
    if (stage == 1 && StrategyLookup()) return;
    switch (stage) {
        case 1:
            DecideStage1();
            break;
        case 2:
        case 3:
        case 4:
            DecideLaterStage(stage);
            break;
        case 5:
            SettleHand(kSettleLoss);
            break;
        default:
            return;
    }
    if (m_settings.UseCacheTable) CacheStore(stage);
}

void THand::DecideStage1() {
    AddOffers();
    ChooseBest(1);
    MarkCardsForExchange();
    m_view.ContinueVisible = m_view.CombinationsVisible = m_view.CandidatesVisible = true;
}

// Decisions 2..4: the choice, then the hand settles where the engine says it does.
void THand::DecideLaterStage(int stage) {
    AddOffers();
    ChooseBest(stage);
    const bool dealerCanHaveGame = DealerCanHaveGame();
    m_view.ContinueVisible = m_view.CombinationsVisible = m_view.CandidatesVisible = true;
    const TSettlesAt settles = SettlesAt(m_state, stage, dealerCanHaveGame);
    if (settles.DealerGameNotNeeded) SettleHand(stage == 2 ? kDealerGameLoss : kSettleLoss);
    if (stage == 2) MarkCardsForExchange();
    if (settles.AfterBet) SettleHand(kSettleLoss);
    if (settles.AfterDealerGame) SettleHand(kSettleLoss);
    if (stage == 2) DesignConflictCheck();
}

void THand::ChooseBest(int stage) {
    // The listing that follows the choice needs the design's numbers: a number that does not
    // convert must stop the press before the choice and the labels change.
    Rules();
    const TCandidateTable::TSlot& chosen = m_state.Candidates.Chosen();
    ListCandidates();
    m_view.Prompt = chosen.Text;
    m_state.Choice(stage) = chosen.Code;
}

// The candidates as the decision window and the decision list show them.
void THand::ListCandidates() {
    const TCandidateTable& candidates = m_state.Candidates;
    m_view.CandidateCaptions = m_view.DecisionListCaptions = candidates.TextList();
    m_view.CandidateValues = m_view.DecisionListValues = ShownAmounts(candidates.ValueList());
}

// The listing of the layout as it stands, which also tells whether any completion of the
// dealer's cards still makes a game.
bool THand::DealerCanHaveGame() {
    ++m_evaluatorCalls;
    const TCombinationListing listing = ListCombinations(Rules(), TableLayout());
    m_view.CombinationCounts = listing.CountsText;
    if (listing.HideKindNames) m_view.CombinationNames.clear();
    return listing.DealerCanHaveGame;
}

void THand::ShowCombinations() {
    m_view.CombinationNames = std::string(kCombinationNames);
    m_rules.reset();
    DealerCanHaveGame();
}

// The chosen exchange's cards are raised: the continuation throws away exactly these.
void THand::MarkCardsForExchange() {
    const TCandidateTable::TSlot& chosen = m_state.Candidates.Chosen();
    ClearExchangeMarks();
    for (std::size_t i = 0; i < 5; ++i) {
        if (const auto id = CardIdByName(chosen.Cards[i])) MarkForExchange(*id);
    }
}

void THand::SettleHand(std::string_view lossText) {
    m_view.DecideVisible = m_view.ContinueVisible = false;
    m_view.CandidatesVisible = false;
    m_state.HandStage = 0;
    const TEvalResult settled = Evaluate(TableLayout(), kModeBet);
    const std::int64_t r = settled.Value;
    m_state.HandPaid = BetPaid(settled);
    if (r > 0) {
        m_view.Prompt = std::string(kWinStart) + FormatTenThousandths(r) + std::string(kWinEnd);
    } else if (r < 0) {
        m_view.Prompt = std::string(lossText) + FormatTenThousandths(-r) + std::string(kLossEnd);
    } else {
        m_view.Prompt = std::string(kEven);
    }
    m_state.HandResult = r;
}

// The player may never hold more than seven cards; a design that could give him more is
// reported at every decision of the second stage.
void THand::DesignConflictCheck() {
    if (!m_design.BuysTooManyCards()) return;
    m_view.Prompt = std::string(kDesignConflict);
    m_view.DecideVisible = m_view.ContinueVisible = m_view.CombinationsVisible = false;
    m_view.CandidatesVisible = false;
}

// The strategy answers for the first layout alone: with known out cards (further boxes, lifted
// cards) the decision is computed. Its choice is listed alone, without values. An exchange is
// computed, as the strategy does not say which cards go; so is the insured bet, which is offered
// only once the bet's valuation finds the hand insurable; and so is every decision of a design
// that samples a draw anywhere (also in the look-ahead after a purchase): the strategy counts
// every arrival, so its choice could differ from the sampled one.
bool THand::StrategyLookup() {
    if (!m_strategies || !m_state.OutCards.Empty()) return false;
    const bool probabilistic = m_settings.CalcMethod == TCalcMethod::cmProbabilistic;
    if (SamplesDraws(m_design, probabilistic)) return false;
    const IFirstChoices* strategy =
        m_strategies->For(m_parts->Fingerprint.Of(m_design, m_settings));
    if (strategy == nullptr) return false;
    const std::optional<std::string_view> code =
        strategy->FirstChoice(m_state.PlayerCards, m_state.DealerCards);
    if (!code || code->empty() || ExchangedCount(*code) || *code == kInsuredBetCode) return false;
    const TDecisionPoint point = CurrentPoint();
    const std::vector<TOffer> offers = OffersAt(point, m_design,
                                                {.Probabilistic = probabilistic,
                                                 .Insurable = true,
                                                 .DealerBuysLowest = m_design.DealerBuysLowest});
    const auto chosen = std::find_if(offers.begin(), offers.end(),
                                     [&](const TOffer& offer) { return offer.Code == *code; });
    if (chosen == offers.end()) return false;
    const std::string caption = OfferCaption(*chosen, 1);
    AddCandidate(caption, "", chosen->Code);
    m_state.Choice(1) = chosen->Code;
    ClearExchangeMarks();
    ListCandidates();
    m_view.Prompt = caption;
    m_view.FromStrategy = true;
    m_view.ContinueVisible = m_view.CombinationsVisible = m_view.CandidatesVisible = true;
    return true;
}

// A row is served only to the design and settings that stored it; the view says it was served.
bool THand::CacheLookup() {
    m_view.FromCache = false;
    if (!m_settings.UseCacheTable) return false;
    const std::optional<TDecisionCacheRow> row =
        m_parts->Cache.Find(m_gameName.value_or(""), m_parts->Fingerprint.Of(m_design, m_settings),
                            LayoutKey(m_state.DealerCards, m_state.PlayerCards, m_state.OutCards));
    if (!row) return false;
    m_view.FromCache = true;
    m_view.CombinationsVisible = m_view.ContinueVisible = m_view.CandidatesVisible = true;
    m_view.CandidateCaptions = row->Captions;
    m_view.CandidateValues = ShownAmounts(row->Values);
    m_view.Prompt = row->Prompt;
    m_state.HandResult =
        RoundHalfEven(static_cast<long double>(ParseDesignNumber(row->Result)) * 10000);
    for (int stage = 1; stage <= kStages; ++stage) m_state.Choice(stage) = row->Choices[stage - 1];
    return true;
}

void THand::CacheStore(int stage) {
    TDecisionCacheRow row;
    row.LayoutKey = LayoutKey(m_state.DealerCards, m_state.PlayerCards, m_state.OutCards);
    // The last stage settles without choosing: the press has no lists.
    if (stage != 5) {
        row.Captions = m_state.Candidates.TextList();
        row.Values = m_state.Candidates.ValueList();
    }
    row.Result = FormatTenThousandths(m_state.HandResult);
    row.Prompt = m_view.Prompt;
    for (int stage = 1; stage <= kStages; ++stage) row.Choices[stage - 1] = m_state.Choice(stage);
    m_parts->Cache.Append(m_gameName.value_or(""), m_parts->Fingerprint.Of(m_design, m_settings),
                          row);
}

}  // namespace studlab
