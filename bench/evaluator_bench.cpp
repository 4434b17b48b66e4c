// The evaluator's cost per call, and how it compares with ranking the dealer's completions one by
// one.
//   studlab-bench --benchmark_filter=Evaluate --benchmark_repetitions=9
//       --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <bit>
#include <chrono>
#include <vector>

#include "cards/card_list.h"
#include "cards/dealer_completions.h"
#include "cards/evaluator.h"
#include "design/design_rules.h"
#include "evaluator/reference_enumerator.h"

namespace studlab {
namespace {

TCardTable Cards(const char* text) {
    return TableOf(ParseCardList(text));
}

const TEvalRules& DefaultRules() {
    static const TEvalRules rules = MakeEvalRules(TGameDesign{}, TCalculationSettings{});
    return rules;
}

// Every draw of every three-card exchange of one hand against one open dealer card: the calls a
// decision makes for "поменять все, кроме ..." by the direct method, 10 x C(46, 3) layouts.
std::vector<TEvalLayout> ThreeCardExchangeDraws() {
    const TCardTable player = Cards("Ah Ac Kd 9s 7h");
    const TCardTable dealer = Cards("2s");
    const TCardTable seen = player | dealer;
    std::vector<TCardId> hand;
    std::vector<TCardId> unseen;
    player.ForEach([&](TCardId id) { hand.push_back(id); });
    seen.Complement().ForEach([&](TCardId id) { unseen.push_back(id); });
    std::vector<TEvalLayout> layouts;
    for (std::size_t k1 = 0; k1 < hand.size(); ++k1) {
        for (std::size_t k2 = k1 + 1; k2 < hand.size(); ++k2) {
            for (std::size_t a = 0; a < unseen.size(); ++a) {
                for (std::size_t b = a + 1; b < unseen.size(); ++b) {
                    for (std::size_t c = b + 1; c < unseen.size(); ++c) {
                        TEvalLayout layout{{}, dealer, seen, 0};
                        for (TCardId id : {hand[k1], hand[k2], unseen[a], unseen[b], unseen[c]}) {
                            layout.Player.Add(id);
                        }
                        layouts.push_back(layout);
                    }
                }
            }
        }
    }
    return layouts;
}

void BM_EvaluateLayout_ThreeCardExchangeDraws(benchmark::State& state) {
    static const std::vector<TEvalLayout> layouts = ThreeCardExchangeDraws();
    const TEvalRules& rules = DefaultRules();
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(EvaluateLayout(rules, layouts[next], kModeBet));
        if (++next == layouts.size()) next = 0;
    }
    state.counters["layouts"] = static_cast<double>(layouts.size());
}
BENCHMARK(BM_EvaluateLayout_ThreeCardExchangeDraws);

// One call for a player's hand of each kind against one open dealer card.
void BM_EvaluateLayout_PlayerKind(benchmark::State& state, const char* player) {
    const TEvalLayout layout{Cards(player), Cards("3d"), Cards(player) | Cards("3d"), 0};
    const TEvalRules& rules = DefaultRules();
    for (auto _ : state) benchmark::DoNotOptimize(EvaluateLayout(rules, layout, kModeBet));
}
BENCHMARK_CAPTURE(BM_EvaluateLayout_PlayerKind, NoGame, "Qh 9c 7d 4s 2d");
BENCHMARK_CAPTURE(BM_EvaluateLayout_PlayerKind, AceKing, "Ah Kc 9d 7s 2h");
BENCHMARK_CAPTURE(BM_EvaluateLayout_PlayerKind, Pair, "Ah Ac Kd 9s 7h");
BENCHMARK_CAPTURE(BM_EvaluateLayout_PlayerKind, TwoPairs, "Jh Jc 4d 4s Ah");
BENCHMARK_CAPTURE(BM_EvaluateLayout_PlayerKind, ThreeOfAKind, "Qh Qc Qd 2s 9h");
BENCHMARK_CAPTURE(BM_EvaluateLayout_PlayerKind, Straight, "9h 8c 7d 6s 5h");
BENCHMARK_CAPTURE(BM_EvaluateLayout_PlayerKind, Flush, "Ah 9h 7h 4h 2h");
BENCHMARK_CAPTURE(BM_EvaluateLayout_PlayerKind, FullHouse, "2h 2c 2d Ks Kh");
BENCHMARK_CAPTURE(BM_EvaluateLayout_PlayerKind, FourOfAKind, "7h 7c 7d 7s Ah");
BENCHMARK_CAPTURE(BM_EvaluateLayout_PlayerKind, StraightFlush, "9s 8s 7s 6s 5s");
BENCHMARK_CAPTURE(BM_EvaluateLayout_PlayerKind, RoyalFlush, "Ah Kh Qh Jh 10h");

// The worked layout, A-A-K-9-7 against an open two: 163,185 completions.
const TEvalLayout& WorkedLayout() {
    static const TEvalLayout layout{Cards("Ah Ac Kd 9s 7h"), Cards("2s"),
                                    Cards("Ah Ac Kd 9s 7h 2s"), 0};
    return layout;
}

void BM_EvaluateLayout_WorkedLayout(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(EvaluateLayout(DefaultRules(), WorkedLayout(), kModeBet));
    }
}
BENCHMARK(BM_EvaluateLayout_WorkedLayout);

