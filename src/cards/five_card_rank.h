#pragma once

#include <array>
#include <cstdint>

#include "cards/card_table.h"
#include "cards/combination_kind.h"
#include "cards/completion_counting.h"

namespace studlab {

// The strength of five cards when every kind plays, as one small number: the kind first, then
// the rank pattern the dealer's tables order that kind by (TPattern). Hands of equal strength
// tie; a stronger hand has a larger number. Every hand without a game (not even an ace-king)
// shares the lowest strength, kHandRankNoGame; 0 is never a hand's strength.
using THandRank = std::uint16_t;
inline constexpr THandRank kHandRankNoGame = 1;

// The kind and pattern of five cards, worked out from their ranks and suits: the same kind as
// ClassifyHand under every playing kind and the same pattern as PlayerPattern of five cards, with
// ordinary straights (none wraps round the ace).
struct TFiveCardShape {
    TCombinationKind Kind = TCombinationKind::ckNoGame;
    TPattern Pattern;
};
TFiveCardShape ShapeOfFive(TCardTable five);

// The strength of exactly five cards, by table look-up (the table is built on first use).
THandRank RankOfFive(TCardTable five);

// The look-ups behind RankOfFive, for counts that put hands together a card at a time: five cards
// of more than one suit go by their rank key, the sum of their cards' kBitRankWeights (every
// multiset of five ranks has its own), five cards of one suit by the set of their ranks (bit
// rank - 1). The tables live as long as the program.
struct TRankLookup {
    const THandRank* ByRankKey;
    const THandRank* FlushByRanks;
    const TCombinationKind* Kinds;  // [strength] its kind, as KindOfRank

    TCombinationKind Kind(THandRank rank) const { return Kinds[rank]; }

    // Five cards by their rank key, the suits they hold (bit suit - 1) and their ranks.
    THandRank Rank(std::uint32_t rankKey, std::uint32_t suits, std::uint32_t ranks) const {
        // One suit, tested without std::has_single_bit, which is a library call on a processor
        // the build does not assume to count bits.
        const bool flush = suits != 0 && (suits & (suits - 1)) == 0;
        return flush ? FlushByRanks[ranks] : ByRankKey[rankKey];
    }
};
TRankLookup RankLookup();

// Each card bit's weight in a rank key.
inline constexpr std::array<std::uint32_t, kCards> kBitRankWeights = [] {
    constexpr std::array<std::uint32_t, kRanks> byRank = {
        0, 1, 5, 22, 94, 312, 992, 2422, 5624, 12522, 19998, 43258, 79415};
    std::array<std::uint32_t, kCards> w{};
    for (int bit = 0; bit < kCards; ++bit) {
        w[static_cast<std::size_t>(bit)] =
            byRank[static_cast<std::size_t>(TCardTable::RankOfBit(bit) - 1)];
    }
    return w;
}();

// What a strength stands for.
TCombinationKind KindOfRank(THandRank rank);
const TPattern& PatternOfRank(THandRank rank);
// One more than the largest strength.
int HandRankCount();

// Whether the dealer's five cards of this strength give him a game under the counting rules, which
// must let every kind play: his pair must reach the minimum pair and his ace-king, where the rules
// say so, must hold a queen.
bool DealerGameAt(THandRank rank, const TCountingRules& rules);

}  // namespace studlab
