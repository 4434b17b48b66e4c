#pragma once

#include <optional>

#include "cards/dealer_completions.h"
#include "cards/evaluator.h"
#include "table/draw_sums.h"

namespace studlab {

// The exact mean of a player's draw by counting instead of one evaluation per arrival: every
// offer of one decision draws from the same deck against the same dealer cards, so the dealer's
// completions are tallied once (TDealerCompletions) and each arrival costs a strength look-up and
// a few counts. It serves draws of one to three cards that make a five-card hand, under rules
// that let every kind play; it gives the same sums as ExactDrawMean over the evaluator, to the
// last unit.
class TCountedDraws {
public:
    // The mean of the draw of `cards` cards into the player's hand of `layout`, valued under the
    // evaluator's code `mode`; none where counting does not serve it (the caller evaluates).
    std::optional<TExactMean> Mean(const TEvalRules& rules, const TEvalLayout& layout, int cards,
                                   TEvalMode mode);

    // Whether Mean serves a draw of `cards` cards into `layout` under `rules`.
    static bool Serves(const TEvalRules& rules, const TEvalLayout& layout, int cards);

private:
    TDealerCompletions& CompletionsFor(const TEvalRules& rules, const TEvalLayout& layout);

    std::optional<TDealerCompletions> m_completions;
};

}  // namespace studlab
