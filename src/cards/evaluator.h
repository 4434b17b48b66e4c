#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "cards/card_table.h"
#include "cards/combination_kind.h"
#include "cards/completion_counting.h"
#include "cards/eval_rules.h"

namespace studlab {

// The action codes the evaluator takes. Any other number is accepted and gives 0.
using TEvalMode = int;
inline constexpr TEvalMode kModeBet = 0;
inline constexpr TEvalMode kModeBetInsured = 10;
inline constexpr TEvalMode kModeBuyDealerGame = 1;
inline constexpr TEvalMode kModeDeclineDealerGame = 100;
inline constexpr TEvalMode kModeListing = 222;

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

struct TEvalResult {
    std::int64_t Value = 0;      // expected result in ten-thousandths of an ante
    bool HandInsurable = false;  // the caller keeps it for offering the insured bet
    TCombinationKind PlayerKind = TCombinationKind::ckNoGame;
    int DeckRemaining = 0;
    TEvalTallies Tallies;
};

// A layout whose dealer hand cannot be completed (more than five dealer cards, or fewer unseen
// cards than he still needs): there is no outcome to take shares of.
class TEvalError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

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
