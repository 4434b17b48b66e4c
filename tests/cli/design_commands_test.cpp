#include <gtest/gtest.h>

#include "support/run_cli.h"
#include "support/test_folder.h"

namespace studlab {
namespace {

using testing::RunCli;
using testing::TTestFolder;

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
         "error: --set: invalid value '1' for MinPair (expected a face: 2 .. 10, J, Q, K, A)"},
        {"classify", "--cards is required"},
        {"classify --cards Ah --verbose", "The following argument was not expected: --verbose"},
        {"nonsense",
         "error: unknown command 'nonsense'; the commands are: classify design eval listing decide "
         "play simulate exact cache"},
    };
    for (const TCase& c : cases) {
        const auto run = RunCli(c.Arguments);
        EXPECT_EQ(run.ExitCode, 2) << c.Arguments;
        EXPECT_EQ(run.Message(), c.Message) << c.Arguments;
        EXPECT_EQ(run.Output, "") << c.Arguments;
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
    const std::string missing = (dir / "missing.es1").string();
    const auto notRead = RunCli("design --show '" + missing + "'");
    EXPECT_EQ(notRead.ExitCode, 2);
    EXPECT_EQ(notRead.Message(),
              "error: Не удалось открыть файл «" + missing + "»: No such file or directory");
}

}  // namespace
}  // namespace studlab
