#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "design/design_file.h"
#include "support/run_cli.h"
#include "support/run_shell.h"
#include "support/test_folder.h"

namespace studlab {
namespace {

using testing::RunCli;

// Folding or betting against a dealer who shows nothing: 134,459 classes, quick to play.
const std::string kFoldOrBet =
    "exact --set DealerOpenCards=0 --set 'StageActions[1][paBuyCard]=NO' --json";

nlohmann::json Figures(const std::string& arguments) {
    const auto run = RunCli(arguments);
    EXPECT_EQ(run.ExitCode, 0) << run.Errors;
    auto json = nlohmann::json::parse(run.Output);
    json.erase("seconds");
    json.erase("threads");
    return json;
}

// The sums are integers: neither the threads nor the division into parts changes a digit. The
// MO was also worked out apart, by evaluating all 2,598,960 hands one by one: 8,9397791038 %.
TEST(CliExact, TheThreadsChangeNoDigit) {
    const nlohmann::json one = Figures(kFoldOrBet + " --threads 1");
    EXPECT_EQ(one["layouts"], 2598960);
    EXPECT_EQ(one["classes"], 134459);
    EXPECT_NEAR(one["mo_percent"].get<double>(), 8.9397791038, 1e-9);
    EXPECT_EQ(Figures(kFoldOrBet + " --threads 3 --batch-size 777"), one);
    // Every hand ends in one of the return table's outcomes.
    double probability = 0;
    for (const auto& row : one["return_table"]) probability += row["probability"].get<double>();
    EXPECT_NEAR(probability, 1.0, 1e-12);
    // The exact sums are JSON numbers too, however many digits they have.
    EXPECT_TRUE(one["result_sum"].is_number() && one["weight"].is_number());
    EXPECT_TRUE(one["return_table"][0]["weighted_count"].is_number());
    EXPECT_NEAR(one["result_sum"].get<double>() / one["weight"].get<double>() / 100,
                -one["mo_percent"].get<double>(), 1e-9);
}

TEST(CliExact, ASampleTimesTheRunInTextOrJson) {
    const auto run = RunCli(kFoldOrBet + " --sample 300");
    ASSERT_EQ(run.ExitCode, 0) << run.Errors;
    const auto json = nlohmann::json::parse(run.Output);
    EXPECT_EQ(json["sample_classes"], 300);
    EXPECT_EQ(json["classes"], 134459);
    EXPECT_GT(json["classes_per_second"].get<double>(), 0);
    EXPECT_TRUE(json["estimated_seconds"].is_number());
}

TEST(CliExact, TextShowsTheMoToFourDecimals) {
    const auto run = RunCli("exact --set DealerOpenCards=0 --set 'StageActions[1][paBuyCard]=NO'");
    ASSERT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Output.rfind("MO=8,9398%\n", 0), 0U) << run.Output;
    EXPECT_NE(run.Output.find("\nreturn_table:\n"), std::string::npos);
}

TEST(CliExact, ResumesFromItsCheckpoint) {
    const testing::TTestFolder dir;
    const std::string file = (dir / "run.checkpoint").string();
    const std::string arguments = kFoldOrBet + " --batch-size 20000 --checkpoint '" + file + "'";
    const nlohmann::json whole = Figures(arguments);
    // An interrupted run: the file cut within its last part.
    std::stringstream text;
    text << std::ifstream(file).rdbuf();
    const std::string content = text.str();
    std::ofstream(file, std::ios::trunc) << content.substr(0, content.size() - 100);
    EXPECT_EQ(Figures(arguments), whole);
    EXPECT_EQ(Figures(arguments), whole);  // everything done: only read

    std::ofstream(file, std::ios::trunc) << "not a checkpoint\n";
    const auto foreign = RunCli(arguments);
    EXPECT_EQ(foreign.ExitCode, 1);
    EXPECT_NE(foreign.Message().find(file), std::string::npos);
    EXPECT_NE(foreign.Message().find("не является файлом продолжения"), std::string::npos);

    // The same file for another design.
    std::ofstream(file, std::ios::trunc) << content;
    const auto other = RunCli(arguments + " --set 'PayQualified[ckPair]=2'");
    EXPECT_EQ(other.ExitCode, 1);
    EXPECT_NE(other.Message().find("другой конструкции"), std::string::npos);
}

// SIGINT or SIGTERM ends the run as its stop does: it says how far it came and where the
// checkpoint stands, and the same command then resumes from the parts that were kept.
TEST(CliExact, AnInterruptSaysWhatIsFinishedAndKeepsTheCheckpoint) {
    const testing::TTestFolder dir;
    const std::string file = (dir / "long.checkpoint").string();
    for (const char* signal : {"INT", "TERM"}) {
        const auto run =
            testing::RunShell("\"$CLI\" exact --batch-size 500 --checkpoint '" + file +
                              "' & pid=$!; sleep 2; kill -" + signal + " $pid; wait $pid");
        EXPECT_EQ(run.ExitCode, 1) << signal << run.Errors;
        EXPECT_NE(run.Output.find("interrupted: "), std::string::npos) << signal << run.Output;
        EXPECT_NE(run.Output.find(" of 5649150 classes done"), std::string::npos) << run.Output;
        EXPECT_NE(run.Output.find("checkpoint: " + file), std::string::npos) << run.Output;
        EXPECT_EQ(run.Output.find("MO="), std::string::npos) << run.Output;
        EXPECT_NE(run.Errors.find("расчет прерван"), std::string::npos) << run.Errors;
    }
    // With --json the same, as one object.
    const auto json = testing::RunShell(
        "\"$CLI\" exact --json & pid=$!; sleep 2; kill -INT $pid; "
        "wait $pid");
    EXPECT_EQ(json.ExitCode, 1) << json.Errors;
    const nlohmann::json j = nlohmann::json::parse(json.Output);
    EXPECT_EQ(j["interrupted"], true);
    EXPECT_EQ(j["classes"], 5649150);
    EXPECT_LT(j["classes_done"].get<std::int64_t>(), 5649150);
    EXPECT_TRUE(j["checkpoint"].is_null());
    // The file is whole: the lines it holds belong to this design and a resumed run takes them.
    std::stringstream text;
    text << std::ifstream(file).rdbuf();
    EXPECT_GT(testing::Occurrences(text.str(), "\nbatch "), 0);
}

// A strategy file that cannot take what is written is refused before the run, with the reason.
TEST(CliExact, AStrategyFileThatCannotBeWrittenIsFoundBeforeTheRun) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    const auto run = RunCli(kFoldOrBet + " --strategy /dev/full");
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_NE(run.Message().find("«/dev/full» для записи"), std::string::npos) << run.Errors;
    EXPECT_EQ(run.Output, "");
    // A device that takes what is written serves.
    EXPECT_EQ(RunCli(kFoldOrBet + " --strategy /dev/null").ExitCode, 0);
}

