// The frame timer: the first reading, the 0.05 s cap, a backward step passed
// through, and its precision when the machine has been up for weeks.
#include <gtest/gtest.h>

#include "frame/frame.h"

TEST(FrameTimer, MeasuresFromTheFirstReadingWithTheCap) {
    frameClock c;
    EXPECT_EQ(frameSpd(c, 123.0), 0.0f);
    EXPECT_FLOAT_EQ(frameSpd(c, 123.016), 0.016f);
    EXPECT_EQ(frameSpd(c, 123.216), 0.05f); // a stall advances the game 0.05 s at most
    EXPECT_LT(frameSpd(c, 123.0), 0.0f);    // a clock stepping back passes through
}

TEST(FrameTimer, KeepsItsPrecisionOnAMachineUpForWeeks) {
    // Seven weeks of uptime: counted from the machine's start in single
    // precision, a 1/60 s frame would measure 0 or 0.25 s.
    const double boot = 7 * 7 * 24 * 3600.0;
    frameClock c;
    frameSpd(c, boot);
    for (int n = 1; n <= 600; ++n)
        ASSERT_NEAR(frameSpd(c, boot + n / 60.0), 1.0 / 60, 1e-5) << "frame " << n;
}
