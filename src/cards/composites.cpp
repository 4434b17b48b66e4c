#include "cards/composites.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <optional>

#include "cards/straight_runs.h"

namespace studlab {
namespace {

using enum TCombinationKind;

// Every combination of one kind the cards hold, as card masks. Seven cards hold at most 21 (the
// flushes of seven cards of a suit).
class TCombinations {
public:
    void Add(std::uint64_t mask) {
        if (m_count < m_masks.size()) m_masks[m_count++] = mask;
        m_union |= mask;
    }
    bool Empty() const { return m_count == 0; }
    std::uint64_t Union() const { return m_union; }
    template <class F>
    bool Any(F&& f) const {
        return std::any_of(m_masks.begin(), m_masks.begin() + static_cast<std::ptrdiff_t>(m_count),
                           f);
    }

private:
    std::array<std::uint64_t, 32> m_masks{};
    std::size_t m_count = 0;
    std::uint64_t m_union = 0;
};

constexpr std::uint64_t RankMask(RankIndex r) {
    return std::uint64_t{0xF} << ((r - 1) * 4);
}

// Calls f(mask) for every set of k cards out of `cards`.
template <class F>
void ForEachSubset(std::uint64_t cards, int k, F&& f) {
    ForEachCardSet(TCardTable::FromMask(cards), k, [&](TCardTable set) { f(set.Mask()); });
}

// The sets of `k` cards of one rank, of every rank that has them.
void SameRank(TCardTable cards, int k, TCombinations& out) {
    for (RankIndex r = 1; r <= kRanks; ++r) {
        if (cards.RankCount(r) >= k)
            ForEachSubset(cards.Mask() & RankMask(r), k, [&](std::uint64_t m) { out.Add(m); });
    }
}

// One card of each rank of `ranks` (bit r - 1), in every way the cards allow.
void OnePerRank(std::uint64_t cards, std::uint32_t ranks, std::uint64_t chosen,
                TCombinations& out) {
    if (ranks == 0) {
        out.Add(chosen);
        return;
    }
    const int r = std::countr_zero(ranks) + 1;
    for (std::uint64_t m = cards & RankMask(r); m != 0; m &= m - 1) {
        OnePerRank(cards, ranks & (ranks - 1), chosen | (m & (~m + 1)), out);
    }
}

TCombinations CombinationsOf(TCombinationKind kind, TCardTable cards, bool roundStraight) {
    TCombinations out;
    const std::uint64_t all = cards.Mask();
    switch (kind) {
        case ckPair:
            SameRank(cards, 2, out);
            break;
        case ckThreeOfAKind:
            SameRank(cards, 3, out);
            break;
        case ckFourOfAKind:
            SameRank(cards, 4, out);
            break;
        case ckTwoPairs:
        case ckFullHouse: {
            const int first = kind == ckTwoPairs ? 2 : 3;
            for (RankIndex a = 1; a <= kRanks; ++a) {
                for (RankIndex b = 1; b <= kRanks; ++b) {
                    if (a == b || (kind == ckTwoPairs && b < a)) continue;
                    if (cards.RankCount(a) < first || cards.RankCount(b) < 2) continue;
                    ForEachSubset(all & RankMask(a), first, [&](std::uint64_t x) {
                        ForEachSubset(all & RankMask(b), 2,
                                      [&](std::uint64_t y) { out.Add(x | y); });
                    });
                }
            }
            break;
        }
        case ckStraight: {
            const std::uint32_t held = cards.RanksHeld();
            for (int top = 1; top <= RunCount(roundStraight); ++top) {
                const std::uint32_t run = RunRankBits(top);
                if ((run & ~held) == 0) OnePerRank(all, run, 0, out);
            }
            break;
        }
        case ckFlush:
            for (SuitIndex s = 1; s <= kSuits; ++s) {
                const std::uint64_t suit = all & (TCardTable::kSuitMask << (s - 1));
                ForEachSubset(suit, 5, [&](std::uint64_t m) { out.Add(m); });
            }
            break;
        case ckStraightFlush:
        case ckRoyalFlush:
            for (SuitIndex s = 1; s <= kSuits; ++s) {
                const TCardTable suit =
                    TCardTable::FromMask(all & (TCardTable::kSuitMask << (s - 1)));
                const int first = kind == ckRoyalFlush ? 1 : 2;
                const int last = kind == ckRoyalFlush ? 1 : RunCount(roundStraight);
                for (int top = first; top <= last; ++top) {
                    const std::uint32_t run = RunRankBits(top);
                    if ((run & ~suit.RanksHeld()) == 0) OnePerRank(suit.Mask(), run, 0, out);
                }
            }
            break;
        case ckAceKing:
            for (std::uint64_t a = all & RankMask(1); a != 0; a &= a - 1) {
                for (std::uint64_t k = all & RankMask(2); k != 0; k &= k - 1) {
                    out.Add((a & (~a + 1)) | (k & (~k + 1)));
                }
            }
            break;
        default:
            break;
    }
    return out;
}

}  // namespace

using enum TCombinationKind;

const std::array<TCompositeKinds, kCompositeCount> kCompositeKinds = {{
    {ckRoyalFlush, ckStraightFlush},
    {ckRoyalFlush, ckFlush},
    {ckRoyalFlush, ckStraight},
    {ckRoyalFlush, ckPair},
    {ckRoyalFlush, ckAceKing},
    {ckStraightFlush, ckStraightFlush},
    {ckStraightFlush, ckFlush},
    {ckStraightFlush, ckStraight},
    {ckStraightFlush, ckPair},
    {ckStraightFlush, ckAceKing},
    {ckFourOfAKind, ckFullHouse},
    {ckFourOfAKind, ckPair},
    {ckFourOfAKind, ckAceKing},
    {ckFullHouse, ckFullHouse},
    {ckFullHouse, ckThreeOfAKind},
    {ckFullHouse, ckAceKing},
    {ckFlush, ckFlush},
    {ckFlush, ckStraight},
    {ckFlush, ckPair},
    {ckFlush, ckAceKing},
    {ckStraight, ckStraight},
    {ckStraight, ckPair},
    {ckStraight, ckAceKing},
    {ckThreeOfAKind, ckAceKing},
    {ckTwoPairs, ckTwoPairs},
    {ckTwoPairs, ckPair},
    {ckTwoPairs, ckAceKing},
    {ckPair, ckAceKing},
}};

namespace {

// The combinations of each kind the cards hold, worked out once when first asked for.
class TCombinationsByKind {
public:
    TCombinationsByKind(TCardTable cards, bool roundStraight)
        : m_cards(cards), m_roundStraight(roundStraight) {}
    const TCombinations& Of(TCombinationKind kind) {
        std::optional<TCombinations>& slot = m_byKind[static_cast<std::size_t>(KindIndex(kind))];
        if (!slot) slot = CombinationsOf(kind, m_cards, m_roundStraight);
        return *slot;
    }

private:
    TCardTable m_cards;
    bool m_roundStraight;
    std::array<std::optional<TCombinations>, kKindCount + 1> m_byKind{};
};

bool Holds(int index, TCombinationKind kind, TCardTable cards, const TCountingRules& rules,
           TCombinationsByKind& combinations) {
    const TCompositeKinds pair = kCompositeKinds[static_cast<std::size_t>(index)];
    if (!rules.Plays[pair.First] || !rules.Plays[pair.Second]) return false;
    const int aces = cards.RankCount(1);
    const int kings = cards.RankCount(2);
    if (index == kCompositePairAceKing) return kind == ckPair && aces >= 1 && kings >= 1;
    if (index == kCompositeTwoPairsAceKing) {
        return kind == ckTwoPairs && aces >= 1 && aces <= 2 && kings == 1;
    }
    const TCombinations& first = combinations.Of(pair.First);
    if (first.Empty()) return false;
    const TCombinations& second = combinations.Of(pair.Second);
    if (second.Empty()) return false;
    // Some second combination leaves the first exactly when their union does.
    const std::uint64_t seconds = second.Union();
    return first.Any([seconds](std::uint64_t m) { return (seconds & ~m) != 0; });
}

}  // namespace

bool CompositeHolds(int index, TCombinationKind kind, TCardTable cards,
                    const TCountingRules& rules) {
    TCombinationsByKind combinations(cards, rules.RoundStraight);
    return Holds(index, kind, cards, rules, combinations);
}

long double QualifiedGross(const TEvalRules& rules, TCombinationKind kind, TCardTable cards) {
    long double gross = rules.PayQualified[kind];
    const auto& on = rules.CompositePays;
    if (std::none_of(on.begin(), on.end(), [](bool b) { return b; })) return gross;
    TCombinationsByKind combinations(cards, rules.Counting.RoundStraight);
    // The two the game always paid add the ace-king to the kind's pay, whatever it is.
    for (int i : {kCompositeTwoPairsAceKing, kCompositePairAceKing}) {
        if (rules.CompositePays[static_cast<std::size_t>(i)] &&
            Holds(i, kind, cards, rules.Counting, combinations)) {
            gross += rules.PayQualified[ckAceKing];
        }
    }
    for (int i = 0; i < kCompositeCount; ++i) {
        if (!rules.CompositePays[static_cast<std::size_t>(i)] || i == kCompositePairAceKing ||
            i == kCompositeTwoPairsAceKing) {
            continue;
        }
        const TCompositeKinds pair = kCompositeKinds[static_cast<std::size_t>(i)];
        const long double paid = static_cast<long double>(rules.PayQualified[pair.First]) +
                                 rules.PayQualified[pair.Second];
        if (paid > gross && Holds(i, kind, cards, rules.Counting, combinations)) gross = paid;
    }
    return gross;
}

}  // namespace studlab
