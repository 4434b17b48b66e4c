#include <gtest/gtest.h>

#include <filesystem>

#include "support/run_cli.h"
#include "support/test_folder.h"

namespace studlab {
namespace {

using testing::RunCli;
using testing::TTestFolder;

std::string OnlyAtStage1(const std::string& action) {
    std::string sets;
    for (const char* a : {"paFold", "paBet", "paBuyCard"}) {
        sets += std::string(" --set 'StageActions[1][") + a + "]=NO'";
    }
    return sets + " --set 'StageActions[1][" + action + "]=YES'";
}

TEST(CliDecide, PrintsTheCandidatesAndTheChoice) {
    const auto run = RunCli("decide --dealer 2s --player 'Ah Ac Kd 9s 7h'");
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Output.substr(0, run.Output.find("seconds: ")),
              "сделать пас\t-1\nзабиться\t1,5838\nкупить карту \t0,6352\nchoice: забиться\n");
}

// A layout the design does not allow and a mistyped option both end with exit code 2; the
// message tells them apart.
TEST(CliDecide, RejectsLayoutsThatDoNotFitTheDesignAndSaysWhy) {
    struct TCase {
        const char* Arguments;
        const char* Message;
    };
    const TCase cases[] = {
        {"decide --dealer '2s 3s' --player 'Ah Ac Kd 9s 7h'",
         "error: --dealer: the design opens 1 dealer card(s), 2 given"},
        {"decide --dealer '2s 3s' --player 'Ah Ac Kd 9s 7h' --set DealerOpenCards=7",
         "error: Число открытых карт дилера \"7\" не от 0 до 5.   Исправьте конструкцию и "
         "выберите новый расклад."},
        {"decide --dealer 2s --player 'Ah Ac Kd 9s'",
         "error: --player: give the player's five cards"},
        {"decide --dealer 2s --player 'Ah Ac Kd 9s 2s'", "error: a card is given twice"},
        {"decide --dealer 2s --player 'Ah Ac Kd 9s 7h' --method x",
         "--method: x not in {direct,probabilistic}"},
        {"decide --dealer 2s --player 'Ah Ac Kd 9s 7h' --methd direct",
         "The following arguments were not expected: direct --methd"},
    };
    for (const TCase& c : cases) {
        const auto run = RunCli(c.Arguments);
        EXPECT_EQ(run.ExitCode, 2) << c.Arguments;
        EXPECT_EQ(run.Message(), c.Message) << c.Arguments;
        EXPECT_EQ(run.Output, "") << c.Arguments;
    }
}

TEST(CliDecide, CacheLivesInTheGamesFolderAndARowNotStoredStillPrintsTheDecision) {
    const TTestFolder dir;
    std::filesystem::create_directories(dir / "Games");
    const std::string decide = "decide --dealer 2s --player 'Ah Ac Kd 9s 7h' --cache";
    const auto computed = RunCli(decide + " --games-dir '" + dir.Path().string() + "'");
    EXPECT_EQ(computed.ExitCode, 0);
    EXPECT_TRUE(std::filesystem::exists(dir / "Games" / "default.sqlite"));
    // The folder itself may be named too; the stored row answers.
    const auto served = RunCli(decide + " --games-dir '" + (dir / "Games").string() + "'");
    EXPECT_EQ(served.ExitCode, 0);
    EXPECT_NE(served.Output.find("choice: забиться\n"), std::string::npos);

    const auto notStored = RunCli(decide + " --games-dir '" + (dir / "nowhere").string() + "'");
    EXPECT_EQ(notStored.ExitCode, 1);
    EXPECT_EQ(notStored.Message(), "error: Нет папки \"" + (dir / "nowhere" / "Games").string() +
                                       "\": решение не сохранено в кэше");
    EXPECT_EQ(notStored.Output.substr(0, notStored.Output.find("seconds: ")),
              computed.Output.substr(0, computed.Output.find("seconds: ")));
    EXPECT_FALSE(std::filesystem::exists(dir / "nowhere"));
}

// Every action played through to the end of a hand: with only that action allowed at the first
// stage the hand must take it.
TEST(CliPlay, PlaysEveryKindOfActionToTheEnd) {
    struct Case {
        std::string sets;
        std::string taken;
    };
    const std::vector<Case> cases = {
        {OnlyAtStage1("paBet"), "choice: забиться\n"},
        {OnlyAtStage1("paBuyCard"), "choice: купить карту \n"},
        {OnlyAtStage1("paBuyTwoCards") + " --method probabilistic --cycles 50",
         "choice: купить две карты \n"},
        {OnlyAtStage1("paExchange1"), "choice: поменять "},
        {OnlyAtStage1("paExchange2") + " --method probabilistic --cycles 50", "choice: поменять "},
        {OnlyAtStage1("paExchange3") + " --method probabilistic --cycles 50",
         "choice: поменять все, кроме "},
        {OnlyAtStage1("paExchange4") + " --cycles 50", "choice: поменять все, кроме "},
        {OnlyAtStage1("paExchange5") + " --cycles 50", "choice: поменять все карты \n"},
        {OnlyAtStage1("paFold"), "choice: сделать пас\n"},
        {OnlyAtStage1("paBet") + " --set 'StageActions[2][paBuyDealerGame]=YES' --set "
                                 "'StageActions[3][paBuyDealerGame]=YES'",
         "купить игру дилеру "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sets);
        for (int seed : {1, 2, 3}) {
            const auto run = RunCli("play --seed " + std::to_string(seed) + c.sets);
            ASSERT_EQ(run.ExitCode, 0) << run.Output;
            EXPECT_NE(run.Output.find(c.taken), std::string::npos) << run.Output;
            EXPECT_NE(run.Output.find("\nresult: "), std::string::npos) << run.Output;
        }
    }
}

TEST(CliPlay, TheSameSeedPlaysTheSameHand) {
    const auto first = RunCli("play --seed 42");
    EXPECT_EQ(first.ExitCode, 0);
    EXPECT_EQ(RunCli("play --seed 42").Output, first.Output);
}

}  // namespace
}  // namespace studlab
