// The five designs as the game draws them, compared pixel for pixel with a
// picture kept under tests/golden (see its README to regenerate it).
#include <gtest/gtest.h>

#include <cstdlib>

#include "draw/draw.h"
#include "render/render.h"
#include "support/golden.h"

namespace {

TEST(GoldenShips, FiveDesigns) {
    HDC dc = createSurfaceDC(640, 200);
    RECT all{0, 0, 640, 200};
    HBRUSH black = CreateSolidBrush(0);
    FillRect(dc, &all, black);
    DeleteObject(black);

    std::srand(1); // the seed fixes every variant
    const double x[] = {70, 190, 270, 350, 520};
    for (int type = typeBase; type <= typeTransport; ++type) {
        ship s(vec2(0, 0), type, type % 3, true);
        s.dir = vec2(type == typeTransport ? -0.45 : 0.5 * type);
        for (part& p : s.parts) p.lit = false; // flames flicker at random
        drawShip(dc, s, vec2(x[type], 100), 1.2f);
    }
    EXPECT_TRUE(matchesGolden(dcSurface(dc), "designs"));
    deleteSurfaceDC(dc);
}

} // namespace
