#include <gtest/gtest.h>

#include <set>
#include <tuple>
#include <vector>

#include "cards/card_list.h"
#include "table/draw_sums.h"

namespace studlab::testing {
namespace {

// A layout with the player's and the dealer's cards and every card but `unseen` seen.
TEvalLayout LayoutWithUnseen(std::string_view player, std::string_view dealer,
                             std::string_view unseen) {
    TEvalLayout layout;
    layout.Player = TableOf(ParseCardList(player));
    layout.Dealer = TableOf(ParseCardList(dealer));
    layout.Seen = TCardTable::FullDeck().Without(TableOf(ParseCardList(unseen)));
    return layout;
}

// Records what every arrival brought into the target hand; the value is the arrival's number, as
// a value and as a single outcome the player wins.
struct TArrivals {
    TEvalLayout Before;
    TDrawTarget Target = TDrawTarget::dtPlayer;
    std::vector<TCardTable> Brought;

    std::int64_t Record(const TEvalLayout& after) {
        const bool intoDealer = Target == TDrawTarget::dtDealer;
        const TCardTable& hand = intoDealer ? after.Dealer : after.Player;
        EXPECT_EQ(intoDealer ? after.Player : after.Dealer,
                  intoDealer ? Before.Player : Before.Dealer);
        EXPECT_EQ(after.Seen, Before.Seen);
        Brought.push_back(hand.Without(intoDealer ? Before.Dealer : Before.Player));
        return static_cast<std::int64_t>(Brought.size());
    }
    TLayoutValue Value() {
        return [this](const TEvalLayout& after) { return Record(after); };
    }
    TLayoutResult Result() {
        return [this](const TEvalLayout& after) {
            TEvalResult r;
            r.Tallies.DealerOutcomes = r.Tallies.PlayerWins = 1;
            r.Payouts.PlayerWins = Record(after);
            return r;
        };
    }
};

constexpr std::string_view kUnseen = "2c 3d 4h 5s 6c 7d";  // six cards
constexpr std::string_view kTwelveUnseen = "2c 3d 4h 5s 6c 7d 8h 9s Tc Jd Qh Ks";

TEST(ExactDrawMean, ValuesEverySetOfUnseenCardsOnceInTheTargetHand) {
    const std::array<int, 6> sets = {0, 6, 15, 20, 15, 6};  // C(6, k)
    for (const TDrawTarget target : {TDrawTarget::dtPlayer, TDrawTarget::dtDealer}) {
        for (int cards = 1; cards <= 5; ++cards) {
            SCOPED_TRACE(cards);
            TArrivals arrivals{LayoutWithUnseen("Ah Ac Kd", "Qs", kUnseen), target, {}};
            const TExactMean mean =
                ExactDrawMean(arrivals.Before, target, cards, arrivals.Result());
            const int n = sets[static_cast<std::size_t>(cards)];
            ASSERT_EQ(static_cast<int>(arrivals.Brought.size()), n);
            EXPECT_EQ(mean.Arrivals, n);
            EXPECT_EQ(mean.Outcomes, n);
            EXPECT_EQ(mean.Sum, n * (n + 1) / 2);
            std::set<std::uint64_t> distinct;
            for (const TCardTable& brought : arrivals.Brought) {
                EXPECT_EQ(brought.Count(), cards);
                EXPECT_EQ(brought.Without(TableOf(ParseCardList(kUnseen))), TCardTable());
                distinct.insert(brought.Mask());
            }
            EXPECT_EQ(static_cast<int>(distinct.size()), n);
        }
    }
    EXPECT_THROW(ExactDrawMean(TEvalLayout{}, TDrawTarget::dtPlayer, 6, EvaluatorResult({}, 0)),
                 std::out_of_range);
}

// The mean is rounded once, to the nearest ten-thousandth, halves to the even neighbour.
TEST(ExactDrawMean, RoundsTheWholeMeanOnce) {
    const std::vector<std::tuple<int, int, std::int64_t>> cases = {
        {5, 2, 2},  {7, 2, 4},    {-5, 2, -2}, {-7, 2, -4},
        {10, 3, 3}, {-10, 3, -3}, {0, 1, 0},   {1, 0, 0}};
    for (const auto& [sum, outcomes, rounded] : cases) {
        const TExactMean mean{sum, outcomes, 1};
        EXPECT_EQ(mean.Rounded(), rounded) << sum << "/" << outcomes;
    }
}

TEST(SampledDrawSum, EveryArrivalBringsDistinctUnseenCards) {
    for (int cards = 1; cards <= 5; ++cards) {
        SCOPED_TRACE(cards);
        TArrivals arrivals{LayoutWithUnseen("Ah", "Qs", kTwelveUnseen), TDrawTarget::dtPlayer, {}};
        TRandomGenerator random(7);
        const auto sum = SampledDrawSum(arrivals.Before, TDrawTarget::dtPlayer, cards, 300, random,
                                        arrivals.Value());
        ASSERT_EQ(arrivals.Brought.size(), 300U);
        EXPECT_EQ(sum, 300 * 301 / 2);
        for (const TCardTable& brought : arrivals.Brought) {
            EXPECT_EQ(brought.Count(), cards);
            EXPECT_EQ(brought.Without(TableOf(ParseCardList(kTwelveUnseen))), TCardTable());
        }
    }
}

TEST(SampledDrawSum, WithoutDrawsOrUnseenCardsNothingIsValued) {
    TArrivals arrivals{LayoutWithUnseen("Ah", "Qs", "2c 3d"), TDrawTarget::dtPlayer, {}};
    TRandomGenerator random(7);
    const auto sampled = [&](int cards, std::int32_t draws) {
        return SampledDrawSum(arrivals.Before, TDrawTarget::dtPlayer, cards, draws, random,
                              arrivals.Value());
    };
    EXPECT_EQ(sampled(2, -5), 0);
    EXPECT_EQ(sampled(2, 0), std::nullopt);
    EXPECT_EQ(sampled(3, 10), std::nullopt);  // three cards, two unseen
    EXPECT_TRUE(arrivals.Brought.empty());
    EXPECT_EQ(random.Seed(), 7U);
}

}  // namespace
}  // namespace studlab::testing
