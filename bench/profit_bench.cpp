// The profitability run: hands per second, memory, and the simulated MO of the default design
// against an independent estimate from the evaluator.
//   studlab-bench --benchmark_filter=Profit
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cmath>

#include "cards/evaluator.h"
#include "design/design_rules.h"
#include "profit/game.h"
#include "table/choice_codes.h"

namespace studlab {
namespace {

struct TDefaultGame : TGame {
    TDefaultGame() {
        Settings.SameSequence = true;
        Table.SetGameName("bench");
        Table.SelectGame(std::nullopt);
    }
};

double PeakResidentMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// 100,000 hands of the default design, as "расчет" plays them.
void BM_ProfitRun_100000Hands(benchmark::State& state) {
    for (auto _ : state) {
        TDefaultGame game;
        TProfitCheck& check = game.Profit;
        check.Settings().HandCount = "100000";
        check.RunSimulation();
        state.counters["MO_percent"] = check.Summary().MoPercent;
        state.counters["MO_95_low"] = check.Summary().MoLow;
        state.counters["MO_95_high"] = check.Summary().MoHigh;
    }
    state.counters["hands_per_second"] = benchmark::Counter(
        100000.0 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["peak_rss_MB"] = PeakResidentMegabytes();
}
BENCHMARK(BM_ProfitRun_100000Hands)->Unit(benchmark::kSecond)->Iterations(1);

// The exact expected result of the engine's own strategy on random first layouts: the stage-1
// choice; a bet is worth its plain-bet value; after a bought card, the better of folding and
// betting for each card that may arrive, averaged over them. The mean over the layouts estimates
// the MO independently of the random deal, the continuation and the settlement.
void BM_ProfitEstimate_FromTheEvaluator(benchmark::State& state) {
    constexpr int kDeals = 20000;
    for (auto _ : state) {
        TDefaultGame game;
        TRandomGenerator random(12345);
        const TEvalRules rules = MakeEvalRules(game.Design, game.Settings);
        const float buyCost = 1.2F;
        long double sum = 0;
        long double sumSquares = 0;
        for (int deal = 0; deal < kDeals; ++deal) {
            game.Table.NewLayout();
            while (!game.Table.View().DecideVisible) {
                const TCardId id = static_cast<TCardId>(random.Below(kCards)) + 1;
                if (game.Table.State().PlaceOf(id).InDeck()) game.Table.ClickCard(id);
            }
            game.Table.Decide();
            const TTableState& s = game.Table.State();
            const TEvalLayout layout{s.PlayerCards, s.DealerCards, s.PlayerCards | s.DealerCards,
                                     0.0F};
            long double value = -1;
            if (s.Choice1 == kBetCode) {
                value = EvaluateLayout(rules, layout, kModeBet).Value / 10000.0L;
            } else if (s.Choice1 == kBuyCardCode) {
                long double buy = 0;
                int arrivals = 0;
                layout.Seen.Complement().ForEach([&](TCardId id) {
                    TEvalLayout with = layout;
                    with.Player.Add(id);
                    with.Seen.Add(id);
                    with.ExtraStake = buyCost;
                    const long double bet = EvaluateLayout(rules, with, kModeBet).Value / 10000.0L;
                    buy += std::max(bet, -1.0L - buyCost);
                    ++arrivals;
                });
                value = buy / arrivals;
            }
            sum += value;
            sumSquares += value * value;
        }
        const long double mean = sum / kDeals;
        const long double se = std::sqrt((sumSquares / kDeals - mean * mean) / (kDeals - 1));
        state.counters["MO_percent"] = static_cast<double>(-mean * 100);
        state.counters["MO_95_low"] = static_cast<double>(-(mean + 1.96L * se) * 100);
        state.counters["MO_95_high"] = static_cast<double>(-(mean - 1.96L * se) * 100);
    }
}
BENCHMARK(BM_ProfitEstimate_FromTheEvaluator)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace
}  // namespace studlab
