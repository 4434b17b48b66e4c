#pragma once

#include "design/game_design.h"
#include "profit/profit_check.h"
#include "profit/table_hands.h"
#include "table/decision_table.h"

namespace studlab {

// A game as it is played: a design and its calculation settings, a decision table over them (one
// hand, which also names the game) and the profitability check that plays hands on that table.
// Every computation reads the design and the settings as they stand. The desktop program holds
// one (TGame), each command line command and the report's simulation their own.
struct TPlayedGame {
    TGameDesign Design;
    TCalculationSettings Settings;
    TDecisionTable Table{Design, Settings};
    TTableHands Hands{Table};
    TProfitCheck Profit{Hands};
};

}  // namespace studlab
