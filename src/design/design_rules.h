#pragma once

#include <optional>

#include "cards/eval_rules.h"
#include "design/game_design.h"

namespace studlab {

// Which kinds play and where the dealer's game starts, as the design says.
TCountingRules CountingRulesOf(const TGameDesign& design);

// The design's numbers as the evaluator reads them. Building it converts every one of them, so a
// text that is not a number stops the computation before its first evaluation, as reading it at
// every evaluation would. Throws TConversionError for a number that does not convert and
// TEvalError for a payout or cost beyond kLargestDesignAmount or a payout that single precision
// would change; both messages name the field.
TEvalRules MakeEvalRules(const TGameDesign& design, const TCalculationSettings& settings);

// The payouts are single-precision numbers, as the table keeps them: the amount single precision
// holds nearest to `antes` when it counts the same ten-thousandths of an ante, or nothing when it
// would quietly change them (16777217 would pay 16777216). Every ten-thousandth of an ante below
// 1024 and every whole ante up to 16777216 keeps its value.
std::optional<float> PayoutInSinglePrecision(double antes);

}  // namespace studlab
