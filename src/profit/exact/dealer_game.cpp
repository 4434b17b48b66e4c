// The dealer's game bought or declined once his hand is shown, counted over his completions.

#include "profit/exact/dealer_game.h"

#include <algorithm>
#include <bit>

#include "cards/dealer_completions.h"
#include "cards/five_card_rank.h"
#include "profit/exact/exact_game.h"
#include "table/draw_sums.h"
#include "table/hand_engine.h"

namespace studlab {
namespace {

// The ranks of a hand, three bits of count per rank.
std::uint64_t RankCounts(TCardTable cards) {
    std::uint64_t key = 0;
    cards.ForEach([&](TCardId id) { key += std::uint64_t{1} << (3 * (RankIndexOf(id) - 1)); });
    return key;
}

// The suit all the cards share, 1..4, or 0.
std::uint64_t SharedSuit(TCardTable cards) {
    int suit = -1;
    cards.ForEach([&](TCardId id) {
        const int s = SuitIndexOf(id);
        suit = suit == -1 || suit == s ? s : 0;
    });
    return suit < 0 ? 0 : static_cast<std::uint64_t>(suit);
}

bool SameKey(const TDecisionPoint& a, const TDecisionPoint& b) {
    return a.Stage == b.Stage && a.Player == b.Player && a.Dealer == b.Dealer && a.Out == b.Out &&
           a.Balance == b.Balance && a.ExtraStake == b.ExtraStake;
}

TEvalTallies& operator+=(TEvalTallies& a, const TEvalTallies& b) {
    a.DealerOutcomes += b.DealerOutcomes;
    a.DealerWins += b.DealerWins;
    a.PlayerWins += b.PlayerWins;
    a.Ties += b.Ties;
    a.DealerNoGame += b.DealerNoGame;
    return a;
}

TEvalTallies Times(TEvalTallies t, TCount n) {
    t.DealerOutcomes *= n;
    t.DealerWins *= n;
    t.PlayerWins *= n;
    t.Ties *= n;
    t.DealerNoGame *= n;
    return t;
}

}  // namespace

// Whether five cards give the dealer a game: by their strength where the strengths serve the
// rules, else by the evaluator's counting, once per ranks and flush.
bool TDealerGameCounter::HasGame(TCardTable five) {
    const TCountingRules& rules = m_game.Rules().Counting;
    if (TDealerCompletions::Serves(rules)) return DealerGameAt(RankOfFive(five), rules);
    const std::uint64_t key = RankCounts(five) | (SharedSuit(five) != 0 ? std::uint64_t{1} << 40 : 0);
    const auto found = m_gameOf.find(key);
    if (found != m_gameOf.end()) return found->second;
    const bool game = TCompletionCounts(five, five.Complement(), rules).GameTotal() != 0;
    m_gameOf.emplace(key, game);
    return game;
}

const TDealerGameTally& TDealerGameCounter::Count(const TDecisionPoint& point) {
    if (m_lastValid && SameKey(point, m_lastPoint)) return m_last;
    m_lastPoint = point;
    m_lastValid = true;
    TDealerGameTally& tally = m_last;
    tally = TDealerGameTally();
    const TEvalRules& rules = m_game.Rules();
    const bool lowest = m_game.OfferOptions().DealerBuysLowest;
    const TCardTable unseen = ArrivalCards(point);
    const int hidden = 5 - point.Dealer.Count();

    // The completions without a game, grouped by the dealer's four kept cards.
    m_groupOf.clear();
    m_groups.clear();
    ForEachCardSet(unseen, hidden, [&](TCardTable drawn) {
        const TCardTable dealer = point.Dealer | drawn;
        if (HasGame(dealer)) return;
        ++tally.NoGameHands;
        const TCardId swap = DealerSwapCard(dealer, lowest);
        TCardTable kept = dealer;
        kept.Remove(swap);
        // Another card of the swap card's rank: the suits chose between them.
        kept.ForEach([&](TCardId id) {
            if (RankIndexOf(id) == RankIndexOf(swap)) tally.SuitSensitive = true;
        });
        const std::uint64_t key = RankCounts(kept) | (SharedSuit(kept) << 40);
        const auto [at, added] =
            m_groupOf.try_emplace(key, static_cast<std::uint32_t>(m_groups.size()));
        if (added) m_groups.push_back({kept, 0});
        ++m_groups[at->second].Hands;
    });
    if (tally.NoGameHands == 0) return tally;

    // The purchase: its cost paid as the continuation pays it.
    TOffer buy;
    buy.Action = TPlayerAction::paBuyDealerGame;
    float balance = point.Balance;
    tally.StakeAfter = point.ExtraStake;
    PayCost(balance, tally.StakeAfter, OfferCost(buy, point.Stage, rules));

    const TCardTable seenBefore = point.Player | point.Out;
    for (const TGroup& group : m_groups) {
        // Every card the replacement can be, the thrown-away card among them: it leaves the
        // dealer without a game, as it did.
        const TEvalLayout layout{point.Player, group.Kept, seenBefore | group.Kept,
                                 point.ExtraStake};
        TEvalAnalysis a = AnalyseLayout(rules, layout);
        TEvalTallies& t = a.Tallies;
        --t.DealerNoGame;
        --t.DealerOutcomes;
        --a.DeckRemaining;
        tally.Replacements = static_cast<int>(t.DealerOutcomes);
        if (t.DealerOutcomes <= 0) continue;  // no card left to replace it: nothing to buy
        // As the decision values them: the purchase by the evaluator's mean over the
        // replacement cards, declining by the payout without a game; a tie goes to the purchase,
        // listed first.
        const TEvalResult valued = EvaluateAnalysis(rules, a, kModeBuyDealerGame, point.ExtraStake);
        const std::int64_t buyValue =
            TExactMean{valued.OutcomeSum(), t.DealerOutcomes, t.DealerOutcomes}.Rounded();
        const TEvalResult decline =
            EvaluateAnalysis(rules, a, kModeDeclineDealerGame, point.ExtraStake);
        const bool buys =
            !(static_cast<double>(decline.Value) / 10000.0 > static_cast<double>(buyValue) / 10000.0);
        // As the hand settles: the bet on the final cards, the cost staked.
        const TEvalResult settled = EvaluateAnalysis(rules, a, kModeBet, tally.StakeAfter);
        tally.BoughtPayouts = settled.Payouts;
        if (buys) {
            tally.BoughtHands += group.Hands;
            tally.Bought += Times(t, group.Hands);
        }
        const TWideSum declined = TWideSum{t.DealerOutcomes} * decline.Value;
        const TWideSum gain = settled.OutcomeSum() - declined;
        if (gain > 0) tally.BestGain += gain * group.Hands;
    }
    return tally;
}

}  // namespace studlab
