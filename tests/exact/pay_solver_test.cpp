#include "profit/exact/pay_solver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

#include "profit/exact/hand_play.h"
#include "support/small_designs.h"

namespace studlab {
namespace {

using enum TCombinationKind;

using testing::FoldOrBet;

long double ExactMo(const TGameDesign& design) {
    return FiguresOf(testing::Analyse(design)).MoPercent;
}

const std::vector<std::string> kFlushStraight = {"PayQualified[ckFlush]",
                                                 "PayQualified[ckStraight]"};

// Every pay table of a small grid analysed one by one: the solver must choose the one whose MO
// is closest to the target, with fewer analyses than the grid has tables, and every figure it
// reports must be that of a whole analysis.
TEST(PaySolver, ChoosesWhatABruteForceOverTheGridChooses) {
    const TGameDesign design = FoldOrBet();
    std::map<std::pair<double, double>, long double> mo;  // (flush, straight) -> MO
    for (double flush : {8.0, 9.0, 10.0}) {
        for (double straight : {8.0, 9.0, 10.0}) {
            if (straight > flush) continue;
            mo[{flush, straight}] = ExactMo(WithPayouts(design, kFlushStraight, {flush, straight}));
        }
    }
    ASSERT_EQ(mo.size(), 6U);
    // Aim just beside one table that is not the design's nearest, so that one answer is right.
    const long double target = mo[{10.0, 8.0}] + 0.00003L;
    std::pair<double, double> closest;
    long double best = 1e9;
    for (const auto& [table, value] : mo) {
        if (std::fabs(value - target) < best) {
            best = std::fabs(value - target);
            closest = table;
        }
    }

    TPaySolverRequest request;
    request.Fields = kFlushStraight;
    request.TargetMoPercent = static_cast<double>(target);
    request.Step = 1;
    request.Min = 8;
    request.Max = 10;
    request.TolerancePercent = 0;
    const TPaySolution s = SolvePayouts(design, TCalculationSettings{}, request, {});
    EXPECT_EQ(s.Candidates, 6);
    ASSERT_TRUE(s.Chosen);
    EXPECT_TRUE(s.Converged());
    const TPayTrial& chosen = s.Trials[*s.Chosen];
    EXPECT_EQ(chosen.Payouts, (std::vector<double>{closest.first, closest.second}));
    // The design itself (flush 11) lies outside the bounds: analysed, never chosen.
    EXPECT_FALSE(s.Trials.front().Candidate);
    EXPECT_LT(s.Trials.size(), mo.size() + 1);
    for (const TPayTrial& t : s.Trials) {
        if (!t.Candidate) continue;
        EXPECT_EQ(t.MoPercent, (mo[{t.Payouts[0], t.Payouts[1]}]));
        EXPECT_GT(t.HitFrequencyPercent, 30);
        EXPECT_LT(t.HitFrequencyPercent, 70);
        // Folding or betting on the best value: the recommended play is the best one.
        EXPECT_NEAR(static_cast<double>(t.BestMoPercent), static_cast<double>(t.MoPercent), 1e-9);
    }
}

// The target is the MO of a table in which the flush pays more than the full house: the solver
// may not take it, however close its MO, and every table it tries keeps the order.
TEST(PaySolver, AStrongerCombinationNeverPaysLessThanAWeakerOne) {
    const TGameDesign design = FoldOrBet();
    const std::vector<std::string> fields = {"PayQualified[ckFullHouse]", "PayQualified[ckFlush]"};
    const long double outOfOrder = ExactMo(WithPayouts(design, fields, {0, 12}));

    TPaySolverRequest request;
    request.Fields = fields;
    request.TargetMoPercent = static_cast<double>(outOfOrder);
    request.Step = 4;
    request.Min = 0;
    request.Max = 12;
    request.TolerancePercent = 0;
    const TPaySolution s = SolvePayouts(design, TCalculationSettings{}, request, {});
    EXPECT_EQ(s.Candidates, 10);  // of 4 x 4 tables, those with the full house paying as much
    ASSERT_TRUE(s.Chosen);
    for (const TPayTrial& t : s.Trials) {
        if (t.Candidate) {
            EXPECT_GE(t.Payouts[0], t.Payouts[1]);
        }
    }
    const TPayTrial& c = s.Trials[*s.Chosen];
    EXPECT_GE(c.Payouts[0], c.Payouts[1]);
    EXPECT_NE(c.MoPercent, outOfOrder);

    // Payouts of different kinds (paid with and without a dealer's game) are not ordered.
    TPaySolverRequest mixed = request;
    mixed.Fields = {"PayQualified[ckFlush]", "PayNotQualified[ckFullHouse]"};
    EXPECT_EQ(CountPayTables(design, TCalculationSettings{}, mixed), 16);
}

TEST(PaySolver, RefusesRequestsItCannotServe) {
    const TGameDesign design = FoldOrBet();
    const TCalculationSettings settings;
    const auto refused = [&](TPaySolverRequest r) {
        EXPECT_THROW(CountPayTables(design, settings, r), TPaySolverError);
    };
    TPaySolverRequest good;
    good.Fields = kFlushStraight;
    EXPECT_GT(CountPayTables(design, settings, good), 0);

    TPaySolverRequest r = good;
    r.Fields = {};
    refused(r);
    r.Fields = {"BetSize"};
    refused(r);
    r.Fields = {"PayQualified[ckFlush]", "PayQualified[ckFlush]"};
    refused(r);
    r = good;
    r.Min = 5;
    r.Max = 4;
    refused(r);
    r.Min = 4.2;
    r.Max = 4.4;  // no multiple of 0,5 between
    refused(r);
    r = good;
    r.Step = 0;
    refused(r);
    r = good;
    r.Fields = {"PayQualified[ckRoyalFlush]", "PayQualified[ckStraightFlush]",
                "PayQualified[ckFourOfAKind]", "PayQualified[ckFullHouse]",
                "PayQualified[ckFlush]"};
    refused(r);  // billions of tables between 0 and 200
    r = good;
    r.MaxRuns = 0;
    refused(r);

    TCalculationSettings boxes;
    boxes.PlayingBoxes = "2";
    EXPECT_THROW(SolvePayouts(design, boxes, good, {}), TExactRefusal);
}

// The pair's and the ace-king's payouts move the play: paid less, the small pairs and the
// ace-kings fold. A foresight from one analysis then misses, and the solver must still find the
// table a brute force over the grid finds, then stop by itself, with fewer analyses than the grid
// has tables, every figure its own analysis's.
TEST(PaySolver, WhereThePayoutsMoveThePlayItFindsTheClosestTableAndStops) {
    const TGameDesign design = FoldOrBet();
    const std::vector<std::string> fields = {"PayQualified[ckPair]", "PayQualified[ckAceKing]"};
    std::map<std::pair<double, double>, long double> mo;  // (pair, ace-king) -> MO
    for (double pair = 0; pair <= 2; pair += 0.5) {
        for (double aceKing = 0; aceKing <= pair; aceKing += 0.5)
            mo[{pair, aceKing}] = ExactMo(WithPayouts(design, fields, {pair, aceKing}));
    }
    ASSERT_EQ(mo.size(), 15U);
    // Targets beside tables far from the design (pair and ace-king 3), between two tables, and
    // beyond the grid's reach.
    const std::vector<long double> targets = {
        mo[{0.0, 0.0}] - 0.001L,
        mo[{2.0, 0.5}] + 0.0004L,
        (mo[{1.0, 1.0}] + mo[{1.5, 0.0}]) / 2 + 0.0001L,
        mo[{0.5, 0.5}] + 0.0002L,
        -50,
    };
    bool playMoved = false;
    for (const long double target : targets) {
        SCOPED_TRACE(static_cast<double>(target));
        // The closest MO; of equal ones (the ace-kings fold alike at 0 and 0,5) the table nearest
        // the design's 3 and 3.
        std::pair<double, double> closest;
        std::pair<long double, double> best{1e9, 0};
        for (const auto& [table, value] : mo) {
            const std::pair<long double, double> key{
                std::fabs(value - target),
                (table.first - 3) * (table.first - 3) + (table.second - 3) * (table.second - 3)};
            if (key < best) {
                best = key;
                closest = table;
            }
        }
        TPaySolverRequest request;
        request.Fields = fields;
        request.TargetMoPercent = static_cast<double>(target);
        request.Step = 0.5;
        request.Min = 0;
        request.Max = 2;
        request.TolerancePercent = 0;
        request.MaxRuns = 16;
        const TPaySolution s = SolvePayouts(design, TCalculationSettings{}, request, {});
        ASSERT_TRUE(s.Chosen);
        EXPECT_EQ(s.Trials[*s.Chosen].Payouts,
                  (std::vector<double>{closest.first, closest.second}));
        EXPECT_EQ(s.Stop, TPaySolverStop::psNoneForeseenCloser);
        EXPECT_TRUE(s.Converged());
        EXPECT_LT(s.Trials.size(), mo.size());
        EXPECT_FALSE(s.Trials.front().Candidate);
        for (std::size_t i = 0; i < s.Trials.size(); ++i) {
            const TPayTrial& t = s.Trials[i];
            if (t.Candidate) {
                EXPECT_EQ(t.MoPercent, (mo[{t.Payouts[0], t.Payouts[1]}]));
            }
            // A table is analysed once.
            for (std::size_t j = 0; j < i; ++j) EXPECT_NE(t.Payouts, s.Trials[j].Payouts);
            if (t.PredictedMoPercent && std::fabs(*t.PredictedMoPercent - t.MoPercent) > 1e-6L)
                playMoved = true;
        }
        long double largest = 0;
        for (const TPayTrial& t : s.Trials) {
            if (t.PredictedMoPercent)
                largest = std::max(largest, std::fabs(*t.PredictedMoPercent - t.MoPercent));
        }
        EXPECT_EQ(s.LargestMissPercent, largest);
    }
    EXPECT_TRUE(playMoved);
}

// A varied payout that a composite pay that is on also pays is named in a warning: the return
// table gives the wins of the composite no weight. Only a composite with the payout's kind, on,
// both its kinds playing, and only for a payout against a dealer with a game.
TEST(PaySolver, WarnsOfAVariedPayoutThatACompositePayAlsoPays) {
    constexpr int kStraightFlushAndFlush = 6;  // "стритфлеш+флеш"
    struct TCase {
        std::vector<std::string> Fields;
        bool CompositeOn;
        bool FlushPlays;
        bool Warned;
    };
    const std::vector<TCase> cases = {
        {{"PayQualified[ckFlush]"}, true, true, true},
        {{"PayQualified[ckStraight]", "PayQualified[ckStraightFlush]"}, true, true, true},
        {{"PayQualified[ckStraight]"}, true, true, false},
        {{"PayNotQualified[ckFlush]"}, true, true, false},
        {{"PayQualified[ckFlush]"}, false, true, false},
        {{"PayQualified[ckStraightFlush]"}, true, false, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Fields.back());
        TGameDesign design = FoldOrBet();
        design.CompositePlays[kStraightFlushAndFlush] = c.CompositeOn;
        design.Plays[ckFlush] = c.FlushPlays;
        TPaySolverRequest request;
        request.Fields = c.Fields;
        request.MaxRuns = 1;
        const TPaySolution s = SolvePayouts(design, TCalculationSettings{}, request, {});
        ASSERT_EQ(s.Warnings.size(), c.Warned ? 1U : 0U);
        if (c.Warned) {
            const std::string text = WarningText(s.Warnings[0]);
            EXPECT_EQ(s.Warnings[0].Field, c.Fields.back()) << text;
            EXPECT_NE(text.find("стритфлеш+флеш"), std::string::npos) << text;
        }
    }
}

// The insured bet moves an insurable payout into the insured amount, which the return table's
// weights do not see either: warned only when the bet is offered and a varied kind is insurable.
TEST(PaySolver, WarnsOfInsurablePayoutsWhenTheInsuredBetIsOffered) {
    struct TCase {
        bool Offered;
        bool FlushInsurable;
        bool Warned;
    };
    for (const TCase& c : {TCase{true, true, true}, TCase{true, false, false},
                           TCase{false, true, false}}) {
        SCOPED_TRACE(std::to_string(c.Offered) + std::to_string(c.FlushInsurable));
        TGameDesign design = FoldOrBet();
        design.SetAllows(1, TPlayerAction::paBetInsured, c.Offered);
        design.Insurable[ckFlush] = c.FlushInsurable;
        TPaySolverRequest request;
        request.Fields = {"PayQualified[ckFlush]"};
        request.MaxRuns = 1;
        const TPaySolution s = SolvePayouts(design, TCalculationSettings{}, request, {});
        EXPECT_EQ(s.InsuredPayoutsVaried, c.Warned);
    }
}

TEST(PaySolver, AStopEndsTheSearchWithoutAChoice) {
    std::atomic<bool> stop{true};
    TExactRunOptions run;
    run.Stop = &stop;
    TPaySolverRequest request;
    request.Fields = kFlushStraight;
    const TPaySolution s = SolvePayouts(FoldOrBet(), TCalculationSettings{}, request, run);
    EXPECT_TRUE(s.Cancelled());
    EXPECT_FALSE(s.Chosen);
    EXPECT_TRUE(s.Trials.empty());
}

}  // namespace
}  // namespace studlab

