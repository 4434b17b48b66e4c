#include "table/counted_draws.h"

#include <algorithm>
#include <array>
#include <bit>

#include "cards/combinatorics.h"

namespace studlab {
namespace {

using enum TCombinationKind;

// What decides a five-card hand's payouts when every kind plays: its kind and, where composite pays
// are on, its aces and kings (in five cards a composite adds an ace-king to a pair, two pairs,
// three or four of a kind, or counts the pairs of a full house: all fixed by the kind, the aces
// and the kings).
constexpr std::size_t kPayoutClasses = static_cast<std::size_t>(kKindCount) * 25;

std::size_t PayoutClass(TCombinationKind kind, TCardTable hand, bool composites) {
    const std::size_t byKind = static_cast<std::size_t>(KindIndex(kind) - 1) * 25;
    if (!composites) return byKind;
    return byKind + static_cast<std::size_t>(hand.RankCount(1) * 5 + hand.RankCount(2));
}

}  // namespace

bool TCountedDraws::Serves(const TEvalRules& rules, const TEvalLayout& layout, int cards) {
    if (cards < 1 || cards > TDealerCompletions::kMaxArrival) return false;
    if (layout.Player.Count() + cards != 5 || !TDealerCompletions::Serves(rules.Counting))
        return false;
    const TCardTable deck = layout.Seen.Complement();
    if ((layout.Player | layout.Dealer).Without(layout.Seen) != TCardTable{}) return false;
    const int needed = 5 - layout.Dealer.Count();
    return needed >= 0 && Binomial(deck.Count() - cards, needed) > 0;
}

TDealerCompletions& TCountedDraws::CompletionsFor(const TEvalRules& rules,
                                                  const TEvalLayout& layout) {
    const TCardTable deck = layout.Seen.Complement();
    if (!m_completions || m_completions->Dealer() != layout.Dealer ||
        m_completions->Deck() != deck || m_completions->Rules() != rules.Counting) {
        m_completions.emplace(layout.Dealer, deck, rules.Counting);
    }
    return *m_completions;
}

void TCountedDraws::Prepare(const TEvalRules& rules, const TEvalLayout& layout) {
    if (TDealerCompletions::Serves(rules.Counting) && layout.Dealer.Count() <= 5) {
        CompletionsFor(rules, layout);
    } else {
        Forget();
    }
}

std::optional<TEvalAnalysis> TCountedDraws::Analysis(const TEvalRules& rules,
                                                     const TEvalLayout& layout) {
    if (!m_completions || layout.Player.Count() != 5) return std::nullopt;
    TDealerCompletions& dealer = *m_completions;
    if (layout.Dealer != dealer.Dealer() || dealer.Rules() != rules.Counting) {
        return std::nullopt;
    }
    const TCardTable unseen = UnseenCards(layout);
    const TCardTable gone = dealer.Deck().Without(unseen);
    if (unseen.Without(dealer.Deck()) != TCardTable{} ||
        gone.Count() > TDealerCompletions::kMaxArrival) {
        return std::nullopt;
    }
    const THandRank rank = RankOfFive(layout.Player);
    TEvalAnalysis a;
    a.Kind = KindOfRank(rank);
    a.Kept = layout.Player;
    a.Cards = layout.Player;
    a.Tallies = dealer.Tallies(rank, gone);
    a.GameTotal = a.Tallies.DealerOutcomes - a.Tallies.DealerNoGame;
    a.DealerCards = layout.Dealer.Count();
    a.DeckRemaining = unseen.Count();
    return a;
}

std::optional<TCountedDraws::TArrivalClasses> TCountedDraws::Classes(const TEvalRules& rules,
                                                                     const TEvalLayout& layout,
                                                                     int cards) {
    if (!Serves(rules, layout, cards)) return std::nullopt;
    TDealerCompletions& dealer = CompletionsFor(rules, layout);
    struct TClassSums {
        TClassTallies Sums;
        bool Met = false;
    };
    std::array<TClassSums, kPayoutClasses> classes{};
    TArrivalClasses result;
    result.DeckRemaining = dealer.Deck().Count() - cards;
    const TCardTable base = layout.Player;
    const bool composites = std::any_of(rules.CompositePays.begin(), rules.CompositePays.end(),
                                        [](bool on) { return on; });
    // The arrivals in ascending deck places, each hand's rank key, suits and ranks added up a card
    // at a time from the kept cards'.
    struct TPartial {
        std::uint32_t Key = 0;
        std::uint32_t Suits = 0;
        std::uint32_t Ranks = 0;
        std::uint64_t Mask = 0;
    };
    std::array<TPartial, TDealerCompletions::kMaxArrival + 1> partial{};
    for (std::uint64_t m = base.Mask(); m != 0; m &= m - 1) {
        const int bit = std::countr_zero(m);
        partial[0].Key += kBitRankWeights[static_cast<std::size_t>(bit)];
        partial[0].Suits |= 1U << (bit % 4);
        partial[0].Ranks |= 1U << (bit / 4);
    }
    partial[0].Mask = base.Mask();
    std::array<int, kCards> deckBits{};
    int deckCount = 0;
    for (std::uint64_t m = dealer.Deck().Mask(); m != 0; m &= m - 1) {
        deckBits[static_cast<std::size_t>(deckCount++)] = std::countr_zero(m);
    }
    dealer.PrepareArrivals(cards);
    const TRankLookup lookup = RankLookup();
    TDealerCompletions::TPlaces places{};
    auto arrive = [&](auto& self, int depth, int from) -> void {
        const TPartial& at = partial[static_cast<std::size_t>(depth)];
        if (depth == cards) {
            const THandRank rank = lookup.Rank(at.Key, at.Suits, at.Ranks);
            const TCombinationKind kind = KindOfRank(rank);
            const TEvalTallies t = dealer.TalliesAt(rank, places, cards);
            const TCardTable hand = TCardTable::FromMask(at.Mask);
            TClassSums& c = classes[PayoutClass(kind, hand, composites)];
            if (!c.Met) {
                c.Met = true;
                c.Sums.Kind = kind;
                c.Sums.Hand = hand;
            }
            TEvalTallies& sum = c.Sums.Tallies;
            sum.DealerOutcomes += t.DealerOutcomes;
            sum.DealerWins += t.DealerWins;
            sum.PlayerWins += t.PlayerWins;
            sum.Ties += t.Ties;
            sum.DealerNoGame += t.DealerNoGame;
            ++result.Arrivals;
            return;
        }
        for (int p = from; p <= deckCount - (cards - depth); ++p) {
            const int bit = deckBits[static_cast<std::size_t>(p)];
            places[static_cast<std::size_t>(depth)] = static_cast<std::size_t>(p);
            partial[static_cast<std::size_t>(depth + 1)] = {
                at.Key + kBitRankWeights[static_cast<std::size_t>(bit)],
                at.Suits | (1U << (bit % 4)), at.Ranks | (1U << (bit / 4)),
                at.Mask | (std::uint64_t{1} << bit)};
            self(self, depth + 1, p + 1);
        }
    };
    arrive(arrive, 0, 0);
    for (const TClassSums& c : classes) {
        if (c.Met) result.Classes.push_back(c.Sums);
    }
    return result;
}

TEvalResult TCountedDraws::ClassResult(const TEvalRules& rules, const TClassTallies& c,
                                       int deckRemaining, TEvalMode mode, float extraStake) {
    TEvalAnalysis a;
    a.Kind = c.Kind;
    a.Kept = c.Hand;
    a.Cards = c.Hand;
    a.Tallies = c.Tallies;
    a.DeckRemaining = deckRemaining;
    TEvalResult r = EvaluateAnalysis(rules, a, mode, extraStake);
    r.Tallies = c.Tallies;
    return r;
}

std::optional<TExactMean> TCountedDraws::Mean(const TEvalRules& rules, const TEvalLayout& layout,
                                              int cards, TEvalMode mode) {
    const std::optional<TArrivalClasses> arrivals = Classes(rules, layout, cards);
    if (!arrivals) return std::nullopt;
    TExactMean mean;
    mean.Arrivals = arrivals->Arrivals;
    for (const TClassTallies& c : arrivals->Classes) {
        const TEvalResult r =
            ClassResult(rules, c, arrivals->DeckRemaining, mode, layout.ExtraStake);
        mean.Sum += r.OutcomeSum();
        mean.Outcomes += c.Tallies.DealerOutcomes;
    }
    return mean;
}

}  // namespace studlab
