// The random deal's generator: hands that do not depend on one another or on the clock.
#include <gtest/gtest.h>

#include "support/fixed_clock.h"

#include <array>
#include <cmath>
#include <vector>

#include "design/design_fields.h"
#include "support/test_game.h"

namespace studlab {
namespace {

struct TSettableGame : testing::TTestGame {
    void Set(const char* assignment) {
        SetDesignAssignment(Design, Settings, assignment, TValueCheck::NumbersMustConvert);
    }
};

// The fold-or-bet design with one open dealer card, trips paying 7 and two pairs 5.
void MakeFoldOrBet(TSettableGame& game) {
    for (const char* assignment : {"PayQualified[ckThreeOfAKind]=7", "PayQualified[ckTwoPairs]=5",
                                   "StageActions[1][paBuyCard]=NO", "TableMaximum=1000"}) {
        game.Set(assignment);
    }
    game.Table.SetGameName("fold or bet");
    game.Table.SelectGame(std::nullopt);
}

// A clock on a quiet machine: the time a hand takes depends only on what the hand did. A hand in
// which the player bets (the dealer's cards are dealt and the hand is settled) takes longer than
// one he folds. Read once before every random deal, it advances by the last hand's time.
class TWorkClock final : public IClock {
public:
    explicit TWorkClock(const TDecisionTable& table) : m_table(table) {}
    std::uint64_t HighResolutionTicks() const override {
        m_ticks += m_table.State().Choice1 == "1" ? 10000 : 18000;
        return m_ticks;
    }

private:
    const TDecisionTable& m_table;
    mutable std::uint64_t m_ticks = 123456789;
};

struct TDealt {
    TCardTable Player;
    TCardTable Dealer;
    std::int64_t Result = 0;
    friend bool operator==(const TDealt&, const TDealt&) = default;
};

TDealt Deal(TSettableGame& game) {
    game.Table.RandomDeal();
    return {game.Table.State().PlayerCards, game.Table.State().DealerCards,
            game.Table.State().HandResult};
}

// A design whose hand cannot be laid out is refused in a message of one line: the prompt's line
// break, which the window's label shows, would reach a terminal as a bare carriage return.
TEST(RandomDeal, ALayoutThatCannotBeDealtIsSaidOnOneLine) {
    TSettableGame game;
    game.Design.DealerOpenCards = std::string("7");
    game.Table.SetGameName("seven");
    game.Table.SelectGame(std::nullopt);
    try {
        game.Table.RandomDeal();
        ADD_FAILURE() << "dealt";
    } catch (const TRandomDealError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Раздача невозможна: Число открытых карт дилера \"7\" не от 0 до 5. Исправьте "
                  "конструкцию и выберите новый расклад.");
    }
    // The label itself keeps its two lines.
    EXPECT_NE(game.Table.View().Prompt.find("5.\r  Исправьте"), std::string::npos);
}

TEST(RandomDeal, AHandOfAStreamDependsOnlyOnItsSeedAndNumber) {
    TSettableGame inOrder;
    MakeFoldOrBet(inOrder);
    inOrder.Table.SetHandStream(42, 1);
    std::vector<TDealt> hands;
    for (int i = 0; i < 12; ++i) hands.push_back(Deal(inOrder));

    // Hands dealt out of order, by another table, come out the same.
    TSettableGame alone;
    MakeFoldOrBet(alone);
    for (std::uint64_t hand : {9U, 3U, 12U, 1U}) {
        alone.Table.SetHandStream(42, hand);
        EXPECT_EQ(Deal(alone), hands[hand - 1]) << "hand " << hand;
    }
    // The fixed series in between takes nothing from the streams.
    alone.Settings.SameSequence = true;
    Deal(alone);
    alone.Settings.SameSequence = false;
    alone.Table.SetHandStream(42, 5);
    EXPECT_EQ(Deal(alone), hands[4]);
    // Another seed deals other hands.
    alone.Table.SetHandStream(43, 1);
    EXPECT_NE(Deal(alone), hands[0]);
}

// A fixed clock, read when a sampled candidate seeds the fixed series.
using testing::TFixedClock;

TEST(RandomDeal, SampledDrawsInAHandsStreamDoNotReadTheClock) {
    // The exchange of four cards is valued by random draws: within a hand's stream they come
    // from the stream, so the hand is the same whatever the clock says.
    const auto play = [](std::uint64_t ticks) {
        TSettableGame game;
        MakeFoldOrBet(game);
        game.Set("StageActions[1][paExchange4]=YES");
        game.Settings.ProbabilisticCycles = "40";
        const TFixedClock clock(ticks);
        game.Table.SetClock(clock);
        std::vector<std::string> values;
        for (std::uint64_t hand : {1U, 2U, 3U}) {
            game.Table.SetHandStream(77, hand);
            game.Table.RandomDeal();
            values.push_back(game.Table.View().DecisionListValues);
        }
        return values;
    };
    EXPECT_EQ(play(1), play(987654321));
}

// Before every clock-seeded hand the 32-bit generator was seeded from the clock itself. Its
// state then moved linearly with the seed, so each hand was the previous one shifted by the time
// that hand took: on a quiet machine the cards of a hand followed from the cards and the length of
// the hand before. Hands must not depend on one another, however the clock runs.
TEST(RandomDeal, ClockSeededHandsAreIndependentOfTheHandsBefore) {
    TSettableGame game;
    MakeFoldOrBet(game);
    const TWorkClock clock(game.Table);
    game.Table.SetClock(clock);
    constexpr int kHands = 5200;
    std::array<int, kCards> steps{};  // how far the player's first card moved from hand to hand
    int previous = -1;
    for (int hand = 0; hand < kHands; ++hand) {
        game.Table.RandomDeal();
        const std::optional<TCardId> first = game.Table.State().CardInPlayerSlot(1);
        ASSERT_TRUE(first.has_value());
        const int card = *first - 1;
        if (previous >= 0) ++steps[static_cast<std::size_t>((card - previous + kCards) % kCards)];
        previous = card;
    }
    // Pearson's chi-square against equal counts, 51 degrees of freedom: a value above 110 has a
    // chance below one in a million.
    const double expected = static_cast<double>(kHands - 1) / kCards;
    double chiSquare = 0;
    for (int count : steps) chiSquare += (count - expected) * (count - expected) / expected;
    EXPECT_LT(chiSquare, 110);
}

// What that did to the figures: on the same clock the player bet in 51,2 % of the hands where
// every first layout, weighted by its chance, says 52,22 % (15,948,285 of the 30,537,780 layouts
// with the dealer's card in one suit, by complete enumeration), and the MO moved by percents.
TEST(RandomDeal, ClockSeededHandsBetAsOftenAsTheFirstLayoutsSay) {
    TSettableGame game;
    MakeFoldOrBet(game);
    const TWorkClock clock(game.Table);
    game.Table.SetClock(clock);
    constexpr int kHands = 60000;
    int bets = 0;
    for (int hand = 0; hand < kHands; ++hand) {
        game.Table.RandomDeal();
        bets += game.Table.State().Choice1 == "1" ? 0 : 1;
    }
    const double exact = 15948285.0 / 30537780.0;
    const double share = static_cast<double>(bets) / kHands;
    const double standardError = std::sqrt(exact * (1 - exact) / kHands);
    EXPECT_LT(std::abs(share - exact), 3.5 * standardError) << share;
}

}  // namespace
}  // namespace studlab
