#include "profit/exact/exact_run.h"
#include "profit/exact/strategy.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace studlab {
namespace {

namespace fs = std::filesystem;

// A stand-in for playing a class: sums that depend on the class, in several fields.
class TFakePlay final : public IClassPlay {
public:
    void Play(const TLayoutClass& layout, TExactSums& sums) override {
        ++sums.Classes;
        sums.Layouts += TInt256(layout.Members);
        const auto h = static_cast<std::int64_t>((layout.Player.Mask() * 2654435761ULL) % 1000003);
        sums.Result += TInt256(h - 500000) * layout.Members;
        sums.Cell(TCombinationKind::ckPair, TFinalOutcome::foWon).Chance += TInt256(h);
    }
};

TClassPlayFactory Fake() {
    return [] { return std::make_unique<TFakePlay>(); };
}

class ExactRun : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() /
                ("studlab-exact-run-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }
    fs::path File(const char* name) const { return m_dir / name; }

    const TLayoutClasses m_classes{0};
    fs::path m_dir;
};

TEST_F(ExactRun, SameSumsWhateverTheThreadsAndBatches) {
    TExactRunOptions one;
    one.Threads = 1;
    one.BatchSize = 100000;
    const TExactRunResult reference = RunExactAnalysis(m_classes, Fake(), one);
    EXPECT_EQ(reference.Sums.Classes, m_classes.ClassCount());
    EXPECT_EQ(reference.Sums.Layouts, TInt256(m_classes.LayoutCount()));
    for (const auto& [threads, batch] : {std::pair{2, 1000}, std::pair{3, 777}, std::pair{5, 13}}) {
        TExactRunOptions options;
        options.Threads = threads;
        options.BatchSize = batch;
        const TExactRunResult r = RunExactAnalysis(m_classes, Fake(), options);
        EXPECT_EQ(r.Sums, reference.Sums) << threads << " threads, batches of " << batch;
        EXPECT_FALSE(r.Cancelled);
    }
}

TEST_F(ExactRun, ResumesFromItsCheckpoint) {
    TExactRunOptions options;
    options.Threads = 2;
    options.BatchSize = 5000;
    options.Fingerprint = "design-a";
    const TExactRunResult plain = RunExactAnalysis(m_classes, Fake(), options);

    options.Checkpoint = File("run.checkpoint");
    const TExactRunResult first = RunExactAnalysis(m_classes, Fake(), options);
    EXPECT_EQ(first.Sums, plain.Sums);
    EXPECT_EQ(first.ResumedBatches, 0);

    // An interruption: the last whole batch line is cut half-way and a later one never written.
    std::ifstream in(options.Checkpoint);
    std::stringstream all;
    all << in.rdbuf();
    std::string text = all.str();
    in.close();
    const std::size_t lastLine = text.rfind("\nbatch ", text.size() - 2);
    const std::size_t cut = text.rfind("\nbatch ", lastLine - 1);
    text = text.substr(0, cut + 1) + text.substr(cut + 1, 20);
    std::ofstream(options.Checkpoint, std::ios::trunc) << text;

    const TExactRunResult resumed = RunExactAnalysis(m_classes, Fake(), options);
    EXPECT_EQ(resumed.Sums, plain.Sums);
    const std::int64_t batches = (m_classes.ClassCount() + 4999) / 5000;
    EXPECT_EQ(resumed.ResumedBatches, batches - 2);

    // Everything done: a third run only reads.
    const TExactRunResult again = RunExactAnalysis(m_classes, Fake(), options);
    EXPECT_EQ(again.Sums, plain.Sums);
    EXPECT_EQ(again.ResumedBatches, batches);
}

TEST_F(ExactRun, RefusesACheckpointItCannotUse) {
    TExactRunOptions options;
    options.Threads = 1;
    options.BatchSize = 50000;
    options.Fingerprint = "design-a";
    options.Checkpoint = File("run.checkpoint");
    RunExactAnalysis(m_classes, Fake(), options);

    auto message = [&](const TExactRunOptions& o) -> std::string {
        try {
            RunExactAnalysis(m_classes, Fake(), o);
        } catch (const TExactRunError& e) {
            return e.what();
        }
        return "";
    };
    TExactRunOptions other = options;
    other.Fingerprint = "design-b";
    EXPECT_NE(message(other).find("другой конструкции"), std::string::npos);
    other = options;
    other.BatchSize = 4000;
    EXPECT_NE(message(other).find("другой конструкции"), std::string::npos);

    std::ofstream(File("foreign")) << "just some text\n";
    other = options;
    other.Checkpoint = File("foreign");
    EXPECT_NE(message(other).find("не является файлом продолжения"), std::string::npos);

    // A damaged line in the middle is not an interruption.
    std::ifstream in(options.Checkpoint);
    std::stringstream all;
    all << in.rdbuf();
    std::string text = all.str();
    in.close();
    text.replace(text.find("batch ") + 8, 3, "x y");
    std::ofstream(File("damaged")) << text;
    other = options;
    other.Checkpoint = File("damaged");
    EXPECT_NE(message(other).find("повреждён"), std::string::npos);

    // So is a line whose figures changed on the disk but still read as figures.
    text = all.str();
    const std::size_t digit = text.find_first_of("123456789", text.find("batch ") + 8);
    text[digit] = text[digit] == '9' ? '8' : static_cast<char>(text[digit] + 1);
    std::ofstream(File("changed")) << text;
    other.Checkpoint = File("changed");
    EXPECT_NE(message(other).find("повреждён"), std::string::npos);

    // A file of the earlier format, whose lines were checked each by itself, cannot be bound to
    // a design: it is refused with a message that says so.
    text = all.str();
    text.replace(text.find("checkpoint 3"), 12, "checkpoint 2");
    std::ofstream(File("older")) << text;
    other.Checkpoint = File("older");
    EXPECT_NE(message(other).find("прежней версией"), std::string::npos);
}

// Every line is bound to the design and the division into batches: a whole, intact line of
// another design's checkpoint pasted under this one's heading is refused, not added.
TEST_F(ExactRun, RefusesLinesOfAnotherDesignsCheckpoint) {
    auto lines = [&](const char* fingerprint, const char* name) {
        TExactRunOptions options;
        options.Threads = 1;
        options.BatchSize = 50000;
        options.Fingerprint = fingerprint;
        options.Checkpoint = File(name);
        RunExactAnalysis(m_classes, Fake(), options);
        std::ifstream in(options.Checkpoint);
        std::stringstream all;
        all << in.rdbuf();
        return std::pair{options, all.str()};
    };
    auto [mine, myText] = lines("design-a", "a.checkpoint");
    const std::string foreign = lines("design-b", "b.checkpoint").second;
    const std::size_t myBatch = myText.find("\nbatch 1 ") + 1;
    const std::size_t theirBatch = foreign.find("\nbatch 1 ") + 1;
    myText.replace(myBatch, myText.find('\n', myBatch) - myBatch,
                   foreign.substr(theirBatch, foreign.find('\n', theirBatch) - theirBatch));
    std::ofstream(mine.Checkpoint, std::ios::trunc) << myText;
    try {
        RunExactAnalysis(m_classes, Fake(), mine);
        ADD_FAILURE() << "a line of another design's checkpoint was taken";
    } catch (const TExactRunError& e) {
        EXPECT_NE(std::string(e.what()).find("повреждён"), std::string::npos) << e.what();
    }
}

// A checkpoint open in one run is refused to a second one, which says why; once the first has
// ended the file is whole and serves again.
TEST_F(ExactRun, ACheckpointInUseIsRefused) {
    TExactRunOptions options;
    options.Threads = 1;
    options.BatchSize = 50000;
    options.Fingerprint = "design-a";
    options.Checkpoint = File("shared.checkpoint");
    const std::int64_t batches = (m_classes.ClassCount() + 49999) / 50000;
    {
        const TCheckpoint first(options.Checkpoint, options.Fingerprint, options.BatchSize,
                                batches);
        try {
            RunExactAnalysis(m_classes, Fake(), options);
            ADD_FAILURE() << "a second run wrote into a checkpoint in use";
        } catch (const TExactRunError& e) {
            EXPECT_NE(std::string(e.what()).find("используется"), std::string::npos) << e.what();
        }
    }
    const TExactRunResult whole = RunExactAnalysis(m_classes, Fake(), options);
    EXPECT_EQ(whole.Sums.Classes, m_classes.ClassCount());
    EXPECT_EQ(RunExactAnalysis(m_classes, Fake(), options).ResumedBatches, batches);
}

// A play that leaves classes uncounted gives sums that are not the whole game's: the run says
// so instead of returning them as a result.
TEST_F(ExactRun, RefusesSumsThatDoNotCoverEveryClass) {
    class TSkippingPlay final : public IClassPlay {
    public:
        void Play(const TLayoutClass& layout, TExactSums& sums) override {
            if (++m_seen % 1000 == 0) return;
            m_fake.Play(layout, sums);
        }

    private:
        TFakePlay m_fake;
        std::int64_t m_seen = 0;
    };
    TExactRunOptions options;
    options.Threads = 2;
    options.BatchSize = 3000;
    try {
        RunExactAnalysis(m_classes, [] { return std::make_unique<TSkippingPlay>(); }, options);
        ADD_FAILURE() << "sums over part of the classes were returned";
    } catch (const TExactRunError& e) {
        EXPECT_NE(std::string(e.what()).find("не совпадает с целым"), std::string::npos)
            << e.what();
    }
}

// A file cut while its heading was written (or left empty) holds no batch: the run starts anew.
TEST_F(ExactRun, ACheckpointCutInItsHeadingStartsAnew) {
    TExactRunOptions options;
    options.Threads = 1;
    options.BatchSize = 50000;
    options.Checkpoint = File("whole.checkpoint");
    const TExactRunResult whole = RunExactAnalysis(m_classes, Fake(), options);
    std::ifstream in(options.Checkpoint);
    std::string heading;
    std::getline(in, heading);
    for (const std::string& cut : {std::string(), heading.substr(0, 10), heading + "\n"}) {
        std::ofstream(File("cut.checkpoint"), std::ios::trunc) << cut;
        options.Checkpoint = File("cut.checkpoint");
        const TExactRunResult again = RunExactAnalysis(m_classes, Fake(), options);
        EXPECT_EQ(again.ResumedBatches, 0) << cut;
        EXPECT_EQ(again.Sums.ToText(), whole.Sums.ToText()) << cut;
    }
}

TEST_F(ExactRun, AStopEndsTheRunCancelled) {
    std::atomic<bool> stop{true};
    TExactRunOptions options;
    options.Threads = 2;
    options.BatchSize = 1000;
    options.Stop = &stop;
    const TExactRunResult r = RunExactAnalysis(m_classes, Fake(), options);
    EXPECT_TRUE(r.Cancelled);
    EXPECT_LT(r.Sums.Classes, m_classes.ClassCount());
}

}  // namespace
}  // namespace studlab

