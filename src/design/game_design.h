#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "cards/card.h"
#include "cards/combination_kind.h"
#include "cards/eval_rules.h"

namespace studlab {

enum class TDeckKind { dk52, dk53, dk54 };
enum class TCalcMethod { cmDirect, cmProbabilistic };

enum class TPlayerAction {
    paFold,
    paBet,
    paBetInsured,
    paBuyCard,
    paBuyTwoCards,
    paExchange1,
    paExchange2,
    paExchange3,
    paExchange4,
    paExchange5,
    paBuyDealerGame,
    paDeclineDealerGame,
};
inline constexpr int kPlayerActionCount = 12;
inline constexpr int kStages = 4;
inline constexpr int kJokerRuleCount = 11;

// Money texts are kept as typed ("1,2" stays "1,2") and converted when a computation reads them.
using TNumberText = std::string;

// Flags of the actions a stage allows, indexed by TPlayerAction.
using TStageFlags = std::array<bool, kPlayerActionCount>;

// The rules of one game variant. A radio group that a design file left without a chosen option
// holds no value; computations then use the group's first option.
struct TGameDesign {
    std::optional<TDeckKind> DeckKind = TDeckKind::dk52;
    TKindFlags Plays = DefaultPlays();
    TByKind<TNumberText> PayQualified = DefaultPayQualified();
    TByKind<TNumberText> PayNotQualified = DefaultPayNotQualified();
    std::array<bool, kCompositeCount> CompositePlays{};
    std::array<bool, kJokerRuleCount> JokerRules{};
    std::optional<bool> RoundStraight = false;
    // The lowest pair that gives the dealer a game, as the RankIndex of its face (13: twos).
    std::optional<RankIndex> MinPair = 13;
    std::optional<TMinAceKing> MinAceKing = TMinAceKing::akAny;
    std::array<TStageFlags, kStages + 1> StageActions = DefaultStageActions();  // [stage 1..4]
    bool DealerBuysLowest = false;  // "дилер меняет себе младшую карту"
    bool DealerBuysHighest = false;  // "дилер меняет себе старшую карту"; read by nothing
    // [stage 1..2][1 card, 2 cards]
    std::array<std::array<TNumberText, 3>, 3> BuyCost = {{{}, {"", "1,2", "1"}, {"", "1", "1"}}};
    // [stage 1..2][1..5 cards]
    std::array<std::array<TNumberText, 6>, 3> ExchangeCost = {
        {{}, {"", "1", "1", "1", "1", "1"}, {"", "1", "1", "1", "1", "1"}}};
    TNumberText BetSize = "2";
    TNumberText BuyDealerGameCost = "1";
    TNumberText DealerOpenCards = "1";
    // Two independent boxes; only the full-payout one is consulted.
    bool InsuranceFull = false;
    bool InsuranceHalf = true;
    TKindFlags Insurable = DefaultInsurable();

    bool Allows(int stage, TPlayerAction action) const {
        return StageActions[stage][static_cast<int>(action)];
    }
    void SetAllows(int stage, TPlayerAction action, bool on) {
        StageActions[stage][static_cast<int>(action)] = on;
    }
    TInsuranceMax InsuranceMax() const {
        return InsuranceFull ? TInsuranceMax::imFull : TInsuranceMax::imHalf;
    }
    RankIndex MinPairRank() const { return MinPair.value_or(13); }
    TMinAceKing MinAceKingRule() const { return MinAceKing.value_or(TMinAceKing::akAny); }

    // Buying cards twice in a way that could give the player more than seven cards.
    bool BuysTooManyCards() const;

    friend bool operator==(const TGameDesign&, const TGameDesign&) = default;

    static TKindFlags DefaultPlays();
    static TByKind<TNumberText> DefaultPayQualified();
    static TByKind<TNumberText> DefaultPayNotQualified();
    static TKindFlags DefaultInsurable();
    static std::array<TStageFlags, kStages + 1> DefaultStageActions();
};

// The settings of the profitability window that the decision engine also reads.
struct TCalculationSettings {
    TNumberText TableMaximum = "200";
    TNumberText PlayingBoxes = "1";
    TNumberText HandSeconds = "120";  // read by nothing
    bool UseCacheTable = false;
    bool SameSequence = false;
    TCalcMethod CalcMethod = TCalcMethod::cmDirect;
    TNumberText ProbabilisticCycles = "2000";
    // "с учётом решения после прикупа": a purchase or an exchange is valued by the best decision
    // after each arrival, not by a bet after every arrival.
    bool LookAhead = false;

    friend bool operator==(const TCalculationSettings&, const TCalculationSettings&) = default;
};

// Whether an action may be switched on at a stage at all (stage 3 knows only four actions).
constexpr bool StageHasAction(int stage, TPlayerAction action) {
    using enum TPlayerAction;
    switch (stage) {
        case 1:
            return action != paBuyDealerGame && action != paDeclineDealerGame;
        case 2:
            return action != paDeclineDealerGame;
        case 3:
            return action == paFold || action == paBet || action == paBetInsured ||
                   action == paBuyDealerGame;
        case 4:
            return action == paBuyDealerGame;
        default:
            return false;
    }
}

// The code name of an action ("paExchange3"), as scripts and the command line write it.
std::string_view PlayerActionCodeName(TPlayerAction action);

}  // namespace studlab
