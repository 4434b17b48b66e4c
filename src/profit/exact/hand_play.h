#pragma once

#include "cards/card_table.h"
#include "design/game_design.h"
#include "profit/exact/exact_game.h"
#include "profit/exact/exact_sums.h"

namespace studlab {

// One first layout played out, as the analysis adds it up (for tests and the strategy): the value
// of the recommended play and of the best continuation in ten-thousandths of an ante, and the
// first decision's choice by both.
struct TLayoutOutcome {
    long double Value = 0;
    long double BestValue = 0;
    TPlayerAction FirstAction = TPlayerAction::paFold;  // of the recommended play
    bool FirstActionTaken = false;                      // false: nothing was offered
    bool BestDiffers = false;
};

// Plays one first layout (with known out cards, which a test may add to keep it small) and adds
// it, counted `members` times, to `sums`.
TLayoutOutcome PlayLayout(const TExactGame& game, TCardTable player, TCardTable dealer,
                          TCardTable out, int members, TExactSums& sums);

}  // namespace studlab
