#pragma once

#include <array>
#include <cstdint>

#include "cards/card.h"
#include "cards/combination_kind.h"

namespace studlab {

// Which ace-kings give the dealer a game: any, or only those with a queen as third card.
enum class TMinAceKing { akAny, akWithQueen };
// How much of the win an insured bet keeps when the dealer has no game.
enum class TInsuranceMax { imFull, imHalf };

// Every kind a hand can make plays; the poker (no joker exists) and "no game" do not.
inline TKindFlags EveryCountedKindPlays() {
    TKindFlags plays;
    for (TCombinationKind k : kCountedKinds) plays[k] = true;
    return plays;
}

// What the counting of the dealer's completions needs: which kinds play and where his game
// starts.
struct TCountingRules {
    TKindFlags Plays = EveryCountedKindPlays();
    RankIndex MinPair = 13;  // the lowest pair of the dealer that counts (13: twos)
    TMinAceKing MinAceKing = TMinAceKing::akAny;
    // Five ranks in a row may wrap round the ace (Q-K-A-2-3), for the player and the dealer.
    bool RoundStraight = false;
    friend bool operator==(const TCountingRules&, const TCountingRules&) = default;
};

// The pays of two combinations held at once, in the design's order (composites.h).
inline constexpr int kCompositeCount = 28;
// Places in that list of the two the game always paid: an ace-king beside two pairs or a pair.
inline constexpr int kCompositeTwoPairsAceKing = 26;  // "две пары+ТК"
inline constexpr int kCompositePairAceKing = 27;      // "пара+ТК"

// Everything the evaluator reads of a game, as numbers: the payouts, the bet, the costs and the
// table maximum. The design's texts are converted into it once, before the first evaluation.
struct TEvalRules {
    TCountingRules Counting;
    TByKind<float> PayQualified;       // ckRoyalFlush .. ckAceKing
    TByKind<float> PayNotQualified;    // ckRoyalFlush .. ckAceKing
    std::array<bool, kCompositeCount> CompositePays{};
    // The bet and the costs are plain real numbers; only the payouts are single precision.
    long double BetSize = 2;
    std::array<std::array<long double, 3>, 3> BuyCost{};       // [stage 1..2][1..2 cards]
    std::array<std::array<long double, 6>, 3> ExchangeCost{};  // [stage 1..2][1..5 cards]
    long double BuyDealerGameCost = 1;
    std::int32_t TableMaximum = 200;
    TInsuranceMax InsuranceMax = TInsuranceMax::imHalf;
    TKindFlags Insurable;
};

// The largest payout or cost, in antes, that a game may name: results are counted in
// ten-thousandths of an ante in 64 bits, also when summed over every draw of an exchange.
inline constexpr double kLargestDesignAmount = 1e9;

}  // namespace studlab
