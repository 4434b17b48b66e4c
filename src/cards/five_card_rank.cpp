#include "cards/five_card_rank.h"

#include <algorithm>
#include <array>
#include <bit>
#include <memory>
#include <stdexcept>
#include <vector>


namespace studlab {
namespace {

using enum TCombinationKind;

// The ranks a hand holds, bit r - 1 for rank index r (the ace is bit 0).
constexpr std::uint32_t RunBits(int top) {
    return top == 10 ? (0xFU << 9) | 1U : 0x1FU << (top - 1);
}

int TopOfRun(std::uint32_t held) {
    for (int top = 1; top <= 10; ++top) {
        if ((RunBits(top) & ~held) == 0) return top;
    }
    return 0;
}

// The strongest first: a kind's place from the royal flush (10) down to no game (0).
constexpr int KindStrength(TCombinationKind kind) {
    return KindIndex(ckNoGame) - KindIndex(kind);
}

// Kind above pattern; each place of the pattern from the strongest rank (1, the ace: 13) down.
std::uint32_t ShapeKey(const TFiveCardShape& shape) {
    std::uint32_t key = static_cast<std::uint32_t>(KindStrength(shape.Kind)) << 20;
    for (std::size_t i = 0; i < shape.Pattern.Ranks.size(); ++i) {
        const int r = shape.Pattern.Ranks[i];
        if (r != 0) key |= static_cast<std::uint32_t>(14 - r) << (16 - 4 * i);
    }
    return key;
}

// The weights of kBitRankWeights, by rank index less one: their sums tell every multiset of five
// ranks (at most four of one) from every other; a hand's key is at most 4 * 79415 + 43258.
constexpr std::uint32_t kLargestWeight = kBitRankWeights[TCardTable::BitOf(kRanks, 1)];
constexpr std::uint32_t kRankKeys = 4 * kLargestWeight + kBitRankWeights[TCardTable::BitOf(kRanks - 1, 1)] + 1;
static_assert(kLargestWeight == 79415 && kRankKeys == 4 * 79415 + 43258 + 1);

constexpr std::uint64_t kSuitBits = 0x1111111111111ULL;  // one suit's cards, bit 4 * (rank - 1)

// Every five-card hand's strength, by the rank key of its cards, or, for five cards of one suit,
// by the set of their ranks; and every strength's shape. The tables take 0.7 MB, so that the
// look-ups of a long count stay in the processor's cache.
class TRankTable {
public:
    // Built from one hand of each multiset of five ranks, and one flush of each set of five
    // ranks: 7,462 shapes rather than 2,598,960 hands.
    TRankTable() {
        std::vector<std::uint64_t> hands;
        std::array<int, 5> r{};
        for (r[0] = 0; r[0] < kRanks; ++r[0])
            for (r[1] = r[0]; r[1] < kRanks; ++r[1])
                for (r[2] = r[1]; r[2] < kRanks; ++r[2])
                    for (r[3] = r[2]; r[3] < kRanks; ++r[3])
                        for (r[4] = r[3]; r[4] < kRanks; ++r[4]) {
                            if (r[0] == r[4]) continue;  // five of one rank
                            // The n-th card of a rank takes the n-th suit; five different ranks
                            // are put in two suits, or, once more, in one (the flush).
                            std::uint64_t mask = 0;
                            bool distinct = true;
                            for (std::size_t i = 0; i < 5; ++i) {
                                int suit = 0;
                                for (std::size_t j = 0; j < i; ++j) suit += r[j] == r[i] ? 1 : 0;
                                distinct = distinct && suit == 0;
                                mask |= std::uint64_t{1} << TCardTable::BitOf(r[i] + 1, suit + 1);
                            }
                            if (distinct) {
                                hands.push_back(mask);
                                mask ^= std::uint64_t{3} << TCardTable::BitOf(r[4] + 1, 1);
                            }
                            hands.push_back(mask);
                        }
        // A strength is the place of the hand's key among the keys that occur.
        std::vector<std::uint32_t> keys(hands.size());
        for (std::size_t h = 0; h < hands.size(); ++h) {
            const std::uint32_t key = ShapeKey(ShapeOfFive(TCardTable::FromMask(hands[h])));
            keys[h] = key >> 20 == 0 ? 0 : key;  // no game: one strength
        }
        std::vector<std::uint32_t> used = keys;
        std::sort(used.begin(), used.end());
        used.erase(std::unique(used.begin(), used.end()), used.end());
        m_count = static_cast<int>(used.size()) + kHandRankNoGame;
        m_shapes.resize(static_cast<std::size_t>(m_count));
        m_kinds.assign(static_cast<std::size_t>(m_count), ckNoGame);
        m_byRankKey.assign(kRankKeys, 0);
        m_flushByRanks.assign(std::size_t{1} << kRanks, 0);
        for (std::size_t h = 0; h < hands.size(); ++h) {
            const auto rank = static_cast<THandRank>(
                std::lower_bound(used.begin(), used.end(), keys[h]) - used.begin() +
                kHandRankNoGame);
            const std::uint64_t mask = hands[h];
            THandRank& entry = FlushRanks(mask) != 0 ? m_flushByRanks[FlushRanks(mask)]
                                                     : m_byRankKey[RankKey(mask)];
            // Every multiset has its own key: the weights make sure of it.
            if (entry != 0) throw std::logic_error("rank keys collide");
            entry = rank;
            m_shapes[rank] = ShapeOfFive(TCardTable::FromMask(mask));
            m_kinds[rank] = m_shapes[rank].Kind;
        }
    }

