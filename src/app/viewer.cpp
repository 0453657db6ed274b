// The recording viewer: its keys, the frames it runs, snapshots to go back
// to, the marks of the mission's events, and the timeline at the foot.
#include "app/viewer.h"

#include <algorithm>
#include <any>
#include <chrono>
#include <cstdio>

#include "app/app.h"
#include "app/edit_session.h"
#include "app/notices.h"
#include "app/session.h"
#include "draw/draw.h"
#include "platform/keys.h"
#include "platform/random_state.h"
#include "platform/system.h"
#include "render/render.h"
#include "replay/digest.h"
#include "replay/recording.h"

namespace {

// A snapshot every this many frames (5 s at 60 frames a second): a seek runs
// at most this many frames unseen.
constexpr int snapshotEvery = 300;
// The most frames a seek runs in one window frame, and the most the run
// ahead does (and the time it may take).
constexpr int seekFramesPerFrame = 600;
constexpr int aheadFramesPerFrame = 240;
constexpr double aheadSeconds = 0.010;

constexpr float speeds[] = {0.125f, 0.25f, 0.5f, 1, 2, 4, 8, 16, 32, 64};
constexpr int normalSpeed = 3;
constexpr int speedCount = int(sizeof speeds / sizeof speeds[0]);

// The game's state at one frame, and where the playback stood.
struct moment {
    int frame = 0;
    std::vector<unsigned char> state;
    randomState random;
    sessionPlace place;
    std::any edit;
};

struct viewer {
    bool started = false;
    int total = 0;              // the recording's frames
    std::vector<double> timeAt; // the game time after each frame (timeAt[0] = 0)
    bool canGoBack = true;      // the generator's state can be kept (not on Windows)
    bool saidNoGoingBack = false;

    bool paused = false;
    int speed = normalSpeed;
    double owed = 0; // recording time the window's time has called for, not yet run
    int target = -1; // the frame a seek is going to
    bool seekBegun = false; // it has put back the snapshot it starts from
    bool was[256] = {};

    std::vector<moment> moments; // every snapshotEvery frames, in order
    moment frontier;             // the state after frame `scanned`, when not shown
    int scanned = 0;             // the frames run at least once
    std::vector<viewerMark> marks;
    bool alive[shipCount] = {};
    int lastMode = -1;

    int clipIn = 0, clipOut = 0;
    // A view of the viewer's own (N, + and -; Backspace drops it): the ship
    // followed and the zoom against the recorded one.
    int follow = -1;
    float zoomBy = 1;
    float timelineLeft = 0; // seconds the timeline stays while playing on untouched
    int lastX = 0, lastY = 0;

