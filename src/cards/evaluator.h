#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "cards/card_table.h"
#include "cards/combination_kind.h"
#include "cards/completion_counting.h"
#include "cards/eval_rules.h"

namespace studlab {

// The action codes the evaluator takes: these and the drawing codes (EvalModes lists them all).
// EvaluateLayout gives 0 for any other number.
using TEvalMode = int;
inline constexpr TEvalMode kModeBet = 0;
inline constexpr TEvalMode kModeBetInsured = 10;
inline constexpr TEvalMode kModeBuyDealerGame = 1;
inline constexpr TEvalMode kModeDeclineDealerGame = 100;
inline constexpr TEvalMode kModeListing = 222;

// Every action code the evaluator knows, in ascending order.
std::vector<TEvalMode> EvalModes();
bool IsEvalMode(TEvalMode code);

// What one evaluation looks at.
struct TEvalLayout {
    TCardTable Player;  // the player's cards as they are to be evaluated, up to seven
    TCardTable Dealer;  // the dealer's known cards as they are to be evaluated
    // The real table (player's, dealer's and out cards). Its cards are never unseen, so a card
    // taken out of a hand for a hypothetical draw cannot come back.
    TCardTable Seen;
    float ExtraStake = 0;  // antes already staked or paid in the hand beyond the ante
};

struct TEvalTallies {
    TCount DealerOutcomes = 0;
    TCount DealerWins = 0;
    TCount PlayerWins = 0;
    TCount Ties = 0;
    TCount DealerNoGame = 0;
    friend bool operator==(const TEvalTallies&, const TEvalTallies&) = default;
};

// Sums of counts times amounts in ten-thousandths of an ante: a count reaches 2^22 and an amount
// 2^44, and callers add up millions of them.
__extension__ typedef __int128 TWideSum;

// What each way the dealer's completion can end brings the player under one action code, in
// ten-thousandths of an ante, costs and the hand's extra stake deducted. For a drawing code it is
// the result of that one draw, not yet divided by the number of draws.
struct TOutcomePayouts {
    std::int64_t DealerWins = 0;
    std::int64_t PlayerWins = 0;
    std::int64_t Ties = 0;  // a tie is worth nothing, whatever was paid
    std::int64_t DealerNoGame = 0;
    friend bool operator==(const TOutcomePayouts&, const TOutcomePayouts&) = default;
};

struct TEvalResult {
    std::int64_t Value = 0;      // expected result in ten-thousandths of an ante
    bool HandInsurable = false;  // the caller keeps it for offering the insured bet
    TCombinationKind PlayerKind = TCombinationKind::ckNoGame;
    int DeckRemaining = 0;
    // The outcome distribution: how many of the dealer's completions end each way, and what each
    // brings. Callers that add up many evaluations sum these exactly instead of the rounded Value.
    TEvalTallies Tallies;
    TOutcomePayouts Payouts;

    // The sum over every completion of what it brings: Value is this divided by the number of
    // completions (and of draws), rounded.
    TWideSum OutcomeSum() const {
        return TWideSum{Tallies.DealerWins} * Payouts.DealerWins +
               TWideSum{Tallies.PlayerWins} * Payouts.PlayerWins +
               TWideSum{Tallies.Ties} * Payouts.Ties +
               TWideSum{Tallies.DealerNoGame} * Payouts.DealerNoGame;
    }
    // The sum of the squares of what each completion brings, for variances.
    TWideSum OutcomeSquareSum() const {
        auto square = [](std::int64_t a) { return TWideSum{a} * a; };
        return Tallies.DealerWins * square(Payouts.DealerWins) +
               Tallies.PlayerWins * square(Payouts.PlayerWins) +
               Tallies.Ties * square(Payouts.Ties) +
               Tallies.DealerNoGame * square(Payouts.DealerNoGame);
    }
};

// A layout whose dealer hand cannot be completed (more than five dealer cards, or fewer unseen
// cards than he still needs): there is no outcome to take shares of.
class TEvalError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Steps 1 to 5 of an evaluation, which depend on the cards only: the player's kind and kept
// hand, the dealer's completions and how they compare with the player's hand.
struct TEvalAnalysis {
    TCombinationKind Kind = TCombinationKind::ckNoGame;
    TCardTable Kept;   // the five (or fewer) cards the player's kind is made of
    TCardTable Cards;  // every card of the player's; composite pays look at all of them
    TEvalTallies Tallies;
    TByKind<TCount> KindTotals;
    TCount GameTotal = 0;
    int DealerCards = 0;
    int DeckRemaining = 0;
};

TEvalAnalysis AnalyseLayout(const TEvalRules& rules, const TEvalLayout& layout);
// The same on the dealer's completions already counted for the layout's dealer cards and unseen
// cards (UnseenCards): every draw of the player that brings the same cards leaves the dealer the
// same completions, whatever the player keeps.
TEvalAnalysis AnalyseLayout(const TEvalRules& rules, const TEvalLayout& layout,
                            const TCompletionCounts& dealer);
// The cards that may still complete the dealer's hand: in nobody's hand and not seen.
TCardTable UnseenCards(const TEvalLayout& layout);

// The value and the outcome distribution of the action `code` on an analysed layout, with the
// antes already staked in the hand. One analysis serves every code and stake of the same cards.
TEvalResult EvaluateAnalysis(const TEvalRules& rules, const TEvalAnalysis& analysis, TEvalMode code,
                             float extraStake);

// The player's expected result of the action `code` on the layout. Codes that need the shares of
// the outcomes throw TEvalError when there are none; 100 gives the payout without a dealer game;
// 222 and codes outside the table give 0.
TEvalResult EvaluateLayout(const TEvalRules& rules, const TEvalLayout& layout, TEvalMode code);

// The fixed left label of the combinations window, one kind name a line.
inline constexpr std::string_view kCombinationNames =
    "РОЯЛФЛЕШИ\rСТРИТФЛЕШИ\rКАРЕ\rФУЛХАУСЫ\rФЛЕШИ\rСТРИТЫ\rТРОЙКИ\rДВЕ ПАРЫ\rПАРЫ\rТУЗ-КОРОЛИ\r"
    "БЕЗ ИГРЫ";
inline constexpr std::string_view kNoGameCombinations = "игровых комбинаций нет";

// The listing of code 222: how many of the dealer's completions make each kind.
struct TCombinationListing {
    // KindTotal of the royal flush .. the ace-king, then DealerNoGame.
    std::array<TCount, 11> Numbers{};
    // At least one completion makes a kind that plays and meets the dealer's minimum.
    bool DealerCanHaveGame = false;
    // The eleven numbers joined by "\r", or kNoGameCombinations.
    std::string CountsText;
    // Without a game combination the kind names are taken away as well.
    bool HideKindNames = false;
};

TCombinationListing ListCombinations(const TEvalRules& rules, const TEvalLayout& layout);

}  // namespace studlab
