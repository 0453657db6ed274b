// The editor's screen around editMiss: the undo history of the mission, test
// flights, autosaves and the offer of one, and the problems list. Its state
// lives for the run, like the editor's own.
#include "app/edit_session.h"

#include <chrono>
#include <cstring>
#include <type_traits>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/autosave.h"
#include "app/problems_list.h"
#include "app/session.h"
#include "draw/draw.h"
#include "editor/editor.h"
#include "editor/history.h"
#include "platform/system.h"
#include "render/render.h"

namespace {

using clock = std::chrono::steady_clock;

// Unsaved changes reach an autosave this long after they were made.
constexpr auto autosaveDelay = std::chrono::seconds(30);
// A foot line stays this long (seconds of the game's time).
constexpr float footSeconds = 2;

// Everything a test flight puts back as it was.
struct flightKept {
    std::vector<ship> a;
    std::vector<frag> b;
    vec2 cam;
    float zom = 0;
    int you = 0, sid = 0;
    bool aliv = false, autr = false, autp = false, entdw = false;
    char filnam[fileNameSize] = {}, sucfil[fileNameSize] = {}, faifil[fileNameSize] = {};
    char note[noteSize] = {};
    std::vector<unsigned char> editor;
};

struct editSession {
    bool opened = false;     // the editor has run in this run
    bool ranNow = false;     // in this frame
    bool ranBefore = false;  // in the frame before
    history h;
    std::string foot;        // the foot line, for footLeft more seconds
    float footLeft = 0;
    bool was[256] = {};      // the added keys as they were, for their presses
    problemsList list;
    // Since the editor was left: what happened to its mission, naming the step.
    bool loaded = false, played = false;
    // Autosaves.
    std::string origin;                 // the mission file it came from
    std::vector<unsigned char> written; // the mission as last loaded, saved or autosaved
    bool changed = false;               // differs from it, since changedAt
    clock::time_point changedAt;
    std::vector<std::string> ownAutosaves;
    bool offered = false; // an autosave of an earlier run is offered back
    autosaveOffer offer;
    std::vector<unsigned char> offerBytes;
    std::string restoredPath; // the autosave restored, removed with the next save
    // The test flight.
    bool flying = false;
    flightKept kept;
};

editSession& session() {
    static editSession s;
    return s;
}

// The mission as the editor changes it, as one image of bytes: the ships as
// the game holds them, the player's ship and side, the message and the
// follow-up names.
constexpr std::size_t imageSize = sizeof(ship) * shipCount + 2 * sizeof(int) + noteSize +
                                  2 * fileNameSize;

std::vector<unsigned char> imageOf(const driverRefs& d) {
    std::vector<unsigned char> out(imageSize);
    unsigned char* p = out.data();
    auto put = [&](const void* from, std::size_t n) {
        std::memcpy(p, from, n);
        p += n;
    };
    put(d.a, sizeof(ship) * shipCount);
    put(&d.you, sizeof(int));
    put(&d.sid, sizeof(int));
    put(d.note, noteSize);
    put(d.sucfil, fileNameSize);
    put(d.faifil, fileNameSize);
    return out;
}

void putImage(const driverRefs& d, const std::vector<unsigned char>& image) {
    if (image.size() != imageSize) return;
    const unsigned char* p = image.data();
    auto take = [&](void* to, std::size_t n) {
        std::memcpy(to, p, n);
        p += n;
    };
    take(static_cast<void*>(d.a), sizeof(ship) * shipCount);
    take(&d.you, sizeof(int));
    take(&d.sid, sizeof(int));
    take(d.note, noteSize);
    take(d.sucfil, fileNameSize);
    take(d.faifil, fileNameSize);
}

// The foot line, where the menu's line of added keys is.
void drawFoot(HDC hdc, const std::string& text) {
    setLine(hdc, 0, 1, textColour);
    drawText(hdc, vec2(10, float(workRes(true, 0, 0) - 30)), 10, float(workRes(true, 1, 0)), 2,
             text.c_str());
    endLine(hdc);
}

void say(editSession& s, const std::string& text) {
    s.foot = text;
    s.footLeft = footSeconds;
}

// A key pressed in this frame (it was up in the frame before).
bool pressed(editSession& s, int vk) { return key(vk) && !s.was[vk]; }

void remember(editSession& s) {
    for (int vk : {int('Z'), int('Y'), VK_F3, VK_F5, VK_F9, VK_LBUTTON}) s.was[vk] = key(vk);
}

bool latchedHeld() {
    return key('N') || key('R') || key(VK_LBUTTON) || key(VK_RBUTTON);
}

// The name of what happened to the mission while the editor was away: a
// load or play, else the screens that change one part of it.
std::string awayName(const editSession& s, const std::vector<unsigned char>& now) {
    if (s.loaded) return "mission loaded";
    if (s.played) return "mission played";
    const std::size_t noteAt = sizeof(ship) * shipCount + 2 * sizeof(int);
    if (std::memcmp(now.data(), s.h.base.data(), noteAt) != 0) return "player's ship chosen";
    const bool note = std::memcmp(now.data() + noteAt, s.h.base.data() + noteAt, noteSize) != 0;
    return note ? "message edited" : "file name edited";
}

void undoRedo(editSession& s, const driverRefs& d, bool redo) {
    std::vector<unsigned char> image = imageOf(d);
    historyCommit(s.h, image, editorAction());
    const std::string name = redo ? historyRedo(s.h, image) : historyUndo(s.h, image);
    if (name.empty()) return say(s, redo ? "Nothing to redo" : "Nothing to undo");
    putImage(d, image);
    say(s, std::string(redo ? "Redone: " : "Undone: ") + name);
}

// An autosave of an earlier run, looked for once, when the editor first
// opens. A recording being played gives back the one its run read.
void lookForAutosave(editSession& s) {
    autosaveOffer found;
    const bool there = sessionPlaying() ? autosaveOfPath(sessionNextRead(), found)
                                        : autosaveFind(found);
    if (!there) return;
    std::vector<unsigned char> bytes;
    if (!sessionReadMission(found.path.c_str(), bytes) || bytes.size() != missionFileSize) return;
    s.offered = true;
    s.offer = found;
    s.offerBytes = std::move(bytes);
}

std::string offerLine(const editSession& s) {
    const std::string of =
        s.offer.mission.empty() ? "an unsaved mission" : s.offer.mission;
    return "Autosave of " + of + " from " + s.offer.time + " found: F9 restores it";
}

void restoreAutosave(editSession& s, const driverRefs& d) {
    std::vector<unsigned char> image = imageOf(d);
    historyCommit(s.h, image, editorAction());
    for (const std::string& m : loadMissionRead(true, s.offerBytes, d.mission()))
        sessionSay(s.offer.path.c_str(), m);
    historyCommit(s.h, imageOf(d), "autosave restored");
    s.origin = s.offer.mission.empty() ? "" : "kvxmap." + s.offer.mission + ".kvx";
    s.written = imageOf(d);
    s.changed = false;
    s.restoredPath = s.offer.path;
    s.offered = false;
    say(s, "Restored the autosave of " + s.offer.time);
}

// The ship a test flight flies: the player's ship when it is alive and of the
// active colour, else the next such ship, as the start screen looks for one.
int flightShip(const driverRefs& d) {
    for (int k = 0; k < shipCount; ++k) {
        const int i = (d.you + k) % shipCount;
        if (d.a[i].alive && d.a[i].side == d.sid) return i;
    }
    return -1;
}

void writeAutosave(editSession& s, const driverRefs& d, const std::vector<unsigned char>& image) {
    s.ownAutosaves.push_back(autosaveWrite(missionBytes(d.mission()), s.origin));
    s.written = image;
    s.changed = false;
}

static_assert(std::is_trivially_copyable_v<ship> && std::is_trivially_copyable_v<frag>);

// The driver's state and the editor's kept aside for a flight (keep), or put
// back from there.
void carry(flightKept& k, const driverRefs& d, bool keep) {
    auto bytes = [keep](void* kept, void* live, std::size_t n) {
        keep ? std::memcpy(kept, live, n) : std::memcpy(live, kept, n);
    };
    auto value = [&](auto& kept, auto& live) { bytes(&kept, &live, sizeof kept); };
    if (keep) k.a.resize(shipCount), k.b.resize(fragCount);
    bytes(k.a.data(), d.a, sizeof(ship) * shipCount);
    bytes(k.b.data(), d.b, sizeof(frag) * fragCount);
    value(k.cam, d.cam), value(k.zom, d.zom), value(k.you, d.you), value(k.sid, d.sid);
    value(k.aliv, d.aliv), value(k.autr, d.autr), value(k.autp, d.autp);
    value(k.entdw, d.entdw);
    bytes(k.filnam, d.filnam, fileNameSize), bytes(k.sucfil, d.sucfil, fileNameSize);
    bytes(k.faifil, d.faifil, fileNameSize), bytes(k.note, d.note, noteSize);
    if (keep)
        k.editor = editorKeep();
    else
        editorPutBack(k.editor);
}

void startFlight(editSession& s, const driverRefs& d, bool spectator) {
    const int ship = flightShip(d);
    if (ship < 0) return say(s, "No live ship of the active colour to fly");
    const std::vector<unsigned char> image = imageOf(d);
    historyCommit(s.h, image, editorAction());
    if (image != s.written && !sessionPlaying()) writeAutosave(s, d, image);
    carry(s.kept, d, true);
    s.flying = true;
    for (int i = 0; i < fragCount; ++i) d.b[i] = frag();
    d.you = ship;
    d.cam = d.a[ship].pos * -1;
    d.zom = defaultZoom(workRes(true, 1, 0));
    d.aliv = !spectator;
    d.mode = modePlay;
    say(s, "Test flight: F5 returns to the editor");
}

} // namespace