    HDC first = nullptr; // the first frame's picture: no frame runs before it
    HBITMAP firstBitmap = nullptr;
    bool fresh = false;    // the memory bitmap holds the picture of the frame reached
    HDC picture = nullptr; // the frame shown, kept while frames run unseen
    HBITMAP pictureBitmap = nullptr;
    HGDIOBJ pictureOld = nullptr;
    int pictureWidth = 0, pictureHeight = 0;
};

viewer& view() {
    static viewer v;
    return v;
}

int now() { return sessionFrameNow(); }

moment take() {
    moment m;
    m.frame = now();
    m.state = takeSnapshot();
    randomKeep(m.random);
    m.place = sessionWhere();
    m.edit = editSessionKeep();
    return m;
}

void putBack(const viewerHooks& h, const moment& m) {
    putSnapshotBack(m.state);
    randomPutBack(m.random);
    sessionGoTo(m.place);
    editSessionPutBack(m.edit);
    h.followSize(m.place.input);
}

void seek(viewer& v, int frame);

void start(viewer& v) {
    const recording& r = sessionRecording();
    v.total = int(r.frames.size());
    v.timeAt.assign(1, 0.0);
    for (const recordedFrame& f : r.frames) v.timeAt.push_back(v.timeAt.back() + f.t);
    randomState probe;
    v.canGoBack = randomKeep(probe);
    v.started = true;
    v.timelineLeft = 3;
    if (r.start > 1) seek(v, int(r.start)); // a clip opens at its start
}

// The marks of the frame just run for the first time: ships lost while a
// mission is played, and its end.
void noteMarks(viewer& v) {
    const auto* ships = static_cast<const ship*>(watched(partShip0));
    const auto* mode = static_cast<const int*>(watched(partMode));
    const auto* you = static_cast<const int*>(watched(partPlayerShip));
    if (!ships || !mode || !you) return;
    const int f = now();
    if (v.lastMode == modePlay && *mode == modePlay) {
        for (int k = 0; k < shipCount; ++k) {
            if (!v.alive[k] || ships[k].alive) continue;
            v.marks.push_back({f, k == *you ? viewerMark::playerLost : viewerMark::shipLost,
                               ships[k].side});
        }
    }
    if (*mode != v.lastMode && (*mode == modeWon || *mode == modeLost))
        v.marks.push_back({f, *mode == modeWon ? viewerMark::won : viewerMark::lost, 0});
    for (int k = 0; k < shipCount; ++k) v.alive[k] = ships[k].alive;
    v.lastMode = *mode;
}

// Runs the next frame; false at the recording's end.
bool runOne(const viewerHooks& h, viewer& v, bool heard, bool seen = true) {
    if (now() >= v.total || !h.runFrame(heard, seen)) return false;
    v.fresh = seen;
    sysQuitCancel(); // the recorded game's Exit: the viewer stays
    const int f = now();
    if (f > v.scanned) {
        v.scanned = f;
        noteMarks(v);
        if (v.canGoBack && (f == 1 || f % snapshotEvery == 0)) v.moments.push_back(take());
    }
    return true;
}

bool ownView(const viewer& v) { return v.follow >= 0 || v.zoomBy != 1; }

template <class T> T& driverPart(int part) {
    return *static_cast<T*>(const_cast<void*>(watched(part)));
}

// Runs a frame that is shown. With a view of the viewer's own, it is run
// again from the state before it, as a spectator of the ship followed at the
// zoom asked, unchecked, and the state of that run is dropped: the game goes
// on from the frame as recorded, the picture is the viewer's view of it.
bool runShown(const viewerHooks& h, viewer& v, bool heard) {
    const bool mine = ownView(v) && watched(partMode) && driverPart<int>(partMode) == modePlay;
    moment before;
    if (mine) before = take();
    if (!runOne(h, v, heard)) return false;
    if (!mine || driverPart<int>(partMode) != modePlay) return true;
    const moment after = take();
    putBack(h, before);
    const auto* ships = static_cast<const ship*>(watched(partShip0));
    if (v.follow >= 0 && ships[v.follow].alive) {
        driverPart<int>(partPlayerShip) = v.follow;
        driverPart<int>(partPlayerSide) = ships[v.follow].side;
    }
    driverPart<bool>(partPilot) = false;
    driverPart<float>(partZoom) *= v.zoomBy;
    sessionQuiet(true);
    h.runFrame(false, true);
    sessionQuiet(false);
    sysQuitCancel();
    putBack(h, after);
    return true;
}

// The next live ship after the one followed (or the recorded view's).
void followNext(viewer& v) {
    const auto* ships = static_cast<const ship*>(watched(partShip0));
    if (!ships || !watched(partPlayerShip)) return;
    const int from = v.follow >= 0 ? v.follow : driverPart<int>(partPlayerShip);
    for (int i = 1; i <= shipCount; ++i) {
        const int k = (from + i) % shipCount;
        if (ships[k].alive) {
            v.follow = k;
            return;
        }
    }
}

// Runs frames not yet run, from the furthest one run, and comes back.
void runAhead(const viewerHooks& h, viewer& v) {
    if (v.scanned >= v.total || !v.canGoBack || v.target >= 0) return;
    const moment here = take();
    if (here.frame == v.scanned) v.frontier = here;
    else if (v.frontier.frame == v.scanned) putBack(h, v.frontier);
    else return;
    const auto began = std::chrono::steady_clock::now();
    for (int i = 0; i < aheadFramesPerFrame && v.scanned < v.total; ++i) {
        if (!runOne(h, v, false, false)) break;
        const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - began;
        if (spent.count() > aheadSeconds) break;
    }
    v.frontier = take();
    putBack(h, here);
}

// The frame at game time `seconds`, within the recording.
int frameAt(const viewer& v, double seconds) {
    const auto it = std::lower_bound(v.timeAt.begin(), v.timeAt.end(), seconds);
    return std::clamp(int(it - v.timeAt.begin()), 1, std::max(1, v.total));
}

void seek(viewer& v, int frame) {
    frame = std::clamp(frame, 1, std::max(1, v.total));
    if (frame < now() && !v.canGoBack) {
        if (!v.saidNoGoingBack) notify("This build cannot go back in a recording", 3);
        v.saidNoGoingBack = true;
        return;
    }
    v.target = frame;
    v.seekBegun = false;
    v.owed = 0;
}

// A seek's next steps: from the nearest snapshot before the frame sought
// (when it is nearer than the frame shown), then unseen frames, so the
// frame sought is drawn. True when the picture changed.
bool goOn(const viewerHooks& h, HDC memory, viewer& v) {
    bool changed = false;
    if (!v.seekBegun) {
        v.seekBegun = true;
        const moment* best = nullptr;
        for (const moment& m : v.moments)
            if (m.frame < v.target || (m.frame == 1 && v.target == 1)) best = &m;
        if (v.frontier.frame == v.scanned && v.frontier.frame < v.target &&
            (!best || v.frontier.frame > best->frame) && now() != v.scanned)
            best = &v.frontier;
        if (best && (v.target <= now() || best->frame > now())) {
            putBack(h, *best);
            v.fresh = best->frame == 1 && v.first;
            if (v.fresh)
                BitBlt(memory, 0, 0, v.pictureWidth, v.pictureHeight, v.first, 0, 0, SRCCOPY);
            changed = true;
        }
    }
    for (int i = 0; i < seekFramesPerFrame && now() < v.target; ++i) {
        const bool landing = now() + 1 == v.target;
        if (!(landing ? runShown(h, v, false) : runOne(h, v, false, false))) break;
        changed = true;
    }
    if (now() >= v.target || now() >= v.total) v.target = -1;
    return changed;
}

// The neighbouring mark's frame, before (-1) or after (1) the frame shown.
int nextMark(const viewer& v, int way) {
    int found = -1;
    for (const viewerMark& m : v.marks) {
        if (way < 0 && m.frame < now()) found = m.frame;
        if (way > 0 && m.frame > now()) return m.frame;
    }
    return found;
}

std::string clock(double seconds) {
    const int s = int(seconds);
    char text[16];
    std::snprintf(text, sizeof text, "%d:%02d", s / 60, s % 60);
    return text;
}

std::string speedName(int i) {
    const float x = speeds[i];
    if (x >= 1) return std::to_string(int(x)) + "x";
    return "1/" + std::to_string(int(1 / x + 0.5f)) + "x";
}

// The timeline's bar, in window pixels.
struct bar {
    float left, right, y;
};

bar barOf(int width, int height) { return {230, float(width) - 20, float(height) - 14}; }

float xOf(const viewer& v, const bar& b, int frame) {
    return b.left + (b.right - b.left) * float(frame) / float(std::max(1, v.total));
}

// The keys' presses; false when the player leaves.
bool keys(viewer& v, const inputState& live, int width, int height, float t) {
    auto pressed = [&](int vk) { return live.keys[vk] && !v.was[vk]; };
    const bool shift = live.keys[VK_SHIFT], control = live.keys[VK_CONTROL];
    bool leave = pressed(VK_ESCAPE);
    if (pressed(VK_SPACE)) {
        v.paused = !v.paused;
        if (!v.paused && now() >= v.total) seek(v, 1); // from the start again
    }
    const int step = shift ? 30 : 5;
    if (pressed(VK_LEFT)) {
        if (control) {
            if (const int f = nextMark(v, -1); f > 0) seek(v, f);
        } else {
            seek(v, frameAt(v, v.timeAt[std::size_t(now())] - step));
        }
    }
    if (pressed(VK_RIGHT)) {
        if (control) {
            if (const int f = nextMark(v, 1); f > 0) seek(v, f);
        } else {
            seek(v, frameAt(v, v.timeAt[std::size_t(now())] + step));
        }
    }
    if (pressed(VK_HOME)) seek(v, 1);
    if (pressed(VK_END)) seek(v, v.total);
    if (pressed(VK_OEM_COMMA)) v.paused = true, seek(v, now() - 1);
    if (pressed(VK_OEM_PERIOD)) v.paused = true, seek(v, now() + 1);
    if (pressed(VK_OEM_4)) v.speed = std::max(0, v.speed - 1);
    if (pressed(VK_OEM_6)) v.speed = std::min(speedCount - 1, v.speed + 1);
    if (pressed(VK_LBUTTON) && live.y >= height - 30) {
        const bar b = barOf(width, height);
        if (live.x >= b.left - 4 && live.x <= b.right + 4) {
            const float at = std::clamp((float(live.x) - b.left) / (b.right - b.left), 0.0f, 1.0f);
            seek(v, int(at * float(v.total) + 0.5f));
        }
    }
    if (pressed('N')) followNext(v);
    const bool zoomIn = live.keys[VK_ADD] || live.keys[VK_OEM_PLUS];
    const bool zoomOut = live.keys[VK_SUBTRACT] || live.keys[VK_OEM_MINUS];
    if (zoomIn) v.zoomBy *= 1 + t;
    if (zoomOut) v.zoomBy /= 1 + t;
    const bool viewChanged = pressed('N') || zoomIn || zoomOut || pressed(VK_BACK);
    if (pressed(VK_BACK)) v.follow = -1, v.zoomBy = 1;
    if (viewChanged && v.paused && v.target < 0 && now() > 0) seek(v, now()); // drawn anew
    if (pressed('I')) v.clipIn = now(), notify("Clip starts here", 2);
    if (pressed('O')) v.clipOut = now(), notify("Clip ends here", 2);
    if (pressed('C')) {
        std::string error;
        if (sessionTakeOver("", error)) notify("You have the game: it is recorded on", 3);
        else notify("The game could not be taken over: " + error, 4);
    }
    if (pressed('S')) {
        std::string error;
        const std::string name = "replays/clip-" + timeStamp() + ".kvr";
        if (v.clipIn <= 0 || v.clipOut <= v.clipIn) {
            notify("Mark the clip's start with I and its end with O first", 3);
        } else if (sessionWriteClip(v.clipIn, v.clipOut, name, error)) {
            notify("Clip saved: " + name, 4);
        } else {
            notify("The clip could not be saved: " + error, 4);
        }
    }
    // Any key or a move of the mouse shows the timeline a while.
    bool touched = live.x != v.lastX || live.y != v.lastY;
    for (int vk = 0; vk < 256; ++vk) touched = touched || pressed(vk);
    if (touched) v.timelineLeft = 3;
    v.lastX = live.x;
    v.lastY = live.y;
    for (int vk = 0; vk < 256; ++vk) v.was[vk] = live.keys[vk];
    return !leave;
}

// The timeline at the foot of the window.
void drawTimeline(HDC hdc, const viewer& v, int width, int height) {
    const bar b = barOf(width, height);
    drawBox(hdc, vec2(0, height - 30), vec2(width - 1, height - 1), 0x303030, 0x080808);
    drawBox(hdc, vec2(b.left, b.y - 2), vec2(xOf(v, b, v.scanned), b.y + 2), 0x505050, 0x505050);
    drawBox(hdc, vec2(b.left, b.y - 2), vec2(xOf(v, b, now()), b.y + 2), textColour, textColour);
    for (const viewerMark& m : v.marks) {
        const float x = xOf(v, b, m.frame);
        switch (m.what) {
        case viewerMark::shipLost:
            drawLine(hdc, vec2(x, b.y - 9), vec2(x, b.y - 3), sideColour(m.side, 255));
            break;
        case viewerMark::playerLost:
            drawLine(hdc, vec2(x, b.y - 12), vec2(x, b.y + 3), 0xffffff, 2);
            break;
        case viewerMark::won:
        case viewerMark::lost:
            drawLine(hdc, vec2(x, b.y - 14), vec2(x, b.y + 6),
                     m.what == viewerMark::won ? 0x00ff00 : 0x0000ff, 3);
            break;
        }
    }
    for (const int f : {v.clipIn, v.clipOut})
        if (f > 0) drawLine(hdc, vec2(xOf(v, b, f), b.y + 3), vec2(xOf(v, b, f), b.y + 9), 0x00ffff);
    std::string text = clock(v.timeAt[std::size_t(now())]) + " / " + clock(v.timeAt.back()) +
                       "  " + speedName(v.speed);
    if (v.target >= 0) text += "  seeking";
    else if (now() >= v.total) text += "  end";
    else if (v.paused) text += "  paused";
    setLine(hdc, 0, 1, textColour);
    drawText(hdc, vec2(10, float(height) - 24), 10, b.left, 2, text.c_str());
    endLine(hdc);
}

void keepPicture(viewer& v, HDC memory, int width, int height) {
    if (!v.picture || v.pictureWidth != width || v.pictureHeight != height) {
        if (v.picture) {
            SelectObject(v.picture, v.pictureOld);
            DeleteObject(v.pictureBitmap);
            DeleteDC(v.picture);
        }
        v.picture = CreateCompatibleDC(memory);
        v.pictureBitmap = CreateCompatibleBitmap(memory, width, height);
        v.pictureOld = SelectObject(v.picture, v.pictureBitmap);
        v.pictureWidth = width;
        v.pictureHeight = height;
    }
    BitBlt(v.picture, 0, 0, width, height, memory, 0, 0, SRCCOPY);
}

} // namespace

