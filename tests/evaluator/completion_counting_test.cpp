#include "cards/completion_counting.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "cards/card_list.h"
#include "evaluator/formula_tables.h"
#include "support/printers.h"

namespace studlab {
namespace {

using enum TCombinationKind;

TCardTable Cards(const char* text) {
    return TableOf(ParseCardList(text));
}

std::string Describe(const TPattern& p) {
    std::string text = "(";
    for (int r : p.Ranks) text += std::to_string(r) + " ";
    return text + ")";
}

// A random layout: n known cards, often of few ranks or one suit so that ranks held twice and
// one-suit hands occur, and some dead cards that are neither known nor unseen.
struct TRandomLayout {
    TCardTable Known;
    TCardTable Unseen;
    TCountingRules Rules;
};

TRandomLayout MakeLayout(std::mt19937& rng, int knownCount) {
    TRandomLayout layout;
    std::vector<TCardId> deck;
    for (TCardId id = 1; id <= kCards; ++id) deck.push_back(id);
    std::shuffle(deck.begin(), deck.end(), rng);
    const int style = std::uniform_int_distribution<int>(0, 2)(rng);
    const SuitIndex suit = std::uniform_int_distribution<int>(1, 4)(rng);
    const RankIndex rank = std::uniform_int_distribution<int>(1, 13)(rng);
    std::size_t next = 0;
    auto take = [&](auto accept) {
        for (std::size_t i = next; i < deck.size(); ++i) {
            if (accept(deck[i]) && !layout.Known.Has(deck[i])) {
                layout.Known.Add(deck[i]);
                return;
            }
        }
        layout.Known.Add(deck[next++]);
    };
    for (int i = 0; i < knownCount; ++i) {
        if (style == 1 && i < 3) {
            take([&](TCardId id) { return RankIndexOf(id) == rank; });
        } else if (style == 2) {
            take([&](TCardId id) { return SuitIndexOf(id) == suit; });
        } else {
            take([](TCardId) { return true; });
        }
    }
    const int dead = std::uniform_int_distribution<int>(0, 20)(rng);
    int deadSoFar = 0;
    for (TCardId id : deck) {
        if (layout.Known.Has(id)) continue;
        if (deadSoFar++ < dead) continue;
        layout.Unseen.Add(id);
    }
    std::bernoulli_distribution plays(0.75);
    for (TCombinationKind kind : kCountedKinds) layout.Rules.Plays[kind] = plays(rng);
    layout.Rules.MinPair = std::uniform_int_distribution<int>(1, 13)(rng);
    layout.Rules.MinAceKing =
        std::bernoulli_distribution(0.5)(rng) ? TMinAceKing::akWithQueen : TMinAceKing::akAny;
    return layout;
}

bool Ascending(const TPattern& p, TCombinationKind kind) {
    const int places = kind == ckFlush ? 5 : kind == ckPair ? 4 : 0;
    for (int i = (kind == ckPair ? 2 : 1); i < places; ++i) {
        if (p.Ranks[i] <= p.Ranks[i - 1]) return false;
    }
    return true;
}

// Every total, every entry and every partial sum of the closed forms equals the tables filled
// entry by entry, for all sorts of known cards, dead cards and designs (kinds that do not play
// included).
TEST(CompletionCountingTest, ClosedFormsEqualTheTablesEntryByEntry) {
    std::mt19937 rng(20261209);
    for (int round = 0; round < 150; ++round) {
        const TRandomLayout layout = MakeLayout(rng, round % 6);
        const TCompletionCounts counts(layout.Known, layout.Unseen, layout.Rules);
        const formula::TFormulaTables tables =
            formula::FillTables(layout.Known, layout.Unseen, layout.Rules, true);
        const std::string where =
            "round " + std::to_string(round) + ", known " + JoinCardNames(layout.Known);
        TCount games = 0;
        for (TCombinationKind kind : kCountedKinds) {
            ASSERT_EQ(counts.KindTotal(kind), tables.KindTotal[kind])
                << where << ' ' << KindCodeName(kind);
            games += tables.KindTotal[kind];
            const formula::TTable& table = tables.Tables[kind];
            TCount before = 0;
            for (const auto& [pattern, entry] : table) {
                ASSERT_EQ(counts.Entry(kind, pattern), entry)
                    << where << ' ' << KindCodeName(kind) << Describe(pattern);
                // Partial sums are asked only for patterns whose ranks fall in order.
                if (Ascending(pattern, kind)) {
                    ASSERT_EQ(counts.EntriesBefore(kind, pattern), before)
                        << where << ' ' << KindCodeName(kind) << Describe(pattern);
                }
                before += entry;
            }
            if (kind != ckRoyalFlush) {
                ASSERT_EQ(counts.TableSum(kind), before) << where;
            }
        }
        EXPECT_EQ(counts.GameTotal(), games);
    }
}

// The marker formula, and the player's position with fewer than five cards: the first entry of
// the marker table that reaches 1.
TEST(CompletionCountingTest, MarkersOfFewerThanFiveCardsTakeTheFirstEntryThatReachesOne) {
    std::mt19937 rng(77);
    for (int round = 0; round < 120; ++round) {
        const TRandomLayout layout = MakeLayout(rng, round % 5);
        const TCompletionCounts marker(layout.Known, layout.Unseen, layout.Rules);
        const formula::TFormulaTables tables =
            formula::FillTables(layout.Known, layout.Unseen, layout.Rules, false);
        for (TCombinationKind kind : kCountedKinds) {
            if (kind == ckRoyalFlush || !layout.Rules.Plays[kind]) continue;
            std::optional<TPattern> first;
            for (const auto& [pattern, entry] : tables.Tables[kind]) {
                ASSERT_EQ(marker.RawEntry(kind, pattern), entry)
                    << KindCodeName(kind) << Describe(pattern);
                if (!first && entry >= 1) first = pattern;
            }
            EXPECT_EQ(PlayerPattern(kind, layout.Known, layout.Unseen, layout.Rules), first)
                << KindCodeName(kind) << " known " << JoinCardNames(layout.Known);
        }
    }
}

TEST(CompletionCountingTest, WorkedLayoutTotals) {
    const TCardTable player = Cards("Ah Ac Kd 9s 7h");
    const TCardTable dealer = Cards("2s");
    const TCompletionCounts counts(dealer, (player | dealer).Complement(), TCountingRules{});
    EXPECT_EQ(counts.Outcomes(), 163185);
    EXPECT_EQ(counts.DeckRemaining(), 46);
    const std::vector<std::pair<TCombinationKind, TCount>> expected = {
        {ckRoyalFlush, 0}, {ckStraightFlush, 2}, {ckFourOfAKind, 51},    {ckFullHouse, 279},
        {ckFlush, 328},    {ckStraight, 382},    {ckThreeOfAKind, 3903}, {ckTwoPairs, 8343},
        {ckPair, 70459},   {ckAceKing, 3858}};
    for (const auto& [kind, total] : expected)
        EXPECT_EQ(counts.KindTotal(kind), total) << KindCodeName(kind);
    EXPECT_EQ(counts.Outcomes() - counts.GameTotal(), 75580);
}

TEST(CompletionCountingTest, DealerShowingTwoSuitsHasNoFlush) {
    const TCardTable dealer = Cards("2s 9h");
    const TCompletionCounts counts(dealer, dealer.Complement(), TCountingRules{});
    EXPECT_EQ(counts.KindTotal(ckFlush), 0);
    EXPECT_EQ(counts.TableSum(ckFlush), 0);
    EXPECT_EQ(counts.KindTotal(ckStraightFlush), 0);
}

TEST(CompletionCountingTest, StraightFlushIsNotAmongTheStraights) {
    // Only 9s 8s 6s 5s and the player's cards' other suits: the nine-high run can be made in
    // spades alone.
    const TCardTable dealer = Cards("7s");
    const TCardTable player = Cards("9h 8h 7c 6c 5d");
    TCardTable unseen = Cards("9s 8s 6s 5s");
    const TCompletionCounts counts(dealer, unseen, TCountingRules{});
    const TPattern nineHigh{{6}};
    EXPECT_EQ(counts.Entry(ckStraightFlush, nineHigh), 1);
    EXPECT_EQ(counts.Entry(ckStraight, nineHigh), 0);
    // The player's own straight is the nine-high one.
    EXPECT_EQ(PlayerPattern(ckStraight, player, unseen, TCountingRules{}), nineHigh);
}

TEST(CompletionCountingTest, FourOfAKindCountsTheFifthCard) {
    const TCardTable dealer = Cards("7h");
    const TCardTable unseen = dealer.Complement();
    const TCompletionCounts counts(dealer, unseen, TCountingRules{});
    EXPECT_EQ(counts.Entry(ckFourOfAKind, TPattern{{8}}), 51 - 3);  // sevens: any fifth card
    EXPECT_EQ(counts.Entry(ckFourOfAKind, TPattern{{1}}), 1);       // aces: the seven is fifth
}

TEST(CompletionCountingTest, DealerMinimumGame) {
    TCountingRules fours;
    fours.MinPair = 11;  // "пара четверок"
    const TCardTable dealer = Cards("3h 3c 9d Js");
    TCardTable unseen = dealer.Complement().Without(Cards("3d 3s 9h 9c 9s Jh Jc Jd"));
    // Every completion is a pair of threes, below the minimum: no game at all.
    const TCompletionCounts counts(dealer, unseen, fours);
    EXPECT_EQ(counts.KindTotal(ckPair), 0);
    EXPECT_EQ(counts.GameTotal(), 0);
    EXPECT_EQ(counts.Outcomes(), unseen.Count());

    TCountingRules withQueen;
    withQueen.MinAceKing = TMinAceKing::akWithQueen;
    const TCardTable aceKing = Cards("Ah Kc Jd 9s");
    const TCompletionCounts noQueen(aceKing, Cards("2h"), withQueen);
    EXPECT_EQ(noQueen.KindTotal(ckAceKing), 0);
    const TCompletionCounts any(aceKing, Cards("2h"), TCountingRules{});
    EXPECT_EQ(any.KindTotal(ckAceKing), 1);
}

TEST(CompletionCountingTest, BroadwayOfMixedSuitsIsAStraightNeverAnAceKing) {
    const TCardTable dealer = Cards("Ah Kc Qd Js");
    const TCompletionCounts counts(dealer, Cards("10h"), TCountingRules{});
    EXPECT_EQ(counts.KindTotal(ckStraight), 1);
    EXPECT_EQ(counts.Entry(ckStraight, TPattern{{1}}), 1);
    EXPECT_EQ(counts.KindTotal(ckAceKing), 0);

    TCountingRules noStraight;
    noStraight.Plays[ckStraight] = false;
    const TCompletionCounts without(dealer, Cards("10h"), noStraight);
    EXPECT_EQ(without.GameTotal(), 0);
}

TEST(CompletionCountingTest, KindsThatDoNotPlayStayInTheWeakerKinds) {
    // A dealer showing a four-card straight flush draws the ten or the five of spades.
    const TCardTable dealer = Cards("9s 8s 7s 6s");
    const TCardTable unseen = Cards("10s 5s 2h");
    TCountingRules noStraightFlush;
    noStraightFlush.Plays[ckStraightFlush] = false;
    const TCompletionCounts counts(dealer, unseen, noStraightFlush);
    EXPECT_EQ(counts.KindTotal(ckStraightFlush), 0);
    EXPECT_EQ(counts.KindTotal(ckStraight), 2);
    EXPECT_EQ(counts.KindTotal(ckFlush), 2);
    // The flush table never holds runs of one suit.
    EXPECT_EQ(counts.TableSum(ckFlush), 0);

    TCountingRules noFlush;
    noFlush.Plays[ckFlush] = false;
    const TCardTable aceKingSuited = Cards("Ah Kh 9h 7h");
    const TCompletionCounts suited(aceKingSuited, Cards("2h"), noFlush);
    EXPECT_EQ(suited.GameTotal(), 0);

    TCountingRules noQuads;
    noQuads.Plays[ckFourOfAKind] = false;
    const TCompletionCounts quads(Cards("7h 7c 7d 7s"), Cards("2h"), noQuads);
    EXPECT_EQ(quads.GameTotal(), 0);
}

TEST(CompletionCountingTest, PlayerPatternOfFiveCardsIsHisOwn) {
    const TCountingRules rules;
    const TCardTable none;
    const std::vector<std::tuple<TCombinationKind, const char*, TPattern>> cases = {
        {ckStraightFlush, "9s 8s 7s 6s 5s", TPattern{{6}}},
        {ckFourOfAKind, "7h 7c 7d 7s Ah", TPattern{{8}}},
        {ckFullHouse, "2h 2c 2d Ks Kh", TPattern{{13, 2}}},
        {ckFlush, "Ah 9h 7h 4h 2h", TPattern{{1, 6, 8, 11, 13}}},
        {ckStraight, "5h 4c 3d 2s Ah", TPattern{{10}}},
        {ckThreeOfAKind, "Qh Qc Qd 2s 9h", TPattern{{3}}},
        {ckTwoPairs, "Jh Jc 4d 4s Ah", TPattern{{4, 11, 1}}},
        {ckPair, "Ah Ac Kd 9s 7h", TPattern{{1, 2, 6, 8}}},
        {ckAceKing, "Ah Kc 9d 7s 2h", TPattern{{6, 8, 13}}},
    };
    for (const auto& [kind, cards, pattern] : cases) {
        EXPECT_EQ(PlayerPattern(kind, Cards(cards), none, rules), pattern) << cards;
    }
    // With more than five kept cards, the strongest pattern they hold.
    EXPECT_EQ(PlayerPattern(ckPair, Cards("Ah Ac Kd Ks Qh Jc 9d"), none, rules),
              (TPattern{{1, 2, 3, 4}}));
}

}  // namespace
}  // namespace studlab
