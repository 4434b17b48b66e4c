// The profitability check on the real decision table: threads, seeds, the fixed series, fixed
// cards and the settings a run reads.
#include <gtest/gtest.h>

#include <filesystem>

#include "design/design_fields.h"
#include "support/test_folder.h"
#include "support/test_game.h"
#include "text/number_text.h"
#include "table/cache/decision_cache.h"

namespace studlab {
namespace {

struct TDefaultGame : testing::TTestGame {
    TDefaultGame() {
        Table.SetGameName("default");
        Table.SelectGame(std::nullopt);
        Profit.ProgressInterval = std::chrono::milliseconds(0);
    }
    void Set(const char* assignment) {
        SetDesignAssignment(Design, Settings, assignment, TValueCheck::NumbersMustConvert);
    }
    std::vector<std::int64_t> Results(int count) const {
        return {Profit.HandResults().begin(), Profit.HandResults().begin() + count};
    }
};

TEST(ProfitGame, TheSameSeedGivesTheSameRunToTheLastDigitWhateverTheThreads) {
    const auto run = [](int threads, const char* seed) {
        TDefaultGame game;
        game.Profit.Settings().HandCount = "3000";
        game.Profit.Settings().Seed = seed;
        game.Profit.Settings().Threads = threads;
        game.Profit.RunSimulation();
        EXPECT_EQ(game.Profit.LastRunEnd(), TRunEnd::Completed);
        EXPECT_EQ(game.Profit.RunWorkers(), threads);
        EXPECT_EQ(game.Profit.RunSeed(), std::optional<std::uint64_t>(std::stoull(seed)));
        const TRunFigures& f = game.Profit.Figures();
        return std::tuple{f.Total,
                          f.MoPercent,
                          f.MoLow,
                          f.StdDevPerHand,
                          f.AverageStake,
                          f.Bankroll95,
                          game.Profit.View().StatsColumns,
                          game.Results(3000),
                          game.Profit.Path().Bank().Antes};
    };
    const auto one = run(1, "7");
    EXPECT_EQ(run(2, "7"), one);
    EXPECT_EQ(run(3, "7"), one);
    EXPECT_NE(std::get<0>(run(2, "8")), std::get<0>(one));
}

TEST(ProfitGame, TheRunsLastHandLiesOnTheTableAfterwards) {
    TDefaultGame game;
    game.Profit.Settings().HandCount = "200";
    game.Profit.Settings().Seed = "11";
    game.Profit.Settings().Threads = 2;
    game.Profit.RunSimulation();
    const TTableState& state = game.Table.State();
    EXPECT_EQ(state.HandStage, 0);
    EXPECT_EQ(state.LastHandResult, state.HandResult);
    EXPECT_EQ(RoundHalfEven(static_cast<long double>(state.HandResult) / 10000),
              game.Profit.HandResults()[199]);
}

TEST(ProfitGame, TheFixedSeriesGoesOnFromRunToRunAsHandAfterHand) {
    // One run of 100 hands, two runs of 60 and 40, and 100 presses of "СДАТЬ СЛУЧАЙНО" deal the
    // same hands from the start of the series, however far the worker played ahead.
    TDefaultGame whole;
    whole.Settings.SameSequence = true;
    whole.Profit.Settings().HandCount = "100";
    whole.Profit.RunSimulation();
    EXPECT_EQ(whole.Profit.RunWorkers(), 1);
    EXPECT_FALSE(whole.Profit.RunSeed().has_value());

    TDefaultGame parts;
    parts.Settings.SameSequence = true;
    parts.Profit.Settings().HandCount = "60";
    parts.Profit.RunSimulation();
    std::vector<std::int64_t> results = parts.Results(60);
    parts.Profit.Settings().HandCount = "40";
    parts.Profit.RunSimulation();
    const std::vector<std::int64_t> rest = parts.Results(40);
    results.insert(results.end(), rest.begin(), rest.end());
    EXPECT_EQ(results, whole.Results(100));

    TDefaultGame presses;
    presses.Settings.SameSequence = true;
    std::vector<std::int64_t> pressed;
    for (int i = 0; i < 100; ++i) {
        presses.Table.RandomDeal();
        pressed.push_back(static_cast<std::int64_t>(
            RoundHalfEven(static_cast<long double>(presses.Table.State().HandResult) / 10000)));
    }
    EXPECT_EQ(pressed, whole.Results(100));
    // And the next hand of each is the same too.
    presses.Table.RandomDeal();
    whole.Table.RandomDeal();
    EXPECT_EQ(presses.Table.State().PlayerCards, whole.Table.State().PlayerCards);
}

TEST(ProfitGame, EveryWorkerDealsWithTheFixedCardsUntilTheyAreReleased) {
    TDefaultGame game;
    // The dealer's open card first (it stays free), then the player's five.
    for (const char* card : {"2 пик", "A черви", "K черви", "Q черви", "J черви", "10 черви"})
        game.Table.ClickCard(CardIdByName(card).value());
    for (int slot = 1; slot <= 5; ++slot) game.Table.ToggleFix(TPlaceKind::cpPlayer, slot);
    EXPECT_EQ(game.Profit.FixedCardsNotice(),
              "Раздачи идут с фиксированными картами (\"ФИКС\" в окне раскладов): игрок — A "
              "черви, K черви, Q черви, J черви, 10 черви");
    game.Profit.Settings().HandCount = "40";
    game.Profit.Settings().Threads = 2;
    game.Profit.RunSimulation();
    const int royalFlushes =
        static_cast<int>(game.Profit.Stats().Count(0, TCombinationStats::TColumn::Total));
    EXPECT_EQ(royalFlushes, 40);

    game.Profit.ReleaseFixedCards();
    EXPECT_EQ(game.Profit.FixedCardsNotice(), "");
    game.Profit.RunSimulation();
    EXPECT_LT(game.Profit.Stats().Count(0, TCombinationStats::TColumn::Total), 40U);
}

TEST(ProfitGame, TheDrawsFieldIsReadOnlyWhenADrawIsSampled) {
    TDefaultGame game;
    game.Settings.ProbabilisticCycles = "abc";
    game.Profit.Settings().HandCount = "300";
    game.Profit.RunSimulation();
    EXPECT_EQ(game.Profit.LastRunEnd(), TRunEnd::Completed);

    // An exchange of four cards is always valued by random draws: then the field is read.
    game.Set("StageActions[1][paExchange4]=YES");
    game.Profit.RunSimulation();
    EXPECT_EQ(game.Profit.LastRunEnd(), TRunEnd::Failed);
    EXPECT_EQ(game.Profit.View().Message,
              "Расчет прерван ошибкой в раздаче № 1: В поле «вероятностный метод: количество "
              "циклов» (окно «проверка выгодности игры») стоит «abc», а нужно целое число; "
              "сыграно раздач: 0.");
    EXPECT_TRUE(game.Profit.View().CalculateVisible);
}

TEST(ProfitGame, ARunWithTheDecisionCacheHasOneWorker) {
    const testing::TTestFolder dir;
    TDefaultGame game;
    game.Table.Cache().SetGamesDir(dir.Path());
    game.Settings.UseCacheTable = true;
    game.Profit.Settings().HandCount = "50";
    game.Profit.Settings().Threads = 2;
    game.Profit.RunSimulation();
    EXPECT_EQ(game.Profit.LastRunEnd(), TRunEnd::Completed);
    EXPECT_EQ(game.Profit.RunWorkers(), 1);
    EXPECT_TRUE(std::filesystem::exists(game.Table.Cache().FileFor("default")));
}

TEST(ProfitGame, TheStakeOfAHandIsItsAnteBetAndCosts) {
    // Of the default design's hands, a fold risks the ante (and a bought card), a bet two antes
    // more: the average lies between, and the element of risk is the MO over it.
    TDefaultGame game;
    game.Profit.Settings().HandCount = "2000";
    game.Profit.Settings().Seed = "3";
    game.Profit.RunSimulation();
    const TRunFigures& f = game.Profit.Figures();
    EXPECT_GT(f.AverageStake, 1.5);
    EXPECT_LT(f.AverageStake, 1 + 2 + 1.2);
    EXPECT_NEAR(f.ElementOfRiskPercent, f.MoPercent / f.AverageStake, 1e-9);
    EXPECT_GT(f.StdDevPerHand, 1);
    EXPECT_GT(f.Bankroll99, f.Bankroll95);
    EXPECT_EQ(f.BankrollHands, 2000);
}

}  // namespace
}  // namespace studlab
