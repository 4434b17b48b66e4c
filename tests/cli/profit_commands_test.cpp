#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "support/run_cli.h"
#include "support/run_shell.h"
#include "support/test_folder.h"

namespace studlab {
namespace {

using testing::RunCli;

TEST(CliSimulate, ReportsTheWindowsFiguresAndRepeatsWithTheSameSequence) {
    const auto run = RunCli("simulate --hands 300 --same-sequence");
    ASSERT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Output.rfind("MO=", 0), 0U);
    EXPECT_NE(run.Output.find("\nmo_95: "), std::string::npos);
    EXPECT_NE(run.Output.find("\nhands: 300\ntotal: "), std::string::npos);
    EXPECT_NE(
        run.Output.find(
            "колличество комбинаций игрока\tиз них   с раздачи\tиз них   с покупки\tоплачено\t"
            "неоплачено\tпроигранно\n"),
        std::string::npos);
    EXPECT_NE(run.Output.find("\nбез игры\t"), std::string::npos);
    for (const char* line :
         {" ANTE\nstd_dev_per_hand: ", "\nstd_error_per_hand: ", "\naverage_stake: ",
          "\nelement_of_risk: ", "\nbankroll for 300 hands: ", "\nthreads: 1\n"}) {
        EXPECT_NE(run.Output.find(line), std::string::npos) << line;
    }
    EXPECT_EQ(run.Output.find("seed: "), std::string::npos);  // the fixed series has none
    EXPECT_EQ(RunCli("simulate --hands 300 --same-sequence").Output, run.Output);
}

// One hand says nothing of the spread: the interval, the standard deviation and the bankrolls
// are unknown (null, "-"), not a zero-width certainty.
TEST(CliSimulate, ASingleHandLeavesTheSpreadUnknown) {
    const auto run = RunCli("simulate --hands 1 --seed 1 --json");
    ASSERT_EQ(run.ExitCode, 0) << run.Errors;
    const auto json = nlohmann::json::parse(run.Output);
    for (const char* name : {"mo_95_low_percent", "mo_95_high_percent", "std_dev_per_hand",
                             "std_error_per_hand", "bankroll_95_antes", "bankroll_99_antes"})
        EXPECT_TRUE(json[name].is_null()) << name;
    EXPECT_TRUE(json["mo_percent"].is_number());
    const auto text = RunCli("simulate --hands 1 --seed 1").Output;
    EXPECT_NE(text.find("\nmo_95: -\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nstd_dev_per_hand: -\n"), std::string::npos) << text;
    EXPECT_EQ(RunCli("simulate --hands 2 --seed 1").Output.find("\nstd_dev_per_hand: -"),
              std::string::npos);
}

TEST(CliSimulate, JsonCarriesTheFiguresAsNumbers) {
    const auto text = RunCli("simulate --hands 200 --same-sequence").Output;
    const auto run = RunCli("simulate --hands 200 --same-sequence --json");
    ASSERT_EQ(run.ExitCode, 0);
    const auto json = nlohmann::json::parse(run.Output);
    EXPECT_EQ(json["end"], "completed");
    EXPECT_EQ(json["hands"], 200);
    EXPECT_EQ(json["threads"], 1);
    for (const char* name : {"mo_percent", "total_antes", "bank_antes", "std_dev_per_hand",
                             "std_error_per_hand", "mo_95_low_percent", "mo_95_high_percent",
                             "average_stake_antes", "element_of_risk_percent", "bankroll_hands",
                             "bankroll_95_antes", "bankroll_99_antes", "seconds"}) {
        EXPECT_TRUE(json[name].is_number()) << name;
    }
    EXPECT_LT(json["mo_95_low_percent"].get<double>(), json["mo_percent"].get<double>());
    EXPECT_GT(json["mo_95_high_percent"].get<double>(), json["mo_percent"].get<double>());
    EXPECT_NEAR(json["mo_percent"].get<double>(), -json["total_antes"].get<double>() / 200 * 100,
                1e-9);
    EXPECT_EQ(json["bank_text"], std::to_string(json["bank_antes"].get<int>()) + " ANTE");
    EXPECT_LE(json["bankroll_95_antes"].get<double>(), json["bankroll_99_antes"].get<double>());
    // The window's texts stand beside the numbers, as the text output shows them.
    EXPECT_EQ(text.rfind(json["mo_text"].get<std::string>() + "\n", 0), 0U);
    EXPECT_EQ(json["statistics"].size(), 11U);
    int total = 0;
    for (const auto& row : json["statistics"]) {
        EXPECT_TRUE(row["row"].is_string());
        EXPECT_EQ(row["total"].get<int>(),
                  row["from_deal"].get<int>() + row["from_buying"].get<int>());
        EXPECT_EQ(row["total"].get<int>(),
                  row["paid"].get<int>() + row["unpaid"].get<int>() + row["lost"].get<int>());
        total += row["total"].get<int>();
    }
    EXPECT_EQ(total, 200);
}

TEST(CliSimulate, ASeedGivesTheSameFiguresOnAnyNumberOfThreads) {
    const auto figures = [](const std::string& arguments) {
        const auto run = RunCli("simulate --hands 2000 --json " + arguments);
        EXPECT_EQ(run.ExitCode, 0) << arguments;
        auto json = nlohmann::json::parse(run.Output);
        json.erase("seconds");
        json.erase("threads");
        return json;
    };
    const auto one = figures("--seed 12345 --threads 1");
    EXPECT_EQ(one["seed"], 12345U);
    EXPECT_EQ(figures("--seed 12345 --threads 2"), one);
    EXPECT_EQ(figures("--seed 12345"), one);  // every core
    EXPECT_NE(figures("--seed 12346")["total_antes"], one["total_antes"]);
    // Without a seed one comes from the clock and is reported, so that the run can be repeated.
    const auto clocked = figures("");
    ASSERT_TRUE(clocked["seed"].is_number_unsigned());
    EXPECT_EQ(figures("--seed " + std::to_string(clocked["seed"].get<std::uint64_t>())), clocked);
}

TEST(CliSimulate, CsvHoldsThePathOfTheRun) {
    const testing::TTestFolder dir;
    const std::filesystem::path file = dir / "path.csv";
    const auto run = RunCli("simulate --hands 500 --seed 5 --json --csv '" + file.string() + "'");
    ASSERT_EQ(run.ExitCode, 0);
    const auto json = nlohmann::json::parse(run.Output);
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line,
              "hands,result_antes,expected_antes,expected_95_low_antes,expected_95_high_antes");
    int rows = 0;
    std::string last;
    while (std::getline(in, line)) {
        ++rows;
        last = line;
    }
    EXPECT_EQ(rows, 500);
    std::istringstream fields(last);
    std::string hands, result, expected;
    std::getline(fields, hands, ',');
    std::getline(fields, result, ',');
    std::getline(fields, expected, ',');
    EXPECT_EQ(hands, "500");
    EXPECT_NEAR(std::stod(result), json["total_antes"].get<double>(), 1e-9);
    // The expected result of the whole run is the run's own.
    EXPECT_NEAR(std::stod(expected), json["total_antes"].get<double>(), 1e-3);
}

