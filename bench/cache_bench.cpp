// The decision cache: a lookup in a table of a million rows, and what the cache does to a
// profitability run of the default design.
//   studlab-bench --benchmark_filter=Cache
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "design/design_fingerprint.h"
#include "support/test_game.h"
#include "table/cache/decision_cache.h"
#include "table/cache/sqlite.h"

namespace studlab {
namespace {

namespace fs = std::filesystem;

std::string RandomKey(TRandomGenerator& random) {
    std::string key(156, '0');
    for (char& c : key) c = static_cast<char>('0' + random.Below(2));
    return key;
}

fs::path FreshDir(const std::string& name) {
    // The process in the name: two benchmark runs at once never share a folder.
    const fs::path dir =
        fs::temp_directory_path() / ("studlab-bench-" + std::to_string(getpid()) + "-" + name);
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

void BM_CacheLookup_MillionRows(benchmark::State& state) {
    constexpr int kRows = 1'000'000;
    const fs::path dir = FreshDir("lookup");
    TDecisionCache cache(dir);
    TRandomGenerator random(1);
    std::vector<std::string> keys;
    const std::string fingerprint = DesignFingerprint(TGameDesign{}, TCalculationSettings{});
    cache.Append("big", fingerprint, {RandomKey(random), "", "", "0", "", {}});
    {
        TSqliteDatabase db(cache.FileFor("big"), TSqliteDatabase::TMode::OpenExisting);
        db.Execute("BEGIN");
        TSqliteStatement insert(
            db,
            "INSERT INTO decisions (Matrix, Choose, Choose_N, MO_r, Nadpis, reshenie1, "
            "Fingerprint) "
            "VALUES (?1, 'сделать пас\rзабиться\r', '-1\r0,5\r', '-100', 'забиться', '2', ?2)");
        for (int i = 1; i < kRows; ++i) {
            std::string key = RandomKey(random);
            if (i % 1000 == 0) keys.push_back(key);
            insert.Bind(1, key);
            insert.Bind(2, fingerprint);
            insert.Step();
            insert.Reset();
        }
        db.Execute("COMMIT");
    }
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(cache.Find("big", fingerprint, keys[next]));
        next = (next + 1) % keys.size();
    }
    state.counters["rows"] = kRows;
    fs::remove_all(dir);
}
BENCHMARK(BM_CacheLookup_MillionRows)->Unit(benchmark::kMicrosecond);

// The same 20,000 hands without the cache, with an empty cache (every decision stored) and with
// the cache the previous run filled.
void BM_CacheProfitRun(benchmark::State& state) {
    const int mode = static_cast<int>(state.range(0));  // 0 off, 1 empty, 2 filled
    const fs::path dir = FreshDir("run");
    auto run = [&](bool useCache) {
        testing::TTestGame game;
        game.Settings.SameSequence = true;
        game.Settings.UseCacheTable = useCache;
        game.Table.Cache().SetGamesDir(dir);
        game.Table.SetGameName("default");
        game.Table.SelectGame(std::nullopt);
        TProfitCheck& check = game.Profit;
        check.Settings().HandCount = "20000";
        check.RunSimulation();
        return check.Figures().MoPercent;
    };
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(dir);
        fs::create_directories(dir);
        if (mode == 2) run(true);
        state.ResumeTiming();
        state.counters["MO_percent"] = run(mode != 0);
    }
    fs::remove_all(dir);
}
BENCHMARK(BM_CacheProfitRun)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace
}  // namespace studlab