namespace studlab {
namespace {

// A strategy cell gathers up to billions of layouts of actions worth up to billions of antes: its
// value sum goes beyond 64 bits, adds up exactly, and comes back from a checkpoint's text; lines
// written while the sums were 64-bit still read.
TEST(StrategyGrid, ValueSumsBeyondSixtyFourBitsAddAndComeBackExactly) {
    TStrategyGrid grid;
    TStrategyTally& cell = grid.At(3, 12, TFirstAction::faExchange1);
    cell.Offered = 1'240'000;
    cell.ValueSum = TInt256(-13'000'000'000'000) * 1'240'000;  // -1.612e19
    TStrategyGrid twice = grid;
    twice += grid;
    EXPECT_EQ(twice.At(3, 12, TFirstAction::faExchange1).ValueSum.ToString(),
              "-32240000000000000000");

    TStrategyGrid back;
    ASSERT_TRUE(TStrategyGrid::FromText(twice.ToText(), back));
    EXPECT_EQ(back, twice);
    const TStrategyCell shown = StrategyCellOf(back, 3, 12);
    EXPECT_NEAR(static_cast<double>(
                    shown.MeanValue[static_cast<std::size_t>(TFirstAction::faExchange1)]),
                -1.3e9, 1e-3);

    TStrategyGrid old;
    ASSERT_TRUE(TStrategyGrid::FromText("5 10 4 -123456;", old));
    EXPECT_EQ(old.AtIndex(5).ValueSum.ToString(), "-123456");
    EXPECT_FALSE(TStrategyGrid::FromText("5 10 4 x;", old));
    EXPECT_FALSE(TStrategyGrid::FromText("5 10 4;", old));
}

}  // namespace
}  // namespace studlab
