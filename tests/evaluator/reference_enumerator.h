#pragma once

#include <cstdint>

#include "cards/card_table.h"
#include "cards/combination_kind.h"
#include "cards/completion_counting.h"
#include "design/game_design.h"

// Hand-by-hand counting with ordinary poker rules, to check the closed-form counts against.
namespace studlab::reference {

// Ordinary ranking of five cards: ace high, 5-4-3-2-A the lowest straight; with `roundStraight`
// also K-A-2-3-4, Q-K-A-2-3 and J-Q-K-A-2 below it, by the last card of the run.
// Score grows with strength across all hands; Kind is ckNoGame for a hand below an ace-king.
struct THandRank {
    TCombinationKind Kind = TCombinationKind::ckNoGame;
    std::uint32_t Score = 0;
};
THandRank RankFiveCards(TCardTable hand, bool roundStraight = false);

// The dealer's game: a pair below the minimum pair, or an ace-king the rule does not allow, is
// no game.
bool DealerHasGame(const THandRank& rank, TCardTable hand, RankIndex minPair,
                   TMinAceKing minAceKing);

struct TReferenceTallies {
    TCount Outcomes = 0;
    TCount DealerWins = 0;
    TCount PlayerWins = 0;
    TCount Ties = 0;
    TCount NoGame = 0;
    TByKind<TCount> KindTotals;  // dealer completions with a game, by kind
};

// Completes the dealer's known cards with every (5 - n)-subset of the unseen cards and compares
// each completion with the player's five cards.
TReferenceTallies EnumerateCompletions(TCardTable player, TCardTable dealer, TCardTable unseen,
                                       RankIndex minPair, TMinAceKing minAceKing,
                                       bool roundStraight = false);

// Whether the cards (up to seven) hold a combination of kind `first` and another of kind
// `second` that uses a card the first does not, found by trying every subset of the cards.
bool HoldsTwoCombinations(TCardTable cards, TCombinationKind first, TCombinationKind second,
                          bool roundStraight);

// Value of the bet in ten-thousandths of an ante for the tallies: no extra stake, the default
// insurance and no composite pays; the payout of the player's kind capped at the table maximum.
std::int64_t BetValue(const TReferenceTallies& tallies, TCombinationKind playerKind,
                      const TGameDesign& design, const TCalculationSettings& settings);

}  // namespace studlab::reference
