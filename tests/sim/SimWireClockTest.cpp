#include "sim/SimWireClock.h"

#include <gtest/gtest.h>

TEST(SimWireClock, FrameTimesAtRegisterRates)
{
    EXPECT_NEAR(TSimWireClock::WireMicros(302, 115200), 26215, 1);
    EXPECT_NEAR(TSimWireClock::WireMicros(302, 9600), 314584, 1);
    EXPECT_EQ(TSimWireClock::WireMicros(64, 4800), 133334);
    EXPECT_EQ(TSimWireClock::WireMicros(0, 9600), 0);
    EXPECT_EQ(TSimWireClock::WireMicros(10, 0), 0) << "an unknown rate does not divide by zero";
}

TEST(SimWireClock, TransfersQueueBehindEachOther)
{
    TSimWireClock clock;
    EXPECT_EQ(clock.Occupy(1000, 1, 9600), 1000 + 1042);
    // A second transfer handed over before the first has left waits for it.
    EXPECT_EQ(clock.Occupy(1500, 1, 9600), 2042 + 1042);
    // One handed over after the line went idle starts at once.
    EXPECT_EQ(clock.Occupy(10000, 12, 115200), 10000 + 1042);
}