namespace studlab {
namespace {

using testing::FoldOrBet;

// The table maximum caps a win against a dealer with a game, not the payout when he has none:
// a no-game payout beyond the maximum is foreseen in full. A flush always bets, so its no-game
// payout moves the MO linearly and the foresight must meet the analysis exactly.
TEST(PaySolver, ANoGamePayoutBeyondTheTableMaximumIsForeseenInFull) {
    TCalculationSettings settings;
    settings.TableMaximum = "100";
    TPaySolverRequest request;
    request.Fields = {"PayNotQualified[ckFlush]"};
    request.TargetMoPercent = -1000;  // as much as the grid allows
    request.Step = 150;
    request.Min = 0;
    request.Max = 300;
    request.TolerancePercent = 0;
    const TPaySolution s = SolvePayouts(FoldOrBet(), settings, request, {});
    ASSERT_GE(s.Trials.size(), 2U);
    const TPayTrial& second = s.Trials[1];
    EXPECT_EQ(second.Payouts, std::vector<double>{300});
    ASSERT_TRUE(second.PredictedMoPercent);
    EXPECT_NEAR(static_cast<double>(*second.PredictedMoPercent),
                static_cast<double>(second.MoPercent), 1e-9);
    EXPECT_TRUE(s.Converged());
}

}  // namespace
}  // namespace studlab
