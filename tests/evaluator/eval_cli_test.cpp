#include <gtest/gtest.h>

#include "support/run_cli.h"

namespace studlab {
namespace {

using testing::RunCli;

TEST(EvalCliTest, WorkedLayout) {
    const auto run = RunCli("eval --player 'Ah Ac Kd 9s 7h' --dealer 2s --verbose");
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Output,
              "outcomes 163185\ndealer_wins 13324\nplayer_wins 74281\nties 0\nno_game 75580\n"
              "insurable 0\n15838\n");
    const auto listing = RunCli("listing --player 'Ah Ac Kd 9s 7h' --dealer 2s");
    EXPECT_EQ(listing.ExitCode, 0);
    EXPECT_EQ(listing.Output, "0 2 51 279 328 382 3903 8343 70459 3858 75580\n");
}

TEST(EvalCliTest, ModesStakeAndDesign) {
    // Against a complete dealer hand the value is the payout itself.
    const std::string layout =
        "--player 'A черви, K черви, Q черви, J черви, 10 черви' "
        "--dealer '2c 2d 5c 3s 7d'";
    EXPECT_EQ(RunCli("eval " + layout).Output, "2000000\n");
    EXPECT_EQ(RunCli("eval " + layout + " --extra-stake 5").Output, "1950000\n");
    EXPECT_EQ(RunCli("eval " + layout + " --extra-stake 0,5 --mode 100").Output, "5000\n");
    EXPECT_EQ(RunCli("eval " + layout + " --set TableMaximum=500").Output, "2010000\n");
    EXPECT_EQ(RunCli("eval " + layout + " --mode 222").Output, "0\n");
    EXPECT_EQ(RunCli("listing --player 'Ah Kc 9d 7s 5h' --dealer '3h 3c 9c Js' "
                     "--out '3d 3s 9h 9s Jh Jc Jd' --set MinPair=4")
                  .Output,
              "игровых комбинаций нет\n");
}

TEST(EvalCliTest, Mistakes) {
    struct TCase {
        const char* Arguments;
        int ExitCode;
    };
    const TCase cases[] = {
        {"eval --player 'Ah Ac Kd 9s 7h' --dealer 'Ah'", 2},  // a card in two places
        {"eval --player 'Ah Ac Kd 9s 7h' --out 'Kd'", 2},
        {"listing --player 'Ah Ac' --dealer '2s' --out '2s'", 2},
        {"eval --player 'Ah Ac Kd 9s 7h 2c 3c 4c'", 2},  // eight player cards
        {"eval --player 'Ah Ac Kd 9s 7h' --dealer '2s 3s 4s 5s 6s 7s'", 2},
        {"eval --player 'Ah Ac Kd 9s 7h' --extra-stake x", 2},
        {"eval --player 'Ah Ac Kd 9s Zz'", 2},
        {"eval --dealer 2s", 2},                                       // no player
        {"eval --player 'Ah Ac Kd 9s 7h' --set BetSize=abc", 2},       // not a number
        {"eval --player 'Ah Ac Kd 9s 7h' --set TableMaximum=1,5", 2},  // not a whole number
    };
    for (const TCase& c : cases) {
        const auto run = RunCli(c.Arguments);
        EXPECT_EQ(run.ExitCode, c.ExitCode) << c.Arguments;
        EXPECT_EQ(run.Output, "") << c.Arguments;
    }
}

}  // namespace
}  // namespace studlab
