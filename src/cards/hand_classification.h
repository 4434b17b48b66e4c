#pragma once

#include "cards/card_table.h"
#include "cards/combination_kind.h"

namespace studlab {

// The kind a player's cards (0 to 7) make under the design's playing kinds. The tests run from
// the ace-king up to the royal flush and the last one that holds and plays wins, so a hand whose
// kind does not play falls to the best lower kind it also makes. With six or seven cards the
// straight and the flush of a straight flush need not be made of the same cards. With
// `roundStraight` a run may wrap round the ace (Q-K-A-2-3).
TCombinationKind ClassifyHand(TCardTable cards, const TKindFlags& plays,
                              bool roundStraight = false);

struct TReducedHand {
    TCardTable Kept;
    TCardTable Aside;
};

// Keeps the five cards that form a hand of `kind` and sets the others aside. The rules are
// single passes in scan order; with some lower kinds not playing they may keep more than five.
TReducedHand ReduceToFive(TCardTable cards, TCombinationKind kind, bool roundStraight = false);

}  // namespace studlab
