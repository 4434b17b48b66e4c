#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "support/run_cli.h"
#include "support/run_shell.h"
#include "support/test_folder.h"

namespace studlab {
namespace {

namespace fs = std::filesystem;
using testing::Occurrences;
using testing::RunCli;
using testing::RunShell;

const char* const kLayouts[] = {"Ah Ac Kd 9s 7h", "Ah Ac Kd 9s 6h", "Ah Ac Kd 9s 5h",
                                "Ah Ac Kd 9s 4h", "Ah Ac Kd 9s 3h", "Ah Ac Kd 8s 3h"};

// What decide prints of the decision itself: the candidates and the choice.
std::string Decision(const std::string& output) {
    return output.substr(0, output.find("seconds: "));
}

class CliCache : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(m_dir / "Games"); }
    // The folder is removed with the fixture, once its owner may empty it again.
    void TearDown() override {
        fs::permissions(m_dir / "Games", fs::perms::owner_all, fs::perm_options::add);
    }
    std::string GamesDir() const { return " --games-dir '" + m_dir.string() + "'"; }
    std::string Decide(const std::string& player, const std::string& more = "") const {
        return "decide --dealer 2s --player '" + player + "' --cache" + GamesDir() + more;
    }
    std::string CacheFile() const { return (m_dir / "Games" / "default.sqlite").string(); }

    const testing::TTestFolder m_folder;
    const fs::path m_dir = m_folder.Path();
};

TEST_F(CliCache, AHitPrintsTheListsAsComputedAndIsMarked) {
    const auto computed = RunCli(Decide(kLayouts[0]));
    ASSERT_EQ(computed.ExitCode, 0);
    EXPECT_NE(computed.Output.find("\ncache: computed\n"), std::string::npos) << computed.Output;
    const auto hit = RunCli(Decide(kLayouts[0]));
    ASSERT_EQ(hit.ExitCode, 0);
    EXPECT_NE(hit.Output.find("\ncache: hit\n"), std::string::npos) << hit.Output;
    EXPECT_EQ(Decision(hit.Output), Decision(computed.Output));
    EXPECT_EQ(Decision(hit.Output),
              "сделать пас\t-1\nзабиться\t1,5838\nкупить карту \t0,6352\nchoice: забиться\n");
    EXPECT_EQ(RunCli("decide --dealer 2s --player '" + std::string(kLayouts[0]) + "'")
                  .Output.find("cache:"),
              std::string::npos);  // without the cache nothing is said of it
}

TEST_F(CliCache, ARowIsServedOnlyToTheDesignAndSettingsThatStoredIt) {
    const auto bet2 = RunCli(Decide(kLayouts[0]));
    const auto bet10 = RunCli(Decide(kLayouts[0], " --set BetSize=10"));
    ASSERT_EQ(bet10.ExitCode, 0);
    EXPECT_NE(bet10.Output.find("\ncache: computed\n"), std::string::npos) << bet10.Output;
    EXPECT_NE(bet10.Output.find("забиться\t"), std::string::npos) << bet10.Output;
    EXPECT_EQ(bet10.Output.find("забиться\t1,5838\n"), std::string::npos) << bet10.Output;

    struct TCase {
        std::string Settings;
        std::string Expected;  // the decision it must print
        bool Hit;
    };
    const TCase cases[] = {
        {"", Decision(bet2.Output), true},
        {" --set BetSize=10", Decision(bet10.Output), true},
        // Settings that cannot change a decision share the rows.
        {" --set HandSeconds=5 --set SameSequence=YES", Decision(bet2.Output), true},
        {" --method probabilistic --cycles 300", Decision(bet2.Output), false},
        {" --set TableMaximum=20", Decision(bet2.Output), false},
    };
    for (const TCase& c : cases) {
        const auto run = RunCli(Decide(kLayouts[0], c.Settings));
        ASSERT_EQ(run.ExitCode, 0) << c.Settings;
        EXPECT_NE(run.Output.find(c.Hit ? "\ncache: hit\n" : "\ncache: computed\n"),
                  std::string::npos)
            << c.Settings << "\n"
            << run.Output;
        if (c.Hit) {
            EXPECT_EQ(Decision(run.Output), c.Expected) << c.Settings;
        }
    }
    // Rows of every design stay in the file.
    EXPECT_NE(RunCli("cache --info default" + GamesDir()).Output.find("\nrows: 4\n"),
              std::string::npos);
}

