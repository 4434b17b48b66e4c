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
        m_avoided.reset();
        if (m_completions) {
            m_completions->Tally(layout.Dealer, deck, rules.Counting);
        } else {
            m_completions.emplace(layout.Dealer, deck, rules.Counting);
        }
        m_batches = {};
    }
    return *m_completions;
}

void TCountedDraws::Prepare(const TEvalRules& rules, const TEvalLayout& layout) {
    m_batches = {};
    m_hand = layout.Player;
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
    // The walk of a decision's draws meets each arrival with every hand it completes in turn:
    // what the arrival takes from the dealer is read once for them.
    if (!m_avoided || m_avoidedCards != gone) {
        TDealerCompletions::TPlaces places{};
        int k = 0;
        for (std::uint64_t m = gone.Mask(); m != 0; m &= m - 1) {
            places[static_cast<std::size_t>(k++)] = dealer.Place(std::countr_zero(m));
        }
        dealer.PrepareArrivals(k);
        m_avoided = dealer.Avoided(places, k);
        m_avoidedCards = gone;
    }
    a.Tallies = dealer.TalliesAt(rank, *m_avoided);
    a.GameTotal = a.Tallies.DealerOutcomes - a.Tallies.DealerNoGame;
    a.DealerCards = layout.Dealer.Count();
    a.DeckRemaining = unseen.Count();
    return a;
}

namespace {

// A hand's rank key, suits (bit suit - 1) and ranks (bit rank - 1), added up a card at a time.
struct TPartialHand {
    std::uint32_t Key = 0;
    std::uint32_t Suits = 0;
    std::uint32_t Ranks = 0;
    std::uint64_t Mask = 0;

    TPartialHand With(int bit) const {
        return {Key + kBitRankWeights[static_cast<std::size_t>(bit)], Suits | (1U << (bit % 4)),
                Ranks | (1U << (bit / 4)), Mask | (std::uint64_t{1} << bit)};
    }
    TPartialHand With(const TPartialHand& other) const {
        return {Key + other.Key, Suits | other.Suits, Ranks | other.Ranks, Mask | other.Mask};
    }
    static TPartialHand Of(TCardTable cards) {
        TPartialHand h;
        for (std::uint64_t m = cards.Mask(); m != 0; m &= m - 1) h = h.With(std::countr_zero(m));
        return h;
    }
};

}  // namespace

std::optional<TCountedDraws::TArrivalClasses> TCountedDraws::Classes(const TEvalRules& rules,
                                                                     const TEvalLayout& layout,
                                                                     int cards) {
    if (!Serves(rules, layout, cards)) return std::nullopt;
    TDealerCompletions& dealer = CompletionsFor(rules, layout);
    const bool composites = std::any_of(rules.CompositePays.begin(), rules.CompositePays.end(),
                                        [](bool on) { return on; });
    TBatch& batch = m_batches[static_cast<std::size_t>(cards)];
    const std::uint64_t kept = layout.Player.Mask();
    // Every draw of one decision keeps some of the same hand's cards: they are counted together,
    // arrival by arrival, so that the dealer's completions an arrival avoids are read once for
    // all of them.
    // The prepared hand stands for the draw only where its cards are out of this deck: kept cards
    // of another decision's hand could arrive again.
    const bool ofTheHand = layout.Player.Without(m_hand) == TCardTable{} &&
                           (m_hand & dealer.Deck()) == TCardTable{};
    if (ofTheHand && (!batch.Done || batch.Composites != composites)) {
        CountBatch(dealer, m_hand, cards, composites, batch);
    }
    if (ofTheHand) {
        for (const auto& [mask, classes] : batch.Kept) {
            if (mask == kept) return classes;
        }
    }
    // A hand the batch does not stand for: counted on its own.
    TBatch single;
    CountBatch(dealer, layout.Player, cards, composites, single);
    return single.Kept.front().second;
}

void TCountedDraws::CountBatch(TDealerCompletions& dealer, TCardTable hand, int cards,
                               bool composites, TBatch& batch) {
    struct TClassSums {
        TClassTallies Sums;
        bool Met = false;
    };
    // Every subset of the hand that an arrival of `cards` cards makes five.
    std::vector<TPartialHand> kept;
    ForEachCardSet(hand, 5 - cards, [&](TCardTable k) { kept.push_back(TPartialHand::Of(k)); });
    std::vector<std::array<TClassSums, kPayoutClasses>> classes(kept.size());
    std::int64_t arrivals = 0;
    std::array<int, kCards> deckBits{};
    int deckCount = 0;
    for (std::uint64_t m = dealer.Deck().Mask(); m != 0; m &= m - 1) {
        deckBits[static_cast<std::size_t>(deckCount++)] = std::countr_zero(m);
    }
    dealer.PrepareArrivals(cards);
    const TRankLookup lookup = RankLookup();
    std::array<TPartialHand, TDealerCompletions::kMaxArrival + 1> partial{};
    TDealerCompletions::TPlaces places{};
    // The arrivals in ascending deck places, a card at a time.
    auto arrive = [&](auto& self, int depth, int from) -> void {
        const TPartialHand& arrival = partial[static_cast<std::size_t>(depth)];
        if (depth == cards) {
            ++arrivals;
            const TDealerCompletions::TAvoided avoided = dealer.Avoided(places, cards);
            for (std::size_t j = 0; j < kept.size(); ++j) {
                const TPartialHand h = kept[j].With(arrival);
                const THandRank rank = lookup.Rank(h.Key, h.Suits, h.Ranks);
                const TCombinationKind kind = lookup.Kind(rank);
                const TEvalTallies t = dealer.TalliesAt(rank, avoided);
                const TCardTable five = TCardTable::FromMask(h.Mask);
                TClassSums& c = classes[j][PayoutClass(kind, five, composites)];
                if (!c.Met) {
                    c.Met = true;
                    c.Sums.Kind = kind;
                    c.Sums.Hand = five;
                }
                TEvalTallies& sum = c.Sums.Tallies;
                sum.DealerOutcomes += t.DealerOutcomes;
                sum.DealerWins += t.DealerWins;
                sum.PlayerWins += t.PlayerWins;
                sum.Ties += t.Ties;
                sum.DealerNoGame += t.DealerNoGame;
            }
            return;
        }
        for (int p = from; p <= deckCount - (cards - depth); ++p) {
            places[static_cast<std::size_t>(depth)] = static_cast<std::size_t>(p);
            partial[static_cast<std::size_t>(depth + 1)] =
                arrival.With(deckBits[static_cast<std::size_t>(p)]);
            self(self, depth + 1, p + 1);
        }
    };
    arrive(arrive, 0, 0);
    batch = TBatch{.Done = true, .Composites = composites, .Kept = {}};
    for (std::size_t j = 0; j < kept.size(); ++j) {
        TArrivalClasses result;
        result.DeckRemaining = dealer.Deck().Count() - cards;
        result.Arrivals = arrivals;
        for (const TClassSums& c : classes[j]) {
            if (c.Met) result.Classes.push_back(c.Sums);
        }
        batch.Kept.emplace_back(kept[j].Mask, std::move(result));
    }
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
