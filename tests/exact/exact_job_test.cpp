#include "profit/exact/exact_job.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "profit/exact/hand_play.h"
#include "support/small_designs.h"

namespace studlab {
namespace {

using testing::FoldOrBet;

void WaitUntilDone(const TExactJob& job) {
    for (int i = 0; i < 6000 && job.Running(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

TEST(ExactJob, RunsInTheBackgroundAndKeepsItsResultForItsDesign) {
    TExactJob job;
    const TGameDesign design = FoldOrBet();
    const TCalculationSettings settings;
    job.Start(design, settings);
    WaitUntilDone(job);
    ASSERT_FALSE(job.Running());
    const auto result = job.Result();
    ASSERT_TRUE(result);
    EXPECT_FALSE(result->Cancelled);
    EXPECT_EQ(result->Error, "");
    EXPECT_NEAR(static_cast<double>(result->Figures.MoPercent), 8.9397791038, 1e-9);
    EXPECT_EQ(job.Progress().ClassesDone, job.Progress().ClassesTotal);
    EXPECT_TRUE(job.HasResultFor(design, settings));

    // Any change of the design or a setting that plays a part takes the result away from it.
    TGameDesign other = design;
    other.PayQualified[TCombinationKind::ckPair] = std::string("2");
    EXPECT_FALSE(job.HasResultFor(other, settings));
    TCalculationSettings looking = settings;
    looking.LookAhead = true;
    EXPECT_FALSE(job.HasResultFor(design, looking));
    TCalculationSettings cached = settings;
    cached.UseCacheTable = true;  // the cache plays no part in the analysis
    EXPECT_TRUE(job.HasResultFor(design, cached));
}

TEST(ExactJob, StopsCleanlyAndRefusesWhatItCannotPlay) {
    TExactJob job;
    job.Start(TGameDesign{}, TCalculationSettings{});  // the default game: minutes
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    job.Stop();
    EXPECT_FALSE(job.Running());
    ASSERT_TRUE(job.Result());
    EXPECT_TRUE(job.Result()->Cancelled);
    EXPECT_FALSE(job.HasResultFor(TGameDesign{}, TCalculationSettings{}));

    TCalculationSettings boxes;
    boxes.PlayingBoxes = "2";
    EXPECT_THROW(job.Start(TGameDesign{}, boxes), TExactRefusal);
    EXPECT_FALSE(job.Running());
}

}  // namespace
}  // namespace studlab
