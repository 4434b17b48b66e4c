#pragma once

#include "design/game_design.h"
#include "profit/profit_check.h"
#include "profit/table_hands.h"
#include "table/decision_table.h"

namespace studlab {

// One game as the program works on it: the design, its calculation settings, the one hand of the
// decision table (which also names the game) and the profitability check that plays hands on it.
// The desktop program owns one that all windows share; the command line, the benchmarks and the
// tests make their own. Every computation reads the design and the settings as they stand.
struct TGame {
    TGameDesign Design;
    TCalculationSettings Settings;
    TDecisionTable Table{Design, Settings};
    TTableHands Hands{Table};
    TProfitCheck Profit{Hands};
};

}  // namespace studlab