void BM_ReferenceEnumeration_WorkedLayout(benchmark::State& state) {
    const TEvalLayout& layout = WorkedLayout();
    for (auto _ : state) {
        benchmark::DoNotOptimize(reference::EnumerateCompletions(
            layout.Player, layout.Dealer, layout.Seen.Complement(), 13, TMinAceKing::akAny));
    }
}
BENCHMARK(BM_ReferenceEnumeration_WorkedLayout)->Unit(benchmark::kMillisecond);

// Both on the same layout in the same run; "speedup" is the reference's time over the closed
// form's time per call.
void BM_EnumerationSpeedup_WorkedLayout(benchmark::State& state) {
    using TClock = std::chrono::steady_clock;
    const TEvalLayout& layout = WorkedLayout();
    constexpr int kCalls = 5000;
    double reference = 0;
    double closedForm = 0;
    for (auto _ : state) {
        const auto start = TClock::now();
        benchmark::DoNotOptimize(reference::EnumerateCompletions(
            layout.Player, layout.Dealer, layout.Seen.Complement(), 13, TMinAceKing::akAny));
        const auto middle = TClock::now();
        for (int i = 0; i < kCalls; ++i) {
            benchmark::DoNotOptimize(EvaluateLayout(DefaultRules(), layout, kModeBet));
        }
        const auto end = TClock::now();
        reference += std::chrono::duration<double>(middle - start).count();
        closedForm += std::chrono::duration<double>(end - middle).count() / kCalls;
    }
    state.counters["speedup"] = reference / closedForm;
    state.counters["closed_form_ns"] = closedForm * 1e9 / static_cast<double>(state.iterations());
}
BENCHMARK(BM_EnumerationSpeedup_WorkedLayout)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace studlab

namespace studlab {
namespace {

// Tallying the dealer's completions of one open card for draws of up to three cards, and
// counting one three-card arrival against them.
void BM_DealerCompletions_Build(benchmark::State& state) {
    const TCardTable dealer = Cards("3d");
    const TCardTable deck = (Cards("Qc Tc 7h 6s 3c") | dealer).Complement();
    const TCardTable arrival = Cards("Ah Kh 2s");
    const THandRank rank = RankOfFive(Cards("Ah Kh 2s Qc Tc"));
    // As a decision on a new layout tallies: in the room the last tally took.
    TDealerCompletions completions(dealer, deck, DefaultRules().Counting);
    for (auto _ : state) {
        completions.Tally(dealer, deck, DefaultRules().Counting);
        benchmark::DoNotOptimize(completions.Tallies(rank, arrival));
    }
}
BENCHMARK(BM_DealerCompletions_Build)->Unit(benchmark::kMillisecond);

void BM_DealerCompletions_ThreeCardArrival(benchmark::State& state) {
    const TCardTable dealer = Cards("3d");
    const TCardTable deck = (Cards("Qc Tc 7h 6s 3c") | dealer).Complement();
    TDealerCompletions completions(dealer, deck, DefaultRules().Counting);
    std::vector<std::pair<TCardTable, THandRank>> arrivals;
    ForEachCardSet(deck, 3, [&](TCardTable a) {
        arrivals.emplace_back(a, RankOfFive(a | Cards("Qc Tc")));
    });
    for (auto _ : state) {
        for (const auto& [a, rank] : arrivals) benchmark::DoNotOptimize(completions.Tallies(rank, a));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(arrivals.size()));
}
BENCHMARK(BM_DealerCompletions_ThreeCardArrival)->Unit(benchmark::kMillisecond);

// As a decision counts its exchanges of three cards: what each arrival takes away is read once
// and counted against the hands it makes with each of the ten pairs the player may keep.
void BM_DealerCompletions_ThreeCardArrival_EveryKeptPair(benchmark::State& state) {
    const TCardTable dealer = Cards("3d");
    const TCardTable hand = Cards("Qc Tc 7h 6s 3c");
    const TCardTable deck = (hand | dealer).Complement();
    TDealerCompletions completions(dealer, deck, DefaultRules().Counting);
    completions.PrepareArrivals(3);
    std::vector<TCardTable> kept;
    ForEachCardSet(hand, 2, [&](TCardTable k) { kept.push_back(k); });
    struct TArrival {
        TDealerCompletions::TPlaces Places{};
        std::vector<THandRank> Ranks;
    };
    std::vector<TArrival> arrivals;
    ForEachCardSet(deck, 3, [&](TCardTable a) {
        TArrival arrival;
        int i = 0;
        for (std::uint64_t m = a.Mask(); m != 0; m &= m - 1) {
            arrival.Places[static_cast<std::size_t>(i++)] = completions.Place(std::countr_zero(m));
        }
        for (TCardTable k : kept) arrival.Ranks.push_back(RankOfFive(a | k));
        arrivals.push_back(std::move(arrival));
    });
    for (auto _ : state) {
        for (const TArrival& a : arrivals) {
            const TDealerCompletions::TAvoided avoided = completions.Avoided(a.Places, 3);
            for (THandRank rank : a.Ranks) {
                benchmark::DoNotOptimize(completions.TalliesAt(rank, avoided));
            }
        }
    }
    state.SetItemsProcessed(state.iterations() *
                            static_cast<std::int64_t>(arrivals.size() * kept.size()));
}
BENCHMARK(BM_DealerCompletions_ThreeCardArrival_EveryKeptPair)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace studlab
