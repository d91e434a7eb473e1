// The estimate of the time a step has left, and how times are written.

#include "transfer/TimeLeft.h"

#include <gtest/gtest.h>

namespace {

TEST(TimeLeftTest, EstimatedFromThePackagesDoneOnceTwentyAreDone)
{
    TimeLeftEstimator estimator;
    estimator.SetLineRate(115200);
    estimator.BeginStep(100, 1000);
    // Package k is about to go out at 1000 + 100 * (k - 1) ms.
    for (int current = 1; current <= 20; ++current) {
        estimator.Progress(current, 1000 + 100 * (current - 1));
        EXPECT_FALSE(estimator.TimeLeftMs()) << current;
    }
    estimator.Progress(21, 3000);
    ASSERT_TRUE(estimator.TimeLeftMs());
    EXPECT_EQ(*estimator.TimeLeftMs(), 80 * 100);
    // Waiting on one package does not change what the packages done tell.
    estimator.Progress(21, 9000);
    EXPECT_EQ(*estimator.TimeLeftMs(), 80 * 100);

    // A new step starts counting again.
    estimator.BeginStep(2, 10000);
    estimator.Progress(2, 10100);
    EXPECT_FALSE(estimator.TimeLeftMs());
}

TEST(TimeLeftTest, NeverFasterThanTheLineCanCarryAPackage)
{
    TimeLeftEstimator estimator;
    estimator.SetLineRate(9600);
    estimator.BeginStep(1000, 0);
    estimator.Progress(41, 400);   // 10 ms a package: faster than 9600 bit/s allows
    ASSERT_TRUE(estimator.TimeLeftMs());
    // 302 bytes of 10 bits take 314 ms at 9600 bit/s.
    EXPECT_EQ(*estimator.TimeLeftMs(), 960 * 314);

    // A count past the end or a step of nothing leaves nothing to estimate.
    estimator.Progress(5000, 500);
    EXPECT_EQ(estimator.TimeLeftMs(), 0);
    estimator.BeginStep(0, 600);
    estimator.Progress(30, 700);
    EXPECT_FALSE(estimator.TimeLeftMs());
}

TEST(TimeLeftTest, DurationsAndTheConsoleWords)
{
    EXPECT_EQ(DurationText(0), "0:00");
    EXPECT_EQ(DurationText(27'400), "0:27");
    EXPECT_EQ(DurationText(965'000), "16:05");
    EXPECT_EQ(DurationText(3'723'000), "1:02:03");
    EXPECT_EQ(DurationText(-5), "0:00");
    EXPECT_EQ(ProgressTimesText(27'000, std::nullopt), "0:27 elapsed");
    EXPECT_EQ(ProgressTimesText(27'000, 100'000), "0:27 elapsed, about 1:40 left");
}

} // namespace