TEST(CliExact, DesignsItCannotPlayAreRefusedWithTheReason) {
    struct TCase {
        std::string Arguments;
        int ExitCode;
        std::string Words;
    };
    std::vector<TCase> cases = {
        {"--set PlayingBoxes=2", 1, "одним боксом"},
        {"--set DealerOpenCards=5", 1, "0–4 открытыми картами"},
        {"--set BetSize=abc", 2, "BetSize"},
        {"--set 'StageActions[2][paBuyTwoCards]=YES'", 1, "больше семи карт"},
        {"--threads 0", 2, "--threads"},
        // A sample keeps no checkpoint and writes no strategy.
        {"--sample 5 --strategy s.csv", 2, "--strategy"},
        {"--sample 5 --checkpoint c.txt", 2, "--checkpoint"},
        // Found before the run, not after it.
        {"--strategy /nonexistent-folder/s.csv", 1, "/nonexistent-folder/s.csv"},
    };
    // A design file keeps any text in a number field; the analysis names the field.
    const testing::TTestFolder dir;
    const std::string file = (dir / "bad bet.es1").string();
    TGameDesign design;
    design.BetSize = "abc";
    SaveDesignFile(design, file);
    cases.push_back({"--design '" + file + "'", 1, "«abc»"});
    for (const TCase& c : cases) {
        const auto run = RunCli("exact " + c.Arguments);
        EXPECT_EQ(run.ExitCode, c.ExitCode) << c.Arguments;
        EXPECT_NE(run.Message().find(c.Words), std::string::npos)
            << c.Arguments << ": " << run.Message();
        EXPECT_EQ(run.Output, "") << c.Arguments;
    }
}

