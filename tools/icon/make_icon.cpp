// make_icon DIR: the game's icon, drawn by the game's own renderer: a heavy
// fighter of ours, nose up, in the sizes of the hicolor icon theme, written to
// DIR/SIZE/korvane.png with a clear background.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "model/model.h"
#include "ports/headless/headless.h"
#include "gdi/surface.h"
#include "render/render.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icon DIR\n");
        return 2;
    }
    std::srand(3); // the design's variants: the same icon on every build
    ship s(vec2(0, 0), typeHeavyFighter, sideGreen, true);
    s.dir = vec2(0, -1);
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        HDC dc = createSurfaceDC(size, size);
        const float zoom = float(size) / (2.2f * s.radius);
        drawShip(dc, s, vec2(size / 2.0, size / 2.0), zoom);
        const std::filesystem::path dir = std::filesystem::path(argv[1]) / std::to_string(size);
        std::error_code ec;
        std::filesystem::create_directories(dir, ec);
        std::string error;
        const Surface pixels = dcSurface(dc);
        const bool ok =
            writePng((dir / "korvane.png").string(), pixels.pixels, size, size, error, true);
        deleteSurfaceDC(dc);
        if (!ok) {
            std::fprintf(stderr, "make_icon: %s\n", error.c_str());
            return 1;
        }
    }
    return 0;
}
