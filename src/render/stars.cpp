// The star field behind every screen: 300 stars with depth factors that drift
// with parallax as the camera moves, wrapped back when they leave the screen.
#include <cstdlib>

#include "draw/draw.h"
#include "frame/frame.h"
#include "render/render.h"
#include "replay/digest.h"

namespace {

constexpr int starCount = 300;

double unit() { return (std::rand() % 10000) / 10000.0; }

int level(double v) { return truncCoord(v) & 0xff; }

} // namespace

void wrapStar(double& base, float depth, double offset, int size) {
    if (depth * offset + base < -50) base += size + 50;
    if (depth * offset + base > size + 50) base -= size + 50;
}

void doStarField(HDC hdc, vec2 offset) {
    static vec2 pos[starCount];
    static float dis[starCount];
    static bool init = true;
    static const bool kept = (keepBytes(pos, sizeof pos), keepBytes(dis, sizeof dis),
                              keepBytes(&init, sizeof init), true);
    (void)kept;
    if (init) {
        // The order of the rand calls is part of the game: y first, then x, then depth.
        for (int i = 0; i < starCount; ++i) {
            int h = workRes(true, 0, 0), w = workRes(true, 1, 0);
            double u1 = unit(), u2 = unit();
            double y = h * 1.5 * (u1 - 0.5) * u2;
            double u3 = unit(), u4 = unit();
            double x = w * 1.5 * (u3 - 0.5) * u4;
            pos[i] = vec2(x, y);
            dis[i] = float(unit() * 0.8 + 0.2);
        }
        init = false;
    }
    for (int i = 0; i < starCount; ++i) {
        int w = workRes(true, 1, 0), h = workRes(true, 0, 0);
        wrapStar(pos[i].x, dis[i], offset.x, w);
        wrapStar(pos[i].y, dis[i], offset.y, h);
        vec2 p = pos[i] + offset * dis[i];
        double d = dis[i];
        if (w <= 800) {
            SetPixelV(hdc, truncCoord(p.x), truncCoord(p.y),
                      RGB(level(200 * d), level(200 * d), level(255 * d)));
        } else {
            drawCirc(hdc, p, 1.5, RGB(level(100 * d), level(100 * d), level(125 * d)),
                     RGB(level(200 * d), level(200 * d), level(255 * d)));
        }
    }
}
