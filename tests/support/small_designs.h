#pragma once

#include <algorithm>
#include <cstddef>
#include <random>
#include <string>
#include <vector>

#include "cards/card_table.h"

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

// The cards known to be out of a layout that leave `unseen` cards of the deck, chosen at random:
// with most of the deck out, every deal can be played one by one.
inline TCardTable OutCards(TCardTable dealer, TCardTable player, int unseen, std::mt19937& rng) {
    std::vector<TCardId> rest;
    (dealer | player).Complement().ForEach([&](TCardId id) { rest.push_back(id); });
    std::shuffle(rest.begin(), rest.end(), rng);
    TCardTable out;
    for (std::size_t i = 0; i + static_cast<std::size_t>(unseen) < rest.size(); ++i)
        out.Add(rest[i]);
    return out;
}

}  // namespace studlab::testing