TEST(CliSimulate, CyclesAndUsageErrors) {
    const auto run = RunCli("simulate --hands 1000 --same-sequence --cycle-limits 5,-5,-10,10");
    ASSERT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Output.rfind("run ended: the cycles reached a whole-run limit\n", 0), 0U)
        << run.Output;
    EXPECT_NE(run.Output.find("\ncycles: "), std::string::npos);
    EXPECT_NE(run.Output.find("\nMO="), std::string::npos);  // the figures of the hands played
    for (const char* arguments :
         {"--hands 0", "--hands x", "--hands 10 --cycle-limits 1,2", "--hands 10 --threads 0",
          "--hands 10 --threads abc", "--hands 10 --seed -1", "--hands 10 --seed x",
          "--hands 10 --same-sequence --seed 3", "--hands 10 --bankroll-hands 0"}) {
        EXPECT_EQ(RunCli(std::string("simulate ") + arguments).ExitCode, 2) << arguments;
    }
    EXPECT_EQ(RunCli("simulate --hands 10 --csv /nonexistent/dir/path.csv").ExitCode, 1);
}

// A design whose hands cannot be laid out fails the run with a message of one line: no carriage
// return of the window's label reaches the terminal or the JSON.
// Cycles that never reach their total limits would go on for ever: SIGINT or SIGTERM ends the run
// as "СТОП" does, with the figures of the hands played.
TEST(CliSimulate, AnInterruptEndsTheRunWithTheFiguresPlayed) {
    for (const char* signal : {"INT", "TERM"}) {
        const auto run = testing::RunShell(
            std::string("\"$CLI\" simulate --hands 1000 --seed 1 --cycle-limits "
                        "1,-1,-1000000000,1000000000 & pid=$!; sleep 2; kill -") +
            signal + " $pid; wait $pid");
        EXPECT_EQ(run.ExitCode, 1) << signal << run.Errors;
        EXPECT_EQ(run.Output.rfind("run ended: stopped\n", 0), 0U) << signal << run.Output;
        EXPECT_NE(run.Output.find("\nMO="), std::string::npos) << run.Output;
        EXPECT_NE(run.Output.find("\ncycles: "), std::string::npos) << run.Output;
        // The run says what stopped it: no button was pressed.
        EXPECT_NE(run.Output.find("\nРасчет прерван сигналом; сыграно раздач: "), std::string::npos)
            << run.Output;
        EXPECT_EQ(run.Output.find("СТОП"), std::string::npos) << run.Output;
        EXPECT_NE(run.Errors.find("прерван сигналом"), std::string::npos) << run.Errors;
    }
}

