#pragma once

namespace studlab {

// How a hand ended for the player, as the return table sorts the final outcomes.
enum class TFinalOutcome { foWon, foLost, foTie, foDealerNoGame, foFolded };
inline constexpr int kFinalOutcomes = 5;

// The first decision's action, as the analysis counts how often each is taken.
enum class TFirstAction {
    faNone,  // the design offers nothing at the first decision
    faFold,
    faBet,
    faBetInsured,
    faBuyCard,
    faBuyTwoCards,
    faExchange1,
    faExchange2,
    faExchange3,
    faExchange4,
    faExchange5,
};
inline constexpr int kFirstActions = 11;

}  // namespace studlab
