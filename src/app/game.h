#pragma once

#include "design/game_design.h"
#include "profit/profit_check.h"
#include "profit/table_hands.h"
#include "table/decision_table.h"

namespace studlab {

// The one game the desktop program works on: the design, its calculation settings, the one hand
// of the decision table (which also names the game) and the profitability check that plays hands
// on it. Every window gets the parts it shows or edits; every computation reads the design and
// the settings as they stand.
struct TGame {
    TGameDesign Design;
    TCalculationSettings Settings;
    TDecisionTable Table{Design, Settings};
    TTableHands Hands{Table};
    TProfitCheck Profit{Hands};
};

}  // namespace studlab
