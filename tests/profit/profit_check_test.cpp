#include <gtest/gtest.h>

#include <deque>

#include <cmath>
#include "profit/bank.h"
#include "profit/combination_stats.h"
#include "profit/profit_check.h"
#include "text/number_text.h"

namespace studlab {
namespace {

using enum TCombinationKind;
using TColumn = TCombinationStats::TColumn;

// A table that plays scripted hands: results in antes, with their costs and categories.
struct TScriptedHand {
    double Result;
    float ExtraStake = 0;
    TCombinationKind Category = ckNoGame;
};

class TScriptedTable final : public IRandomHandTable {
public:
    std::deque<TScriptedHand> Hands;
    bool Chosen = true;
    int Played = 0;
    std::function<void()> OnHand;

    bool GameChosen() const override { return Chosen; }
    void PlayRandomHand() override {
        ++Played;
        m_current = Hands.empty() ? TScriptedHand{0} : Hands.front();
        if (!Hands.empty()) Hands.pop_front();
        m_result = static_cast<std::int64_t>(std::llround(m_current.Result * 10000));
        m_last = m_result;
        if (OnHand) OnHand();
    }
    std::int64_t HandResult() const override { return m_result; }
    std::int64_t LastHandResult() const override { return m_last; }
    void SetLastHandResult(std::int64_t value) override { m_last = value; }
    float ExtraStake() const override { return m_current.ExtraStake; }
    TCombinationKind HandCategory() const override { return m_current.Category; }

private:
    TScriptedHand m_current{0};
    std::int64_t m_result = 0;
    std::int64_t m_last = 0;
};

class ProfitCheck : public ::testing::Test {
protected:
    TScriptedTable table;
    TProfitCheck check{table};
    int beeps = 0;

