// The table-driven counting of the dealer's completions against the closed form it stands for.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "cards/combinatorics.h"
#include "cards/dealer_completions.h"
#include "cards/evaluator.h"
#include "cards/five_card_rank.h"
#include "cards/hand_classification.h"

namespace studlab::testing {
namespace {

// Every five-card hand has the kind the classification gives and the pattern the closed form
// places it by; strengths order the hands as kinds and patterns do.
TEST(FiveCardRank, EveryHandHasTheClassifiedKindAndPattern) {
    const TKindFlags plays = EveryCountedKindPlays();
    const TCountingRules rules;
    std::int64_t hands = 0;
    std::int64_t wrong = 0;
    ForEachCardSet(TCardTable::FullDeck(), 5, [&](TCardTable five) {
        ++hands;
        const TFiveCardShape shape = ShapeOfFive(five);
        const TCombinationKind kind = ClassifyHand(five, plays);
        const std::optional<TPattern> pattern = PlayerPattern(kind, five, {}, rules);
        const THandRank rank = RankOfFive(five);
        const bool same = shape.Kind == kind && KindOfRank(rank) == kind &&
                          (kind == TCombinationKind::ckNoGame ||
                           kind == TCombinationKind::ckRoyalFlush
                               ? rank == (kind == TCombinationKind::ckNoGame
                                              ? kHandRankNoGame
                                              : HandRankCount() - 1)
                               : pattern && shape.Pattern == *pattern &&
                                     PatternOfRank(rank) == *pattern);
        if (!same && ++wrong <= 5) ADD_FAILURE() << "hand mask " << five.Mask();
    });
    EXPECT_EQ(hands, Binomial(52, 5));
    EXPECT_EQ(wrong, 0);
}

TEST(FiveCardRank, StrengthsFollowKindThenPattern) {
    std::mt19937_64 random(7);
    std::uniform_int_distribution<int> card(0, kCards - 1);
    auto randomFive = [&] {
        std::uint64_t mask = 0;
        while (CountBits(mask) < 5) mask |= std::uint64_t{1} << card(random);
        return TCardTable::FromMask(mask);
    };
    for (int i = 0; i < 200000; ++i) {
        const TCardTable a = randomFive();
        const TCardTable b = randomFive();
        const TFiveCardShape sa = ShapeOfFive(a);
        const TFiveCardShape sb = ShapeOfFive(b);
        // Kinds strongest first; a pattern that comes first in its table is the stronger one.
        int expected = 0;
        if (sa.Kind != sb.Kind) {
            expected = sa.Kind < sb.Kind ? 1 : -1;
        } else if (sa.Kind != TCombinationKind::ckNoGame && sa.Pattern != sb.Pattern) {
            expected = sa.Pattern < sb.Pattern ? 1 : -1;
        }
        const int got = RankOfFive(a) == RankOfFive(b) ? 0 : (RankOfFive(a) > RankOfFive(b) ? 1 : -1);
        ASSERT_EQ(got, expected) << a.Mask() << " " << b.Mask();
    }
}

// Random layouts: dealer's known cards (0 to 4), the player's five cards, a few more cards seen,
// an arrival of up to three of the player's cards out of the deck; the tallies of the table and of
// the closed form agree for every minimum game.
TEST(DealerCompletions, TalliesEqualTheClosedForm) {
    std::mt19937_64 random(2024);
    auto take = [&](TCardTable& from, int n) {
        TCardTable taken;
        std::vector<TCardId> ids;
        from.ForEach([&](TCardId id) { ids.push_back(id); });
        std::shuffle(ids.begin(), ids.end(), random);
        for (int i = 0; i < n; ++i) taken.Add(ids[static_cast<std::size_t>(i)]);
        from = from.Without(taken);
        return taken;
    };
    struct TRule {
        RankIndex MinPair;
        TMinAceKing AceKing;
    };
    const std::vector<TRule> minima = {{13, TMinAceKing::akAny},
                                       {12, TMinAceKing::akWithQueen},
                                       {9, TMinAceKing::akAny},
                                       {1, TMinAceKing::akWithQueen}};
    for (int round = 0; round < 72; ++round) {
        TCardTable deck = TCardTable::FullDeck();
        const int dealerCards = round % 6;
        const TCardTable dealer = take(deck, dealerCards);
        const TCardTable kept = take(deck, 2 + round % 3);
        const TCardTable out = take(deck, round % 4);
        const TRule rule = minima[static_cast<std::size_t>(round) % minima.size()];
        TEvalRules rules;
        rules.Counting.MinPair = rule.MinPair;
        rules.Counting.MinAceKing = rule.AceKing;
        // The deck the player's arrival comes from; the dealer completes from what is left.
        const TCardTable arrivalDeck = deck;
        TDealerCompletions completions(dealer, arrivalDeck, rules.Counting);
        const int arriving = 5 - kept.Count();
        for (int draw = 0; draw < 40; ++draw) {
            TCardTable rest = arrivalDeck;
            const TCardTable arrival = take(rest, arriving);
            const TCardTable hand = kept | arrival;
            TEvalLayout layout;
            layout.Player = hand;
            layout.Dealer = dealer;
            layout.Seen = kept | dealer | out | arrival;
            const TEvalTallies expected = AnalyseLayout(rules, layout).Tallies;
            const TEvalTallies got = completions.Tallies(RankOfFive(hand), arrival);
            ASSERT_EQ(got, expected) << "round " << round << " draw " << draw;
        }
        // Nothing arrives: the player's five cards are out of the tallied deck already.
        TCardTable rest = arrivalDeck;
        const TCardTable hand = take(rest, 5);
        TDealerCompletions before(dealer, rest, rules.Counting);
        TEvalLayout layout;
        layout.Player = hand;
        layout.Dealer = dealer;
        layout.Seen = hand | dealer | out | kept;
        ASSERT_EQ(before.Tallies(RankOfFive(hand), TCardTable{}), AnalyseLayout(rules, layout).Tallies)
            << "round " << round << ", no arrival";
    }
}

}  // namespace
}  // namespace studlab::testing
