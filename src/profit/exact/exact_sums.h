#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cards/combination_kind.h"
#include "profit/exact/exact_outcomes.h"
#include "profit/exact/strategy.h"
#include "profit/exact/wide_int.h"

namespace studlab {

// One cell of the return table: how likely the outcome is and what it brings, both as
// numerators over the run's common denominator (see TExactSums).
struct TReturnCell {
    TInt256 Chance;
    TInt256 Contribution;  // in ten-thousandths of an ante
    friend bool operator==(const TReturnCell&, const TReturnCell&) = default;
};

// The exact sums of an analysis, or of part of it. Every hand's weight is the number of ways it
// can be dealt: a first layout counts once for each layout of its suit class, and the cards that
// arrive after it are counted as ordered draws of the unseen cards up to a depth fixed for the
// design, so that every sum is an integer and the figures are these sums over Weight. Integers
// add up in any order, so the result does not depend on how the work is split.
struct TExactSums {
    std::int64_t Classes = 0;
    TInt256 Layouts;        // first layouts
    TInt256 Weight;         // layouts times the ways of dealing the rest
    TInt256 Result;         // the player's result, ten-thousandths of an ante
    TInt256 ResultSquares;  // its square, for the standard deviation
    TInt256 Stake;          // antes put at risk (ante, bet, costs), ten-thousandths
    TInt256 BestResult;     // the result when every decision takes the best continuation
    TInt256 ChoicesDiffer;  // layouts whose first choice is not the best continuation's
    std::array<TInt256, kFirstActions> FirstAction{};  // layouts by their first action
    std::array<std::array<TReturnCell, kFinalOutcomes>, kKindCount> Returns{};  // [kind - 1]
    TStrategyGrid Strategy;  // the first decision's actions by starting hand and dealer's card

    TReturnCell& Cell(TCombinationKind kind, TFinalOutcome outcome) {
        return Returns[static_cast<std::size_t>(KindIndex(kind) - 1)]
                      [static_cast<std::size_t>(outcome)];
    }
    const TReturnCell& Cell(TCombinationKind kind, TFinalOutcome outcome) const {
        return Returns[static_cast<std::size_t>(KindIndex(kind) - 1)]
                      [static_cast<std::size_t>(outcome)];
    }

    TExactSums& operator+=(const TExactSums& o);
    // Adds `o` and leaves it empty. A class touches few of the return cells and strategy
    // tallies: only those of `cells` (bit kind * 5 + outcome, kinds counted from 0) and of
    // `tallies` (their indexes) are added and cleared.
    void Take(TExactSums& o, std::uint64_t cells, const std::vector<std::size_t>& tallies);
    friend bool operator==(const TExactSums&, const TExactSums&) = default;

    // One line of text that FromText takes back exactly (checkpoints, messages between machines).
    std::string ToText() const;
    static std::optional<TExactSums> FromText(std::string_view text);

private:
    // The counts and sums of the whole run, which every addition adds.
    void AddTotals(const TExactSums& o);
};

}  // namespace studlab