    void SetUp() override {
        check.Beep = [this] { ++beeps; };
    }
    void Play(int count, double result) {
        for (int i = 0; i < count; ++i) table.Hands.push_back({result});
    }
};

TEST(CombinationStats, RecordingRuleMeasuresTheResultBeforeTheCosts) {
    TCombinationStats stats;
    stats.Record(ckPair, 0.0F, -10000);       // a fold: lost
    stats.Record(ckPair, 0.0F, 10000);        // the ante won against no game: unpaid
    stats.Record(ckFlush, 1.2F, 18000);       // 1,8 after paying 1,2: paid
    stats.Record(ckNoGame, 1.2F, -42000);     // a lost bet after a bought card
    stats.Record(ckRoyalFlush, 0.0F, 29999);  // just below the paid threshold
    // Costs that single precision holds a trifle below their value still count in full.
    stats.Record(ckStraight, 0.7F, 23000);  // a 3-ante pay after paying 0,7: paid
    stats.Record(ckStraight, 0.7F, 3000);   // the ante won against no game after 0,7: unpaid
    stats.Record(ckStraight, 1.3F, 16999);  // a trifle short of 3 antes after 1,3: unpaid
    EXPECT_EQ(stats.Count(TCombinationStats::RowOf(ckPair), TColumn::Lost), 1U);
    EXPECT_EQ(stats.Count(TCombinationStats::RowOf(ckPair), TColumn::Unpaid), 1U);
    EXPECT_EQ(stats.Count(TCombinationStats::RowOf(ckPair), TColumn::FromDeal), 2U);
    EXPECT_EQ(stats.Count(TCombinationStats::RowOf(ckFlush), TColumn::Paid), 1U);
    EXPECT_EQ(stats.Count(TCombinationStats::RowOf(ckFlush), TColumn::FromBuying), 1U);
    EXPECT_EQ(stats.Count(TCombinationStats::RowOf(ckStraight), TColumn::Paid), 1U);
    EXPECT_EQ(stats.Count(TCombinationStats::RowOf(ckStraight), TColumn::Unpaid), 2U);
    EXPECT_EQ(stats.ColumnText(TColumn::Total), "1\r0\r0\r0\r1\r3\r0\r0\r2\r0\r1");
    EXPECT_EQ(stats.ColumnText(TColumn::FromBuying), "0\r0\r0\r0\r1\r3\r0\r0\r0\r0\r1");
    EXPECT_EQ(stats.ColumnText(TColumn::Unpaid), "1\r0\r0\r0\r0\r2\r0\r0\r1\r0\r0");
    EXPECT_EQ(TCombinationStats::RowCaption(10), "без игры");
}

TEST(Bank, IsTheLargestLossOverConsecutiveHands) {
    const std::vector<std::pair<std::vector<std::int32_t>, std::int64_t>> cases = {
        {{2, -3, 1, -4, 5}, 6}, {{1, 2, 3}, 0},          {{}, 0}, {{-5}, 5},
        {{-1, -1, 3, -4}, 4},   {{3, -1, -1, 1, -3}, 4},
    };
    for (const auto& [results, bank] : cases) EXPECT_EQ(ComputeBank(results), bank);
}

TEST_F(ProfitCheck, CompletedRunShowsMoStatisticsAndBank) {
    check.Settings().HandCount = "5";
    for (double r : {2.0, -3.0, 1.0, -4.0, 5.0}) table.Hands.push_back({r});
    check.RunSimulation();
    const TProfitView& v = check.View();
    EXPECT_EQ(table.Played, 5);
    EXPECT_EQ(v.MoText, "MO=-20%");  // +1 ante over 5 hands: the player wins 0,2 a hand
    EXPECT_TRUE(v.MoVisible && v.ComputeBankVisible && v.StatisticsVisible && v.CalculateVisible);
    EXPECT_FALSE(v.StopVisible || v.ProgressVisible);
    EXPECT_EQ(v.HandNumberText, "5");
    EXPECT_EQ(v.RunTotalText, "1");
    EXPECT_EQ(v.StatsColumns[0], "0\r0\r0\r0\r0\r0\r0\r0\r0\r0\r5");
    EXPECT_EQ(beeps, 0);

    check.ComputeBank();
    EXPECT_EQ(check.View().BankText, "6 ANTE");
    check.Settings().HandCount = "3";  // a lowered count looks at the first entries only
    check.ComputeBank();
    EXPECT_EQ(check.View().BankText, "3 ANTE");
}

TEST_F(ProfitCheck, MoIsTheAverageLossInPercentOfTheAnte) {
    // Totals over 1000 hands; the last hand carries the rest so that no earlier hand loses 5 antes.
    const std::vector<std::pair<double, const char*>> cases = {
        {-5300, "MO=530%"}, {-53, "MO=5,3%"}, {10, "MO=-1%"}};
    for (const auto& [total, text] : cases) {
        table.Hands.clear();
        check.Settings().HandCount = "1000";
        Play(999, -0.001);
        table.Hands.push_back({total + 0.999});
        check.RunSimulation();
        EXPECT_EQ(check.View().MoText, text);
    }
}

// The spread of the per-hand results, worked out by hand from the hands themselves.
TEST_F(ProfitCheck, StandardErrorAndIntervalComeFromThePerHandResults) {
    struct TCase {
        std::vector<double> Results;  // antes
        double StdError;              // antes
        double MoLow;                 // percent
        double MoHigh;
        const char* Mo;
    };
    const TCase cases[] = {
        // Mean -0,3; the deviations 1,5, -1,5, 0,5, -0,5 and 0 square to 5 in all; over 4
        // degrees of freedom the variance is 1,25, the mean's variance 1,25 / 5 = 0,25, its
        // standard error 0,5. 1,96 of them is 0,98: the player's result lies in
        // -0,3 ± 0,98 = -1,28 .. 0,68 a hand, his loss in -68 % .. 128 %.
        {{1.2, -1.8, 0.2, -0.8, -0.3}, 0.5, -68, 128, "MO=30%"},
        // Mean 0,5; four deviations of 1,5 square to 9, the variance is 9 / 3 = 3, the standard
        // error sqrt(3 / 4) = 0,866...; the loss lies in -50 ∓ 196 × 0,866... %.
        {{2, -1, 2, -1},
         std::sqrt(0.75),
         -50 - 196 * std::sqrt(0.75),
         -50 + 196 * std::sqrt(0.75),
         "MO=-50%"},
        // One hand, or hands that never differ, leave no spread: the interval is the MO.
        {{-2}, 0, 200, 200, "MO=200%"},
        // Here the sum of the squares comes out a rounding below three times the squared mean.
        {{-0.0007, -0.0007, -0.0007}, 0, 0.07, 0.07, "MO=0,1%"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Mo);
        table.Hands.clear();
        for (double r : c.Results) table.Hands.push_back({r});
        check.Settings().HandCount = std::to_string(c.Results.size());
        check.RunSimulation();
        ASSERT_EQ(check.LastRunEnd(), TRunEnd::Completed);
        EXPECT_EQ(check.View().MoText, c.Mo);
        const TRunSummary& s = check.Summary();
        EXPECT_EQ(s.Hands, static_cast<std::int64_t>(c.Results.size()));
        EXPECT_NEAR(s.StdErrorPerHand, c.StdError, 1e-9);
        EXPECT_NEAR(s.MoLow, c.MoLow, 1e-7);
        EXPECT_NEAR(s.MoHigh, c.MoHigh, 1e-7);
    }
}

TEST_F(ProfitCheck, ResultsSurviveAndAShorterRunKeepsTheRest) {
    check.Settings().HandCount = "4";
    for (double r : {1.0, -2.0, 3.4, 2.5}) table.Hands.push_back({r});
    check.RunSimulation();
    EXPECT_EQ(
        std::vector<std::int32_t>(check.HandResults().begin(), check.HandResults().begin() + 5),
        (std::vector<std::int32_t>{1, -2, 3, 2, 0}));  // rounded, halves to even
    check.Settings().HandCount = "2";
    Play(2, 4);
    check.RunSimulation();
    EXPECT_EQ(
        std::vector<std::int32_t>(check.HandResults().begin(), check.HandResults().begin() + 4),
        (std::vector<std::int32_t>{4, 4, 3, 2}));
}

TEST_F(ProfitCheck, StopIsNoticedBeforeTheNextHand) {
    check.Settings().HandCount = "100";
    Play(100, 1);
    int events = 0;
    check.ProcessPendingEvents = [&] {
        if (++events == 3) check.StopSimulation();
    };
    check.RunSimulation();
    EXPECT_EQ(table.Played, 2);
    EXPECT_EQ(beeps, 1);
    EXPECT_TRUE(check.View().CalculateVisible);
    EXPECT_FALSE(check.View().StopVisible || check.View().MoVisible);
}

TEST_F(ProfitCheck, NoGameChosenBeepsAndStaysRunningUntilStop) {
    table.Chosen = false;
    check.RunSimulation();
    EXPECT_EQ(table.Played, 0);
    EXPECT_EQ(beeps, 1);
    EXPECT_TRUE(check.View().StopVisible);
    EXPECT_FALSE(check.View().CalculateVisible);
    check.StopSimulation();
    EXPECT_TRUE(check.View().CalculateVisible);
}

TEST_F(ProfitCheck, ALossOfFiveAntesEndsTheRunBeforeTheNextHand) {
    check.Settings().HandCount = "10";
    for (double r : {1.0, -5.0, 1.0}) table.Hands.push_back({r});
    check.RunSimulation();
    EXPECT_EQ(table.Played, 2);
    EXPECT_EQ(beeps, 1);
    EXPECT_FALSE(check.View().MoVisible);
}

TEST_F(ProfitCheck, CyclesEndAtTheirLimitsAndTheRunAtTheTotalLimits) {
    check.Settings() = {"1000", true, "20", "-30", "-120", "120"};
    // Four cycles lose 30 each; the hand that ends a cycle is not recorded.
    Play(1000, -3);
    check.RunSimulation();
    EXPECT_EQ(check.View().CycleCountText, "4");
    EXPECT_EQ(check.View().CyclesTotalText, "-120");
    // The total limit is tested after every hand, so the first hand of the fifth cycle ends it.
    EXPECT_EQ(table.Played, 41);
    EXPECT_EQ(beeps, 0);
    EXPECT_TRUE(check.View().StopVisible);
    EXPECT_FALSE(check.View().MoVisible);
}

TEST_F(ProfitCheck, FractionalCycleTotalsStayExact) {
    check.Settings() = {"1000", true, "20", "-30", "-120", "120"};
    Play(1000, -4.2);  // 8 hands lose 33,6
    check.RunSimulation();
    EXPECT_EQ(check.View().CyclesTotalText, "-134,4");
    EXPECT_EQ(check.View().CycleCountText, "4");
}

TEST_F(ProfitCheck, ACycleThatNeverReachesItsLimitsEndsWithTheSummary) {
    check.Settings() = {"10", true, "20", "-30", "-120", "120"};
    Play(10, 1);
    check.RunSimulation();
    EXPECT_EQ(check.View().MoText, "MO=-100%");
    EXPECT_EQ(check.View().CycleCountText, "");
}

TEST_F(ProfitCheck, UnusableHandCountsAreRefusedWithAMessage) {
    for (const char* count : {"0", "-5", "1000001"}) {
        check.Settings().HandCount = count;
        check.RunSimulation();
        EXPECT_EQ(table.Played, 0) << count;
        EXPECT_FALSE(check.View().MoVisible);
        EXPECT_FALSE(check.View().Message.empty());
        EXPECT_TRUE(check.View().CalculateVisible);
    }
    check.Settings().HandCount = "abc";
    EXPECT_THROW(check.RunSimulation(), TConversionError);
}

}  // namespace
}  // namespace studlab
