#pragma once

#include <string>

#include "design/game_design.h"
#include "profit/exact/exact_run.h"
#include "profit/exact/hand_play.h"

namespace studlab::testing {

// Folding or betting against a dealer who shows nothing: an exact analysis takes well under a
// second, and was worked out apart (every hand evaluated one by one) at 8,9397791038 %.
inline TGameDesign FoldOrBet() {
    TGameDesign design;
    design.DealerOpenCards = std::string("0");
    design.SetAllows(1, TPlayerAction::paBuyCard, false);
    return design;
}

// The design's exact sums, on every core.
inline TExactSums Analyse(const TGameDesign& design,
                          const TCalculationSettings& settings = TCalculationSettings{}) {
    const TExactGame game(design, settings);
    return RunExactAnalysis(TLayoutClasses(game.DealerOpenCards()),
                            [&game] { return game.NewPlay(); }, {})
        .Sums;
}

}  // namespace studlab::testing
