#include "cards/completion_counting.h"

#include "cards/combinatorics.h"
#include "cards/straight_runs.h"

#include <algorithm>
#include <bit>

namespace studlab {
namespace {

using enum TCombinationKind;

// Sets of ranks are 13-bit masks, bit r - 1 for rank r.
using TRanks = std::uint32_t;
using TWeights = std::array<TCount, 14>;  // [rank]

constexpr TRanks kAllRanks = 0x1FFF;
constexpr TRanks RankBit(int rank) {
    return TRanks{1} << (rank - 1);
}
constexpr TRanks kAceKing = RankBit(1) | RankBit(2);
constexpr TRanks kBelowKing = kAllRanks & ~kAceKing;  // queen .. two
// Ranks strictly between low and high.
constexpr TRanks RanksBetween(int low, int high) {
    return ((TRanks{1} << (high - 1)) - 1) & ~((TRanks{1} << low) - 1);
}
// Bit counts without the popcount instruction, which the baseline x86-64 target lacks: the
// library call it would fall back to costs more than the rest of a count.
constexpr int CountOf(TRanks ranks) {
    ranks = ranks - ((ranks >> 1) & 0x5555);
    ranks = (ranks & 0x3333) + ((ranks >> 2) & 0x3333);
    ranks = (ranks + (ranks >> 4)) & 0x0F0F;
    return static_cast<int>((ranks + (ranks >> 8)) & 0x1F);
}
constexpr std::array<int, 16> kNibbleCount = {0, 1, 1, 2, 1, 2, 2, 3, 1, 2, 2, 3, 2, 3, 3, 4};

// C(a, k), 0 for k < 0 or k > a.
constexpr TCount Binom(TCount a, TCount k) {
    return Binomial(a, k);
}

// The five ranks of the run with this top card (straight_runs.h).
constexpr TRanks RunRanks(int top) {
    return RunRankBits(top);
}

// The runs as flush patterns, their ranks highest first, by top card.
constexpr std::array<TPattern, kRoundRuns + 1> kRunPatterns = [] {
    std::array<TPattern, kRoundRuns + 1> patterns{};
    for (int top = 1; top <= kRoundRuns; ++top) {
        int place = 0;
        for (int r = 1; r <= kRanks; ++r) {
            if (RunRanks(top) & RankBit(r)) {
                patterns[static_cast<std::size_t>(top)].Ranks[static_cast<std::size_t>(place++)] =
                    static_cast<std::int8_t>(r);
            }
        }
    }
    return patterns;
}();
constexpr const TPattern& RunPattern(int top) {
    return kRunPatterns[static_cast<std::size_t>(top)];
}

// The ace-king patterns (the three cards below the ace and the king) that are runs: A-K-Q-J-10
// always, and where runs wrap round the ace K-A-2-3-4, Q-K-A-2-3 and J-Q-K-A-2.
constexpr std::array<TPattern, 4> kAceKingRuns = {
    {{{3, 4, 5}}, {{11, 12, 13}}, {{3, 12, 13}}, {{3, 4, 13}}}};
constexpr int AceKingRunCount(bool roundStraight) {
    return roundStraight ? 4 : 1;
}

TRanks RanksOf(const TPattern& p, int count) {
    TRanks ranks = 0;
    for (int i = 0; i < count; ++i) ranks |= RankBit(p.Ranks[i]);
    return ranks;
}

// Strictly increasing ranks within first..13.
bool Ascending(const TPattern& p, int count, int first) {
    int previous = first - 1;
    for (int i = 0; i < count; ++i) {
        if (p.Ranks[i] <= previous || p.Ranks[i] > kRanks) return false;
        previous = p.Ranks[i];
    }
    return true;
}

bool InAceKingTable(const TPattern& p, TMinAceKing rule) {
    const int lastQueenRank = rule == TMinAceKing::akWithQueen ? 3 : 11;
    return Ascending(p, 3, 3) && p.Ranks[0] <= lastQueenRank && p.Ranks[2] >= 6;
}

bool IsRun(const TPattern& flush, bool roundStraight) {
    for (int top = 1; top <= RunCount(roundStraight); ++top) {
        if (flush == RunPattern(top)) return true;
    }
    return false;
}

bool IsAceKingRun(const TPattern& p, bool roundStraight) {
    for (int i = 0; i < AceKingRunCount(roundStraight); ++i) {
        if (p == kAceKingRuns[static_cast<std::size_t>(i)]) return true;
    }
    return false;
}

// The sum over the k-subsets S of `candidates` that hold every rank of `required` of the product
// of the weights of S.
TCount SubsetWeight(const TWeights& w, TRanks candidates, TRanks required, int k) {
    if ((required & ~candidates) != 0) return 0;
    const int free = k - CountOf(required);
    if (free < 0) return 0;
    TCount product = 1;
    for (TRanks m = required; m != 0; m &= m - 1) product *= w[std::countr_zero(m) + 1];
    if (product == 0) return 0;
    std::array<TCount, 6> e{1};
    for (TRanks m = candidates & ~required; m != 0; m &= m - 1) {
        const TCount x = w[std::countr_zero(m) + 1];
        for (int d = free; d >= 1; --d) e[d] += x * e[d - 1];
    }
    return product * e[free];
}

// The same sum restricted to the subsets that come before `pattern` (its first k ranks, highest
// first) in lexicographic order. A subset S comes before the pattern when, at the first place
// where they differ, S holds the higher rank; so the count runs over that place j and the rank s
// taken there, with the ranks after it chosen freely among the lower ranks.
TCount SubsetWeightBefore(const TWeights& w, TRanks candidates, TRanks required,
                          const TPattern& pattern, int k) {
    if ((required & ~candidates) != 0) return 0;
    const TRanks free = candidates & ~required;
    // For every rank s: elementary sums of the free ranks below s, product and number of the
    // required ranks below s ("below" in strength: larger rank index).
    std::array<std::array<TCount, 6>, 14> lowerSums{};
    std::array<TCount, 14> lowerRequiredProduct{};
    std::array<int, 14> lowerRequiredCount{};
    lowerSums[13][0] = 1;
    lowerRequiredProduct[13] = 1;
    for (int s = 13; s >= 1; --s) {
        lowerSums[s - 1] = lowerSums[s];
        lowerRequiredProduct[s - 1] = lowerRequiredProduct[s];
        lowerRequiredCount[s - 1] = lowerRequiredCount[s];
        if (free & RankBit(s)) {
            for (int d = k; d >= 1; --d) lowerSums[s - 1][d] += w[s] * lowerSums[s][d - 1];
        }
        if (required & RankBit(s)) {
            lowerRequiredProduct[s - 1] *= w[s];
            ++lowerRequiredCount[s - 1];
        }
    }
    TCount total = 0;
    TCount prefix = 1;
    int previous = 0;
    for (int j = 0; j < k; ++j) {
        const int p = pattern.Ranks[j];
        for (int s = previous + 1; s < p; ++s) {
            if ((required & RanksBetween(previous, s)) != 0) break;  // a required rank skipped
            if ((candidates & RankBit(s)) == 0) continue;
            const int rest = k - j - 1 - lowerRequiredCount[s];
            if (rest < 0) continue;
            total += prefix * w[s] * lowerRequiredProduct[s] * lowerSums[s][rest];
        }
        // No subset shares a prefix that leaves the candidates or does not fall in rank.
        if (p <= previous || p > kRanks || (candidates & RankBit(p)) == 0 ||
            (required & RanksBetween(previous, p)) != 0) {
            break;
        }
        prefix *= w[p];
        previous = p;
    }
    return total;
}

constexpr TWeights kOnes = [] {
    TWeights w{};
    w.fill(1);
    return w;
}();

// The patterns of a kind's table in table order, without those that are 0 by their layout
// (ranks not strictly increasing, runs in the flush table). f returns true to stop.
template <class F>
void ForEachTablePattern(TCombinationKind kind, const TCountingRules& rules, F&& f) {
    auto p = [](int a, int b = 0, int c = 0, int d = 0, int e = 0) {
        return TPattern{{static_cast<std::int8_t>(a), static_cast<std::int8_t>(b),
                         static_cast<std::int8_t>(c), static_cast<std::int8_t>(d),
                         static_cast<std::int8_t>(e)}};
    };
    switch (kind) {
        case ckStraightFlush:
            for (int top = 2; top <= RunCount(rules.RoundStraight); ++top) {
                if (f(p(top))) return;
            }
            return;
        case ckFourOfAKind:
        case ckThreeOfAKind:
            for (int r = 1; r <= kRanks; ++r) {
                if (f(p(r))) return;
            }
            return;
        case ckStraight:
            for (int top = 1; top <= RunCount(rules.RoundStraight); ++top) {
                if (f(p(top))) return;
            }
            return;
        case ckFullHouse:
            for (int t = 1; t <= kRanks; ++t) {
                for (int q = 1; q <= kRanks; ++q) {
                    if (q != t && f(p(t, q))) return;
                }
            }
            return;
        case ckFlush:
            for (int a = 1; a <= 9; ++a) {
                for (int b = a + 1; b <= 10; ++b) {
                    for (int c = b + 1; c <= 11; ++c) {
                        for (int d = c + 1; d <= 12; ++d) {
                            for (int e = d + 1; e <= 13; ++e) {
                                const TPattern flush = p(a, b, c, d, e);
                                if (!IsRun(flush, rules.RoundStraight) && f(flush)) return;
                            }
                        }
                    }
                }
            }
            return;
        case ckTwoPairs:
            for (int i = 1; i <= 12; ++i) {
                for (int j = i + 1; j <= 13; ++j) {
                    for (int k = 1; k <= 13; ++k) {
                        if (k != i && k != j && f(p(i, j, k))) return;
                    }
                }
            }
            return;
        case ckPair:
            for (int i = 1; i <= rules.MinPair; ++i) {
                for (int a = 1; a <= 11; ++a) {
                    for (int b = a + 1; b <= 12; ++b) {
                        for (int c = b + 1; c <= 13; ++c) {
                            if (a != i && b != i && c != i && f(p(i, a, b, c))) return;
                        }
                    }
                }
            }
            return;
        case ckAceKing: {
            const int lastQueenRank = rules.MinAceKing == TMinAceKing::akWithQueen ? 3 : 11;
            for (int c3 = 3; c3 <= lastQueenRank; ++c3) {
                for (int c4 = c3 + 1; c4 <= 12; ++c4) {
                    for (int c5 = std::max(c4 + 1, 6); c5 <= 13; ++c5) {
                        if (f(p(c3, c4, c5))) return;
                    }
                }
            }
            return;
        }
        default:
            return;
    }
}

// The strongest pattern of the kind that the cards hold, in natural order (also the patterns
// that the kind's table leaves out).
std::optional<TPattern> StrongestHeldPattern(TCombinationKind kind, TCardTable cards,
                                             bool roundStraight) {
    std::array<int, 14> count{};
    for (RankIndex r = 1; r <= kRanks; ++r) count[r] = cards.RankCount(r);
    auto suitRanks = [&](SuitIndex s) {
        TRanks ranks = 0;
        for (RankIndex r = 1; r <= kRanks; ++r) {
            if (cards.Has(r, s)) ranks |= RankBit(r);
        }
        return ranks;
    };
    auto firstRank = [&](int atLeast, TRanks skip) {
        for (int r = 1; r <= kRanks; ++r) {
            if (count[r] >= atLeast && (skip & RankBit(r)) == 0) return r;
        }
        return 0;
    };
    // The n highest held ranks outside `skip`, into places from..from + n - 1.
    auto highest = [&](TPattern& p, int from, int n, TRanks skip) {
        for (int r = 1; r <= kRanks && n > 0; ++r) {
            if (count[r] >= 1 && (skip & RankBit(r)) == 0) {
                p.Ranks[from++] = static_cast<std::int8_t>(r);
                --n;
            }
        }
        return n == 0;
    };
    auto topRun = [roundStraight](TRanks held) { return TopRunOf(held, roundStraight); };
    TPattern p;
    switch (kind) {
        case ckStraightFlush: {
            int best = 0;
            for (SuitIndex s = 1; s <= kSuits; ++s) {
                const int top = topRun(suitRanks(s));
                if (top != 0 && (best == 0 || top < best)) best = top;
            }
            if (best == 0) return std::nullopt;
            p.Ranks[0] = static_cast<std::int8_t>(best);
            return p;
        }
        case ckStraight: {
            TRanks held = 0;
            for (int r = 1; r <= kRanks; ++r) {
                if (count[r] > 0) held |= RankBit(r);
            }
            const int top = topRun(held);
            if (top == 0) return std::nullopt;
            p.Ranks[0] = static_cast<std::int8_t>(top);
            return p;
        }
        case ckFourOfAKind:
        case ckThreeOfAKind: {
            const int r = firstRank(kind == ckFourOfAKind ? 4 : 3, 0);
            if (r == 0) return std::nullopt;
            p.Ranks[0] = static_cast<std::int8_t>(r);
            return p;
        }
        case ckFullHouse: {
            const int t = firstRank(3, 0);
            const int q = t == 0 ? 0 : firstRank(2, RankBit(t));
            if (q == 0) return std::nullopt;
            p.Ranks = {static_cast<std::int8_t>(t), static_cast<std::int8_t>(q)};
            return p;
        }
        case ckFlush: {
            std::optional<TPattern> best;
            for (SuitIndex s = 1; s <= kSuits; ++s) {
                const TRanks ranks = suitRanks(s);
                if (CountOf(ranks) < 5) continue;
                TPattern flush;
                int place = 0;
                for (int r = 1; r <= kRanks && place < 5; ++r) {
                    if (ranks & RankBit(r)) flush.Ranks[place++] = static_cast<std::int8_t>(r);
                }
                if (!best || flush < *best) best = flush;
            }
            return best;
        }
        case ckTwoPairs: {
            const int i = firstRank(2, 0);
            const int j = i == 0 ? 0 : firstRank(2, RankBit(i));
            if (j == 0) return std::nullopt;
            p.Ranks[0] = static_cast<std::int8_t>(i);
            p.Ranks[1] = static_cast<std::int8_t>(j);
            if (!highest(p, 2, 1, RankBit(i) | RankBit(j))) return std::nullopt;
            return p;
        }
        case ckPair: {
            const int i = firstRank(2, 0);
            if (i == 0) return std::nullopt;
            p.Ranks[0] = static_cast<std::int8_t>(i);
            if (!highest(p, 1, 3, RankBit(i))) return std::nullopt;
            return p;
        }
        case ckAceKing:
            if (count[1] == 0 || count[2] == 0 || !highest(p, 0, 3, kAceKing)) return std::nullopt;
            return p;
        default:
            return std::nullopt;
    }
}

}  // namespace

TCompletionCounts::TCompletionCounts(TCardTable known, TCardTable unseen,
                                     const TCountingRules& rules)
    : m_rules(rules), m_runs(RunCount(rules.RoundStraight)) {
    unseen = unseen.Without(known);
    std::array<int, 5> unseenBySuit{};
    for (RankIndex r = 1; r <= kRanks; ++r) {
        const unsigned knownNibble = (known.Mask() >> ((r - 1) * 4)) & 0xFU;
        const unsigned unseenNibble = (unseen.Mask() >> ((r - 1) * 4)) & 0xFU;
        m_known[r] = kNibbleCount[knownNibble];
        m_unseen[r] = kNibbleCount[unseenNibble];
        m_knownCount += kNibbleCount[knownNibble];
        m_deckRemaining += kNibbleCount[unseenNibble];
        if (knownNibble != 0) m_knownRanks |= RankBit(r);
        for (SuitIndex s = 1; s <= kSuits; ++s) {
            const unsigned bit = 1U << (s - 1);
            if ((knownNibble | unseenNibble) & bit) m_availableBySuit[s] |= RankBit(r);
            if (knownNibble & bit) m_knownBySuit[s] |= RankBit(r);
            if (unseenNibble & bit) ++unseenBySuit[s];
        }
        m_single[r] = Binom(m_unseen[r], 1 - m_known[r]);
        m_double[r] = Binom(m_unseen[r], 2 - m_known[r]);
        m_triple[r] = Binom(m_unseen[r], 3 - m_known[r]);
        m_singleSum += m_single[r];
    }
    m_outcomes = Binom(m_deckRemaining, 5 - m_knownCount);
    m_knownRankCount = CountOf(m_knownRanks);
    // A one-suit pattern must hold every known card: with known cards of two suits there is none.
    int knownSuits = 0;
    for (SuitIndex s = 1; s <= kSuits; ++s) {
        if (m_knownBySuit[s] != 0) {
            ++knownSuits;
            m_flushSuits = 1U << (s - 1);
        }
    }
    if (knownSuits == 0) m_flushSuits = 0xF;
    if (knownSuits > 1) m_flushSuits = 0;

    const TKindFlags& plays = m_rules.Plays;

    m_royalRaw = OneSuitCount(RunRanks(1));
    m_totals[ckRoyalFlush] = plays[ckRoyalFlush] ? m_royalRaw : 0;

    for (int top = 2; top <= m_runs; ++top) {
        m_straightFlushRaw[top] = OneSuitCount(RunRanks(top));
        m_straightFlushRawTotal += m_straightFlushRaw[top];
    }
    m_totals[ckStraightFlush] = plays[ckStraightFlush] ? m_straightFlushRawTotal : 0;

    if (plays[ckFourOfAKind]) {
        for (int r = 1; r <= kRanks; ++r) m_totals[ckFourOfAKind] += FourOfAKindEntry(r);
    }

    // A full house with three of rank t: every known card lies in t and the pair's rank.
    TCount doubleSum = 0;
    for (int r = 1; r <= kRanks; ++r) doubleSum += m_double[r];
    if (plays[ckFullHouse]) {
        for (int t = 1; t <= kRanks; ++t) {
            const TRanks outside = m_knownRanks & ~RankBit(t);
            const int outsideCount = m_knownRankCount - (outside != m_knownRanks ? 1 : 0);
            TCount pairs = 0;
            if (outsideCount == 0) {
                pairs = doubleSum - m_double[t];
            } else if (outsideCount == 1) {
                pairs = m_double[std::countr_zero(outside) + 1];
            }
            m_fullHouseRow[t] = m_triple[t] * pairs;
            m_totals[ckFullHouse] += m_fullHouseRow[t];
        }
    }

    if (m_flushSuits != 0) {
        for (SuitIndex s = 1; s <= kSuits; ++s) {
            if (m_flushSuits & (1U << (s - 1))) {
                m_flushClosed += Binom(unseenBySuit[s], 5 - m_knownCount);
            }
        }
    }
    if (plays[ckFlush]) {
        m_totals[ckFlush] = m_flushClosed - m_totals[ckRoyalFlush] - m_totals[ckStraightFlush];
    }

    if (plays[ckStraight]) {
        for (int top = 1; top <= m_runs; ++top) {
            m_totals[ckStraight] += Entry(ckStraight, TPattern{{static_cast<std::int8_t>(top)}});
        }
    }
    if (plays[ckThreeOfAKind]) {
        for (int r = 1; r <= kRanks; ++r) {
            m_totals[ckThreeOfAKind] += ThreeOfAKindRaw(r) - m_fullHouseRow[r];
        }
    }
    if (plays[ckTwoPairs]) {
        for (int i = 1; i <= 12; ++i) {
            for (int j = i + 1; j <= 13; ++j) m_totals[ckTwoPairs] += TwoPairsRow(i, j);
        }
    }

    if (plays[ckPair]) {
        // Pair of rank i with three kickers of other ranks: the known cards outside rank i must
        // be kickers, the other kickers come from ranks without known cards. The elementary sums
        // of the free ranks are computed once and rank i is divided out of them when it is free.
        const TRanks freeRanks = kAllRanks & ~m_knownRanks;
        std::array<TCount, 4> e{1};
        for (TRanks m = freeRanks; m != 0; m &= m - 1) {
            const TCount x = m_single[std::countr_zero(m) + 1];
            for (int d = 3; d >= 1; --d) e[d] += x * e[d - 1];
        }
        int blockedKnown = 0;  // known ranks that cannot be a kicker (two or more known cards)
        for (TRanks m = m_knownRanks; m != 0; m &= m - 1) {
            if (m_single[std::countr_zero(m) + 1] == 0) ++blockedKnown;
        }
        for (int i = 1; i <= m_rules.MinPair; ++i) {
            if (m_double[i] == 0) continue;
            const bool known = (m_knownRanks & RankBit(i)) != 0;
            const int kickersKnown = m_knownRankCount - (known ? 1 : 0);
            const int blocked = blockedKnown - (known && m_single[i] == 0 ? 1 : 0);
            if (kickersKnown > 3 || blocked > 0) continue;
            std::array<TCount, 4> without = e;
            if (!known) {
                for (int d = 1; d <= 3; ++d) without[d] = e[d] - m_single[i] * without[d - 1];
            }
            m_pairRow[i] = m_double[i] * without[3 - kickersKnown];
            m_totals[ckPair] += m_pairRow[i];
        }
    }

    if (plays[ckAceKing]) {
        const bool withQueen = m_rules.MinAceKing == TMinAceKing::akWithQueen;
        const TRanks queen = withQueen ? RankBit(3) : 0;
        const TRanks required = (m_knownRanks & ~kAceKing) | queen;
        TCount total = m_single[1] * m_single[2] * SubsetWeight(m_single, kBelowKing, required, 3);
        for (SuitIndex s = 1; s <= kSuits; ++s) {
            const TRanks available = m_availableBySuit[s];
            if ((m_flushSuits & (1U << (s - 1))) == 0 || (available & kAceKing) != kAceKing) {
                continue;
            }
            const TRanks suitRequired = (m_knownBySuit[s] & ~kAceKing) | queen;
            total -= SubsetWeight(kOnes, available & kBelowKing, suitRequired, 3);
        }
        // A-K-Q-J-10 is a straight, never an ace-king; so are the runs round the ace where they
        // play, and those lie inside the table.
        for (int i = 0; i < AceKingRunCount(m_rules.RoundStraight); ++i) {
            const TPattern& run = kAceKingRuns[static_cast<std::size_t>(i)];
            if (i == 0 || InAceKingTable(run, m_rules.MinAceKing)) {
                total -= AceKingRaw(run) - AceKingSameSuit(run);
            }
        }
        m_totals[ckAceKing] = total;
    }
}

TCount TCompletionCounts::GameTotal() const {
    TCount total = 0;
    for (TCombinationKind kind : kCountedKinds) total += m_totals[kind];
    return total;
}

TCount TCompletionCounts::OneSuitCount(TRanks ranks) const {
    TCount count = 0;
    for (SuitIndex s = 1; s <= kSuits; ++s) {
        if ((m_flushSuits & (1U << (s - 1))) != 0 && (ranks & ~m_availableBySuit[s]) == 0 &&
            (m_knownBySuit[s] & ~ranks) == 0) {
            ++count;
        }
    }
    return count;
}

TCount TCompletionCounts::StraightFlushEntry(int top) const {
    return top >= 2 && top <= m_runs ? m_straightFlushRaw[static_cast<std::size_t>(top)] : 0;
}

TCount TCompletionCounts::FourOfAKindEntry(int r) const {
    return Binom(m_deckRemaining - m_unseen[r], 1 - (m_knownCount - m_known[r])) *
           Binom(m_unseen[r], 4 - m_known[r]);
}

TCount TCompletionCounts::ThreeOfAKindRaw(int r) const {
    return Binom(m_deckRemaining - m_unseen[r], 2 - (m_knownCount - m_known[r])) * m_triple[r];
}

TCount TCompletionCounts::StraightRaw(int top) const {
    const TRanks run = RunRanks(top);
    if ((m_knownRanks & ~run) != 0) return 0;
    TCount product = 1;
    for (TRanks m = run; m != 0; m &= m - 1) product *= m_single[std::countr_zero(m) + 1];
    return product;
}

TCount TCompletionCounts::FullHouseEntry(int t, int q) const {
    if (t == q || (m_knownRanks & ~(RankBit(t) | RankBit(q))) != 0) return 0;
    return m_triple[t] * m_double[q];
}

TCount TCompletionCounts::FlushEntry(const TPattern& p) const {
    if (!Ascending(p, 5, 1) || IsRun(p, m_rules.RoundStraight)) return 0;
    return OneSuitCount(RanksOf(p, 5));
}

TCount TCompletionCounts::TwoPairsEntry(int i, int j, int k) const {
    if (i >= j || k == i || k == j) return 0;
    if ((m_knownRanks & ~(RankBit(i) | RankBit(j) | RankBit(k))) != 0) return 0;
    return m_double[i] * m_double[j] * m_single[k];
}

// All the kickers of two pairs of ranks i and j together.
TCount TCompletionCounts::TwoPairsRow(int i, int j) const {
    const TCount pairs = m_double[i] * m_double[j];
    if (pairs == 0) return 0;
    const TRanks outside = m_knownRanks & ~(RankBit(i) | RankBit(j));
    if (outside == 0) return pairs * (m_singleSum - m_single[i] - m_single[j]);
    if ((outside & (outside - 1)) == 0) return pairs * m_single[std::countr_zero(outside) + 1];
    return 0;
}

TCount TCompletionCounts::PairEntry(const TPattern& p) const {
    const int i = p.Ranks[0];
    if (i < 1 || i > m_rules.MinPair) return 0;
    TPattern kickers{{p.Ranks[1], p.Ranks[2], p.Ranks[3]}};
    if (!Ascending(kickers, 3, 1)) return 0;
    const TRanks ranks = RankBit(i) | RanksOf(kickers, 3);
    if (CountOf(ranks) != 4 || (m_knownRanks & ~ranks) != 0) return 0;
    return m_double[i] * m_single[p.Ranks[1]] * m_single[p.Ranks[2]] * m_single[p.Ranks[3]];
}

TCount TCompletionCounts::AceKingRaw(const TPattern& p) const {
    const TRanks ranks = kAceKing | RanksOf(p, 3);
    if ((m_knownRanks & ~ranks) != 0) return 0;
    TCount product = m_single[1] * m_single[2];
    for (int i = 0; i < 3; ++i) product *= m_single[p.Ranks[i]];
    return product;
}

TCount TCompletionCounts::AceKingSameSuit(const TPattern& p) const {
    return OneSuitCount(kAceKing | RanksOf(p, 3));
}

TCount TCompletionCounts::RawEntry(TCombinationKind kind, const TPattern& p) const {
    switch (kind) {
        case ckStraight: {
            const int top = p.Ranks[0];
            return top >= 1 && top <= m_runs ? StraightRaw(top) : 0;
        }
        case ckThreeOfAKind: {
            const int r = p.Ranks[0];
            return r >= 1 && r <= kRanks ? ThreeOfAKindRaw(r) : 0;
        }
        case ckAceKing:
            return InAceKingTable(p, m_rules.MinAceKing) ? AceKingRaw(p) : 0;
        default:
            return Entry(kind, p);
    }
}

TCount TCompletionCounts::Entry(TCombinationKind kind, const TPattern& p) const {
    if (kind == ckPoker || kind == ckNoGame || !m_rules.Plays[kind]) return 0;
    const int r = p.Ranks[0];
    const bool rankInRange = r >= 1 && r <= kRanks;
    switch (kind) {
        case ckStraightFlush:
            return StraightFlushEntry(r);
        case ckFourOfAKind:
            return rankInRange ? FourOfAKindEntry(r) : 0;
        case ckFullHouse:
            return rankInRange && p.Ranks[1] >= 1 && p.Ranks[1] <= kRanks
                       ? FullHouseEntry(r, p.Ranks[1])
                       : 0;
        case ckFlush:
            return FlushEntry(p);
        case ckStraight: {
            if (r < 1 || r > m_runs) return 0;
            // Royal and straight flushes are taken out of the straights of the same ranks.
            const TCount flushes = r == 1 ? m_totals[ckRoyalFlush] : Entry(ckStraightFlush, p);
            return StraightRaw(r) - flushes;
        }
        case ckThreeOfAKind:
            return rankInRange ? ThreeOfAKindRaw(r) - m_fullHouseRow[r] : 0;
        case ckTwoPairs:
            return rankInRange && p.Ranks[1] >= 1 && p.Ranks[1] <= kRanks && p.Ranks[2] >= 1 &&
                           p.Ranks[2] <= kRanks
                       ? TwoPairsEntry(r, p.Ranks[1], p.Ranks[2])
                       : 0;
        case ckPair:
            return PairEntry(p);
        case ckAceKing:
            // The same five ranks in one suit are a flush, not an ace-king; a run is a straight.
            return InAceKingTable(p, m_rules.MinAceKing) && !IsAceKingRun(p, m_rules.RoundStraight)
                       ? AceKingRaw(p) - AceKingSameSuit(p)
                       : 0;
        default:
            return 0;  // the royal flush has no table
    }
}

TCount TCompletionCounts::FlushBefore(const TPattern& p) const {
    TCount before = 0;
    for (SuitIndex s = 1; s <= kSuits; ++s) {
        if ((m_flushSuits & (1U << (s - 1))) == 0) continue;
        before += SubsetWeightBefore(kOnes, m_availableBySuit[s], m_knownBySuit[s], p, 5);
        // Runs of one suit are straight or royal flushes, not flushes.
        for (int top = 1; top <= m_runs; ++top) {
            const TRanks run = RunRanks(top);
            if (RunPattern(top) < p && (run & ~m_availableBySuit[s]) == 0 &&
                (m_knownBySuit[s] & ~run) == 0) {
                --before;
            }
        }
    }
    return before;
}

TCount TCompletionCounts::AceKingBefore(const TPattern& p) const {
    const TRanks queen = m_rules.MinAceKing == TMinAceKing::akWithQueen ? RankBit(3) : 0;
    const TRanks required = (m_knownRanks & ~kAceKing) | queen;
    TCount before =
        m_single[1] * m_single[2] * SubsetWeightBefore(m_single, kBelowKing, required, p, 3);
    for (SuitIndex s = 1; s <= kSuits; ++s) {
        const TRanks available = m_availableBySuit[s];
        if ((m_flushSuits & (1U << (s - 1))) == 0 || (available & kAceKing) != kAceKing) continue;
        const TRanks suitRequired = (m_knownBySuit[s] & ~kAceKing) | queen;
        before -= SubsetWeightBefore(kOnes, available & kBelowKing, suitRequired, p, 3);
    }
    for (int i = 0; i < AceKingRunCount(m_rules.RoundStraight); ++i) {
        const TPattern& run = kAceKingRuns[static_cast<std::size_t>(i)];
        if (run < p && (i == 0 || InAceKingTable(run, m_rules.MinAceKing))) {
            before -= AceKingRaw(run) - AceKingSameSuit(run);
        }
    }
    return before;
}

TCount TCompletionCounts::EntriesBefore(TCombinationKind kind, const TPattern& p) const {
    if (kind == ckPoker || kind == ckNoGame || kind == ckRoyalFlush || !m_rules.Plays[kind]) {
        return 0;
    }
    const int r = p.Ranks[0];
    TCount before = 0;
    switch (kind) {
        case ckStraightFlush:
            for (int top = 2; top < r && top <= m_runs; ++top) {
                before += m_straightFlushRaw[static_cast<std::size_t>(top)];
            }
            return before;
        case ckFourOfAKind:
            for (int q = 1; q < r && q <= kRanks; ++q) before += FourOfAKindEntry(q);
            return before;
        case ckThreeOfAKind:
            for (int q = 1; q < r && q <= kRanks; ++q)
                before += ThreeOfAKindRaw(q) - m_fullHouseRow[q];
            return before;
        case ckStraight:
            for (int top = 1; top < r && top <= m_runs; ++top) {
                before += Entry(kind, TPattern{{static_cast<std::int8_t>(top)}});
            }
            return before;
        case ckFullHouse:
            for (int t = 1; t < r && t <= kRanks; ++t) before += m_fullHouseRow[t];
            if (r >= 1 && r <= kRanks) {
                for (int q = 1; q < p.Ranks[1] && q <= kRanks; ++q) before += FullHouseEntry(r, q);
            }
            return before;
        case ckFlush:
            return FlushBefore(p);
        case ckTwoPairs: {
            const int i = r;
            const int j = p.Ranks[1];
            for (int a = 1; a <= 12; ++a) {
                for (int b = a + 1; b <= 13; ++b) {
                    if (a < i || (a == i && b < j)) before += TwoPairsRow(a, b);
                }
            }
            for (int k = 1; k < p.Ranks[2] && k <= kRanks; ++k) before += TwoPairsEntry(i, j, k);
            return before;
        }
        case ckPair: {
            const int i = r;
            for (int q = 1; q < i && q <= m_rules.MinPair; ++q) before += m_pairRow[q];
            if (i >= 1 && i <= m_rules.MinPair) {
                const TPattern kickers{{p.Ranks[1], p.Ranks[2], p.Ranks[3]}};
                before += m_double[i] * SubsetWeightBefore(m_single, kAllRanks & ~RankBit(i),
                                                           m_knownRanks & ~RankBit(i), kickers, 3);
            }
            return before;
        }
        case ckAceKing:
            return AceKingBefore(p);
        default:
            return 0;
    }
}

TCount TCompletionCounts::TableSum(TCombinationKind kind) const {
    if (kind == ckFlush) {
        return m_rules.Plays[ckFlush] ? m_flushClosed - m_royalRaw - m_straightFlushRawTotal : 0;
    }
    return m_totals[kind];
}

TPatternSplit TCompletionCounts::SplitAround(TCombinationKind kind,
                                             const std::optional<TPattern>& pattern) const {
    TPatternSplit split;
    const TCount sum = TableSum(kind);
    if (!pattern) {
        split.Before = sum;
        return split;
    }
    split.Before = EntriesBefore(kind, *pattern);
    split.At = Entry(kind, *pattern);
    split.After = sum - split.Before - split.At;
    return split;
}

std::optional<TPattern> PlayerPattern(TCombinationKind kind, TCardTable kept, TCardTable unseen,
                                      const TCountingRules& rules) {
    if (kept.Count() >= 5) return StrongestHeldPattern(kind, kept, rules.RoundStraight);
    // Fewer than five cards: the first entry of the marker table that reaches 1.
    const TCompletionCounts marker(kept, unseen, rules);
    std::optional<TPattern> found;
    ForEachTablePattern(kind, rules, [&](const TPattern& p) {
        if (marker.RawEntry(kind, p) >= 1) found = p;
        return found.has_value();
    });
    return found;
}

}  // namespace studlab