int editorScreen(HDC hdc, const driverRefs& d, float t) {
    editSession& s = session();
    if (!s.opened) {
        s.opened = true;
        historyReset(s.h, imageOf(d));
        if (s.written.empty()) s.written = s.h.base;
        lookForAutosave(s);
    } else if (!s.ranBefore) {
        const std::vector<unsigned char> image = imageOf(d);
        if (image != s.h.base) historyCommit(s.h, image, awayName(s, image));
    }
    s.loaded = s.played = false;
    s.ranNow = true;

    const bool ctrl = key(VK_CONTROL), shift = key(VK_SHIFT), busy = latchedHeld();
    if (ctrl && !busy && pressed(s, 'Z')) undoRedo(s, d, shift);
    if (ctrl && !busy && pressed(s, 'Y')) undoRedo(s, d, true);
    if (pressed(s, VK_F3)) s.list.shown = !s.list.shown;
    if (pressed(s, VK_F9) && s.offered) restoreAutosave(s, d);
    if (pressed(s, VK_F5) && !busy) {
        startFlight(s, d, shift);
        if (s.flying) return 0;
    }

    // A press that starts on the problems list is the list's, not the map's.
    const bool onList = listPress(s.list, d.a, d.cam, d.zom, pressed(s, VK_LBUTTON));
    int r = 0;
    if (onList) {
        const inputState* played = playedInput();
        inputState masked = played ? *played : liveInput();
        masked.keys[VK_LBUTTON] = false;
        playInput(&masked);
        r = editMiss(hdc, d.a, d.cam, d.zom, d.you, d.sid, t);
        playInput(played);
    } else {
        r = editMiss(hdc, d.a, d.cam, d.zom, d.you, d.sid, t);
    }
    if (!latchedHeld()) historyCommit(s.h, imageOf(d), editorAction());

    if (s.list.shown) drawProblems(s.list, hdc, d.mission());
    const std::string foot = s.footLeft > 0 ? s.foot : s.offered ? offerLine(s) : "";
    s.footLeft -= t;
    if (!foot.empty()) drawFoot(hdc, foot);
    return r;
}