TEST_F(CliCache, InfoAndClear) {
    RunCli(Decide(kLayouts[0]));
    RunCli(Decide(kLayouts[1]));
    const auto info = RunCli("cache --info default" + GamesDir());
    ASSERT_EQ(info.ExitCode, 0);
    EXPECT_EQ(info.Output.rfind("file: " + CacheFile() + "\nrows: 2\nsize: ", 0), 0U)
        << info.Output;
    EXPECT_GT(std::stol(info.Output.substr(info.Output.find("size: ") + 6)), 0);

    const auto cleared = RunCli("cache --clear default" + GamesDir());
    EXPECT_EQ(cleared.ExitCode, 0);
    EXPECT_EQ(cleared.Output, "cleared: 2 rows from " + CacheFile() + "\n");
    EXPECT_NE(RunCli("cache --info default" + GamesDir()).Output.find("\nrows: 0\n"),
              std::string::npos);
    EXPECT_NE(RunCli(Decide(kLayouts[0])).Output.find("\ncache: computed\n"), std::string::npos);

    EXPECT_EQ(RunCli("cache" + GamesDir()).ExitCode, 2);
    EXPECT_EQ(RunCli("cache --info a --clear b" + GamesDir()).ExitCode, 2);
    EXPECT_EQ(
        RunCli("cache --info default --games-dir '" + (m_dir / "nowhere").string() + "'").ExitCode,
        1);
    // Another program's file is neither read nor cleared.
    std::ofstream(m_dir / "Games" / "foreign.sqlite") << std::string(4096, 'x');
    EXPECT_EQ(RunCli("cache --clear foreign" + GamesDir()).ExitCode, 1);
    EXPECT_EQ(fs::file_size(m_dir / "Games" / "foreign.sqlite"), 4096U);
}

// Several programs deciding at once on a game that has no cache file yet: all of them succeed
// and store their decisions.
TEST_F(CliCache, DecidersStartingTogetherOnANewGameAllSucceed) {
    for (int trial = 0; trial < 4; ++trial) {
        fs::remove_all(m_dir / "Games");
        fs::create_directories(m_dir / "Games");
        std::string script = "for p in";
        for (const char* layout : kLayouts) script += std::string(" '") + layout + "'";
        script += "; do ( \"$CLI\" decide --dealer 2s --player \"$p\" --cache" + GamesDir() +
                  " >/dev/null; echo \"exit $?\" ) & done; wait";
        const auto run = RunShell(script);
        EXPECT_EQ(Occurrences(run.Output, "exit 0\n"), 6) << run.Output << run.Errors;
        EXPECT_NE(RunCli("cache --info default" + GamesDir()).Output.find("\nrows: 6\n"),
                  std::string::npos)
            << "trial " << trial;
    }
}

// A user who may not write the Games folder (another user's, or root's): the stored decisions
// are served, the others computed and shown, and the command says once that they are not stored.
TEST_F(CliCache, AFolderTheUserCannotWriteServesStoredRowsAndComputesTheRest) {
    const auto stored = RunCli(Decide(kLayouts[0]));
    ASSERT_EQ(stored.ExitCode, 0);
    std::string asUser;
    if (geteuid() == 0) {
        // Root writes anywhere: the commands run as the user nobody.
        if (RunShell("command -v setpriv").ExitCode != 0) GTEST_SKIP() << "no setpriv";
        asUser = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
    } else {
        fs::permissions(m_dir / "Games", fs::perms::owner_write, fs::perm_options::remove);
    }
    const auto hit = RunShell(asUser + "\"$CLI\" " + Decide(kLayouts[0]));
    EXPECT_EQ(hit.ExitCode, 0) << hit.Errors;
    EXPECT_NE(hit.Output.find("\ncache: hit\n"), std::string::npos) << hit.Output;
    EXPECT_EQ(Decision(hit.Output), Decision(stored.Output));

    const auto computed = RunShell(asUser + "\"$CLI\" " + Decide(kLayouts[1]));
    EXPECT_EQ(computed.ExitCode, 0) << computed.Errors;
    EXPECT_NE(computed.Output.find("\ncache: computed\n"), std::string::npos);
    EXPECT_EQ(Occurrences(computed.Errors, "note: Новые решения не сохраняются в кэше"), 1)
        << computed.Errors;

    const auto run =
        RunShell(asUser + "\"$CLI\" simulate --hands 40 --same-sequence --cache" + GamesDir());
    EXPECT_EQ(run.ExitCode, 0) << run.Errors;
    EXPECT_EQ(run.Output.rfind("MO=", 0), 0U);
    EXPECT_EQ(Occurrences(run.Errors, "note: "), 1) << run.Errors;
    EXPECT_NE(RunCli("cache --info default" + GamesDir()).Output.find("\nrows: 1\n"),
              std::string::npos);
}

TEST_F(CliCache, ASymbolicLinkAtTheCacheFileIsRefused) {
    fs::create_symlink(m_dir / "outside.sqlite", m_dir / "Games" / "default.sqlite");
    const auto run = RunShell("\"$CLI\" " + Decide(kLayouts[0]));
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_NE(run.Errors.find(CacheFile()), std::string::npos) << run.Errors;
    EXPECT_FALSE(fs::exists(m_dir / "outside.sqlite"));
}

}  // namespace
}  // namespace studlab
