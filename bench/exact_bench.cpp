// The exact analysis: whole runs of the fold-or-bet game and of the default game, and a timed
// sample of a game with exchanges of one to three cards, extrapolated to the whole run.
//   studlab-bench --benchmark_filter=Exact
// The default game's run takes minutes; BM_ExactAnalysis_FoldOrBet takes seconds.
#include <benchmark/benchmark.h>

#include <thread>

#include "design/design_fields.h"
#include "profit/exact/exact_figures.h"
#include "profit/exact/exact_run.h"
#include "profit/exact/hand_play.h"

namespace studlab {
namespace {

TExactGame GameOf(std::initializer_list<const char*> assignments) {
    TGameDesign design;
    TCalculationSettings settings;
    for (const char* a : assignments) SetDesignAssignment(design, settings, a);
    return TExactGame(design, settings);
}

void RunWhole(benchmark::State& state, const TExactGame& game) {
    const TLayoutClasses classes(game.DealerOpenCards());
    TExactRunOptions options;
    options.Threads = static_cast<int>(state.range(0));
    for (auto _ : state) {
        const TExactRunResult r = RunExactAnalysis(
            classes, [&game] { return game.NewPlay(); }, options);
        const TExactFigures f = FiguresOf(r.Sums);
        state.counters["MO_percent"] = static_cast<double>(f.MoPercent);
        state.counters["classes_per_second"] = static_cast<double>(r.Sums.Classes) / r.Seconds;
        state.counters["threads"] = r.Threads;
    }
}

// Folding or betting against one open dealer card: 5,649,150 classes.
void BM_ExactAnalysis_FoldOrBet(benchmark::State& state) {
    RunWhole(state, GameOf({"StageActions[1][paBuyCard]=NO"}));
}
BENCHMARK(BM_ExactAnalysis_FoldOrBet)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();

// The default game: a card may be bought at the first decision, then fold or bet.
void BM_ExactAnalysis_DefaultDesign(benchmark::State& state) {
    RunWhole(state, GameOf({}));
}
BENCHMARK(BM_ExactAnalysis_DefaultDesign)
    ->Arg(2)
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();

// Exchanges of one, two and three cards at the first decision: a sample of classes spread over
// them all, on one thread, and the whole run's time on this machine's cores at that pace.
void BM_ExactAnalysis_ExchangesSample(benchmark::State& state) {
    TExactGame game =
        GameOf({"StageActions[1][paExchange1]=YES", "StageActions[1][paExchange2]=YES",
                "StageActions[1][paExchange3]=YES"});
    game.SetWithBestPlay(state.range(0) != 0);
    const TLayoutClasses classes(game.DealerOpenCards());
    const std::int64_t sample = 40;
    const std::vector<TLayoutCursor> starts = classes.BatchStarts(classes.ClassCount() / sample);
    for (auto _ : state) {
        const std::unique_ptr<IClassPlay> play = game.NewPlay();
        TExactSums sums;
        const auto began = std::chrono::steady_clock::now();
        for (std::int64_t i = 0; i < sample; ++i) {
            classes.Visit(starts[static_cast<std::size_t>(i)], 1,
                          [&](const TLayoutClass& layout) { play->Play(layout, sums); });
        }
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
        const double perClass = seconds / static_cast<double>(sample);
        const double cores = std::max(1U, std::thread::hardware_concurrency());
        state.counters["seconds_per_class"] = perClass;
        state.counters["cpu_hours_whole_run"] =
            perClass * static_cast<double>(classes.ClassCount()) / 3600;
        state.counters["hours_on_this_machine"] =
            perClass * static_cast<double>(classes.ClassCount()) / cores / 3600;
        state.counters["minutes_on_32x64_cores"] =
            perClass * static_cast<double>(classes.ClassCount()) / (32 * 64) / 60;
    }
}
BENCHMARK(BM_ExactAnalysis_ExchangesSample)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();

}  // namespace
}  // namespace studlab