    THandRank Rank(std::uint64_t mask) const {
        const std::uint32_t flush = FlushRanks(mask);
        return flush != 0 ? m_flushByRanks[flush] : m_byRankKey[RankKey(mask)];
    }
    const TFiveCardShape& Shape(THandRank rank) const { return m_shapes[rank]; }
    TRankLookup Lookup() const {
        return {m_byRankKey.data(), m_flushByRanks.data(), m_kinds.data()};
    }
    int Count() const { return m_count; }

private:
    static std::uint32_t RankKey(std::uint64_t mask) {
        std::uint32_t key = 0;
        for (; mask != 0; mask &= mask - 1) {
            key += kBitRankWeights[static_cast<std::size_t>(std::countr_zero(mask))];
        }
        return key;
    }
    // The ranks of five cards of one suit, bit rank - 1; 0 when they are not of one suit.
    static std::uint32_t FlushRanks(std::uint64_t mask) {
        for (int suit = 0; suit < kSuits; ++suit) {
            std::uint64_t inSuit = mask & (kSuitBits << suit);
            if (CountBits(inSuit) != 5) continue;
            std::uint32_t ranks = 0;
            for (; inSuit != 0; inSuit &= inSuit - 1) ranks |= 1U << (std::countr_zero(inSuit) / 4);
            return ranks;
        }
        return 0;
    }
    std::vector<THandRank> m_byRankKey;     // hands of more than one suit
    std::vector<THandRank> m_flushByRanks;  // hands of one suit
    std::vector<TFiveCardShape> m_shapes;
    std::vector<TCombinationKind> m_kinds;  // the shapes' kinds, for counts that want only them
    int m_count = 0;
};

const TRankTable& RankTable() {
    static const TRankTable table;
    return table;
}

}  // namespace

TFiveCardShape ShapeOfFive(TCardTable five) {
    std::array<int, kRanks + 1> count{};
    std::uint32_t held = 0;
    for (RankIndex r = 1; r <= kRanks; ++r) {
        count[static_cast<std::size_t>(r)] = five.RankCount(r);
        if (count[static_cast<std::size_t>(r)] != 0) held |= 1U << (r - 1);
    }
    bool flush = false;
    for (SuitIndex s = 1; s <= kSuits; ++s) flush = flush || five.SuitCount(s) == 5;
    const int top = TopOfRun(held);

    TFiveCardShape shape;
    TPattern& p = shape.Pattern;
    auto put = [&p](std::size_t place, int rank) {
        p.Ranks[place] = static_cast<std::int8_t>(rank);
    };
    // The held ranks of `times` cards, strongest first, from place `from`.
    auto ranksOf = [&](int times, std::size_t from) {
        for (RankIndex r = 1; r <= kRanks; ++r) {
            if (count[static_cast<std::size_t>(r)] == times) put(from++, r);
        }
    };
    int pairs = 0;
    int trips = 0;
    int quads = 0;
    for (RankIndex r = 1; r <= kRanks; ++r) {
        const int c = count[static_cast<std::size_t>(r)];
        pairs += c == 2 ? 1 : 0;
        trips += c == 3 ? 1 : 0;
        quads += c == 4 ? 1 : 0;
    }
    if (flush && top != 0) {
        shape.Kind = top == 1 ? ckRoyalFlush : ckStraightFlush;
        if (top != 1) put(0, top);
    } else if (quads != 0) {
        shape.Kind = ckFourOfAKind;
        ranksOf(4, 0);
    } else if (trips != 0 && pairs != 0) {
        shape.Kind = ckFullHouse;
        ranksOf(3, 0);
        ranksOf(2, 1);
    } else if (flush) {
        shape.Kind = ckFlush;
        ranksOf(1, 0);
    } else if (top != 0) {
        shape.Kind = ckStraight;
        put(0, top);
    } else if (trips != 0) {
        shape.Kind = ckThreeOfAKind;
        ranksOf(3, 0);
    } else if (pairs == 2) {
        shape.Kind = ckTwoPairs;
        ranksOf(2, 0);
        ranksOf(1, 2);
    } else if (pairs == 1) {
        shape.Kind = ckPair;
        ranksOf(2, 0);
        ranksOf(1, 1);
    } else if (count[1] != 0 && count[2] != 0) {
        shape.Kind = ckAceKing;
        for (RankIndex r = 3, place = 0; r <= kRanks; ++r) {
            if (count[static_cast<std::size_t>(r)] != 0) put(static_cast<std::size_t>(place++), r);
        }
    }
    return shape;
}

THandRank RankOfFive(TCardTable five) {
    if (five.Count() != 5) throw std::invalid_argument("a strength is of exactly five cards");
    return RankTable().Rank(five.Mask());
}

TRankLookup RankLookup() {
    return RankTable().Lookup();
}

TCombinationKind KindOfRank(THandRank rank) {
    return RankTable().Shape(rank).Kind;
}

const TPattern& PatternOfRank(THandRank rank) {
    return RankTable().Shape(rank).Pattern;
}

int HandRankCount() {
    return RankTable().Count();
}

bool DealerGameAt(THandRank rank, const TCountingRules& rules) {
    const TFiveCardShape& shape = RankTable().Shape(rank);
    switch (shape.Kind) {
        case ckNoGame:
            return false;
        case ckPair:
            return shape.Pattern.Ranks[0] <= rules.MinPair;
        case ckAceKing:
            return rules.MinAceKing == TMinAceKing::akAny || shape.Pattern.Ranks[0] == 3;
        default:
            return true;
    }
}

}  // namespace studlab
