#pragma once

#include "cards/eval_rules.h"
#include "design/game_design.h"

namespace studlab {

// Which kinds play and where the dealer's game starts, as the design says.
TCountingRules CountingRulesOf(const TGameDesign& design);

// The design's numbers as the evaluator reads them. Building it converts every one of them, so a
// text that is not a number stops the computation before its first evaluation, as reading it at
// every evaluation would. Throws TConversionError for a number that does not convert and
// TEvalError for a payout or cost beyond kLargestDesignAmount; both messages name the field.
TEvalRules MakeEvalRules(const TGameDesign& design, const TCalculationSettings& settings);

}  // namespace studlab