TEST(CliSimulate, ADesignThatCannotBeDealtIsSaidOnOneLine) {
    const testing::TTestFolder dir;
    const std::string design = (dir / "seven.es1").string();
    ASSERT_EQ(RunCli("design --write '" + design + "' --set DealerOpenCards=7").ExitCode, 0);
    for (const std::string arguments :
         {"simulate --hands 5 --seed 1", "simulate --hands 5 --json", "play --seed 1"}) {
        const auto run = RunCli(arguments + " --design '" + design + "'");
        EXPECT_EQ(run.ExitCode, 1) << arguments;
        EXPECT_EQ(run.Output.find('\r'), std::string::npos) << arguments;
        EXPECT_EQ(run.Errors.find('\r'), std::string::npos) << arguments;
        EXPECT_NE(run.Errors.find("\"7\" не от 0 до 5. Исправьте конструкцию"), std::string::npos)
            << arguments << "\n"
            << run.Errors;
    }
}

// Counts the run cannot use end with exit code 2 and say why.
TEST(CliSimulate, RefusedCountsSayWhy) {
    struct TCase {
        const char* Arguments;
        const char* Message;
    };
    const TCase cases[] = {
        {"simulate --hands 0", "error: --hands: '0' is not a whole number from 1 to 1000000"},
        {"simulate --hands 1000001",
         "error: --hands: '1000001' is not a whole number from 1 to 1000000"},
        {"simulate --hands x", "error: --hands: 'x' is not a whole number from 1 to 1000000"},
        {"simulate --hands 10 --cycle-limits 1,2",
         "error: --cycle-limits: four limits are expected, WIN,LOSS,TOTALLOSS,TOTALWIN (e.g. "
         "20,-30,-120,120); given: 2"},
        {"simulate --hands 10 --cycle-limits 20,-30,-120,1,5",
         "error: --cycle-limits: four limits are expected, WIN,LOSS,TOTALLOSS,TOTALWIN (e.g. "
         "20,-30,-120,120); given: 5"},
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
