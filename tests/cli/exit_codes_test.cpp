#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "support/run_shell.h"
#include "support/test_folder.h"

namespace studlab {
namespace {

using testing::RunShell;

const std::string kDecide = "decide --dealer 2s --player 'Ah Ac Kd 9s 7h'";
const std::string kEval = "eval --player 'Ah Ac Kd 9s 7h' --dealer 2s";
const std::string kExchanges =
    " --set 'StageActions[1][paExchange5]=YES' --set 'StageActions[2][paExchange5]=YES'";

// Every mistake in the arguments ends with exit code 2, prints nothing on the standard output
// and names the option (or the field of --set) it concerns.
TEST(CliExitCodes, UsageErrorsExitTwoAndNameTheOption) {
    struct TCase {
        std::string Arguments;
        std::string Named;
    };
    const TCase cases[] = {
        {kDecide + " --cycles abc", "--cycles: 'abc'"},
        {kDecide + " --cycles 1e9", "--cycles: '1e9'"},
        {kDecide + " --cycles 10000001", "--cycles: '10000001'"},
        {kDecide + " --cycles 0", "--cycles: '0'"},
        {kDecide + " --cycles -5 --method probabilistic", "--cycles: '-5'"},
        {"play --seed 1 --cycles 2,5", "--cycles: '2,5'"},
        {"simulate --hands 10 --cycles -1", "--cycles: '-1'"},
        {kDecide + " --set ProbabilisticCycles=1e9", "ProbabilisticCycles"},
        {kDecide + " --set ProbabilisticCycles=-5", "--set ProbabilisticCycles: '-5'"},
        {"simulate --hands 10 --boxes 2,5", "--boxes: '2,5'"},
        {"simulate --hands 10 --boxes 11", "--boxes: '11'"},
        {"simulate --hands 10 --boxes 10", "the deck of 52 cards serves 9 boxes"},
        {"simulate --hands 10 --boxes 0", "--boxes: '0'"},
        {"simulate --hands 10 --boxes 8" + kExchanges, "serves 7 boxes of this game"},
        {"simulate --hands 10 --set PlayingBoxes=10", "--set PlayingBoxes: '10'"},
        {"simulate --hands 0", "--hands: '0'"},
        {"simulate --hands 1000001", "--hands: '1000001'"},
        {"simulate --hands 1e3", "--hands: '1e3'"},
        {"simulate --hands 10 --cycle-limits 5,-5,x,10", "--cycle-limits: 'x'"},
        {"simulate --hands 10 --cycle-limits 5,-5,-1e12,10", "--cycle-limits: '-1e12'"},
        {kEval + " --extra-stake 1e300", "--extra-stake: '1e300'"},
        {kEval + " --extra-stake 1e10", "--extra-stake: '1e10'"},
        {kEval + " --extra-stake -1", "--extra-stake: '-1'"},
        {kEval + " --extra-stake nan", "--extra-stake: 'nan'"},
        {kEval + " --set BetSize=1e300", "--set BetSize: '1e300'"},
        {kEval + " --set 'PayQualified[ckPair]=-2e9'", "--set PayQualified[ckPair]: '-2e9'"},
        {"exact --set 'PayQualified[ckPair]=16777217'",
         "--set PayQualified[ckPair]: '16777217' would pay 16777216 antes"},
        {kDecide + " --set 'PayNotQualified[ckFlush]=100000001'",
         "--set PayNotQualified[ckFlush]: '100000001' would pay 100000000 antes"},
        {"simulate --hands 10 --set TableMaximum=0", "--set TableMaximum: '0' is not a whole "
                                                     "number from 1 to 2147483647"},
        {kDecide + " --set TableMaximum=-5", "--set TableMaximum: '-5'"},
        {kEval + " --mode x", "--mode"},
        {"play --seed -1", "--seed"},
        // Seeds of play come from the table's 32-bit generator: the message gives the range.
        {"play --seed 4294967296", "--seed: '4294967296' is not a whole number from 0 to "
                                   "4294967295"},
        // An empty value is a mistake, not the default (--games-dir "" wrote beside the program).
        {"play --seed ''", "--seed: ''"},
        {"simulate --hands 10 --seed ''", "--seed: an empty value"},
        {"simulate --hands 10 --threads ''", "--threads: an empty value"},
        {"simulate --hands 10 --boxes ''", "--boxes: an empty value"},
        {kDecide + " --cache --games-dir ''", "--games-dir: an empty value"},
        {"cache --info default --games-dir ''", "--games-dir: an empty value"},
        // A blank on either side of a number is refused alike.
        {kDecide + " --method probabilistic --cycles ' 5'", "--cycles: ' 5'"},
        {kDecide + " --method probabilistic --cycles '5 '", "--cycles: '5 '"},
        {"simulate --hands ' 10'", "--hands: ' 10'"},
        {"simulate --hands 10 --threads ' 2'", "--threads: ' 2'"},
        {kEval + " --extra-stake ' 1'", "--extra-stake: ' 1'"},
        // The same design mistake, the same exit code in every command.
        {kDecide + " --set DealerOpenCards=abc", "--set DealerOpenCards: 'abc'"},
        {"exact --set DealerOpenCards=abc", "--set DealerOpenCards: 'abc'"},
        {"design --write x.es1 --set DealerOpenCards=abc", "--set DealerOpenCards: 'abc'"},
        {"nonsense --x", "unknown command 'nonsense'"},
    };
    for (const TCase& c : cases) {
        const auto run = RunShell("\"$CLI\" " + c.Arguments);
        EXPECT_EQ(run.ExitCode, 2) << c.Arguments << "\n" << run.Errors;
        EXPECT_EQ(run.Output, "") << c.Arguments;
        EXPECT_NE(run.Errors.find(c.Named), std::string::npos) << c.Arguments << "\n" << run.Errors;
    }
}

TEST(CliExitCodes, ValuesAtTheEndsOfTheirRangesAreTaken) {
    for (const std::string& arguments : std::vector<std::string>{
             kDecide + " --cycles 10000000", kDecide + " --method probabilistic --cycles 1",
             "simulate --hands 20 --same-sequence --boxes 9",
             "simulate --hands 20 --same-sequence --boxes 7 --method probabilistic --cycles 20" +
                 kExchanges,
             kEval + " --extra-stake 1000000000", kEval + " --extra-stake 0.5",
             kEval + " --set BetSize=1e9"}) {
        const auto run = RunShell("\"$CLI\" " + arguments);
        EXPECT_EQ(run.ExitCode, 0) << arguments << "\n" << run.Errors;
    }
}

// Results that do not reach their file fail the command, with a message.
TEST(CliExitCodes, ResultsThatCannotBeWrittenFailTheCommand) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    const testing::TTestFolder dir;
    const std::string design = (dir / "full.es1").string();
    ASSERT_EQ(RunShell("\"$CLI\" design --write '" + design + "'").ExitCode, 0);
    for (const std::string& arguments :
         {std::string("simulate --hands 100"), std::string("simulate --hands 100 --json"), kDecide,
          "design --show '" + design + "'", std::string("play --seed 1"), kEval + " --verbose",
          std::string("classify --cards 'Ah Ac Kd 9s 7h'"), std::string("--help")}) {
        const auto run = RunShell("\"$CLI\" " + arguments + " >/dev/full");
        EXPECT_EQ(run.ExitCode, 1) << arguments;
        EXPECT_NE(run.Errors.find("could not be written"), std::string::npos) << arguments << "\n"
                                                                              << run.Errors;
    }
}

}  // namespace
}  // namespace studlab
