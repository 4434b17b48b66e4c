#include <gtest/gtest.h>

#include "support/fixed_clock.h"

#include "cards/card.h"
#include "cards/card_list.h"
#include "cards/card_table.h"
#include "cards/random_generator.h"

namespace studlab {
namespace {

TEST(Card, ConversionsBetweenIdsRanksAndSuits) {
    struct Case {
        RankIndex rank;
        SuitIndex suit;
        TCardId id;
        const char* name;
    };
    for (const Case& c :
         {Case{1, 1, 1, "A черви"}, Case{2, 1, 13, "K черви"}, Case{13, 1, 2, "2 черви"},
          Case{5, 4, 49, "10 пик"}, Case{1, 2, 14, "A треф"}, Case{1, 3, 27, "A буби"},
          Case{2, 4, 52, "K пик"}, Case{5, 1, 10, "10 черви"}}) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CardIdOf(c.rank, c.suit), c.id);
        EXPECT_EQ(RankIndexOf(c.id), c.rank);
        EXPECT_EQ(SuitIndexOf(c.id), c.suit);
        EXPECT_EQ(CardName(c.id), c.name);
        EXPECT_EQ(CardIdByName(c.name), c.id);
    }
    EXPECT_EQ(FaceNumberOf(13), 13);
    EXPECT_EQ(FaceNumberOf(14), 1);
}

TEST(Card, EveryIdRoundTripsThroughRankSuitAndName) {
    for (TCardId id = 1; id <= kCards; ++id) {
        EXPECT_EQ(CardIdOf(RankIndexOf(id), SuitIndexOf(id)), id);
        EXPECT_EQ(CardIdByName(CardName(id)), id);
    }
}

TEST(Card, UnknownNamesAreNone) {
    for (const char* name : {"", "A", "1 черви", "A  черви", "a черви", "T пик", "A черви "}) {
        EXPECT_EQ(CardIdByName(name), std::nullopt) << name;
    }
}

TEST(Card, ImageNames) {
    EXPECT_EQ(ImageName(1), "Image1");
    EXPECT_EQ(ImageName(17), "Image17");
}

TEST(CardTable, CountsAndScanOrder) {
    TCardTable t;
    t.Set(2, 4, true);   // K пик
    t.Set(1, 3, true);   // A буби
    t.Set(1, 1, true);   // A черви
    t.Set(13, 1, true);  // 2 черви
    EXPECT_EQ(t.Count(), 4);
    EXPECT_EQ(t.RankCount(1), 2);
    EXPECT_EQ(t.RankCount(2), 1);
    EXPECT_EQ(t.RankCount(3), 0);
    EXPECT_EQ(t.SuitCount(1), 2);
    EXPECT_EQ(t.SuitCount(2), 0);
    EXPECT_EQ(t.SuitCount(4), 1);
    std::vector<TCardId> order;
    t.ForEach([&](TCardId id) { order.push_back(id); });
    EXPECT_EQ(order, (std::vector<TCardId>{1, 27, 52, 2}));  // ranks from the ace down, suits 1..4
    t.Set(1, 1, false);
    EXPECT_FALSE(t.Has(1, 1));
    EXPECT_EQ(TCardTable::FullDeck().Count(), 52);
    EXPECT_EQ(TCardTable::FullDeck().SuitCount(3), 13);
}

TEST(CardList, AcceptsNamesAndShortFormsMixed) {
    EXPECT_EQ(ParseCardList("A черви, 10 пик"), (std::vector<TCardId>{1, 49}));
    EXPECT_EQ(ParseCardList("Ah Tc 10d 9s,Qd"), (std::vector<TCardId>{1, 23, 36, 48, 38}));
    EXPECT_EQ(ParseCardList("  "), std::vector<TCardId>{});
}

TEST(CardList, RejectsUnknownAndRepeatedCards) {
    for (const char* text : {"Ax", "1h", "A", "черви", "Ah Ah", "A черви Ah", "11h"}) {
        EXPECT_THROW(ParseCardList(text), TCardListError) << text;
    }
}

using testing::TFixedClock;

TEST(RandomGenerator, FirstDrawsFromTheStartingSeed) {
    TRandomGenerator g;
    std::vector<std::uint32_t> cards;
    for (int i = 0; i < 6; ++i) cards.push_back(g.Below(52) + 1);
    EXPECT_EQ(cards, (std::vector<std::uint32_t>{1, 2, 45, 11, 15, 35}));

    TRandomGenerator seeds;
    std::vector<std::uint32_t> states;
    for (int i = 0; i < 4; ++i) {
        seeds.Below(1);
        states.push_back(seeds.Seed());
    }
    EXPECT_EQ(states, (std::vector<std::uint32_t>{1, 134775814, 3698175007U, 870078620}));
}

TEST(RandomGenerator, SeedsFromTheLow32BitsOfTheClock) {
    TRandomGenerator g;
    g.SeedFrom(TFixedClock(0x1234567890ULL));
    EXPECT_EQ(g.Seed(), 0x34567890U);
    for (std::uint32_t n : {1U, 4U, 13U, 52U}) EXPECT_LT(g.Below(n), n);
}

}  // namespace
}  // namespace studlab
