#include <gtest/gtest.h>

#include "cards/evaluator.h"
#include "design/design_file.h"
#include "support/run_cli.h"
#include "support/test_folder.h"

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
    // Stakes the evaluator's single precision holds count as given, to the ten-thousandth.
    EXPECT_EQ(RunCli("eval " + layout + " --extra-stake 1000,0001").Output, "-8000001\n");
    EXPECT_EQ(RunCli("eval " + layout + " --extra-stake 16777216").Output, "-167770160000\n");
    EXPECT_EQ(RunCli("eval " + layout + " --extra-stake 100000000").Output, "-999998000000\n");
    EXPECT_EQ(RunCli("eval " + layout + " --set TableMaximum=500").Output, "2010000\n");
    EXPECT_EQ(RunCli("eval " + layout + " --mode 222").Output, "0\n");
    EXPECT_EQ(RunCli("listing --player 'Ah Kc 9d 7s 5h' --dealer '3h 3c 9c Js' "
                     "--out '3d 3s 9h 9s Jh Jc Jd' --set MinPair=4")
                  .Output,
              "игровых комбинаций нет\n");
}

// A mistake in the arguments ends with exit code 2, a layout or design the evaluator cannot use
// with 1; the message says which.
TEST(EvalCliTest, Mistakes) {
    struct TCase {
        const char* Arguments;
        int ExitCode;
        const char* Message;
    };
    const TCase cases[] = {
        {"eval --player 'Ah Ac Kd 9s 7h' --dealer 'Ah'", 2,
         "error: cards given in two places: A черви"},
        {"eval --player 'Ah Ac Kd 9s 7h' --out 'Kd'", 2,
         "error: cards given in two places: K буби"},
        {"listing --player 'Ah Ac' --dealer '2s' --out '2s'", 2,
         "error: cards given in two places: 2 пик"},
        {"eval --player 'Ah Ac Kd 9s 7h 2c 3c 4c'", 2,
         "error: --player: a player holds at most seven cards"},
        {"eval --player 'Ah Ac Kd 9s 7h' --dealer '2s 3s 4s 5s 6s 7s'", 2,
         "error: --dealer: the dealer holds at most five cards"},
        {"eval --player 'Ah Ac Kd 9s 7h' --extra-stake x", 2,
         "error: --extra-stake: 'x' is not an amount from 0 to 1000000000 antes"},
        {"eval --player 'Ah Ac Kd 9s 7h' --extra-stake 100000001", 2,
         "error: --extra-stake: '100000001' would count as 100000000 antes: the stake is a "
         "single-precision number, which holds every ten-thousandth of an ante below 1024 and "
         "every whole ante up to 16777216"},
        {"eval --player 'Ah Ac Kd 9s 7h' --extra-stake 100000004", 2,
         "error: --extra-stake: '100000004' would count as 100000000 antes: the stake is a "
         "single-precision number, which holds every ten-thousandth of an ante below 1024 and "
         "every whole ante up to 16777216"},
        {"eval --player 'Ah Ac Kd 9s 7h' --extra-stake 5000,0001", 2,
         "error: --extra-stake: '5000,0001' would count as 5000 antes: the stake is a "
         "single-precision number, which holds every ten-thousandth of an ante below 1024 and "
         "every whole ante up to 16777216"},
        {"eval --player 'Ah Ac Kd 9s Zz'", 2, "error: --player: unknown card 'Zz'"},
        {"eval --dealer 2s", 2, "--player is required"},
        {"eval --player 'Ah Ac Kd 9s 7h' --mode x", 2, "Could not convert: --mode = x"},
        {"eval --player 'Ah Ac Kd 9s 7h' --dealr 2s", 2,
         "The following arguments were not expected: 2s --dealr"},
        {"eval --player 'Ah Ac Kd 9s 7h' --set BetSize=abc", 2,
         "error: --set BetSize: 'abc' is not a number such as 1,5"},
        {"eval --player 'Ah Ac Kd 9s 7h' --set TableMaximum=1,5", 2,
         "error: --set TableMaximum: '1,5' is not a whole number"},
        {"eval --player 'Ah Ac Kd 9s 7h' --dealer 2s --out '2c 2h 2d 3s 3c 3h 3d 4s 4c 4h 4d 5s "
         "5c 5h 5d 6s 6c 6h 6d 7s 7c 7d 8s 8c 8h 8d 9c 9h 9d Ts Tc Th Td Js Jc Jh Jd Qs Qc Qh Qd "
         "Ks Kc Kh As Ad'",
         1,
         "error: Расклад нельзя оценить: дилеру не хватает карт (нужно ещё 4, неизвестных "
         "осталось 0)"},
    };
    for (const TCase& c : cases) {
        const auto run = RunCli(c.Arguments);
        EXPECT_EQ(run.ExitCode, c.ExitCode) << c.Arguments;
        EXPECT_EQ(run.Message(), c.Message) << c.Arguments;
        EXPECT_EQ(run.Output, "") << c.Arguments;
    }
}

// --mode takes the evaluator's action codes only: any other number would print 0 as if it
// were the action's value.
TEST(EvalCliTest, ModeIsOneOfTheEvaluatorsCodes) {
    const std::string layout = "eval --player 'Ah Ac Kd 9s 7h 4c' --dealer 2s --mode ";
    for (const TEvalMode code : EvalModes()) {
        const auto run = RunCli(layout + std::to_string(code));
        EXPECT_EQ(run.ExitCode, 0) << code << ": " << run.Errors;
    }
    // Between the codes, beside them, below and far above them.
    for (const char* code : {"5", "13", "99", "700", "-1", "99999"}) {
        const auto run = RunCli(layout + code);
        EXPECT_EQ(run.ExitCode, 2) << code;
        EXPECT_EQ(run.Output, "") << code;
        EXPECT_EQ(run.Message(), "error: --mode: '" + std::string(code) +
                                     "' is not an action code; the codes are 0, 1, 10, 11, 12, "
                                     "21, 22, 31, 32, 41, 42, 51, 52, 61, 62, 71, 72, 100, 210, "
                                     "220, 222, 310, 320, 710, 720");
    }
}

// A design file is read as it stands; a number in it that does not convert stops the evaluation.
TEST(EvalCliTest, ANumberInTheDesignFileThatDoesNotConvert) {
    const testing::TTestFolder dir;
    const std::string file = (dir / "bad bet.es1").string();
    TGameDesign design;
    design.BetSize = "abc";  // as the windows keep any text
    SaveDesignFile(design, file);
    const auto run = RunCli("eval --player 'Ah Ac Kd 9s 7h' --dealer 2s --design '" + file + "'");
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.Message(),
              "error: В поле «общие затраты: забиться» (конструктор, окно 3; строка 37 файла "
              "конструкции) стоит «abc», а нужно число, например 1,5");
    EXPECT_EQ(run.Output, "");
}

}  // namespace
}  // namespace studlab
