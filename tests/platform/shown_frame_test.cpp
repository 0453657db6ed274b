// Where the ports show a frame in a window, and the cursor mapped back: the
// frame fits, centred, at the largest whole factor, or shrunk with its shape
// kept; every frame pixel is reached by the cursor, each by as many window
// pixels as it was enlarged.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/shown_frame.h"

namespace {

struct fit {
    int windowWidth, windowHeight, frameWidth, frameHeight;
};

// Each frame column is reached by the cursor from `k` window columns (and
// rows likewise); shrunk (k = 0), the columns are reached in order, from the
// first to within a step of the last.
void expectCursorCovers(const fit& f, const shownRect& r, int k) {
    std::vector<int> columns(std::size_t(f.frameWidth), 0), rows(std::size_t(f.frameHeight), 0);
    int lastX = 0, lastY = 0;
    for (int p = r.x; p < r.x + r.width; ++p) {
        int x = p, y = r.y;
        framePoint(r, f.frameWidth, f.frameHeight, x, y);
        ASSERT_GE(x, lastX);
        ++columns[std::size_t(x)];
        lastX = x;
    }
    for (int p = r.y; p < r.y + r.height; ++p) {
        int x = r.x, y = p;
        framePoint(r, f.frameWidth, f.frameHeight, x, y);
        ASSERT_GE(y, lastY);
        ++rows[std::size_t(y)];
        lastY = y;
    }
    EXPECT_GT(columns[0], 0);
    EXPECT_GT(rows[0], 0);
    if (k > 0) {
        EXPECT_EQ(std::count(columns.begin(), columns.end(), k), f.frameWidth);
        EXPECT_EQ(std::count(rows.begin(), rows.end(), k), f.frameHeight);
    } else { // the last window pixel is within a step of the frame's last
        EXPECT_GE(lastX, f.frameWidth - 1 - f.frameWidth / r.width);
        EXPECT_GE(lastY, f.frameHeight - 1 - f.frameHeight / r.height);
    }
    // Outside the frame: its nearest edge.
    int x = r.x - 7, y = r.y + r.height + 7;
    framePoint(r, f.frameWidth, f.frameHeight, x, y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, f.frameHeight - 1);
}

} // namespace

TEST(ShownFrame, EnlargedByTheLargestWholeFactorOrShrunkToFitCentredWithTheCursorMappedBack) {
    const fit fits[] = {
        {800, 600, 800, 600},   {1920, 1080, 960, 540}, {1920, 1080, 800, 600},
        {1921, 1083, 640, 360}, {1280, 720, 1280, 720}, {3840, 2160, 1280, 720},
        {801, 600, 400, 300},   {640, 600, 800, 600},   {800, 300, 800, 600},
        {333, 777, 1920, 1080}, {1000, 10, 50, 2000},
    };
    for (const fit& f : fits) {
        SCOPED_TRACE(::testing::Message() << f.frameWidth << "x" << f.frameHeight << " in "
                                          << f.windowWidth << "x" << f.windowHeight);
        const shownRect r = shownFrame(f.windowWidth, f.windowHeight, f.frameWidth, f.frameHeight);
        ASSERT_GT(r.width, 0);
        ASSERT_GT(r.height, 0);
        EXPECT_TRUE(r.x >= 0 && r.x + r.width <= f.windowWidth);
        EXPECT_TRUE(r.y >= 0 && r.y + r.height <= f.windowHeight);
        EXPECT_LE(std::abs((f.windowWidth - r.x - r.width) - r.x), 1);
        EXPECT_LE(std::abs((f.windowHeight - r.y - r.height) - r.y), 1);
        if (f.windowWidth >= f.frameWidth && f.windowHeight >= f.frameHeight) {
            const int k = r.width / f.frameWidth;
            EXPECT_EQ(r.width, f.frameWidth * k);
            EXPECT_EQ(r.height, f.frameHeight * k);
            EXPECT_TRUE(f.frameWidth * (k + 1) > f.windowWidth ||
                        f.frameHeight * (k + 1) > f.windowHeight)
                << "k = " << k << " is not the largest";
            expectCursorCovers(f, r, k);
        } else {
            // The shape kept to within a pixel, as large as the window allows.
            EXPECT_TRUE(r.width == f.windowWidth || r.height == f.windowHeight);
            EXPECT_LE(std::abs(std::int64_t(r.width) * f.frameHeight -
                               std::int64_t(r.height) * f.frameWidth),
                      std::max(f.frameWidth, f.frameHeight));
            expectCursorCovers(f, r, 0);
        }
    }
    // The game's own case, a frame the window's size, is shown as it is.
    EXPECT_EQ(shownFrame(800, 600, 800, 600), (shownRect{0, 0, 800, 600}));
    EXPECT_EQ(shownFrame(0, 600, 800, 600), shownRect{});
    EXPECT_EQ(shownFrame(800, 600, 800, 0), shownRect{});
}