bool viewerFrame(const viewerHooks& h, HDC memory, HDC window, int width, int height,
                 const inputState& live, float t) {
    viewer& v = view();
    if (!v.started) start(v);
    bool ran = false;
    if (now() == 0 && runOne(h, v, true)) { // the first frame, before anything else
        keepPicture(v, memory, width, height);
        v.first = CreateCompatibleDC(memory);
        v.firstBitmap = CreateCompatibleBitmap(memory, width, height);
        SelectObject(v.first, v.firstBitmap);
        BitBlt(v.first, 0, 0, width, height, memory, 0, 0, SRCCOPY);
    }
    if (!keys(v, live, width, height, t)) return false;
    if (!sessionWatching()) { // taken over: the game goes on live from the next frame
        if (v.picture) BitBlt(window, 0, 0, width, height, v.picture, 0, 0, SRCCOPY);
        return true;
    }
    if (v.target >= 0) {
        ran = goOn(h, memory, v);
    } else if (!v.paused) {
        v.owed += double(t) * speeds[v.speed];
        // The frames the time calls for, the last of them shown.
        const int most = int(speeds[v.speed] * 2) + 2;
        int count = 0;
        double owed = v.owed;
        for (int f = now(); count < most && f < v.total; ++f, ++count) {
            const double next = sessionRecording().frames[std::size_t(f)].t;
            if (owed < next) break;
            owed -= next;
        }
        v.owed = owed;
        for (int i = 0; i < count; ++i)
            ran = (i + 1 == count ? runShown(h, v, v.speed == normalSpeed)
                                  : runOne(h, v, v.speed == normalSpeed)) ||
                  ran;
        if (now() >= v.total) v.owed = 0;
    }
    if (ran && v.fresh) keepPicture(v, memory, width, height);
    runAhead(h, v);
    if (v.picture) BitBlt(window, 0, 0, width, height, v.picture, 0, 0, SRCCOPY);
    // Shown while it tells something: paused, seeking, at the end, or touched.
    v.timelineLeft -= t;
    if (v.paused || v.target >= 0 || now() >= v.total || v.timelineLeft > 0)
        drawTimeline(window, v, width, height);
    return true;
}

int viewerFrameShown() { return now(); }
const std::vector<viewerMark>& viewerMarks() { return view().marks; }
int viewerScanned() { return view().scanned; }
bool viewerSeeking() { return view().target >= 0; }
