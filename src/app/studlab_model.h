#pragma once

#include "design/game_design.h"
#include "profit/profit_check.h"
#include "profit/table_hands.h"
#include "table/decision_table.h"

namespace studlab {

// The program's one game design, its calculation settings, the one hand of the decision table
// (which also names the current game) and the profitability check that plays hands on it.
// main() owns it; the windows show and edit it, and every computation reads it as it stands.
struct TStudlabModel {
    TGameDesign Design;
    TCalculationSettings Settings;
    TDecisionTable Table{Design, Settings};
    TTableHands Hands{Table};
    TProfitCheck Profit{Hands};
};

}  // namespace studlab
