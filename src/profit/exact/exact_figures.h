#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "profit/exact/exact_sums.h"

namespace studlab {

// What an exact analysis tells about a game, worked out from its sums.
struct TExactFigures {
    // The player's average loss per hand in percent of the ante (the sign of the profitability
    // window's MO: a game that favours the house is positive), for the play the decision window
    // recommends and for the best continuation.
    long double MoPercent = 0;
    long double BestMoPercent = 0;
    long double ChoicesDifferPercent = 0;  // of the first layouts
    long double StdDevPerHand = 0;         // antes
    long double AverageStake = 0;          // antes put at risk per hand
    long double ElementOfRiskPercent = 0;  // the loss per unit of average stake
    std::array<long double, kFirstActions> FirstActionPercent{};

    struct TReturnRow {
        TCombinationKind Kind = TCombinationKind::ckNoGame;
        TFinalOutcome Outcome = TFinalOutcome::foWon;
        TInt256 WeightedCount;  // the ways of dealing the outcome (numerator of its chance)
        long double Probability = 0;
        long double Contribution = 0;  // antes per hand
    };
    std::vector<TReturnRow> Returns;  // outcomes that occur, strongest kind first
};

TExactFigures FiguresOf(const TExactSums& sums);

// Names as the reports write them: "won", "folded"; "fold", "buy_card", "exchange_3".
std::string_view OutcomeName(TFinalOutcome outcome);
std::string_view OutcomeCaption(TFinalOutcome outcome);  // "выигрыш", "пас", ...
std::string_view FirstActionName(TFirstAction action);
std::string_view FirstActionCaption(TFirstAction action);  // "сделать пас", ...
// The kind's name in the listing's words ("ПАРЫ"), "БЕЗ ИГРЫ" for no game.
std::string_view KindCaption(TCombinationKind kind);

}  // namespace studlab
