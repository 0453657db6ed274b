// KORVANE_WINDOW's sizes: taken, or refused with a line that says why.
#include <gtest/gtest.h>

#include "platform/window_size.h"

TEST(WindowSize, WidthByHeightOrFullScreenWithAWord) {
    int w = 0, h = 0;
    std::string problem;
    EXPECT_TRUE(windowSizeFor("1280x720", w, h, problem));
    EXPECT_EQ(w, 1280);
    EXPECT_EQ(h, 720);
    EXPECT_TRUE(windowSizeFor("64X16384", w, h, problem));
    EXPECT_FALSE(windowSizeFor(nullptr, w, h, problem));
    EXPECT_EQ(problem, "");
    EXPECT_FALSE(windowSizeFor("", w, h, problem));
    EXPECT_EQ(problem, "");
    for (const char* bad : {"1280", "1280x", "x720", "1280x720x", "63x480", "640x16385", "-640x480",
                            "640 x 480", "big", "99999999999999999999x480"}) {
        EXPECT_FALSE(windowSizeFor(bad, w, h, problem)) << bad;
        EXPECT_EQ(problem.rfind(std::string("KORVANE_WINDOW=") + bad + " is not a window size", 0),
                  0u)
            << problem;
    }
}
