#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "cards/eval_rules.h"
#include "cards/evaluator.h"
#include "cards/random_generator.h"

namespace studlab {

// The sums of a layout's values over the cards a draw may bring: over every possible arrival
// (exact) or over random ones (sampled). Plain functions of their inputs, so that anything that
// values draws can use them; the hand engine turns them into candidates.

// The hand that receives the drawn cards.
enum class TDrawTarget { dtPlayer, dtDealer };

// The value of a layout after an arrival, in ten-thousandths of an ante; a draw sum asks for it
// once per arrival.
using TLayoutValue = std::function<std::int64_t(const TEvalLayout&)>;

// The evaluator's value of the action `mode` under `rules`.
TLayoutValue EvaluatorValue(const TEvalRules& rules, TEvalMode mode);

// The evaluation codes of the draws at `stage` (1 or 2): the last significant digit is the
// stage, a trailing 0 asks the evaluator to divide its value by the number of exact arrivals.
constexpr TEvalMode ExchangeMode(int cards, int stage, bool exact) {
    if (cards == 1) return 10 + stage;
    return exact ? cards * 100 + stage * 10 : cards * 10 + stage;
}
constexpr TEvalMode BuyMode(int cards, int stage, bool exact) {
    if (cards == 1) return 60 + stage;
    return exact ? 700 + stage * 10 : 70 + stage;
}

// The mean of a draw's result over every possible arrival, as whole sums: what every completion
// of the dealer's hand brings after every arrival (the evaluator's outcome distributions, exact
// ten-thousandths of an ante), over the number of those completions. Rounded once, when the value
// is shown: each arrival's share of a three-card exchange is a few ten-thousandths of an ante, so
// rounding the shares one by one would add up to errors of half an ante.
struct TExactMean {
    TWideSum Sum = 0;       // of every completion after every arrival, ten-thousandths
    TWideSum Outcomes = 0;  // completions after every arrival
    std::int64_t Arrivals = 0;

    // The mean in ten-thousandths of an ante, halves to the even neighbour; 0 without arrivals.
    std::int64_t Rounded() const;
};

// The result of one arrival's layout: its outcome distribution under the draw's code.
using TLayoutResult = std::function<TEvalResult(const TEvalLayout&)>;

// The evaluator's result of the action `mode` under `rules`.
TLayoutResult EvaluatorResult(const TEvalRules& rules, TEvalMode mode);

// The exact mean of `result` over every set of `cards` (1 to 5) unseen cards (cards not in
// `layout.Seen`), each set added to the `target` hand of `layout`; the sets are taken in the
// order of the cards' bits.
TExactMean ExactDrawMean(const TEvalLayout& layout, TDrawTarget target, int cards,
                         const TLayoutResult& result);

// `draws` random sets of `cards` cards none of which is in `seen`, in turn. Each card is a suit,
// then a rank, from `random`; a set that repeats a card or holds a seen one is drawn again.
void ForEachSampledArrival(TCardTable seen, int cards, std::int32_t draws, TRandomGenerator& random,
                           const std::function<void(TCardTable)>& arrival);

// The sum of `value` over `draws` random arrivals of `cards` cards into the `target` hand. Each
// card is a suit, then a rank, from `random`; an arrival that repeats a card or holds a card that
// is not unseen is drawn again. 0 when `draws` is below 0; none when it is 0 or fewer cards are
// unseen than are drawn.
std::optional<std::int64_t> SampledDrawSum(const TEvalLayout& layout, TDrawTarget target, int cards,
                                           std::int32_t draws, TRandomGenerator& random,
                                           const TLayoutValue& value);

}  // namespace studlab
