// editMiss, one frame of the mission editor: the mouse and the template that
// follows it, the view keys, the latched input chain (N, R, the left and the
// right button), the picture, and the M/S/F result that leads to the
// message and file-name screens.
#include "editor/editor.h"

#include <cstring>
#include <type_traits>

#include "editor/editor_internal.h"
#include "frame/frame.h"
#include "platform/system.h"
#include "render/render.h"
#include "replay/digest.h"

namespace {

// Indices from a mission file are kept in range before the editor uses them:
// the player's ship indexes the ship array, the side picks names and colours.
void keepInRange(int& you, int& sid) {
    if (you < 0 || you >= shipCount) you = 0;
    if (sid < sideRed || sid > sideBlue) sid = sideRed;
}

// Held keys zoom and pan the view in every frame, unlatched; the zoom first,
// so panning is 300 screen pixels a second at the new zoom.
void viewKeys(const EditorMission& m, float frameTime) {
    if (key(VK_ADD)) m.zom = m.zom * (1 + frameTime);
    if (key(VK_SUBTRACT)) m.zom = m.zom / (1 + frameTime);
    if (key(VK_BACK)) m.zom = defaultZoom(workRes(true, 1, 0));
    if (key(VK_UP)) m.cam = m.cam + (vec2(0, 300) / m.zom) * frameTime;
    if (key(VK_DOWN)) m.cam = m.cam + (vec2(0, -300) / m.zom) * frameTime;
    if (key(VK_RIGHT)) m.cam = m.cam + (vec2(-300, 0) / m.zom) * frameTime;
    if (key(VK_LEFT)) m.cam = m.cam + (vec2(300, 0) / m.zom) * frameTime;
    if (key('C')) m.cam = vec2(0, 0) - m.ships[m.you].pos;
}

// The left button: on a tool button the press belongs to the panel, which
// acts once per press; elsewhere the active tool works on the map.
void leftButton(EditorState& st, const EditorMission& m, vec2 w) {
    int button = buttonUnder(st.mPos);
    if (button >= 0) {
        if (!st.keydw) pressButton(st, m, button, w);
        return;
    }
    useTool(st, m, w);
}

// Shows the editor's state to the state digests, field by field (the record
// has padding between them).
void watchEditor(const EditorState& st, const bool& first) {
    watchBytes(partEditor, &st.keydw, sizeof st.keydw);
    watchBytes(partEditor, &st.mPos, sizeof st.mPos);
    watchBytes(partEditor, &st.mode, sizeof st.mode);
    watchBytes(partEditor, &st.msub, sizeof st.msub);
    watchBytes(partEditor, &st.hold, sizeof st.hold);
    watchBytes(partEditor, &st.htyp, sizeof st.htyp);
    watchBytes(partEditor, &st.relv, sizeof st.relv);
    watchShip(partEditor, &st.shp);
    watchBytes(partEditor, &first, sizeof first);
}

// The editor's state for the whole run, made on first use.
struct EditorStatics {
    EditorState st;
    bool first = true;
};

static_assert(std::is_trivially_copyable_v<EditorStatics>, "kept aside as bytes");

EditorStatics& editorStatics() {
    static EditorStatics e;
    // Shown at every use: a viewer gone back to before the first hides it again.
    watchEditor(e.st, e.first);
    keepBytes(&e, sizeof e);
    return e;
}

} // namespace

void resetEditor() { editorStatics() = EditorStatics{}; }

const char* editorAction() { return pressName; }

std::vector<unsigned char> editorKeep() {
    const EditorStatics& e = editorStatics();
    const auto* p = reinterpret_cast<const unsigned char*>(&e);
    return std::vector<unsigned char>(p, p + sizeof e);
}

void editorPutBack(const std::vector<unsigned char>& kept) {
    if (kept.size() == sizeof(EditorStatics))
        std::memcpy(static_cast<void*>(&editorStatics()), kept.data(), kept.size());
}

int editMiss(HDC hdc, ship* ships, vec2& cam, float& zom, int& you, int& sid, float frameTime) {
    // The template starts as an empty slot; the mouse at the screen centre.
    EditorState& st = editorStatics().st;
    bool& first = editorStatics().first;
    if (first) {
        st.mPos = editorCentre();
        first = false;
    }
    keepInRange(you, sid);
    EditorMission m{ships, cam, zom, you, sid};

    // The mouse is read only while the window has the focus. The template
    // turns towards the mouse and trails it by one radius.
    bool focus = hasFocus();
    if (focus) st.mPos = mousePos();
    vec2 w = toWorld(st.mPos, cam, zom);
    if (focus) {
        st.shp.dir = retnrm2(st.shp.pos, w);
        st.shp.pos = w - st.shp.dir * st.shp.radius;
    }

    viewKeys(m, frameTime);

    // Exactly one branch of the chain runs; the latch makes N, R, the panel,
    // the right button and the once-per-press tools act once per press.
    if (key('N')) {
        if (!st.keydw) namePress(st, pressNext, -1), nextShip(m);
        st.keydw = true;
    } else if (key('R')) {
        if (!st.keydw) namePress(st, pressExtra, -1), extraAction(st, m, w);
        st.keydw = true;
    } else if (key(VK_LBUTTON)) {
        if (!st.keydw) namePress(st, pressLeft, buttonUnder(st.mPos));
        leftButton(st, m, w);
        st.keydw = true;
    } else if (key(VK_RBUTTON)) {
        if (!st.keydw) namePress(st, pressRight, -1), pickTemplate(st, m);
        st.keydw = true;
    } else {
        st.keydw = false;
        st.hold = -1;
    }
    keepInRange(you, sid);

    drawEditorView(hdc, ships, cam, zom, you, sid, st);

    if (key('M')) return 1;
    if (key('S')) return 2;
    if (key('F')) return 3;
    return 0;
}
