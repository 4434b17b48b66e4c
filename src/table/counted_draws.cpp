#include "table/counted_draws.h"

#include <array>

#include "cards/combinatorics.h"

namespace studlab {
namespace {

using enum TCombinationKind;

// What decides a hand's payouts: its kind and, for the pair and two pairs that an ace-king may
// add to, its aces and kings.
constexpr std::size_t kPayoutClasses = static_cast<std::size_t>(kKindCount) * 25;

std::size_t PayoutClass(TCombinationKind kind, TCardTable hand) {
    std::size_t index = static_cast<std::size_t>(KindIndex(kind) - 1) * 25;
    if (kind == ckPair || kind == ckTwoPairs) {
        index += static_cast<std::size_t>(hand.RankCount(1) * 5 + hand.RankCount(2));
    }
    return index;
}

bool SameCounting(const TCountingRules& a, const TCountingRules& b) {
    return a.Plays == b.Plays && a.MinPair == b.MinPair && a.MinAceKing == b.MinAceKing;
}

}  // namespace

bool TCountedDraws::Serves(const TEvalRules& rules, const TEvalLayout& layout, int cards) {
    if (cards < 1 || cards > TDealerCompletions::kMaxArrival) return false;
    if (layout.Player.Count() + cards != 5 || !TDealerCompletions::Serves(rules.Counting)) return false;
    const TCardTable deck = layout.Seen.Complement();
    if ((layout.Player | layout.Dealer).Without(layout.Seen) != TCardTable{}) return false;
    const int needed = 5 - layout.Dealer.Count();
    return needed >= 0 && Binomial(deck.Count() - cards, needed) > 0;
}

TDealerCompletions& TCountedDraws::CompletionsFor(const TEvalRules& rules,
                                                  const TEvalLayout& layout) {
    const TCardTable deck = layout.Seen.Complement();
    if (!m_completions || m_completions->Dealer() != layout.Dealer ||
        m_completions->Deck() != deck || !SameCounting(m_completions->Rules(), rules.Counting)) {
        m_completions.emplace(layout.Dealer, deck, rules.Counting);
    }
    return *m_completions;
}

std::optional<TExactMean> TCountedDraws::Mean(const TEvalRules& rules, const TEvalLayout& layout,
                                              int cards, TEvalMode mode) {
    if (!Serves(rules, layout, cards)) return std::nullopt;
    TDealerCompletions& dealer = CompletionsFor(rules, layout);
    // The tallies of every arrival, added up per payout class.
    struct TClassSums {
        TEvalTallies Tallies;
        TCardTable Hand;  // one hand of the class, for its payouts
        bool Met = false;
    };
    std::array<TClassSums, kPayoutClasses> classes{};
    TExactMean mean;
    const TCardTable base = layout.Player;
    ForEachCardSet(layout.Seen.Complement(), cards, [&](TCardTable arrival) {
        const TCardTable hand = base | arrival;
        const THandRank rank = RankOfFive(hand);
        const TCombinationKind kind = KindOfRank(rank);
        const TEvalTallies t = dealer.Tallies(rank, arrival);
        TClassSums& c = classes[PayoutClass(kind, hand)];
        if (!c.Met) {
            c.Met = true;
            c.Hand = hand;
        }
        c.Tallies.DealerOutcomes += t.DealerOutcomes;
        c.Tallies.DealerWins += t.DealerWins;
        c.Tallies.PlayerWins += t.PlayerWins;
        c.Tallies.Ties += t.Ties;
        c.Tallies.DealerNoGame += t.DealerNoGame;
        ++mean.Arrivals;
    });
    for (const TClassSums& c : classes) {
        if (!c.Met) continue;
        // The payouts of the class as the evaluator works them out for one of its hands.
        TEvalAnalysis a;
        a.Kind = KindOfRank(RankOfFive(c.Hand));
        a.Kept = c.Hand;
        a.Tallies = c.Tallies;
        a.DeckRemaining = dealer.Deck().Count() - cards;
        TEvalResult r = EvaluateAnalysis(rules, a, mode, layout.ExtraStake);
        r.Tallies = c.Tallies;
        mean.Sum += r.OutcomeSum();
        mean.Outcomes += c.Tallies.DealerOutcomes;
    }
    return mean;
}

}  // namespace studlab
