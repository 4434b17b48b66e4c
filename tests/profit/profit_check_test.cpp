#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <mutex>
#include <vector>

#include "profit/bank.h"
#include "profit/combination_stats.h"
#include "profit/profit_check.h"
#include "profit/run_figures.h"
#include "profit/run_path.h"
#include "text/number_text.h"

namespace studlab {
namespace {

using enum TCombinationKind;
using TColumn = TCombinationStats::TColumn;

constexpr std::int64_t kNotSettled = -1'000'000;

// A hand as the script plays it: its result in antes, with its costs and category.
struct TScriptedHand {
    double Result = 0;
    float ExtraStake = 0;
    TCombinationKind Category = ckNoGame;
    double Stake = 1;
    bool Settled = true;
    const char* Error = nullptr;
};

// A table whose hand n is the script's entry n (a hand of 0 antes past its end), whichever
// worker plays it.
class TScriptedTable final : public IRandomHandTable {
public:
    std::vector<TScriptedHand> Hands;
    bool Chosen = true;
    bool Series = false;
    int Workers = 1 << 10;
    std::atomic<int> Played{0};
    std::atomic<int> PlayersMade{0};
    std::vector<std::uint64_t> Shown;

    bool GameChosen() const override { return Chosen; }
    bool FixedSeries() const override { return Series; }
    int MaxWorkers() const override { return Workers; }
    TFixedCards FixedCards() const override { return m_fixed; }
    void ReleaseFixedCards() override { m_fixed = {}; }
    std::unique_ptr<IHandPlayer> NewPlayer(const TDealPlan&) override {
        ++PlayersMade;
        return std::make_unique<TPlayer>(*this);
    }
    void ShowHand(const TDealPlan&, const THandRecord& hand) override {
        Shown.push_back(hand.Hand);
    }
    void Fix(TFixedCards fixed) { m_fixed = std::move(fixed); }

private:
    class TPlayer final : public IHandPlayer {
    public:
        explicit TPlayer(TScriptedTable& table) : m_table(table) {}
        THandRecord Play(std::uint64_t hand, const std::atomic<bool>&) override {
            ++m_table.Played;
            const TScriptedHand h =
                hand <= m_table.Hands.size() ? m_table.Hands[hand - 1] : TScriptedHand{};
            if (h.Error != nullptr) throw std::runtime_error(h.Error);
            THandRecord record;
            record.Result = h.Settled ? std::llround(h.Result * 10000) : kNotSettled;
            record.ExtraStake = h.ExtraStake;
            record.Category = h.Category;
            record.Stake = std::llround(h.Stake * 10000);
            return record;
        }

    private:
        TScriptedTable& m_table;
    };

    TFixedCards m_fixed;
};

class ProfitCheck : public ::testing::Test {
protected:
    TScriptedTable table;
    TProfitCheck check{table};
    int beeps = 0;

