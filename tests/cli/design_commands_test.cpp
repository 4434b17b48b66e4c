#include <gtest/gtest.h>

#include <filesystem>

#include "support/run_cli.h"

namespace studlab {
namespace {

using testing::RunCli;

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

TEST(CliClassify, BadInputEndsWithExitCodeTwo) {
    for (const char* args : {"classify --cards 'Ah Zz'", "classify --cards 'Ah Ah'",
                             "classify --cards 'Ah Kh Qh Jh Th 9h 8h 7h'",
                             "classify --cards Ah --set Nope=1", "classify", "nonsense"}) {
        EXPECT_EQ(RunCli(args).ExitCode, 2) << args;
    }
}

TEST(CliDesign, WritesShowsAndAppliesAssignments) {
    const auto dir = std::filesystem::temp_directory_path() / "studlab-cli-design";
    std::filesystem::create_directories(dir);
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
    EXPECT_EQ(RunCli("design --show '" + (dir / "missing.es1").string() + "'").ExitCode, 2);
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace studlab
