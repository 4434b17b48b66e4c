#include "cards/evaluator.h"
#include "design/design_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "cards/card_list.h"
#include "design/design_fields.h"
#include "evaluator/formula_tables.h"
#include "support/printers.h"
#include "text/number_text.h"

namespace studlab {
namespace {

using enum TCombinationKind;

TCardTable Cards(const char* text) {
    return TableOf(ParseCardList(text));
}

// A table maximum of 0 is set on the rules themselves: the evaluator caps at any maximum, also one
// below the ante, which a design may not name.
TEvalRules Rules(const std::vector<std::string>& assignments = {}) {
    TGameDesign design;
    TCalculationSettings settings;
    std::optional<std::int32_t> maximum;
    for (const std::string& a : assignments) {
        if (a == "TableMaximum=0") {
            maximum = 0;
        } else {
            SetDesignAssignment(design, settings, a);
        }
    }
    TEvalRules rules = MakeEvalRules(design, settings);
    if (maximum) rules.TableMaximum = *maximum;
    return rules;
}

TEvalLayout Layout(const char* player, const char* dealer, const char* out = "", float stake = 0) {
    TEvalLayout layout;
    layout.Player = Cards(player);
    layout.Dealer = Cards(dealer);
    layout.Seen = layout.Player | layout.Dealer | Cards(out);
    layout.ExtraStake = stake;
    return layout;
}

TEST(EvaluatorTest, WorkedLayout) {
    const TEvalRules rules = Rules();
    const TEvalLayout layout = Layout("Ah Ac Kd 9s 7h", "2s");
    const TEvalResult result = EvaluateLayout(rules, layout, kModeBet);
    EXPECT_EQ(result.PlayerKind, ckPair);
    EXPECT_EQ(result.Tallies, (TEvalTallies{163185, 13324, 74281, 0, 75580}));
    EXPECT_EQ(result.Value, 15838);
    EXPECT_FALSE(result.HandInsurable);

    const TCombinationListing listing = ListCombinations(rules, layout);
    EXPECT_TRUE(listing.DealerCanHaveGame);
    EXPECT_FALSE(listing.HideKindNames);
    EXPECT_EQ(listing.CountsText, "0\r2\r51\r279\r328\r382\r3903\r8343\r70459\r3858\r75580");
}

// Against a dealer whose five cards are all known there is one outcome, so the value of a bet is
// exactly the payout of that outcome.
struct TPayoutCase {
    const char* Name;
    const char* Design;  // one NAME=VALUE, or nothing
    const char* Player;
    const char* Dealer;
    float Stake;
    TEvalMode Mode;
    std::int64_t Value;
};

TEST(EvaluatorTest, PayoutsOfSingleOutcomes) {
    // clang-format off
    const std::vector<TPayoutCase> cases = {
        {"pair beats a dealer's game", "",
         "Ah Ac Kd 9s 7h", "Qh Qc 5d 4s 2h", 0, 0, 30000},
        {"pair with costs paid", "",
         "Ah Ac Kd 9s 7h", "Qh Qc 5d 4s 2h", 1.5F, 0, 15000},
        {"dealer without a game", "",
         "Ah Ac Kd 9s 7h", "Qh Jc 5d 4s 2h", 1, 0, 0},
        {"dealer beats the player", "",
         "Qh Qc Kd 9s 7h", "Kh Kc 5d 4s 2h", 1, 0, -40000},
        {"player without a game loses", "",
         "Qh 9c 7d 4s 2d", "Ad Kh 5c 3s 2h", 0, 0, -30000},
        {"player without a game, dealer neither", "",
         "Qh 9c 7d 4s 2d", "Jd 8h 5c 3s 2h", 0, 0, 10000},
        {"royal flush capped at the table maximum", "",
         "Ah Kh Qh Jh 10h", "2c 2d 5c 3s 7d", 0, 0, 2000000},
        {"capped payout less the costs paid", "",
         "Ah Kh Qh Jh 10h", "2c 2d 5c 3s 7d", 5, 0, 1950000},
        {"higher table maximum", "TableMaximum=1000",
         "Ah Kh Qh Jh 10h", "2c 2d 5c 3s 7d", 0, 0, 2010000},
        {"payout below the maximum", "PayQualified[ckRoyalFlush]=150",
         "Ah Kh Qh Jh 10h", "2c 2d 5c 3s 7d", 5, 0, 1450000},
        {"pair with an ace-king", "CompositePlays[28]=YES",
         "Ah Ac Kd 9s 7h", "Qh Qc 5d 4s 2h", 0, 0, 60000},
        {"pair with an ace-king, costs paid", "CompositePlays[28]=YES",
         "Ah Ac Kd 9s 7h", "Qh Qc 5d 4s 2h", 1, 0, 50000},
        {"pair without a king", "CompositePlays[28]=YES",
         "Ah Ac Qd 9s 7h", "Jh Jc 5d 4s 2h", 0, 0, 30000},
        {"two pairs with an ace-king", "CompositePlays[27]=YES",
         "Ah Ac 7d 7s Kh", "Qh Qc 5d 4s 2h", 0, 0, 70000},
        {"two pairs with a king and no ace", "CompositePlays[27]=YES",
         "Qh Qc Jd Js Kh", "9h 9c 5d 4s 2h", 0, 0, 40000},
        {"two pairs of aces and kings", "CompositePlays[27]=YES",
         "Ah Ac Kd Ks 7h", "Qh Qc 5d 4s 2h", 0, 0, 40000},
        {"composite pay off", "",
         "Ah Ac 7d 7s Kh", "Qh Qc 5d 4s 2h", 0, 0, 40000},
        {"pay without a dealer game", "PayNotQualified[ckPair]=2,5",
         "Ah Ac Kd 9s 7h", "Qh Jc 5d 4s 2h", 0, 0, 25000},
        {"a tie adds nothing", "",
         "Ah Ac Kd 9s 7h", "Ad As Kh 9c 7d", 3, 0, 0},
        // Insurance: half the payout by default, all of it with imFull.
        {"insured win", "",
         "Ah Ac Kd 9s 7h", "Qh Qc 5d 4s 2h", 0, 10, 15000},
        {"insured win, full", "InsuranceMax=imFull",
         "Ah Ac Kd 9s 7h", "Qh Qc 5d 4s 2h", 0, 10, 0},
        {"insured, dealer without a game", "",
         "Ah Ac Kd 9s 7h", "Qh Jc 5d 4s 2h", 0, 10, 25000},
        {"insured, dealer without a game, full", "InsuranceMax=imFull",
         "Ah Ac Kd 9s 7h", "Qh Jc 5d 4s 2h", 0, 10, 40000},
        {"insured loss", "",
         "Qh Qc Kd 9s 7h", "Kh Kc 5d 4s 2h", 0, 10, -30000},
        {"insured royal flush, capped", "",
         "Ah Kh Qh Jh 10h", "2c 2d 5c 3s 7d", 0, 10, 1000000},
        // Declining the dealer's game is worth the payout without a dealer game.
        {"declining the dealer's game", "",
         "Ah Ac Kd 9s 7h", "Qh Qc 5d 4s 2h", 0, 100, 10000},
        {"declining with costs paid", "",
         "Ah Ac Kd 9s 7h", "Qh Qc 5d 4s 2h", 2, 100, -10000},
        {"declining without a game", "",
         "Qh 9c 7d 4s 2d", "Jd 8h 5c 3s 2h", 0.5F, 100, 5000},
        // The bet and the costs are exact reals: single precision would hold 0,00025 as a trifle
        // more and round this loss of 1,00025 antes away from the even neighbour.
        {"a bet size that single precision does not hold", "BetSize=0,00025",
         "2h 4c 6d 8s 10h", "As Ad 3c 5c 7c", 0, 0, -10002},
        // The table maximum caps the ante paid without a game too, and with it the insurance.
        {"insured, neither has a game, table maximum below the ante", "TableMaximum=0",
         "2h 4c 6d 8s 10h", "Jd 8h 5c 3s 2c", 0, 10, 10000},
        {"listing code", "",
         "Ah Ac Kd 9s 7h", "Qh Qc 5d 4s 2h", 0, 222, 0},
        {"code outside the table", "",
         "Ah Ac Kd 9s 7h", "Qh Qc 5d 4s 2h", 0, 2, 0},
        {"another code outside the table", "",
         "Ah Ac Kd 9s 7h", "Qh Qc 5d 4s 2h", 0, 999, 0},
    };
    // clang-format on
    for (const TPayoutCase& c : cases) {
        const TEvalLayout layout = Layout(c.Player, c.Dealer, "", c.Stake);
        const std::vector<std::string> design =
            *c.Design == 0 ? std::vector<std::string>{} : std::vector<std::string>{c.Design};
        const TEvalResult result = EvaluateLayout(Rules(design), layout, c.Mode);
        EXPECT_EQ(result.Value, c.Value) << c.Name;
        EXPECT_EQ(result.Tallies.DealerOutcomes, 1) << c.Name;
        // The one outcome brings exactly the value.
        EXPECT_EQ(static_cast<std::int64_t>(result.OutcomeSum()), c.Value) << c.Name;
    }
}

// Two combinations held at once, against a dealer's pair of jacks: the composite that is on and
// holds pays both its kinds, the best one where several hold, never less than the hand's own kind;
// the second combination must use a card the first does not.
TEST(EvaluatorTest, CompositePays) {
    struct TCase {
        const char* Name;
        std::vector<std::string> Design;
        const char* Player;
        std::int64_t Value;
    };
    const std::vector<std::string> every = [] {
        std::vector<std::string> all;
        for (int i = 1; i <= kCompositeCount; ++i) {
            all.push_back("CompositePlays[" + std::to_string(i) + "]=YES");
        }
        return all;
    }();
    // clang-format off
    const std::vector<TCase> cases = {
        {"two pairs and an ace-king in six cards", {"CompositePlays[27]=YES"},
         "Qs Qh 9s 9d Ad Kc", 70000},
        {"the same, off", {},
         "Qs Qh 9s 9d Ad Kc", 40000},
        {"two straights in seven cards", {"CompositePlays[21]=YES"},
         "10h 9c 8d 7s 6h 5c 2d", 180000},
        {"one straight of six cards is two straights", {"CompositePlays[21]=YES"},
         "10h 9c 8d 7s 6h 5c", 180000},
        {"two straights, the straight not playing", {"CompositePlays[21]=YES", "Plays[ckStraight]=NO"},
         "10h 9c 8d 7s 6h 5c 2d", -30000},
        {"three of a kind and an ace-king in five cards", {"CompositePlays[24]=YES"},
         "7h 7c 7d Ah Ks", 90000},
        {"a flush and a pair beside it", {"CompositePlays[19]=YES"},
         "Ah 9h 7h 5h 2h 9c", 140000},
        {"a flush whose ace and king are its own: no second combination", {"CompositePlays[20]=YES"},
         "Ah Kh 7h 5h 2h", 110000},
        {"full house and three of a kind of the pair's rank", {"CompositePlays[15]=YES"},
         "Ah Ac Ad Kh Kc Ks", 210000},
        {"a full house of five cards holds no second three of a kind", {"CompositePlays[15]=YES"},
         "Ah Ac Ad Kh Kc", 150000},
        {"a straight flush with a pair beside it", {"CompositePlays[9]=YES"},
         "Kh Qh Jh 10h 9h 9c", 1040000},
        {"the best of several", every,
         "Ah Kh Qh Jh 10h 10c 10s", 2000000},
        {"a composite below the hand's own pay pays the hand", {"CompositePlays[23]=YES"},
         "Ah Kh Qh Jh 10h Kc", 2000000},
        {"four of a kind and a pair: the full house they also hold pays more", every,
         "5h 5c 5d 5s 3h 3c", 560000},
    };
    // clang-format on
    for (const TCase& c : cases) {
        const TEvalResult result =
            EvaluateLayout(Rules(c.Design), Layout(c.Player, "Jh Jc 6d 4s 3d"), kModeBet);
        EXPECT_EQ(result.Value, c.Value) << c.Name;
    }
}

// Every drawing code takes its own cost and divides by the number of draws it stands for.
TEST(EvaluatorTest, DrawingCodesTakeTheirCostAndDivideByTheDraws) {
    const TEvalRules rules = Rules({
        "ExchangeCost[1][1]=1,1",
        "ExchangeCost[1][2]=1,2",
        "ExchangeCost[1][3]=1,3",
        "ExchangeCost[1][4]=1,4",
        "ExchangeCost[1][5]=1,5",
        "ExchangeCost[2][1]=2,1",
        "ExchangeCost[2][2]=2,2",
        "ExchangeCost[2][3]=2,3",
        "ExchangeCost[2][4]=2,4",
        "ExchangeCost[2][5]=2,5",
        "BuyCost[1][1]=0,3",
        "BuyCost[1][2]=0,4",
        "BuyCost[2][1]=0,6",
        "BuyCost[2][2]=0,7",
        "BuyDealerGameCost=0,9",
    });
    // One outcome, which the player wins: the value is (3 - cost) / draws; 42 unseen cards.
    const TEvalLayout layout = Layout("Ah Ac Kd 9s 7h", "Qh Qc 5d 4s 2h");
    const long double t = 42;
    const long double one = t + 1;
    const long double pairs = (t + 2) * (t + 1) / 2;
    const long double triples = (t + 3) * (t + 2) * (t + 1) / 6;
    const std::vector<std::tuple<TEvalMode, float, long double>> cases = {
        {11, 1.1F, one},      {12, 2.1F, one},      {21, 1.2F, 1},      {22, 2.2F, 1},
        {210, 1.2F, pairs},   {220, 2.2F, pairs},   {31, 1.3F, 1},      {32, 2.3F, 1},
        {310, 1.3F, triples}, {320, 2.3F, triples}, {41, 1.4F, 1},      {42, 2.4F, 1},
        {51, 1.5F, 1},        {52, 2.5F, 1},        {61, 0.3F, one},    {62, 0.6F, one},
        {71, 0.4F, 1},        {72, 0.7F, 1},        {710, 0.4F, pairs}, {720, 0.7F, pairs},
        {1, 0.9F, one},
    };
    for (const auto& [code, cost, draws] : cases) {
        const TEvalResult result = EvaluateLayout(rules, layout, code);
        EXPECT_EQ(result.DeckRemaining, 42);
        EXPECT_EQ(result.Value, RoundHalfEven((3 - static_cast<long double>(cost)) / draws * 10000))
            << "code " << code;
        // The outcome is the result of this one draw, not yet divided.
        EXPECT_EQ(static_cast<std::int64_t>(result.OutcomeSum()),
                  RoundHalfEven((3 - static_cast<long double>(cost)) * 10000))
            << "code " << code;
    }
    // A dealer still without a game after his new card: the player loses what he has paid.
    const TEvalLayout noGame = Layout("Ah Ac Kd 9s 7h", "Qh Jc 5d 4s 2h", "", 2);
    EXPECT_EQ(EvaluateLayout(rules, noGame, kModeBuyDealerGame).Value,
              RoundHalfEven((-2 - static_cast<long double>(0.9F)) / one * 10000));
    EXPECT_EQ(EvaluateLayout(rules, noGame, 11).Value,
              RoundHalfEven((-1 - static_cast<long double>(1.1F)) / one * 10000));
}

// What each way of the dealer's completion brings, worked out by hand for a pair of aces (pays 3)
// with 1,2 antes already paid, a bet of 2 and an exchange of one card costing 1.
TEST(EvaluatorTest, OutcomePayoutsPerCode) {
    const TEvalRules rules = Rules({"ExchangeCost[1][1]=1"});
    const TEvalLayout layout = Layout("Ah Ac Kd 9s 7h", "2s", "", 1.2F);
    const long double stake = 1.2F;  // the extra stake is single precision
    auto tt = [](long double antes) { return RoundHalfEven(antes * 10000); };
    struct TCase {
        TEvalMode Code;
        TOutcomePayouts Payouts;  // dealer wins, player wins, ties, dealer without a game
    };
    const std::vector<TCase> cases = {
        {kModeBet, {tt(-1 - stake - 2), tt(3 - stake), 0, tt(1 - stake)}},
        // Insured half of the win: the win gives it up, a dealer without a game adds it.
        {kModeBetInsured, {tt(-1 - stake - 2), tt(3 - stake - 1.5L), 0, tt(1 - stake + 1.5L)}},
        {11, {tt(-1 - stake - 2 - 1), tt(3 - stake - 1), 0, tt(1 - stake - 1)}},
        // Buying the dealer a game (cost 1): a dealer still without a game takes only what was
        // paid.
        {kModeBuyDealerGame, {tt(-1 - stake - 2 - 1), tt(3 - stake - 1), 0, tt(-stake - 1)}},
        {kModeDeclineDealerGame, {tt(1 - stake), tt(1 - stake), tt(1 - stake), tt(1 - stake)}},
    };
    for (const TCase& c : cases) {
        const TEvalResult result = EvaluateLayout(rules, layout, c.Code);
        EXPECT_EQ(result.Payouts, c.Payouts) << "code " << c.Code;
    }
}

// The distribution and the value agree: the value is the distribution's mean, divided by the
// draws a drawing code stands for, rounded once (the two sides round separately, hence 1).
TEST(EvaluatorTest, ValueIsTheMeanOfTheOutcomeDistribution) {
    const TEvalRules rules = Rules({"BuyCost[1][1]=1,2", "ExchangeCost[2][3]=0,7",
                                    "BuyDealerGameCost=0,9", "TableMaximum=50"});
    std::mt19937 rng(2718);
    for (int round = 0; round < 200; ++round) {
        std::vector<TCardId> deck(kCards);
        std::iota(deck.begin(), deck.end(), 1);
        std::shuffle(deck.begin(), deck.end(), rng);
        const int dealerCards = 1 + round % 4;
        TEvalLayout layout;
        for (int i = 0; i < 5; ++i) layout.Player.Add(deck[static_cast<std::size_t>(i)]);
        for (int i = 0; i < dealerCards; ++i)
            layout.Dealer.Add(deck[static_cast<std::size_t>(5 + i)]);
        layout.Seen = layout.Player | layout.Dealer;
        layout.ExtraStake = static_cast<float>(round % 3) * 0.6F;
        for (const auto& [code, draws] : std::vector<std::pair<TEvalMode, int>>{
                 {kModeBet, 1}, {kModeBetInsured, 1}, {61, 0}, {320, 3}, {kModeBuyDealerGame, 0}}) {
            const TEvalResult result = EvaluateLayout(rules, layout, code);
            // 0: one of the unseen cards and the one drawn; 3: a triple of them and the three.
            const long double t = result.DeckRemaining;
            const long double n = draws == 1   ? 1
                                  : draws == 0 ? t + 1
                                               : (t + 3) * (t + 2) * (t + 1) / 6;
            const long double mean = static_cast<long double>(result.OutcomeSum()) /
                                     static_cast<long double>(result.Tallies.DealerOutcomes) / n;
            EXPECT_NEAR(static_cast<double>(RoundHalfEven(mean)), static_cast<double>(result.Value),
                        1.0)
                << "round " << round << " code " << code;
        }
    }
}

TEST(EvaluatorTest, PlayerWithoutAGame) {
    const TEvalLayout layout = Layout("Qh 9c 7d 4s 2d", "5s", "", 0.5F);
    const TEvalResult result = EvaluateLayout(Rules(), layout, kModeBet);
    const TEvalTallies& t = result.Tallies;
    EXPECT_EQ(result.PlayerKind, ckNoGame);
    EXPECT_EQ(t.PlayerWins, 0);
    EXPECT_EQ(t.Ties, 0);
    EXPECT_EQ(t.DealerWins + t.DealerNoGame, t.DealerOutcomes);
    const long double outcomes = t.DealerOutcomes;
    EXPECT_EQ(result.Value, RoundHalfEven((t.DealerWins / outcomes * (-1 - 0.5L - 2) +
                                           t.DealerNoGame / outcomes * (1 - 0.5L)) *
                                          10000));
    EXPECT_FALSE(result.HandInsurable);
}

TEST(EvaluatorTest, InsurableFollowsThePlayersKind) {
    EXPECT_TRUE(EvaluateLayout(Rules(), Layout("Ah 9h 7h 4h 2h", "5s"), 0).HandInsurable);
    EXPECT_FALSE(EvaluateLayout(Rules(), Layout("Ah Ac Kd 9s 7h", "5s"), 0).HandInsurable);
    EXPECT_TRUE(EvaluateLayout(Rules({"Insurable[ckPair]=YES"}), Layout("Ah Ac Kd 9s 7h", "5s"), 0)
                    .HandInsurable);
    // Set by every code, the listing and unknown codes included.
    EXPECT_TRUE(EvaluateLayout(Rules(), Layout("Ah 9h 7h 4h 2h", "5s"), 222).HandInsurable);
    EXPECT_FALSE(EvaluateLayout(Rules(), Layout("Qh 9c 7d 4s 2d", "5s"), 0).HandInsurable);
}

TEST(EvaluatorTest, RoyalFlushTiesOnlyWithTheDealersRoyalFlushes) {
    // The dealer shows the ace of spades: one royal flush of his is still possible.
    const TEvalResult result = EvaluateLayout(Rules(), Layout("Ah Kh Qh Jh 10h", "As"), 0);
    EXPECT_EQ(result.Tallies.DealerWins, 0);
    EXPECT_EQ(result.Tallies.Ties, 1);
}

TEST(EvaluatorTest, PairBelowTheMinimumPair) {
    // Fours and better give the dealer a game: all of his pairs beat the player's threes.
    const TEvalRules rules = Rules({"MinPair=4"});
    const TEvalLayout layout = Layout("3h 3c Ad 9s 7h", "2s");
    const TEvalResult result = EvaluateLayout(rules, layout, 0);
    const TCombinationListing listing = ListCombinations(rules, layout);
    TCount stronger = 0;
    for (std::size_t k = 0; k <= 8; ++k) stronger += listing.Numbers[k];  // royal flush .. pair
    EXPECT_EQ(result.Tallies.Ties, 0);
    EXPECT_EQ(result.Tallies.DealerWins, stronger);
    EXPECT_EQ(result.Tallies.PlayerWins, listing.Numbers[9]);

    // A dealer's pair of twos is no game.
    EXPECT_EQ(EvaluateLayout(rules, Layout("3h 3c Ad 9s 7h", "2s 2h Kc 8d 5c"), 0).Value, 10000);
    EXPECT_EQ(EvaluateLayout(rules, Layout("3h 3c Ad 9s 7h", "4s 4h Kc 8d 5c"), 0).Value, -30000);
}

TEST(EvaluatorTest, FewerThanFivePlayerCards) {
    // Two aces stand for the strongest pair of aces still possible: with the kings unseen, aces
    // with king, queen and jack, which the dealer's hand equals.
    const TEvalRules rules = Rules();
    EXPECT_EQ(EvaluateLayout(rules, Layout("As Ac", "Ah Ad Kh Qd Jc"), 0).Tallies.Ties, 1);
    // With every other king out of play the player's pair stands for aces with a queen.
    const TEvalResult noKings =
        EvaluateLayout(rules, Layout("As Ac", "Ah Ad Kh Qd Jc", "Kc Kd Ks"), 0);
    EXPECT_EQ(noKings.Tallies.DealerWins, 1);
    // No cards at all: no game.
    const TEvalResult empty = EvaluateLayout(rules, Layout("", "5s"), 0);
    EXPECT_EQ(empty.PlayerKind, ckNoGame);
    EXPECT_EQ(empty.Tallies.PlayerWins, 0);
    EXPECT_EQ(empty.Tallies.DealerOutcomes, 249900);  // C(51, 4)
}

TEST(EvaluatorTest, MoreThanFiveKeptCardsTakeTheirStrongestPattern) {
    // With two pairs not playing the seven cards are a pair, and all seven are kept.
    const TEvalRules rules = Rules({"Plays[ckTwoPairs]=NO"});
    const TEvalResult result =
        EvaluateLayout(rules, Layout("Ah Ac Kd Ks Qh Jc 9d", "Ad As Kh Qd Jd"), 0);
    EXPECT_EQ(result.PlayerKind, ckPair);
    EXPECT_EQ(result.Tallies.Ties, 1);
}

TEST(EvaluatorTest, HandsOutsideTheirKindsTableKeepTheirPlace) {
    // A royal flush when the royal flush does not play is the best straight flush.
    const TEvalRules noRoyal = Rules({"Plays[ckRoyalFlush]=NO"});
    const TEvalResult royal = EvaluateLayout(noRoyal, Layout("Ah Kh Qh Jh 10h", "9s"), 0);
    EXPECT_EQ(royal.PlayerKind, ckStraightFlush);
    EXPECT_EQ(royal.Tallies.DealerWins, 0);

    // A-K-Q-J-10 when the straight does not play is the best ace-king.
    const TEvalRules noStraight = Rules({"Plays[ckStraight]=NO"});
    const TEvalLayout broadway = Layout("Ah Kc Qd Js 10h", "9s");
    const TEvalResult aceKing = EvaluateLayout(noStraight, broadway, 0);
    const TCombinationListing listing = ListCombinations(noStraight, broadway);
    EXPECT_EQ(aceKing.PlayerKind, ckAceKing);
    TCount stronger = 0;
    for (std::size_t k = 0; k <= 8; ++k) stronger += listing.Numbers[k];
    EXPECT_EQ(aceKing.Tallies.DealerWins, stronger);
    EXPECT_EQ(aceKing.Tallies.PlayerWins, listing.Numbers[9]);

    // A straight flush when the straight flush does not play is a flush placed by its ranks.
    TGameDesign design;
    design.Plays[ckStraightFlush] = false;
    const TEvalRules noStraightFlush = MakeEvalRules(design, TCalculationSettings{});
    const TEvalLayout layout = Layout("9h 8h 7h 6h 5h", "2h");
    const TEvalResult flush = EvaluateLayout(noStraightFlush, layout, 0);
    EXPECT_EQ(flush.PlayerKind, ckFlush);
    const formula::TFormulaTables tables =
        formula::FillTables(layout.Dealer, layout.Seen.Complement(), CountingRulesOf(design), true);
    TCount higherFlushes = 0;
    for (const auto& [pattern, entry] : tables.Tables[ckFlush]) {
        if (pattern < TPattern{{6, 7, 8, 9, 10}}) higherFlushes += entry;
    }
    EXPECT_GT(higherFlushes, 0);
    EXPECT_EQ(flush.Tallies.DealerWins, higherFlushes + tables.KindTotal[ckFourOfAKind] +
                                            tables.KindTotal[ckFullHouse] +
                                            tables.KindTotal[ckRoyalFlush]);
    EXPECT_EQ(flush.Tallies.Ties, 0);
}

TEST(EvaluatorTest, ListingWithoutAGameCombination) {
    // Every completion is a pair of threes below the minimum pair.
    const TEvalRules rules = Rules({"MinPair=4"});
    const TEvalLayout layout = Layout("Ah Kc 9d 7s 5h", "3h 3c 9c Js", "3d 3s 9h 9s Jh Jc Jd");
    const TCombinationListing listing = ListCombinations(rules, layout);
    EXPECT_FALSE(listing.DealerCanHaveGame);
    EXPECT_TRUE(listing.HideKindNames);
    EXPECT_EQ(listing.CountsText, "игровых комбинаций нет");
    EXPECT_EQ(EvaluateLayout(rules, layout, kModeListing).Value, 0);
}

TEST(EvaluatorTest, LayoutWithoutOutcomesIsAnError) {
    const TEvalRules rules = Rules();
    TEvalLayout fewUnseen = Layout("Ah Ac Kd 9s 7h", "2s");
    fewUnseen.Seen =
        TCardTable::FullDeck().Without(Cards("Kh Qs Js"));  // three cards for four places
    const std::vector<TEvalLayout> layouts = {
        Layout("Ah Ac Kd 9s 7h", "2s 3s 4s 5s 6s 7s"),  // six dealer cards
        fewUnseen,
    };
    for (const TEvalLayout& layout : layouts) {
        EXPECT_EQ(EvaluateLayout(rules, layout, kModeListing).Tallies.DealerOutcomes, 0);
        for (TEvalMode code : {0, 10, 11, 310, 1}) {
            try {
                EvaluateLayout(rules, layout, code);
                ADD_FAILURE() << "code " << code << " evaluated a layout without outcomes";
            } catch (const TEvalError& e) {
                EXPECT_EQ(std::string(e.what()).rfind("Расклад нельзя оценить: ", 0), 0U)
                    << e.what();
            }
        }
        // Codes that take no shares still answer.
        EXPECT_EQ(EvaluateLayout(rules, layout, kModeDeclineDealerGame).Value, 10000);
        EXPECT_EQ(EvaluateLayout(rules, layout, 999).Value, 0);
        EXPECT_FALSE(ListCombinations(rules, layout).DealerCanHaveGame);
    }
}

TEST(EvaluatorTest, AmountsBeyondWhatResultsCanCountAreRefused) {
    for (const char* assignment : {"PayNotQualified[ckPair]=1E15", "BetSize=-2000000000"}) {
        EXPECT_THROW(Rules({assignment}), TEvalError) << assignment;
    }
    try {
        Rules({"PayQualified[ckFlush]=1E39"});
        ADD_FAILURE();
    } catch (const TEvalError& e) {
        EXPECT_STREQ(e.what(),
                     "В поле «флеш: оплата при игре дилера» (конструктор, окно 1; строка 6 "
                     "файла конструкции) стоит «1E39»: выплаты и цены не могут превышать "
                     "1000000000 анте");
    }
    const TEvalLayout royal = Layout("Ah Kh Qh Jh 10h", "2c 2d 5c 3s 7d");
    EXPECT_EQ(
        EvaluateLayout(Rules({"PayNotQualified[ckRoyalFlush]=1E9"}), royal, kModeDeclineDealerGame)
            .Value,
        10'000'000'000'000);
}

TEST(EvaluatorTest, DesignNumbersThatDoNotConvert) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"BetSize=abc",
         "В поле «общие затраты: забиться» (конструктор, окно 3; строка 37 файла "
         "конструкции) стоит «abc», а нужно число, например 1,5"},
        {"PayQualified[ckFlush]=1.5",
         "В поле «флеш: оплата при игре дилера» (конструктор, окно 1; строка 6 файла "
         "конструкции) стоит «1.5», а нужно число, например 1,5"},
        {"ExchangeCost[2][5]=",
         "В поле «затраты на втором этапе: обменять 5 карт» (конструктор, окно 3; строка 36 "
         "файла конструкции) стоит «», а нужно число, например 1,5"},
        {"TableMaximum=2,5",
         "В поле «максимум стола» (окно «проверка выгодности игры») стоит "
         "«2,5», а нужно целое число"},
    };
    for (const auto& [assignment, message] : cases) {
        try {
            Rules({assignment});
            ADD_FAILURE() << assignment << " converted";
        } catch (const TConversionError& e) {
            EXPECT_EQ(e.what(), message);
        }
    }
}

}  // namespace
}  // namespace studlab
