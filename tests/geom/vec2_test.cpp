// The vector helpers at their edges: degenerate directions, the clamping of the
// nearest point to a segment, truncation to pixels, strict boxes, and the exact
// use of rand by the random vectors.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "geom/vec2.h"

namespace {

constexpr double pi = 3.141592653589793;

void expectExactly(vec2 got, double x, double y) {
    EXPECT_EQ(got.x, x);
    EXPECT_EQ(got.y, y);
}

void expectNear(vec2 got, double x, double y) {
    EXPECT_NEAR(got.x, x, 1e-12);
    EXPECT_NEAR(got.y, y, 1e-12);
}

TEST(Vec2, ConstructorsAndOperators) {
    expectExactly(vec2(), 0, 0);
    expectExactly(vec2(0.0), 1, 0);
    expectNear(vec2(pi / 2), 0, 1); // +y: clockwise on screen
    const vec2 v(2, -5);
    expectExactly(v + 3.0, 5, -2); // the scalar goes to both components
    expectExactly(v - 3.0, -1, -8);
    expectExactly(v * 2.0, 4, -10);
    expectExactly(v / 4.0, 0.5, -1.25);
    expectExactly(v + vec2(1, 1), 3, -4);
    expectExactly(v - vec2(1, 1), 1, -6);
    EXPECT_EQ(v == vec2(2, -5), 1);
    EXPECT_EQ(v == vec2(2, -5.000000001), 0);
    // Operators leave their operand alone.
    expectExactly(v, 2, -5);
}

TEST(Vec2, DistanceDotAndTurns) {
    EXPECT_EQ(retdis2(vec2(1, 1), vec2(4, 5)), 5);
    EXPECT_EQ(retdot2(vec2(2, 3), vec2(-4, 5)), 7);
    expectExactly(retext2(vec2(1, 0)), 0, 1);
    expectExactly(retext2(vec2(2, 3)), -3, 2);
    expectNear(retrot2(vec2(1, 0), pi / 2), 0, 1);
    expectNear(retrot2(vec2(2, 1), pi), -2, -1);
    expectNear(retrot2(vec2(3, 4), -pi / 2), 4, -3);
    expectExactly(retrot2(vec2(3, 4), 0), 3, 4);
}

TEST(Vec2, UnitDirectionOfAPointToItselfIsPlusX) {
    expectExactly(retnrm2(vec2(3, -2), vec2(3, -2)), 1, 0);
    expectExactly(retnrm2(vec2(0, 0), vec2(0, 0)), 1, 0);
    expectNear(retnrm2(vec2(1, 1), vec2(4, 5)), 0.6, 0.8);
    expectExactly(retnrm2(vec2(5, 5), vec2(5, -7)), 0, -1);
}

TEST(Vec2, NormalOfALinePointsTowardsTheThirdPoint) {
    expectNear(retnrm2(vec2(0, 0), vec2(10, 0), vec2(3, 5)), 0, 1);
    expectNear(retnrm2(vec2(0, 0), vec2(10, 0), vec2(3, -5)), 0, -1);
    expectNear(retnrm2(vec2(1, 1), vec2(4, 5), vec2(5, -2)), 0.8, -0.6);
    // A point on the line has no side.
    expectExactly(retnrm2(vec2(0, 0), vec2(10, 0), vec2(25, 0)), 1, 0);
}

TEST(Vec2, NearestPointOfASegment) {
    const vec2 a(1, 1), b(4, 5);
    // Beyond b and behind a: the end points themselves, exactly.
    expectExactly(retcpnt2(a, b, vec2(10, 9)), 4, 5);
    expectExactly(retcpnt2(a, b, vec2(7, 9)), 4, 5);
    expectExactly(retcpnt2(a, b, vec2(-2, -3)), 1, 1);
    expectExactly(retcpnt2(a, b, vec2(-5, 2)), 1, 1);
    // Beside the middle: the foot of the perpendicular.
    expectNear(retcpnt2(a, b, vec2(2.5, 3) + vec2(0.8, -0.6) * 2), 2.5, 3);
    expectNear(retcpnt2(vec2(0, 0), vec2(10, 0), vec2(3, 7)), 3, 0);
    // A segment of one point.
    expectExactly(retcpnt2(a, a, vec2(9, -9)), 1, 1);
}

TEST(Vec2, LocalFrameToWorld) {
    const vec2 origin(10, 20), local(3, 2);
    expectExactly(retvec2(origin, vec2(1, 0), local), 13, 22); // a translation
    expectExactly(retvec2(origin, vec2(0, 1), local), 8, 23);  // turned by +90 degrees
    expectExactly(retvec2(origin, vec2(-1, 0), local), 7, 18); // by 180
    expectExactly(retvec2(origin, vec2(2, 0), local), 16, 24); // a long axis scales
}

TEST(Vec2, PointConversionTruncatesTowardsZero) {
    auto expectPoint = [](vec2 v, int x, int y) {
        const POINT p = vec2POINT(v);
        EXPECT_EQ(p.x, x) << v.x;
        EXPECT_EQ(p.y, y) << v.y;
    };
    expectPoint(vec2(-0.5, 2.999), 0, 2);
    expectPoint(vec2(-0.7, 3.9), 0, 3);
    expectPoint(vec2(-1.5, -2.999), -1, -2); // not floor
    expectPoint(vec2(-0.999999, 0.999999), 0, 0);
    expectPoint(vec2(7, -7), 7, -7);
}

TEST(Vec2, PointConversionIsSafeForAnyDouble) {
    constexpr int limit = 1 << 27;
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    auto expectPoint = [](vec2 v, int x, int y) {
        const POINT p = vec2POINT(v);
        EXPECT_EQ(p.x, x) << v.x;
        EXPECT_EQ(p.y, y) << v.y;
    };
    expectPoint(vec2(1e300, -1e300), limit, -limit);
    expectPoint(vec2(3e9, -3e9), limit, -limit);
    expectPoint(vec2(inf, -inf), limit, -limit);
    expectPoint(vec2(nan, 5.5), 0, 5);
    expectPoint(vec2(-4.5, -nan), -4, 0);
    expectPoint(vec2(limit + 0.75, -limit - 0.75), limit, -limit);
    expectPoint(vec2(limit - 0.5, -limit + 0.5), limit - 1, -limit + 1);
    EXPECT_EQ(truncCoord(2147483648.0), limit);
    EXPECT_EQ(truncCoord(-2147483649.0), -limit);
    EXPECT_EQ(truncCoord(nan), 0);
    EXPECT_EQ(truncCoord(-0.25), 0);
}

TEST(Vec2, InboxIsStrict) {
    const vec2 lo(0, 0), hi(10, 5);
    EXPECT_TRUE(inbox(vec2(5, 2), lo, hi));
    EXPECT_TRUE(inbox(vec2(0.001, 4.999), lo, hi));
    for (vec2 p : {vec2(0, 2), vec2(10, 2), vec2(5, 0), vec2(5, 5), vec2(0, 0), vec2(10, 5),
                   vec2(-1, 2), vec2(11, 2), vec2(5, -1), vec2(5, 6)})
        EXPECT_FALSE(inbox(p, lo, hi)) << p.x << "," << p.y;
    // Empty and inverted boxes hold nothing.
    for (vec2 p : {vec2(5, 2), vec2(0, 0), vec2(3, 3), vec2(-3, -3)}) {
        EXPECT_FALSE(inbox(p, vec2(3, 0), vec2(3, 5))) << p.x << "," << p.y;
        EXPECT_FALSE(inbox(p, vec2(0, 3), vec2(10, 3))) << p.x << "," << p.y;
        EXPECT_FALSE(inbox(p, vec2(10, 0), vec2(0, 5))) << p.x << "," << p.y;
        EXPECT_FALSE(inbox(p, vec2(0, 5), vec2(10, 0))) << p.x << "," << p.y;
    }
}

TEST(Vec2, RandomVectorsStayInsideAndOnTheUnitCircle) {
    std::srand(7);
    double longest = 0;
    for (int i = 0; i < 100000; ++i) {
        const vec2 v = rndvec2();
        longest = std::max(longest, std::sqrt(v.x * v.x + v.y * v.y));
    }
    EXPECT_LT(longest, 1.0);
    EXPECT_GT(longest, 0.99); // the whole range of lengths is used
    for (int i = 0; i < 100000; ++i) {
        const vec2 v = rndnrm2();
        ASSERT_NEAR(std::sqrt(v.x * v.x + v.y * v.y), 1.0, 1e-12);
    }
}

// The length comes from the first rand call, the angle from the second; both
// are rounded to single precision.
TEST(Vec2, RandomVectorsUseRandInAFixedOrder) {
    for (unsigned seed : {1u, 2u, 12345u, 987654321u}) {
        SCOPED_TRACE(seed);
        std::srand(seed);
        int r[5];
        for (int& x : r) x = std::rand();

        auto expected = [](int lengthDraw, int angleDraw) {
            const float m = static_cast<float>((lengthDraw % 10000) / 10000.0);
            const float theta = static_cast<float>(2 * pi * (angleDraw % 10000) / 10000);
            return vec2(theta) * m;
        };
        std::srand(seed);
        const vec2 first = rndvec2();
        const vec2 second = rndvec2();
        const vec2 unit = rndnrm2();
        const vec2 want1 = expected(r[0], r[1]), want2 = expected(r[2], r[3]);
        expectExactly(first, want1.x, want1.y);
        expectExactly(second, want2.x, want2.y);
        const vec2 wantUnit(
            static_cast<double>(static_cast<float>(2 * pi * (r[4] % 10000) / 10000)));
        expectExactly(unit, wantUnit.x, wantUnit.y);
        // Nothing else was drawn.
        std::srand(seed);
        for (int i = 0; i < 5; ++i) std::rand();
        const int next = std::rand();
        std::srand(seed);
        rndvec2();
        rndvec2();
        rndnrm2();
        EXPECT_EQ(std::rand(), next);
    }
}

} // namespace
