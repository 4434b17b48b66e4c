#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "support/run_cli.h"
#include "support/run_shell.h"
#include "support/test_folder.h"

namespace studlab {
namespace {

namespace fs = std::filesystem;
using testing::RunCli;
using testing::RunShell;
using testing::TTestFolder;

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(CliClassify, PrintsKindKeptAndAsideCards) {
    const auto run = RunCli("classify --cards 'Ah Ac Kd 9s 7h 4c 2d'");
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Output,
              "ckPair\nkept: A черви, A треф, K буби, 9 пик, 7 черви\naside: 4 треф, 2 буби\n");
    EXPECT_EQ(RunCli("classify --cards 'A черви, K треф, Q буби, J пик, 10 черви' --set "
                     "'Plays[ckStraight]=NO'")
                  .Output.substr(0, 10),
              "ckAceKing\n");
}

// Each mistake ends with exit code 2 and a message that names it.
TEST(CliClassify, BadInputEndsWithExitCodeTwoAndSaysWhy) {
    struct TCase {
        const char* Arguments;
        const char* Message;
    };
    const TCase cases[] = {
        {"classify --cards 'Ah Zz'", "error: --cards: unknown card 'Zz'"},
        {"classify --cards 'Ah Ah'", "error: --cards: card given twice: A черви"},
        {"classify --cards 'Ah Kh Qh Jh Th 9h 8h 7h'",
         "error: --cards: a player holds at most seven cards"},
        {"classify --cards Ah --set Nope=1", "error: --set: unknown field 'Nope'"},
        {"classify --cards Ah --set 'MinPair=1'",
         "error: --set MinPair: '1' is not a face: 2 .. 10, J, Q, K, A"},
        {"classify", "--cards is required"},
        {"classify --cards Ah --verbose", "The following argument was not expected: --verbose"},
        {"nonsense",
         "error: unknown command 'nonsense'; the commands are: classify design eval listing decide "
         "play simulate exact cache solve report strategy"},
    };
    for (const TCase& c : cases) {
        const auto run = RunCli(c.Arguments);
        EXPECT_EQ(run.ExitCode, 2) << c.Arguments;
        EXPECT_EQ(run.Message(), c.Message) << c.Arguments;
        EXPECT_EQ(run.Output, "") << c.Arguments;
    }
}

// Every value --set refuses is named in one form, whether its form or its range is wrong:
// "--set NAME: 'VALUE' is not ...".
TEST(CliDesign, SetMistakesNameTheFieldInOneForm) {
    struct TCase {
        const char* Assignment;
        const char* Message;
    };
    const TCase cases[] = {
        {"BetSize=abc", "error: --set BetSize: 'abc' is not a number such as 1,5"},
        {"BetSize=1e300",
         "error: --set BetSize: '1e300' is not an amount from -1000000000 to 1000000000 antes"},
        {"ProbabilisticCycles=abc",
         "error: --set ProbabilisticCycles: 'abc' is not a whole number"},
        {"ProbabilisticCycles=-3",
         "error: --set ProbabilisticCycles: '-3' is not a whole number from 1 to 10000000"},
        {"Plays[ckStraight]=maybe", "error: --set Plays[ckStraight]: 'maybe' is not YES or NO"},
        {"CalcMethod=fast",
         "error: --set CalcMethod: 'fast' is not one of cmDirect, cmProbabilistic"},
        {"Nope=1", "error: --set: unknown field 'Nope'"},
        {"BetSize", "error: --set: expected NAME=VALUE, got 'BetSize'"},
    };
    for (const TCase& c : cases) {
        const auto run = RunCli(std::string("classify --cards Ah --set '") + c.Assignment + "'");
        EXPECT_EQ(run.ExitCode, 2) << c.Assignment;
        EXPECT_EQ(run.Message(), c.Message) << c.Assignment;
        EXPECT_EQ(run.Output, "") << c.Assignment;
    }
}

TEST(CliDesign, WritesShowsAndAppliesAssignments) {
    const TTestFolder dir;
    const std::string file = (dir / "x.es1").string();
    ASSERT_EQ(
        RunCli("design --write '" + file + "' --set 'PayQualified[ckFlush]=12,5' --set MinPair=Q")
            .ExitCode,
        0);
    const auto show = RunCli("design --show '" + file + "'");
    EXPECT_EQ(show.ExitCode, 0);
    EXPECT_NE(show.Output.find("PayQualified[ckFlush] = 12,5\n"), std::string::npos);
    EXPECT_NE(show.Output.find("MinPair = Q\n"), std::string::npos);
    EXPECT_NE(show.Output.find("StageActions[1][paBuyCard] = YES\n"), std::string::npos);
}

// A design that cannot be saved is a result that could not be written (exit code 1) and leaves
// the old file as it was; a file given to read that cannot be opened or is no design file is a
// mistake in the arguments (exit code 2).
TEST(CliDesign, SaveFailuresExitOneAndFilesThatCannotBeReadExitTwo) {
    const TTestFolder dir;
    const std::string keep = (dir / "keep.es1").string();
    ASSERT_EQ(RunShell("\"$CLI\" design --write '" + keep + "'").ExitCode, 0);
    const std::string before = Read(keep);
    std::ofstream(dir / "notes.es1") << "not a design\n";
    fs::create_directory(dir / "folder.es1");
    const std::string longBet = "--set BetSize=0," + std::string(250, '1');
    struct TCase {
        std::string Script;
        int ExitCode;
        std::string Message;
    };
    const TCase cases[] = {
        // A size limit cuts the write short: the file grows past it.
        {"ulimit -f 1; \"$CLI\" design --write '" + keep + "' " + longBet, 1,
         "error: Не удалось сохранить файл «" + keep + "»: File too large"},
        {"\"$CLI\" design --write '" + (dir / "no-folder/x.es1").string() + "'", 1,
         "error: Не удалось сохранить файл «" + (dir / "no-folder/x.es1").string() +
             "»: No such file or directory"},
        {"\"$CLI\" design --write '" + (dir / "folder.es1").string() + "'", 1,
         "error: Не удалось сохранить файл «" + (dir / "folder.es1").string() +
             "»: Is a directory"},
        {"\"$CLI\" design --show '" + (dir / "missing.es1").string() + "'", 2,
         "error: Не удалось открыть файл «" + (dir / "missing.es1").string() +
             "»: No such file or directory"},
        {"\"$CLI\" design --show '" + (dir / "notes.es1").string() + "'", 2,
         "error: Файл «" + (dir / "notes.es1").string() +
             "» — не файл конструкции игры: строка 2: файл кончается раньше: в нём 1 строк, а в "
             "файле конструкции их не меньше 150"},
        {"\"$CLI\" classify --cards Ah --design '" + (dir / "notes.es1").string() + "'", 2,
         "error: Файл «" + (dir / "notes.es1").string() +
             "» — не файл конструкции игры: строка 2: файл кончается раньше: в нём 1 строк, а в "
             "файле конструкции их не меньше 150"},
    };
    for (const TCase& c : cases) {
        const auto run = RunShell(c.Script);
        EXPECT_EQ(run.ExitCode, c.ExitCode) << c.Script;
        EXPECT_EQ(run.Errors.substr(0, run.Errors.find('\n')), c.Message) << c.Script;
        EXPECT_EQ(run.Output, "") << c.Script;
    }
    EXPECT_EQ(Read(keep), before);
}

}  // namespace
}  // namespace studlab
