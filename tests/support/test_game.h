#pragma once

#include "design/game_design.h"
#include "profit/profit_check.h"
#include "profit/table_hands.h"
#include "table/decision_table.h"

namespace studlab::testing {

// A game as the desktop program holds one, for the tests and the benchmarks: a design and its
// calculation settings, a decision table over them and the profitability check that plays hands
// on it.
struct TTestGame {
    TGameDesign Design;
    TCalculationSettings Settings;
    TDecisionTable Table{Design, Settings};
    TTableHands Hands{Table};
    TProfitCheck Profit{Hands};
};

}  // namespace studlab::testing
