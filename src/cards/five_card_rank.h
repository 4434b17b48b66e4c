#pragma once

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
