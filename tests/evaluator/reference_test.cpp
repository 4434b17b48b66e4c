// The evaluator against hand-by-hand counting with ordinary poker rules, every kind playing.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "cards/card_list.h"
#include "cards/composites.h"
#include "cards/evaluator.h"
#include "cards/straight_runs.h"
#include "design/design_rules.h"
#include "evaluator/reference_enumerator.h"
#include "support/printers.h"
#include "text/number_text.h"

namespace studlab {
namespace {

using enum TCombinationKind;

TCardTable Cards(const char* text) {
    return TableOf(ParseCardList(text));
}

struct TCase {
    TCardTable Player;
    TCardTable Dealer;
    TCardTable Out;
    RankIndex MinPair = 13;
    TMinAceKing MinAceKing = TMinAceKing::akAny;
};

// Random five cards are mostly weak, so part of the player's hands are built to a shape.
TCardTable PlayerHand(std::mt19937& rng, bool roundStraight = false) {
    auto uniform = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(rng);
    };
    TCardTable hand;
    auto add = [&](RankIndex r, SuitIndex s) { hand.Set(r, s, true); };
    auto fillRandom = [&] {
        while (hand.Count() < 5) hand.Add(uniform(1, kCards));
    };
    auto otherRank = [&](std::initializer_list<RankIndex> used) {
        while (true) {
            const RankIndex r = uniform(1, kRanks);
            if (std::find(used.begin(), used.end(), r) == used.end()) return r;
        }
    };
    const int shape = uniform(0, 9);
    const SuitIndex suit = uniform(1, kSuits);
    const RankIndex rank = uniform(1, kRanks);
    switch (shape) {
        case 1: {  // flush
            while (hand.Count() < 5) add(uniform(1, kRanks), suit);
            break;
        }
        case 2:    // straight, any suits
        case 3: {  // straight flush (or royal)
            const int top = uniform(1, RunCount(roundStraight));
            for (int i = 0; i < 5; ++i)
                add(RunRankAt(top, i), shape == 3 ? suit : uniform(1, kSuits));
            break;
        }
        case 4: {  // four of a kind
            for (SuitIndex s = 1; s <= kSuits; ++s) add(rank, s);
            fillRandom();
            break;
        }
        case 5: {  // full house
            const RankIndex pair = otherRank({rank});
            add(rank, 1), add(rank, 2), add(rank, 3), add(pair, 1), add(pair, 4);
            break;
        }
        case 6: {  // three of a kind
            add(rank, 2), add(rank, 3), add(rank, 4);
            const RankIndex a = otherRank({rank});
            add(a, uniform(1, kSuits));
            add(otherRank({rank, a}), uniform(1, kSuits));
            break;
        }
        case 7: {  // two pairs
            const RankIndex low = otherRank({rank});
            add(rank, 1), add(rank, 2), add(low, 3), add(low, 4);
            add(otherRank({rank, low}), uniform(1, kSuits));
            break;
        }
        case 8: {  // an ace and a king
            add(1, uniform(1, kSuits));
            add(2, uniform(1, kSuits));
            fillRandom();
            break;
        }
        default:
            fillRandom();
    }
    return hand;
}

TCase MakeCase(std::mt19937& rng, int dealerCards, bool roundStraight = false, int extra = 0) {
    TCase c;
    c.Player = PlayerHand(rng, roundStraight);
    while (c.Player.Count() < 5 + extra)
        c.Player.Add(std::uniform_int_distribution<int>(1, kCards)(rng));
    std::vector<TCardId> rest;
    for (TCardId id = 1; id <= kCards; ++id) {
        if (!c.Player.Has(id)) rest.push_back(id);
    }
    std::shuffle(rest.begin(), rest.end(), rng);
    // Out cards keep the number of completions small where the dealer shows little.
    const int out = dealerCards == 0   ? std::uniform_int_distribution<int>(22, 28)(rng)
                    : dealerCards == 1 ? std::uniform_int_distribution<int>(8, 24)(rng)
                                       : std::uniform_int_distribution<int>(0, 20)(rng);
    // A third of the dealers show cards of the player's ranks, so that equal hands occur.
    if (rng() % 3 == 0) {
        std::stable_partition(rest.begin(), rest.end(),
                              [&](TCardId id) { return c.Player.RankCount(RankIndexOf(id)) > 0; });
    }
    std::size_t i = 0;
    for (int d = 0; d < dealerCards; ++d) c.Dealer.Add(rest[i++]);
    std::shuffle(rest.begin() + static_cast<std::ptrdiff_t>(i), rest.end(), rng);
    for (int o = 0; o < out; ++o) c.Out.Add(rest[i++]);
    c.MinPair = std::uniform_int_distribution<int>(1, 13)(rng);
    if (rng() % 3 == 0) c.MinPair = 13;
    c.MinAceKing = rng() % 2 == 0 ? TMinAceKing::akAny : TMinAceKing::akWithQueen;
    return c;
}

void ExpectSameAsEnumeration(const TCase& c, const std::string& where, bool roundStraight = false) {
    TGameDesign design;
    design.MinPair = c.MinPair;
    design.MinAceKing = c.MinAceKing;
    design.RoundStraight = roundStraight;
    const TCalculationSettings settings;
    const TEvalRules rules = MakeEvalRules(design, settings);
    const TEvalLayout layout{c.Player, c.Dealer, c.Player | c.Dealer | c.Out, 0};

    const TEvalResult result = EvaluateLayout(rules, layout, kModeBet);
    const reference::TReferenceTallies expected = reference::EnumerateCompletions(
        c.Player, c.Dealer, layout.Seen.Complement(), c.MinPair, c.MinAceKing, roundStraight);
    const TEvalTallies& t = result.Tallies;
    ASSERT_EQ(result.PlayerKind, reference::RankFiveCards(c.Player, roundStraight).Kind) << where;
    ASSERT_EQ(t.DealerOutcomes, expected.Outcomes) << where;
    ASSERT_EQ(t.DealerWins, expected.DealerWins) << where;
    ASSERT_EQ(t.PlayerWins, expected.PlayerWins) << where;
    ASSERT_EQ(t.Ties, expected.Ties) << where;
    ASSERT_EQ(t.DealerNoGame, expected.NoGame) << where;

    const TCombinationListing listing = ListCombinations(rules, layout);
    for (std::size_t k = 0; k < kCountedKinds.size(); ++k) {
        ASSERT_EQ(listing.Numbers[k], expected.KindTotals[kCountedKinds[k]])
            << where << ' ' << KindCodeName(kCountedKinds[k]);
    }
    ASSERT_EQ(listing.Numbers[10], expected.NoGame) << where;
    ASSERT_EQ(result.Value, reference::BetValue(expected, result.PlayerKind, design, settings))
        << where;
}

TEST(ReferenceTest, WorkedLayoutByEnumeration) {
    const TCardTable player = Cards("Ah Ac Kd 9s 7h");
    const TCardTable dealer = Cards("2s");
    const reference::TReferenceTallies t = reference::EnumerateCompletions(
        player, dealer, (player | dealer).Complement(), 13, TMinAceKing::akAny);
    EXPECT_EQ(t.Outcomes, 163185);
    EXPECT_EQ(t.DealerWins, 13324);
    EXPECT_EQ(t.PlayerWins, 74281);
    EXPECT_EQ(t.Ties, 0);
    EXPECT_EQ(t.NoGame, 75580);
    EXPECT_EQ(t.KindTotals[ckFlush], 328);
    EXPECT_EQ(t.KindTotals[ckAceKing], 3858);
}

TEST(ReferenceTest, ClosedFormEqualsEnumerationOnRandomLayouts) {
    std::mt19937 rng(5318008);
    // Dealers showing 0 to 4 cards; few of the large enumerations.
    const std::vector<std::pair<int, int>> plan = {{0, 10}, {1, 45}, {2, 80}, {3, 80}, {4, 85}};
    int round = 0;
    for (const auto& [dealerCards, rounds] : plan) {
        for (int i = 0; i < rounds; ++i, ++round) {
            const TCase c = MakeCase(rng, dealerCards);
            ExpectSameAsEnumeration(
                c, "round " + std::to_string(round) + ": player " + JoinCardNames(c.Player) +
                       "; dealer " + JoinCardNames(c.Dealer) + "; out " + JoinCardNames(c.Out) +
                       "; MinPair " + std::to_string(c.MinPair));
            if (HasFatalFailure()) return;
        }
    }
}

// Wrap-around straights for the player and the dealer: Q-K-A-2-3 and its like are straights (or
// straight flushes) below the five-high, and no longer ace-kings or flushes.
TEST(ReferenceTest, WrapAroundStraightsEqualEnumeration) {
    std::mt19937 rng(2718);
    const std::vector<std::pair<int, int>> plan = {{0, 4}, {1, 25}, {2, 40}, {3, 50}, {4, 50}};
    int round = 0;
    for (const auto& [dealerCards, rounds] : plan) {
        for (int i = 0; i < rounds; ++i, ++round) {
            const TCase c = MakeCase(rng, dealerCards, true);
            ExpectSameAsEnumeration(c,
                                    "round " + std::to_string(round) + ": player " +
                                        JoinCardNames(c.Player) + "; dealer " +
                                        JoinCardNames(c.Dealer) + "; out " + JoinCardNames(c.Out),
                                    true);
            if (HasFatalFailure()) return;
        }
    }
    // The dealer's hands that wrap: each of the three runs round the ace in every suit mix.
    TGameDesign design;
    design.RoundStraight = true;
    const TEvalRules rules = MakeEvalRules(design, TCalculationSettings{});
    const TCardTable player = Cards("9h 9c 5d 4s 2h");
    const TCardTable dealer = Cards("Ks Ac");
    const TEvalLayout layout{player, dealer, player | dealer, 0};
    const TCombinationListing listing = ListCombinations(rules, layout);
    const reference::TReferenceTallies expected = reference::EnumerateCompletions(
        player, dealer, layout.Seen.Complement(), 13, TMinAceKing::akAny, true);
    EXPECT_EQ(listing.Numbers[5], expected.KindTotals[ckStraight]);
    EXPECT_EQ(listing.Numbers[9], expected.KindTotals[ckAceKing]);
}

// The payout the player's cards of `kind` are paid against a dealer with a game, by trying every
// subset of his cards for each composite that is on.
long double ReferenceGross(const TGameDesign& design, TCombinationKind kind, TCardTable cards) {
    auto pay = [&](TCombinationKind k) {
        return static_cast<long double>(
            static_cast<float>(ParseDesignNumber(design.PayQualified[k])));
    };
    long double gross = pay(kind);
    const int aces = cards.RankCount(1);
    const int kings = cards.RankCount(2);
    if (design.CompositePlays[kCompositeTwoPairsAceKing] && kind == ckTwoPairs && aces >= 1 &&
        aces <= 2 && kings == 1) {
        gross += pay(ckAceKing);
    }
    if (design.CompositePlays[kCompositePairAceKing] && kind == ckPair && aces >= 1 && kings >= 1) {
        gross += pay(ckAceKing);
    }
    for (int i = 0; i < kCompositeCount; ++i) {
        if (!design.CompositePlays[static_cast<std::size_t>(i)] || i == kCompositePairAceKing ||
            i == kCompositeTwoPairsAceKing) {
            continue;
        }
        const TCompositeKinds k = kCompositeKinds[static_cast<std::size_t>(i)];
        if (reference::HoldsTwoCombinations(cards, k.First, k.Second, *design.RoundStraight)) {
            gross = std::max(gross, pay(k.First) + pay(k.Second));
        }
    }
    return gross;
}

// Six and seven cards with composite pays on (all of them, or some, with payouts that make them
// compete), with and without wrap-around straights: the counts of the dealer's completions
// against the five cards the player keeps, and the bet's value with the composite paid.
TEST(ReferenceTest, SixAndSevenCardsWithCompositesEqualEnumeration) {
    std::mt19937 rng(1414);
    int paidComposites = 0;
    int skipped = 0;
    for (int round = 0; round < 70; ++round) {
        const bool roundStraight = round % 2 == 1;
        const TCase c = MakeCase(rng, 1 + round % 3, roundStraight, 1 + round % 2);
        TGameDesign design;
        design.MinPair = c.MinPair;
        design.MinAceKing = c.MinAceKing;
        design.RoundStraight = roundStraight;
        for (bool& on : design.CompositePlays) on = round % 4 < 2 || rng() % 2 == 0;
        design.PayQualified[ckAceKing] = std::to_string(1 + rng() % 9);
        design.PayQualified[ckPair] = std::to_string(1 + rng() % 5);
        const TCalculationSettings settings;
        const TEvalRules rules = MakeEvalRules(design, settings);
        const TEvalLayout layout{c.Player, c.Dealer, c.Player | c.Dealer | c.Out, 0};
        const std::string where = "round " + std::to_string(round) + ": player " +
                                  JoinCardNames(c.Player) + "; dealer " + JoinCardNames(c.Dealer) +
                                  "; out " + JoinCardNames(c.Out);

        const TEvalAnalysis analysis = AnalyseLayout(rules, layout);
        // A flush beside a separate straight is classified a straight flush, which its kept
        // cards are not; such hands are no test of the counting.
        if (reference::RankFiveCards(analysis.Kept, roundStraight).Kind != analysis.Kind) {
            ++skipped;
            continue;
        }
        const TEvalResult result = EvaluateAnalysis(rules, analysis, kModeBet, 0);
        const reference::TReferenceTallies expected = reference::EnumerateCompletions(
            analysis.Kept, c.Dealer, layout.Seen.Complement().Without(c.Player), c.MinPair,
            c.MinAceKing, roundStraight);
        const TEvalTallies& t = result.Tallies;
        ASSERT_EQ(t.DealerOutcomes, expected.Outcomes) << where;
        ASSERT_EQ(t.DealerWins, expected.DealerWins) << where;
        ASSERT_EQ(t.PlayerWins, expected.PlayerWins) << where;
        ASSERT_EQ(t.Ties, expected.Ties) << where;
        ASSERT_EQ(t.DealerNoGame, expected.NoGame) << where;

        const bool hasGame = result.PlayerKind != ckNoGame;
        const long double gross = hasGame ? ReferenceGross(design, result.PlayerKind, c.Player) : 1;
        if (hasGame &&
            gross > static_cast<float>(ParseDesignNumber(design.PayQualified[result.PlayerKind]))) {
            ++paidComposites;
        }
        const float win = static_cast<float>(std::min(gross, 200.0L));
        const float noGame =
            result.PlayerKind == ckNoGame
                ? 1.0F
                : static_cast<float>(ParseDesignNumber(design.PayNotQualified[result.PlayerKind]));
        const long double n = expected.Outcomes;
        const long double value = expected.DealerWins / n * (-1.0L - 2.0L) +
                                  expected.PlayerWins / n * win + expected.NoGame / n * noGame;
        ASSERT_EQ(result.Value, RoundHalfEven(value * 10000)) << where;
    }
    // The hands are built so that composites are paid often enough to be tested.
    EXPECT_GE(paidComposites, 10);
    EXPECT_LE(skipped, 3);
}

}  // namespace
}  // namespace studlab
