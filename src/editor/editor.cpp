// The mission editor. For now it shows the mission and leads on to the
// message and file-name screens (M, S, F); the tools come with the editor.
#include "editor/editor.h"

#include "app/app.h"
#include "app/play.h"
#include "draw/draw.h"
#include "render/render.h"

int editMiss(HDC hdc, ship* ships, vec2& cam, float& zom, int&, int&, float) {
    static bool keydw = false;
    for (int i = 0; i < shipCount; ++i)
        if (ships[i].alive) drawShip(hdc, ships[i], screenOf(ships[i].pos, cam, zom), zom);
    setLine(hdc, 0, 1, 0xffaf64);
    drawText(hdc, vec2(10, 10), 10, float(workRes(true, 1, 0)), 2,
             "Mission editor\n\nM: mission message\nS: success mission\nF: fail mission");
    endLine(hdc);
    int result = key('M') ? 1 : key('S') ? 2 : key('F') ? 3 : 0;
    bool fresh = !keydw;
    keydw = result != 0;
    return fresh ? result : 0;
}