bool flightOn() { return session().flying; }

bool flightKeys(const driverRefs& d) {
    editSession& s = session();
    const bool end = s.flying && pressed(s, VK_F5);
    if (end) flightEnd(d);
    return !end;
}

void flightFoot(HDC hdc, float t) {
    editSession& s = session();
    if (!s.flying || s.footLeft <= 0) return;
    s.footLeft -= t;
    drawFoot(hdc, s.foot);
}

void flightEnd(const driverRefs& d) {
    editSession& s = session();
    if (!s.flying) return;
    carry(s.kept, d, false);
    d.mode = modeEditor;
    s.flying = false;
    s.played = false;
    s.kept = flightKept{};
    s.footLeft = 0;
}

void missionFileUsed(const driverRefs& d, const char* name, bool saved) {
    editSession& s = session();
    if (!saved) {
        s.flying = false;
        s.kept = flightKept{};
        s.loaded = true;
    }
    s.origin = name;
    s.written = imageOf(d);
    s.changed = false;
    if (saved) {
        if (!s.restoredPath.empty()) s.ownAutosaves.push_back(s.restoredPath);
        s.restoredPath.clear();
        autosaveRemove(s.ownAutosaves);
        s.ownAutosaves.clear();
        s.offered = false;
    }
}

void editedFrame(const driverRefs& d) {
    editSession& s = session();
    remember(s);
    s.ranBefore = s.ranNow;
    s.ranNow = false;
    const bool editing = d.mode == modeEditor || d.mode == modeMessage ||
                         d.mode == modeSuccessName || d.mode == modeFailName;
    if (!s.opened) return;
    if (!s.flying && (d.mode == modePlay || d.mode >= modeWon)) s.played = true;
    if (!editing || s.flying || sessionPlaying()) return;
    const std::vector<unsigned char> image = imageOf(d);
    if (image == s.written) {
        s.changed = false;
        return;
    }
    const clock::time_point now = clock::now();
    if (!s.changed) {
        s.changed = true;
        s.changedAt = now;
    } else if (now - s.changedAt >= autosaveDelay) {
        writeAutosave(s, d, image);
    }
}

void resetEditSession() { session() = editSession{}; }

std::any editSessionKeep() { return session(); }

void editSessionPutBack(const std::any& kept) {
    if (const auto* s = std::any_cast<editSession>(&kept)) session() = *s;
}

bool editSessionUnsaved() { return session().changed; }
