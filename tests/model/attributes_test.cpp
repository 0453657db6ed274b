// The part attribute tables, read through getatt, and the part constructor.
#include <gtest/gtest.h>

#include "model/model.h"

namespace {

TEST(Attributes, TablesHoldTheDesignValues) {
    // kind, index, then health, power, reload, size
    struct Row {
        int kind, index;
        float att[4];
    };
    const Row rows[] = {
        {1, 0, {1.0f, 1.0f, 0, 10}},   {1, 1, {0.2f, 0.5f, 0, 5}},    {1, 2, {2.0f, 3.0f, 0, 12}},
        {1, 3, {0.8f, 2.0f, 0, 10}},   {1, 4, {2.5f, 4.0f, 0, 12}},   {1, 5, {6.0f, 0.0f, 0, 16}},
        {1, 6, {2.0f, 3.0f, 0, 24}},   {1, 7, {0, 0, 0, 0}},          {2, 0, {0.5f, 0.5f, 0, 6}},
        {2, 1, {1.0f, 0.8f, 0, 8}},    {3, 0, {0.1f, 1.0f, 0.4f, 2}}, {3, 1, {0.2f, 2.0f, 0.5f, 3}},
        {3, 2, {0.4f, 4.0f, 0.7f, 4}},
    };
    for (const Row& r : rows)
        for (int a = 0; a < 4; ++a)
            EXPECT_EQ(getatt(r.kind, r.index, a), r.att[a])
                << "kind " << r.kind << " index " << r.index << " attr " << a;
}

TEST(Attributes, EdgesReadAsZero) {
    // Single-precision values, compared as floats.
    EXPECT_EQ(getatt(3, 2, 2), 0.7f);
    EXPECT_EQ(getatt(2, 1, 1), 0.8f);
    for (int i = 0; i < 8; ++i)
        for (int a = 0; a < 4; ++a) EXPECT_EQ(getatt(kindNone, i, a), 0.0f);
    // Anything outside the tables, as a mission file may hold.
    const int outside[][3] = {
        {4, 0, 0},  {-1, 0, 0},      {1000, 1, 1},    {1, 8, 0},          {1, -1, 0}, {2, 2, 0},
        {2, -1, 1}, {3, 3, 0},       {3, -1, 2},      {1, 0, 4},          {1, 0, -1}, {3, 2, 4},
        {2, 1, -1}, {3, 0, 1 << 30}, {1, 1 << 30, 0}, {1, -(1 << 30), 0},
    };
    for (const auto& o : outside)
        EXPECT_EQ(getatt(o[0], o[1], o[2]), 0.0f) << o[0] << " " << o[1] << " " << o[2];
}

TEST(PartConstructor, BuiltAndUnbuilt) {
    const part whole(vec2(3.5, -2), 0.25f, kindGun, 2, 7, true);
    EXPECT_EQ(whole.pos.x, 3.5);
    EXPECT_EQ(whole.pos.y, -2);
    EXPECT_EQ(whole.angle, 0.25f);
    EXPECT_EQ(whole.kind, kindGun);
    EXPECT_EQ(whole.index, 2);
    EXPECT_EQ(whole.parent, 7);
    EXPECT_EQ(whole.health, 0.4f);
    EXPECT_EQ(whole.reload, 0.7f);
    EXPECT_FALSE(whole.lit);

    // Unbuilt: no health, but the reload still comes from the table.
    const part unbuilt(vec2(1, 1), 0, kindGun, 1, 0, false);
    EXPECT_EQ(unbuilt.health, 0.0f);
    EXPECT_EQ(unbuilt.reload, 0.5f);

    const part hull(vec2(), 0, kindHull, 5, 0, true);
    EXPECT_EQ(hull.health, 6.0f);
    EXPECT_EQ(hull.reload, 0.0f);

    // A type outside the tables builds a part with nothing in it.
    const part odd(vec2(), 0, 9, 99, 3, true);
    EXPECT_EQ(odd.health, 0.0f);
    EXPECT_EQ(odd.reload, 0.0f);
}

} // namespace