std::string FileBytes(const std::string& path) {
    std::stringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

// The store of a complete run answers for any first layout, in text or JSON; with a design given
// it must be that design's.
TEST(CliStrategy, TheStoreOfARunAnswersForAnyFirstLayout) {
    const testing::TTestFolder dir;
    const std::string store = (dir / "fold-or-bet.store").string();
    const auto run = RunCli(kFoldOrBet + " --strategy-store '" + store + "'");
    ASSERT_EQ(run.ExitCode, 0) << run.Errors;
    EXPECT_EQ(std::filesystem::file_size(store), 134459U + 96U);

    const std::string design = " --set DealerOpenCards=0 --set 'StageActions[1][paBuyCard]=NO'";
    const struct {
        const char* Player;
        const char* Choice;
        const char* Action;
    } cases[] = {
        {"Qc 10c 7h 6s 3c", "1", "fold"},
        {"Ah Ac Kd 9s 7h", "2", "bet"},
        {"2h 2d 2c 9s 7h", "2", "bet"},
    };
    for (const auto& c : cases) {
        const auto text = RunCli("strategy --store '" + store + "' --player '" + c.Player + "'");
        ASSERT_EQ(text.ExitCode, 0) << text.Errors;
        EXPECT_EQ(text.Output.rfind(
                      std::string("choice: ") + c.Choice + "\naction: " + c.Action + "\n", 0),
                  0U)
            << text.Output;
        const auto json =
            RunCli("strategy --json --store '" + store + "' --player '" + c.Player + "'" + design);
        ASSERT_EQ(json.ExitCode, 0) << json.Errors;
        EXPECT_EQ(nlohmann::json::parse(json.Output)["choice"], c.Choice);
    }
    const auto other = RunCli("strategy --store '" + store + "' --player 'Ah Ac Kd 9s 7h'" +
                              design + " --set MinPair=4");
    EXPECT_EQ(other.ExitCode, 1);
    EXPECT_NE(other.Message().find("другой конструкции"), std::string::npos) << other.Errors;
    const auto dealer =
        RunCli("strategy --store '" + store + "' --player 'Ah Ac Kd 9s 7h' --dealer 2s");
    EXPECT_EQ(dealer.ExitCode, 2) << dealer.Errors;
    const auto four = RunCli("strategy --store '" + store + "' --player 'Ah Ac Kd 9s'");
    EXPECT_EQ(four.ExitCode, 2) << four.Errors;
    const std::string head = FileBytes(store).substr(0, 1000);
    std::ofstream(store, std::ios::binary | std::ios::trunc) << head;
    const auto cut = RunCli("strategy --store '" + store + "' --player 'Ah Ac Kd 9s 7h'");
    EXPECT_EQ(cut.ExitCode, 1);
    EXPECT_NE(cut.Message().find("обрезан"), std::string::npos) << cut.Errors;
}

// A run resumed from its checkpoint values again the first decisions of the parts it takes from
// there: its store is the same, byte for byte. A sample writes no store.
TEST(CliStrategy, AResumedRunWritesTheSameStoreAndASampleNone) {
    const testing::TTestFolder dir;
    const std::string whole = (dir / "whole.store").string();
    ASSERT_EQ(RunCli(kFoldOrBet + " --strategy-store '" + whole + "'").ExitCode, 0);

    const std::string checkpoint = (dir / "run.checkpoint").string();
    const std::string resumed = (dir / "resumed.store").string();
    const std::string arguments = kFoldOrBet + " --batch-size 20000 --checkpoint '" + checkpoint +
                                  "' --strategy-store '" + resumed + "'";
    ASSERT_EQ(RunCli(arguments).ExitCode, 0);
    const std::string content = FileBytes(checkpoint);
    std::ofstream(checkpoint, std::ios::trunc) << content.substr(0, content.size() - 100);
    std::filesystem::remove(resumed);
    const auto run = RunCli(arguments);
    ASSERT_EQ(run.ExitCode, 0) << run.Errors;
    EXPECT_NE(run.Output.find("taken from the checkpoint were valued again"), std::string::npos);
    EXPECT_EQ(FileBytes(resumed), FileBytes(whole));

    const std::string sampled = (dir / "sample.store").string();
    const auto sample = RunCli(kFoldOrBet + " --sample 300 --strategy-store '" + sampled + "'");
    EXPECT_EQ(sample.ExitCode, 2) << sample.Errors;
    EXPECT_FALSE(std::filesystem::exists(sampled));
}

}  // namespace
}  // namespace studlab
