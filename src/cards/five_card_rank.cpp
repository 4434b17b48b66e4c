#include "cards/five_card_rank.h"

#include <array>
#include <bit>
#include <memory>
#include <stdexcept>
#include <vector>

#include "cards/combinatorics.h"

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

constexpr std::uint32_t kKeyBits = 24;

// Every five-card hand's strength by its combinatorial number, and every strength's shape.
class TRankTable {
public:
    TRankTable() {
        // The keys that occur, as a bit set: a strength is one more than the keys below it.
        std::vector<std::uint64_t> used(std::size_t{1} << (kKeyBits - 6));
        std::vector<std::uint32_t> keys(static_cast<std::size_t>(Binomial(kCards, 5)));
        std::size_t index = 0;
        ForEachFive([&](std::uint64_t mask) {
            std::uint32_t key = ShapeKey(ShapeOfFive(TCardTable::FromMask(mask)));
            if (key >> 20 == 0) key = 0;  // no game: one strength
            keys[index++] = key;
            used[key >> 6] |= std::uint64_t{1} << (key & 63);
        });
        std::vector<std::uint32_t> below(used.size() + 1);
        for (std::size_t w = 0; w < used.size(); ++w) {
            below[w + 1] = below[w] + static_cast<std::uint32_t>(CountBits(used[w]));
        }
        auto strength = [&](std::uint32_t key) {
            const std::uint64_t lower = used[key >> 6] & ((std::uint64_t{1} << (key & 63)) - 1);
            return static_cast<THandRank>(
                below[key >> 6] + static_cast<std::uint32_t>(CountBits(lower)) + kHandRankNoGame);
        };
        m_count = static_cast<int>(below.back()) + kHandRankNoGame;
        m_shapes.resize(static_cast<std::size_t>(m_count));
        m_ranks.resize(keys.size());
        std::vector<bool> known(m_shapes.size());
        index = 0;
        ForEachFive([&](std::uint64_t mask) {
            const THandRank rank = strength(keys[index]);
            m_ranks[index++] = rank;
            if (!known[rank]) {
                known[rank] = true;
                m_shapes[rank] = ShapeOfFive(TCardTable::FromMask(mask));
            }
        });
    }

    THandRank Rank(std::uint64_t mask) const { return m_ranks[ColexIndex(mask)]; }
    const TFiveCardShape& Shape(THandRank rank) const { return m_shapes[rank]; }
    int Count() const { return m_count; }

private:
    // C(bit, i) for the i-th lowest card's bit, so that the look-up is a few loads and adds.
    static constexpr auto kColexTerms = [] {
        std::array<std::array<std::uint32_t, kCards>, 6> terms{};
        for (int i = 1; i <= 5; ++i) {
            for (int bit = 0; bit < kCards; ++bit) {
                terms[static_cast<std::size_t>(i)][static_cast<std::size_t>(bit)] =
                    static_cast<std::uint32_t>(Binomial(bit, i));
            }
        }
        return terms;
    }();
    // The five cards' combinatorial number: hands in the order ForEachFive visits them.
    static std::size_t ColexIndex(std::uint64_t mask) {
        std::size_t index = 0;
        for (std::size_t i = 1; i <= 5; ++i) {
            index += kColexTerms[i][static_cast<std::size_t>(std::countr_zero(mask))];
            mask &= mask - 1;
        }
        return index;
    }
    template <class F>
    static void ForEachFive(F&& f) {
        for (int e = 4; e < kCards; ++e)
            for (int d = 3; d < e; ++d)
                for (int c = 2; c < d; ++c)
                    for (int b = 1; b < c; ++b)
                        for (int a = 0; a < b; ++a) {
                            f((std::uint64_t{1} << a) | (std::uint64_t{1} << b) |
                              (std::uint64_t{1} << c) | (std::uint64_t{1} << d) |
                              (std::uint64_t{1} << e));
                        }
    }

    std::vector<THandRank> m_ranks;
    std::vector<TFiveCardShape> m_shapes;
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