    void SetUp() override {
        check.Beep = [this] { ++beeps; };
        check.ProgressInterval = std::chrono::milliseconds(0);
    }
    void Play(int count, double result) {
        for (int i = 0; i < count; ++i) table.Hands.push_back({result});
    }
    void ExpectIdle() const {
        const TProfitView& v = check.View();
        EXPECT_TRUE(v.CalculateVisible);
        EXPECT_FALSE(v.StopVisible || v.ProgressVisible);
        EXPECT_FALSE(check.Running());
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

TEST(Bank, IsTheLargestLossOverConsecutiveHandsAndThePathFindsWhere) {
    struct TCase {
        std::vector<std::int64_t> Results;
        std::int64_t Bank;
        std::int64_t First;
        std::int64_t Last;
    };
    const std::vector<TCase> cases = {
        {{2, -3, 1, -4, 5}, 6, 2, 4}, {{1, 2, 3}, 0, 0, 0},          {{}, 0, 0, 0}, {{-5}, 5, 1, 1},
        {{-1, -1, 3, -4}, 4, 4, 4},   {{3, -1, -1, 1, -3}, 4, 2, 5},
        // Hands of billions of antes, as the design's ranges allow: beyond 32 bits.
        {{-3'000'000'000, 1, -2'500'000'000}, 5'499'999'999, 1, 3},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ComputeBank(c.Results), c.Bank);
        TRunPath path;
        std::int64_t total = 0;
        std::vector<std::int64_t> totals{0};
        for (std::int64_t r : c.Results) {
            path.Add(r * 10000);
            totals.push_back(total += r * 10000);
        }
        const TBankSpan& span = path.Bank();
        EXPECT_EQ(span.Antes, c.Bank);
        EXPECT_EQ(span.FirstHand, c.First);
        EXPECT_EQ(span.LastHand, c.Last);
        if (c.Bank > 0) {
            EXPECT_EQ(span.TotalBefore, totals[static_cast<std::size_t>(c.First - 1)]);
            EXPECT_EQ(span.TotalAfter, totals[static_cast<std::size_t>(c.Last)]);
            EXPECT_EQ(span.TotalBefore - span.TotalAfter, c.Bank * 10000);
        }
    }
}

TEST(RunPath, KeepsEveryHandUpToItsSizeAndThenThinsByDoublingTheStride) {
    TRunPath path;
    const std::int64_t hands = static_cast<std::int64_t>(TRunPath::kMaxPoints) * 2 + 1;
    for (std::int64_t i = 0; i < hands; ++i) path.Add(10000);
    EXPECT_EQ(path.Hands(), hands);
    EXPECT_EQ(path.Stride(), 2);
    ASSERT_EQ(path.Points().size(), TRunPath::kMaxPoints);
    // Point i is the total after hand (i + 1) * stride.
    EXPECT_EQ(path.Points().front(), 2 * 10000);
    EXPECT_EQ(path.Points().back(), static_cast<std::int64_t>(TRunPath::kMaxPoints) * 2 * 10000);

    // Drawn thinly, a path keeps its extremes and its end.
    TRunPath swing;
    for (int i = 0; i < 10000; ++i) swing.Add(i == 5000 ? -99990000 : 10000);
    const std::vector<TPathPoint> drawn = PathToDraw(swing, 100);
    EXPECT_LE(drawn.size(), 104U);
    EXPECT_EQ(drawn.front().Hands, 0);
    EXPECT_EQ(drawn.back().Hands, 10000);
    double lowest = 0;
    for (const TPathPoint& p : drawn) lowest = std::min(lowest, p.Antes);
    EXPECT_EQ(lowest, 5000 - 9999);  // after hand 5001: 5000 won, 9999 lost
}

TEST(RunFigures, AgreeWithAHandWorkedRun) {
    // Results 2, -3, 1, -4, 5 with 3 antes at risk in each hand: mean 0,2, deviations
    // 1,8 -3,2 0,8 -4,2 4,8 whose squares sum to 54,8, so the variance is 54,8 / 4 = 13,7.
    TRunSums sums;
    for (int r : {2, -3, 1, -4, 5}) sums.Add(r * 10000, 30000);
    const TRunFigures f = MakeRunFigures(sums, 0);
    EXPECT_EQ(f.Hands, 5);
    EXPECT_EQ(f.Total, 10000);
    EXPECT_DOUBLE_EQ(f.MoPercent, -20);
    EXPECT_NEAR(f.StdDevPerHand, std::sqrt(13.7), 1e-12);
    EXPECT_NEAR(f.StdErrorPerHand, std::sqrt(13.7 / 5), 1e-12);
    EXPECT_NEAR(f.MoLow, -(0.2 + 1.959963984540054 * std::sqrt(13.7 / 5)) * 100, 1e-9);
    EXPECT_NEAR(f.MoHigh, -(0.2 - 1.959963984540054 * std::sqrt(13.7 / 5)) * 100, 1e-9);
    EXPECT_DOUBLE_EQ(f.AverageStake, 3);
    EXPECT_NEAR(f.ElementOfRiskPercent, -0.2 / 3 * 100, 1e-12);
    EXPECT_EQ(f.BankrollHands, 5);

    // Squares that no 64-bit sum could hold are still exact.
    TRunSums big;
    for (int i = 0; i < 4; ++i) big.Add(i % 2 == 0 ? 3'000'000'000 : -3'000'000'000, 10000);
    EXPECT_NEAR(static_cast<double>(big.StdDev()), 300000 * std::sqrt(4.0 / 3), 1e-6);
}

TEST(RunFigures, HalfAMillionHandsLosingTwoBillionAntesEachAreSummedInFull) {
    // 500,000 x 2 * 10^13 ten-thousandths is 10^19, beyond what 64 bits hold.
    constexpr std::int64_t kHands = 500'000;
    constexpr std::int64_t kLoss = 2'000'000'000LL * 10000;
    TRunSums sums;
    TRunPath path;
    for (std::int64_t i = 0; i < kHands; ++i) {
        sums.Add(-kLoss, kLoss);
        path.Add(-kLoss);
    }
    const TAnteSum whole = -static_cast<TAnteSum>(kHands) * kLoss;
    EXPECT_TRUE(sums.Total() == whole);
    EXPECT_TRUE(sums.StakeTotal() == -whole);
    const TRunFigures f = MakeRunFigures(sums, 0);
    EXPECT_DOUBLE_EQ(f.MoPercent, 2e11);
    EXPECT_DOUBLE_EQ(f.AverageStake, 2e9);
    EXPECT_EQ(f.StdDevPerHand, 0);
    EXPECT_EQ(FormatTenThousandths(f.Total), "-1E15");

    EXPECT_TRUE(path.Total() == whole);
    EXPECT_TRUE(path.Points().back() == whole);
    EXPECT_DOUBLE_EQ(PathToDraw(path, 100).back().Antes, -1e15);
    EXPECT_EQ(path.Bank().Antes, kHands * 2'000'000'000LL);
    EXPECT_TRUE(path.Bank().TotalAfter == whole);

    // A million hands of +-2 * 10^9 antes: n * sum(x^2) is beyond even 128 bits.
    TRunSums swings;
    for (std::int64_t i = 0; i < 2 * kHands; ++i) swings.Add(i % 2 == 0 ? kLoss : -kLoss, kLoss);
    const double n = 2.0 * kHands;
    EXPECT_NEAR(static_cast<double>(swings.StdDev()) / (2e9 * std::sqrt(n / (n - 1))), 1, 1e-12);
}

TEST(RunFigures, BankrollFromTheFirstPassageOfABrownianMotion) {
    // No drift: P(ruin) = 2 Phi(-B / (s sqrt n)), so B = z s sqrt n with Phi(-z) = 2,5 % or 0,5 %.
    EXPECT_NEAR(BankrollFor(0, 1, 100, 0.95), 10 * 1.959963984540054, 1e-6);
    EXPECT_NEAR(BankrollFor(0, 1, 100, 0.99), 10 * 2.575829303548901, 1e-6);
    EXPECT_NEAR(BankrollFor(0, 2.5, 400, 0.95), 2.5 * 20 * 1.959963984540054, 1e-6);
    // A winning game over a very long stay: P(ruin) = exp(-2 m B / s^2), B = ln(1/p) s^2 / 2m.
    EXPECT_NEAR(BankrollFor(0.05, 2, 1'000'000'000, 0.95), std::log(20.0) * 4 / 0.1, 1e-3);
    EXPECT_NEAR(BankrollFor(0.05, 2, 1'000'000'000, 0.99), std::log(100.0) * 4 / 0.1, 1e-3);
    // A losing game needs more the longer it is played, and at least what it loses on average.
    const double lose1000 = BankrollFor(-0.05, 2, 1000, 0.95);
    EXPECT_GT(lose1000, BankrollFor(0, 2, 1000, 0.95));
    EXPECT_GT(lose1000, 50);
    EXPECT_NEAR(RuinProbability(-0.05, 2, 1000, lose1000), 0.05, 1e-9);
    EXPECT_GT(BankrollFor(-0.05, 2, 2000, 0.95), lose1000);
    // Without any spread the loss is certain.
    EXPECT_DOUBLE_EQ(BankrollFor(-0.5, 0, 10, 0.99), 5);
    EXPECT_DOUBLE_EQ(BankrollFor(0.5, 0, 10, 0.99), 0);
}

TEST(RunFigures, BankrollLastsAsOftenAsItPromisesInSimulatedStays) {
    // An independent check of the formula by simulation: Gaussian hands of mean -0,05 and
    // spread 2, stays of 400 hands. The discrete walk checks its low only after each hand, so it
    // is ruined a little less often than the continuous motion.
    const double bankroll = BankrollFor(-0.05, 2, 400, 0.95);
    std::uint64_t state = 12345;
    const auto uniform = [&] {
        state += 0x9E3779B97F4A7C15ULL;
        std::uint64_t z = state;
        z = (z ^ (z >> 30U)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27U)) * 0x94D049BB133111EBULL;
        return (static_cast<double>((z ^ (z >> 31U)) >> 11U) + 0.5) / 9007199254740992.0;
    };
    int ruined = 0;
    constexpr int kStays = 4000;
    for (int stay = 0; stay < kStays; ++stay) {
        double money = bankroll;
        for (int hand = 0; hand < 400 && money > 0; ++hand) {
            const double normal =
                std::sqrt(-2 * std::log(uniform())) * std::cos(2 * 3.141592653589793 * uniform());
            money += -0.05 + 2 * normal;
        }
        ruined += money <= 0 ? 1 : 0;
    }
    const double share = static_cast<double>(ruined) / kStays;
    EXPECT_GT(share, 0.025);
    EXPECT_LT(share, 0.06);
}

TEST_F(ProfitCheck, CompletedRunShowsMoStatisticsAndBank) {
    check.Settings().HandCount = "5";
    for (double r : {2.0, -3.0, 1.0, -4.0, 5.0}) table.Hands.push_back({r});
    check.RunSimulation();
    const TProfitView& v = check.View();
    EXPECT_EQ(check.LastRunEnd(), TRunEnd::Completed);
    EXPECT_EQ(v.MoText, "MO=-20%");  // +1 ante over 5 hands: the player wins 0,2 a hand
    EXPECT_TRUE(v.MoVisible && v.ComputeBankVisible && v.StatisticsVisible && v.GraphEnabled);
    ExpectIdle();
    EXPECT_EQ(v.Message, "");
    EXPECT_EQ(v.HandNumberText, "5");
    EXPECT_EQ(v.RunTotalText, "1");
    EXPECT_EQ(v.StatsColumns[0], "0\r0\r0\r0\r0\r0\r0\r0\r0\r0\r5");
    EXPECT_EQ(v.MoIntervalText, "95 %: от -344,43 до 304,43 %");
    EXPECT_NE(v.RiskText.find("σ 3,7014 анте"), std::string::npos) << v.RiskText;
    EXPECT_NE(v.RiskText.find("на 5 раздач"), std::string::npos) << v.RiskText;
    EXPECT_EQ(beeps, 0);
    // The table shows the run's last hand afterwards.
    EXPECT_EQ(table.Shown, (std::vector<std::uint64_t>{5}));

    check.ComputeBank();
    EXPECT_EQ(check.View().BankText, "6 ANTE");
    check.Settings().HandCount = "3";  // a lowered count looks at the first entries only
    check.ComputeBank();
    EXPECT_EQ(check.View().BankText, "3 ANTE");
}

// A hand may lose billions of antes within the design's ranges: the bank's text adds them in 64
// bits, as the run's path does, instead of wrapping at 2^31.
TEST_F(ProfitCheck, TheBankOfHandsOfBillionsIsTheLossInFull) {
    check.Settings().HandCount = "3";
    for (double r : {-3e9, 1.0, -2.5e9}) table.Hands.push_back({r});
    check.RunSimulation();
    check.ComputeBank();
    EXPECT_EQ(check.View().BankText, "5499999999 ANTE");
    EXPECT_EQ(check.Path().Bank().Antes, 5'499'999'999);
}

TEST_F(ProfitCheck, MoIsTheAverageLossInPercentOfTheAnte) {
    const std::vector<std::pair<double, const char*>> cases = {
        {-5300, "MO=530%"}, {-53, "MO=5,3%"}, {10, "MO=-1%"}};
    for (const auto& [total, text] : cases) {
        table.Hands.clear();
        check.Settings().HandCount = "1000";
        Play(999, 0);
        table.Hands.push_back({total});
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
    // The 97,5 % point of the normal distribution.
    const double z = 1.959963984540054;
    const TCase cases[] = {
        // Mean -0,3; the deviations 1,5, -1,5, 0,5, -0,5 and 0 square to 5 in all; over 4
        // degrees of freedom the variance is 1,25, the mean's variance 1,25 / 5 = 0,25, its
        // standard error 0,5. z of them is 0,98: the player's result lies in about
        // -0,3 ± 0,98 = -1,28 .. 0,68 a hand, his loss in -68 % .. 128 %.
        {{1.2, -1.8, 0.2, -0.8, -0.3}, 0.5, 30 - 100 * z * 0.5, 30 + 100 * z * 0.5, "MO=30%"},
        // Mean 0,5; four deviations of 1,5 square to 9, the variance is 9 / 3 = 3, the standard
        // error sqrt(3 / 4) = 0,866...; the loss lies in -50 ∓ 100 z × 0,866... %.
        {{2, -1, 2, -1},
         std::sqrt(0.75),
         -50 - 100 * z * std::sqrt(0.75),
         -50 + 100 * z * std::sqrt(0.75),
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
        const TRunFigures& s = check.Figures();
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
        std::vector<std::int64_t>(check.HandResults().begin(), check.HandResults().begin() + 5),
        (std::vector<std::int64_t>{1, -2, 3, 2, 0}));  // rounded, halves to even
    check.Settings().HandCount = "2";
    table.Hands = {{4}, {4}};
    check.RunSimulation();
    EXPECT_EQ(
        std::vector<std::int64_t>(check.HandResults().begin(), check.HandResults().begin() + 4),
        (std::vector<std::int64_t>{4, 4, 3, 2}));
    // The bank looks at no entry of an older run, whatever the field says.
    check.Settings().HandCount = "4";
    check.ComputeBank();
    EXPECT_EQ(check.View().BankText, "0 ANTE");
}

TEST_F(ProfitCheck, StopEndsTheRunInTheIdleLayoutWithTheFiguresOfTheHandsPlayed) {
    check.Settings().HandCount = "100";
    table.Hands = {{1}, {-4}};
    Play(98, 1);
    check.Progressed = [&] {
        if (check.Running() && check.Figures().Hands == 2) check.StopSimulation();
    };
    check.RunSimulation();
    EXPECT_EQ(check.LastRunEnd(), TRunEnd::Stopped);
    EXPECT_EQ(beeps, 1);
    ExpectIdle();
    // The MO of the two hands played (-3 antes), not of the hundred the field asks for.
    EXPECT_EQ(check.View().MoText, "MO=150%");
    EXPECT_TRUE(check.View().MoVisible);
    EXPECT_EQ(check.View().Message, "Расчет остановлен кнопкой \"СТОП\"; сыграно раздач: 2.");
    EXPECT_EQ(check.View().StatsColumns[0], "0\r0\r0\r0\r0\r0\r0\r0\r0\r0\r2");
    check.ComputeBank();
    EXPECT_EQ(check.View().BankText, "4 ANTE");
}

TEST_F(ProfitCheck, MoDividesByTheHandsPlayedWhateverTheFieldSaysAtTheEnd) {
    check.Settings().HandCount = "200";
    Play(200, -1);
    check.Progressed = [&] {
        if (check.Running()) check.Settings().HandCount = "1";
    };
    check.RunSimulation();
    EXPECT_EQ(check.LastRunEnd(), TRunEnd::Completed);
    EXPECT_EQ(check.Figures().Hands, 200);
    EXPECT_EQ(check.View().MoText, "MO=100%");
}

TEST_F(ProfitCheck, WithoutAGameTheRunEndsAtOnceWithAMessage) {
    table.Chosen = false;
    check.RunSimulation();
    EXPECT_EQ(table.Played, 0);
    EXPECT_EQ(check.LastRunEnd(), TRunEnd::NoGame);
    EXPECT_EQ(beeps, 1);
    ExpectIdle();
    EXPECT_NE(check.View().Message.find("Игра не выбрана"), std::string::npos);
    EXPECT_FALSE(check.View().MoVisible);
}

TEST_F(ProfitCheck, ALargeLossIsAResultAndOnlyAHandWithoutOneEndsTheRun) {
    check.Settings().HandCount = "300";
    Play(300, -10);  // a bet of 10 antes lost, hand after hand
    check.RunSimulation();
    EXPECT_EQ(check.LastRunEnd(), TRunEnd::Completed);
    EXPECT_EQ(check.View().MoText, "MO=1000%");

    table.Hands.assign(10, {1});
    table.Hands[6].Settled = false;
    check.RunSimulation();
    EXPECT_EQ(check.LastRunEnd(), TRunEnd::Unsettled);
    ExpectIdle();
    EXPECT_EQ(check.Figures().Hands, 6);
    EXPECT_EQ(check.View().MoText, "MO=-100%");
    EXPECT_EQ(check.View().Message,
              "Раздача № 7 не доиграна: ее результат не подсчитан. Расчет остановлен; сыграно "
              "раздач: 6.");
}

TEST_F(ProfitCheck, AnErrorInsideAHandEndsTheRunWithItsMessage) {
    check.Settings().HandCount = "10";
    table.Hands.assign(10, {2});
    table.Hands[3].Error = "'abc' is not a valid integer value";
    check.RunSimulation();
    EXPECT_EQ(check.LastRunEnd(), TRunEnd::Failed);
    ExpectIdle();
    EXPECT_EQ(check.Figures().Hands, 3);
    EXPECT_EQ(check.View().Message,
              "Расчет прерван ошибкой в раздаче № 4: 'abc' is not a valid integer value; "
              "сыграно раздач: 3.");
    EXPECT_TRUE(check.View().StatisticsVisible);
}

TEST_F(ProfitCheck, CyclesEndAtTheirLimitsAndTheRunAtTheTotalLimits) {
    check.Settings().HandCount = "1000";
    check.Settings().CyclesMode = true;
    // Four cycles lose 30 each; the hand that ends a cycle is not recorded.
    Play(1000, -3);
    check.RunSimulation();
    EXPECT_EQ(check.View().CycleCountText, "4");
    EXPECT_EQ(check.View().CyclesTotalText, "-120");
    // The total limit is tested after every hand, so the first hand of the fifth cycle ends it.
    EXPECT_EQ(check.LastRunEnd(), TRunEnd::CyclesLimit);
    EXPECT_EQ(check.Figures().Hands, 41);
    EXPECT_EQ(beeps, 0);
    ExpectIdle();
    EXPECT_NE(check.View().Message.find("циклы вместе достигли предела"), std::string::npos);
    // The MO is that of the whole run: 41 hands that lost 3 antes each.
    EXPECT_EQ(check.View().MoText, "MO=300%");

    // Without cycles the cycle labels are cleared.
    check.Settings().CyclesMode = false;
    check.Settings().HandCount = "5";
    check.RunSimulation();
    EXPECT_FALSE(check.View().CycleLabelsVisible);
    EXPECT_EQ(check.View().CycleCountText, "");
    EXPECT_EQ(check.View().CyclesTotalText, "");
}

TEST_F(ProfitCheck, TheMoOfACyclesRunCountsEveryCycle) {
    check.Settings().HandCount = "10";
    check.Settings().CyclesMode = true;
    check.Settings().CycleWinTarget = "5";
    check.Settings().CycleLossLimit = "-100";
    check.Settings().TotalWinLimit = "1000";
    // Cycle 1: hands 1..5 win 1 each (the fifth ends it). Cycle 2: ten hands of 0 complete it.
    Play(5, 1);
    Play(10, 0);
    check.RunSimulation();
    EXPECT_EQ(check.LastRunEnd(), TRunEnd::Completed);
    EXPECT_EQ(check.CycleCount(), 1);
    EXPECT_EQ(check.Figures().Hands, 15);
    EXPECT_EQ(check.View().MoText, "MO=-33,3%");  // 5 antes over 15 hands
    EXPECT_EQ(check.View().RunTotalText, "0");    // the last cycle's own total
}

TEST_F(ProfitCheck, FractionalCycleTotalsStayExact) {
    check.Settings().HandCount = "1000";
    check.Settings().CyclesMode = true;
    Play(1000, -4.2);  // 8 hands lose 33,6
    check.RunSimulation();
    EXPECT_EQ(check.View().CyclesTotalText, "-134,4");
    EXPECT_EQ(check.View().CycleCountText, "4");
}

TEST_F(ProfitCheck, ACycleThatNeverReachesItsLimitsEndsWithTheSummary) {
    check.Settings().HandCount = "10";
    check.Settings().CyclesMode = true;
    Play(10, 1);
    check.RunSimulation();
    EXPECT_EQ(check.View().MoText, "MO=-100%");
    EXPECT_EQ(check.View().CycleCountText, "");
}

// Cycles whose limits are never reached together end at the most cycles or hands a run plays,
// with an end of their own and the figures of what was played.
TEST_F(ProfitCheck, CyclesThatNeverReachTheTotalLimitsEndAtTheCap) {
    struct TCase {
        double Result;  // of every hand
        std::int64_t MaxCycles;
        std::int64_t MaxHands;
        std::int64_t Hands;  // played when the run ends
    };
    for (const TCase& c : {TCase{1, 50, TProfitCheck::kMaxCycleHands, 51},
                           TCase{1, TProfitCheck::kMaxCycles, 23, 23}}) {
        table.Hands.clear();
        Play(1000, c.Result);
        check.Settings().HandCount = "1000";
        check.Settings().CyclesMode = true;
        check.Settings().CycleWinTarget = "1";
        check.Settings().CycleLossLimit = "-1";
        check.Settings().TotalLossLimit = "-1000000000";
        check.Settings().TotalWinLimit = "1000000000";
        check.MaxCycles = c.MaxCycles;
        check.MaxCycleHands = c.MaxHands;
        check.RunSimulation();
        EXPECT_EQ(check.LastRunEnd(), TRunEnd::CyclesCap) << c.MaxCycles;
        EXPECT_EQ(check.Figures().Hands, c.Hands) << c.MaxCycles;
        EXPECT_NE(check.View().Message.find("пределы циклов не достигнуты"), std::string::npos)
            << check.View().Message;
        EXPECT_TRUE(check.View().MoVisible);
        ExpectIdle();
    }
}

TEST_F(ProfitCheck, UnusableSettingsAreRefusedWithAMessageInTheIdleLayout) {
    struct TCase {
        std::string TRunSettings::*Field;
        std::string Value;
        std::string Message;
    };
    const std::string range = "колличество циклов должно быть от 1 до 1000000";
    const std::vector<TCase> cases = {
        {&TRunSettings::HandCount, "0", range},
        {&TRunSettings::HandCount, "-5", range},
        {&TRunSettings::HandCount, "1000001", range},
        {&TRunSettings::HandCount, "abc",
         "Расчет не начат: в поле «колличество циклов» стоит «abc», а нужно целое число"},
        {&TRunSettings::HandCount, "",
         "Расчет не начат: в поле «колличество циклов» ничего нет, а нужно целое число"},
        {&TRunSettings::HandCount, "99999999999",
         "Расчет не начат: в поле «колличество циклов» стоит «99999999999» — целое число, но "
         "слишком большое: наибольшее 2147483647"},
        {&TRunSettings::TotalLossLimit, "x1",
         "Расчет не начат: в поле предела «общий проигрыш» стоит «x1», а нужно целое число"},
        {&TRunSettings::Seed, "-3",
         "Расчет не начат: зерно \"-3\" — нужно целое число от 0 до 18446744073709551615"},
        {&TRunSettings::BankrollHands, "0",
         "Расчет не начат: раздач за столом \"0\" — нужно целое число от 1 или пустое поле"},
    };
    for (const TCase& c : cases) {
        check.Settings() = {};
        check.Settings().CyclesMode = true;  // the limits are read only in cycles
        check.Settings().*c.Field = c.Value;
        check.RunSimulation();
        EXPECT_EQ(check.LastRunEnd(), TRunEnd::Refused) << c.Message;
        EXPECT_EQ(check.View().Message, c.Message);
        EXPECT_EQ(table.Played, 0) << c.Message;
        EXPECT_FALSE(check.View().MoVisible);
        ExpectIdle();
    }
}

TEST_F(ProfitCheck, HandsAreTakenInTheirOrderWhateverTheWorkers) {
    // Results that depend on the hand's number, with costs and categories, in cycles.
    for (int i = 0; i < 3000; ++i) {
        table.Hands.push_back({static_cast<double>((i * 7919) % 11) - 5.5, i % 3 == 0 ? 1.2F : 0.0F,
                               i % 2 == 0 ? ckPair : ckFlush, 3.0 + (i % 3 == 0 ? 1.2 : 0)});
    }
    const auto run = [&](int threads, bool cycles) {
        check.Settings() = {};
        check.Settings().HandCount = "700";
        check.Settings().CyclesMode = cycles;
        check.Settings().Threads = threads;
        check.RunSimulation();
        return std::tuple{check.Figures().Total,      check.Figures().MoLow,
                          check.View().StatsColumns,  check.CycleCount(),
                          check.CyclesTotal(),        check.Path().Points(),
                          check.Figures().Bankroll99, check.RunWorkers()};
    };
    for (bool cycles : {false, true}) {
        const auto one = run(1, cycles);
        EXPECT_EQ(std::get<7>(one), 1);
        for (int threads : {2, 3, 8}) {
            auto many = run(threads, cycles);
            EXPECT_EQ(std::get<7>(many), threads);
            std::get<7>(many) = 1;
            EXPECT_EQ(many, one) << threads << " threads, cycles " << cycles;
        }
    }
    // The fixed series and a table that allows one worker get one.
    table.Series = true;
    check.Settings().Threads = 4;
    check.RunSimulation();
    EXPECT_EQ(check.RunWorkers(), 1);
    table.Series = false;
    table.Workers = 1;
    check.RunSimulation();
    EXPECT_EQ(check.RunWorkers(), 1);
}

TEST_F(ProfitCheck, FixedCardsAreNamedAndCanBeReleased) {
    EXPECT_EQ(check.FixedCardsNotice(), "");
    table.Fix({{"A черви", "K пик"}, {"2 треф"}});
    EXPECT_EQ(check.FixedCardsNotice(),
              "Раздачи идут с фиксированными картами (\"ФИКС\" в окне раскладов): игрок — A "
              "черви, K пик; дилер — 2 треф");
    table.Fix({{}, {"2 треф"}});
    EXPECT_EQ(check.FixedCardsNotice(),
              "Раздачи идут с фиксированными картами (\"ФИКС\" в окне раскладов): дилер — 2 треф");
    check.ReleaseFixedCards();
    EXPECT_EQ(check.FixedCardsNotice(), "");
}

TEST(ProbabilisticCyclesWarning, WarnsBelowOneAndForTextThatIsNoNumber) {
    EXPECT_EQ(ProbabilisticCyclesWarning(""), "");
    EXPECT_EQ(ProbabilisticCyclesWarning("2000"), "");
    EXPECT_EQ(ProbabilisticCyclesWarning("1"), "");
    for (const char* below : {"0", "-1", "-3000"})
        EXPECT_EQ(ProbabilisticCyclesWarning(below),
                  "меньше 1: ходы с розыгрышами оцениваются неверно");
    EXPECT_EQ(ProbabilisticCyclesWarning("abc"),
              "не целое число: решение с розыгрышами остановится");
}

}  // namespace
}  // namespace studlab
