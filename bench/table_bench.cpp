// What a press of "РЕШЕНИЕ" and a random hand cost at the decision table.
//   studlab-bench --benchmark_filter='Decide|RandomHand'
#include <benchmark/benchmark.h>

#include <filesystem>

#include "cards/card_list.h"
#include "support/test_game.h"

namespace studlab {
namespace {

using enum TPlayerAction;

// A table with a game chosen over the given design (already in place), the stage-1 layout entered.
struct TLaidOutTable : testing::TTestGame {
    explicit TLaidOutTable(const TGameDesign& design) {
        Design = design;
        Table.SetGameName("bench");
        Table.SelectGame(std::nullopt);
        for (TCardId id : ParseCardList("2s Ah Ac Kd 9s 7h")) Table.ClickCard(id);
    }
};

void BM_Decide_DefaultDesign_Stage1(benchmark::State& state) {
    TLaidOutTable t{TGameDesign{}};
    for (auto _ : state) t.Table.Decide();
    state.counters["evaluations"] = benchmark::Counter(
        static_cast<double>(t.Table.EvaluatorCalls()), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_Decide_DefaultDesign_Stage1)->Unit(benchmark::kMicrosecond);

// Buying one and two cards and every exchange, all by the direct method where it applies.
void BM_Decide_EveryStage1Action_Direct(benchmark::State& state) {
    TGameDesign design;
    for (TPlayerAction a : {paBetInsured, paBuyTwoCards, paExchange1, paExchange2, paExchange3,
                            paExchange4, paExchange5}) {
        design.SetAllows(1, a, true);
    }
    TLaidOutTable t{design};
    for (auto _ : state) t.Table.Decide();
    state.counters["evaluations"] = benchmark::Counter(
        static_cast<double>(t.Table.EvaluatorCalls()), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_Decide_EveryStage1Action_Direct)->Unit(benchmark::kMillisecond);

// The design of exchanging one to three cards at the first decision, on the layout dealer 3♦,
// player Q♣ 10♣ 7♥ 6♠ 3♣: 10 + 10 + 5 exchanges valued over every arrival. Argument 1 values
// each arrival by the best decision after it.
void BM_Decide_Exchanges123_Stage1(benchmark::State& state) {
    TGameDesign design;
    for (TPlayerAction a : {paExchange1, paExchange2, paExchange3}) {
        design.SetAllows(1, a, true);
    }
    testing::TTestGame game;
    game.Design = design;
    game.Settings.LookAhead = state.range(0) != 0;
    game.Table.SetGameName("bench");
    game.Table.SelectGame(std::nullopt);
    for (TCardId id : ParseCardList("3d Qc Tc 7h 6s 3c")) game.Table.ClickCard(id);
    for (auto _ : state) game.Table.Decide();
    state.counters["evaluations"] = benchmark::Counter(
        static_cast<double>(game.Table.EvaluatorCalls()), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_Decide_Exchanges123_Stage1)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The same design, each decision on a layout of its own (as in a simulation): the dealer's
// completions are tallied anew for every decision, which the decision above on one layout does
// only once. The layouts are fixed, so runs compare.
void BM_Decide_Exchanges123_Stage1_EachLayoutNew(benchmark::State& state) {
    TGameDesign design;
    for (TPlayerAction a : {paExchange1, paExchange2, paExchange3}) design.SetAllows(1, a, true);
    testing::TTestGame game;
    game.Design = design;
    game.Table.SetGameName("bench");
    game.Table.SelectGame(std::nullopt);
    const char* layouts[] = {"3d Qc Tc 7h 6s 3c", "Kh 2c 5d 9h Js 4s", "7s Ad 8c 8h 3d Tc",
                             "2h 4c 6d 9s Jc Kd", "Qs 3h 3s 7d 9c Ah", "9d 5c 6c 7c Jd 2s"};
    std::size_t next = 0;
    for (auto _ : state) {
        state.PauseTiming();
        game.Table.NewLayout();
        for (TCardId id : ParseCardList(layouts[next++ % std::size(layouts)])) {
            game.Table.ClickCard(id);
        }
        state.ResumeTiming();
        game.Table.Decide();
    }
}
BENCHMARK(BM_Decide_Exchanges123_Stage1_EachLayoutNew)->Unit(benchmark::kMillisecond);

void BM_RandomHand_DefaultDesign(benchmark::State& state) {
    testing::TTestGame game;
    game.Settings.SameSequence = true;
    game.Table.SetGameName("bench");
    game.Table.SelectGame(std::nullopt);
    for (auto _ : state) game.Table.RandomDeal();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RandomHand_DefaultDesign)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace studlab
