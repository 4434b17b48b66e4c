#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "support/run_cli.h"

namespace studlab {
namespace {

using testing::RunCli;

TEST(CliSimulate, ReportsTheWindowsFiguresAndRepeatsWithTheSameSequence) {
    const auto run = RunCli("simulate --hands 300 --same-sequence");
    ASSERT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Output.rfind("MO=", 0), 0U);
    EXPECT_NE(run.Output.find("\ntotal: "), std::string::npos);
    EXPECT_NE(
        run.Output.find(
            "колличество комбинаций игрока\tиз них   с раздачи\tиз них   с покупки\tоплачено\t"
            "неоплачено\tпроигранно\n"),
        std::string::npos);
    EXPECT_NE(run.Output.find("\nбез игры\t"), std::string::npos);
    EXPECT_NE(run.Output.find(" ANTE\nstd_error_per_hand: "), std::string::npos);
    EXPECT_NE(run.Output.find("\nmo_95: "), std::string::npos);
    EXPECT_EQ(RunCli("simulate --hands 300 --same-sequence").Output, run.Output);
}

TEST(CliSimulate, JsonCarriesTheSameFigures) {
    const auto text = RunCli("simulate --hands 200 --same-sequence").Output;
    const auto run = RunCli("simulate --hands 200 --same-sequence --json");
    ASSERT_EQ(run.ExitCode, 0);
    const auto json = nlohmann::json::parse(run.Output);
    EXPECT_EQ(json["end"], "completed");
    EXPECT_EQ(json["hands"], 200);
    EXPECT_EQ(text.rfind(json["mo"].get<std::string>() +
                             "\ntotal: " + json["total"].get<std::string>() + "\n",
                         0),
              0U);
    EXPECT_EQ(json["statistics"].size(), 11U);
    int total = 0;
    for (const auto& row : json["statistics"])
        total += row["колличество комбинаций игрока"].get<int>();
    EXPECT_EQ(total, 200);
}

TEST(CliSimulate, CyclesAndRefusedCounts) {
    const auto run = RunCli("simulate --hands 1000 --same-sequence --cycle-limits 5,-5,-10,10");
    ASSERT_EQ(run.ExitCode, 0);
    EXPECT_NE(run.Output.find("run ended: the cycles reached a whole-run limit\ncycles: "),
              std::string::npos)
        << run.Output;
}

// Counts the run cannot use end with exit code 2 and say why.
TEST(CliSimulate, RefusedCountsSayWhy) {
    struct TCase {
        const char* Arguments;
        const char* Message;
    };
    const TCase cases[] = {
        {"simulate --hands 0", "error: колличество циклов должно быть от 1 до 1000000"},
        {"simulate --hands 1000001", "error: колличество циклов должно быть от 1 до 1000000"},
        {"simulate --hands x", "error: 'x' is not a valid integer value"},
        {"simulate --hands 10 --cycle-limits 1,2",
         "--cycle-limits: At least 4 required but received 2"},
        {"simulate --hands 10 --same-sequnce",
         "The following argument was not expected: --same-sequnce"},
    };
    for (const TCase& c : cases) {
        const auto run = RunCli(c.Arguments);
        EXPECT_EQ(run.ExitCode, 2) << c.Arguments;
        EXPECT_EQ(run.Message(), c.Message) << c.Arguments;
    }
}

}  // namespace
}  // namespace studlab
