// The game's entry point in a web page (emscripten). The page (ports/web/page/)
// has mounted the player's folder from the browser's storage before main
// runs, and put there a recording to watch, if it was given one; main starts
// the recording in the viewer, or else puts the campaign in the player's
// folder, or makes the folder of a mission shared as a link, then starts the
// game, whose frames the page's animation frames drive from then on.
#include <emscripten.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/session.h"
#include "ports/web/web.h"
#include "ports/web/web_files.h"
#include "replay/digest.h"

namespace {

constexpr const char* campaignDir = "/campaign";    // built into the page
constexpr const char* playerDir = "/home/korvane";  // the browser's storage (IDBFS)
constexpr const char* linkDir = "/link";            // a shared mission's, not kept
constexpr const char* replayDir = "/replay";        // a watched recording's, empty, not kept
constexpr const char* firstMission = "kvxmap.AAAA.kvx";

bool running = false;

} // namespace

// What the page gives and is told.
EM_JS(char*, webAddressPart, (int fragment), {
    var text = fragment ? location.hash : location.search;
    var size = lengthBytesUTF8(text) + 1;
    var at = _malloc(size);
    stringToUTF8(text, at, size);
    return at;
});
EM_JS(void, webNote, (const char* text), { Module.korvaneNote(UTF8ToString(text)); });
EM_JS(void, webStarted, (const char* folder, int kept), {
    Module.korvaneStarted(UTF8ToString(folder), kept != 0);
});
EM_JS(void, webEnded, (), { Module.korvaneEnded(); });
EM_JS(void, webRecordingWrittenAt, (const char* path), {
    if (Module.korvaneRecordingWritten) Module.korvaneRecordingWritten(UTF8ToString(path));
});

void webRecordingWritten(const std::string& path) {
    std::string full = path;
    if (!full.empty() && full[0] != '/') {
        std::error_code ec;
        full = (std::filesystem::current_path(ec) / path).string();
    }
    webRecordingWrittenAt(full.c_str());
}
// The recording's data the page unpacked into the file system ("" none).
EM_JS(char*, webRecordingPath, (), {
    var path = Module.korvaneRecording || "";
    var size = lengthBytesUTF8(path) + 1;
    var at = _malloc(size);
    stringToUTF8(path, at, size);
    return at;
});

namespace {

std::string taken(char* text) {
    std::string s = text;
    std::free(text);
    return s;
}

std::string addressPart(bool fragment) { return taken(webAddressPart(fragment ? 1 : 0)); }

// The folder the game plays in: the player's, or for a link's mission one of
// its own holding the campaign with that mission as the first, so the
// player's saved missions are never touched.
std::string playFolder() {
    std::vector<unsigned char> bytes;
    std::string error;
    const linkMission link = missionFromLink(addressPart(true), bytes, error);
    const std::string folder = link == linkMission::none ? playerDir : linkDir;
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    for (const std::string& note : campaignInto(campaignDir, folder)) webNote(note.c_str());
    if (link == linkMission::none) return folder;
    const std::string first = folder + "/" + firstMission;
    std::filesystem::remove(first, ec);
    if (link == linkMission::bad) {
        webNote(error.c_str());
    } else if (!writeBytes(first, bytes)) {
        webNote("the link's mission could not be put in the folder");
    }
    return folder;
}

// The recording the page gave, in the viewer, played in an empty folder of
// its own (a playback reads its missions from the recording). False when
// there is none, or when the game refuses it: the session has said why on
// standard error, which the page shows in its bar.
bool startWatching(const std::string& path, int digestEvery) {
    if (path.empty()) return false;
    std::error_code ec;
    std::filesystem::create_directories(replayDir, ec);
    if (chdir(replayDir) != 0) {
        webNote("the recording's folder cannot be made");
        return false;
    }
    sessionOptions o;
    o.play = path;
    o.watch = true;
    o.boxes = false; // the page's bar says what is wrong
    o.scratchDir = false;
    o.who = "korvane";
    o.digestEvery = digestEvery;
    sessionConfigure(o);
    return gameStart(nullptr);
}

void frame() {
    if (!running || !webFrameDue()) return;
    if (gameFrame()) return;
    running = false;
    gameStop();
    emscripten_cancel_main_loop();
    webEnded();
}

} // namespace

// For the page: the mission file the game last loaded or saved, and a test
// run's frames run at once.
extern "C" EMSCRIPTEN_KEEPALIVE const char* webMission() {
    static char name[17] = {};
    if (const void* at = watched(partFileName)) std::memcpy(name, at, 16);
    name[16] = 0;
    return name;
}

extern "C" EMSCRIPTEN_KEEPALIVE int webStep(int frames) {
    webAllowFrames(frames);
    for (int i = 0; i < frames && running; ++i) frame();
    return int(webFramesShown());
}

// Whether a recording is watched, and the frames of it run so far.
extern "C" EMSCRIPTEN_KEEPALIVE int webWatching() { return sessionWatching() ? 1 : 0; }
extern "C" EMSCRIPTEN_KEEPALIVE int webReplayFrame() { return sessionFrameNow(); }

int main() {
    std::vector<std::string> problems;
    const webOptions options = webOptionsFrom(addressPart(false), problems);
    for (const std::string& p : problems) webNote(p.c_str());
    webConfigure(options);
    std::string folder = replayDir;
    bool started = startWatching(taken(webRecordingPath()), options.digestEvery);
    if (!started) { // the player's game, whether or not a recording was refused
        folder = playFolder();
        if (chdir(folder.c_str()) != 0) webNote("the mission folder cannot be opened");
        sessionOptions o;
        o.digestEvery = options.digestEvery;
        sessionConfigure(o);
        started = gameStart(nullptr);
    }
    if (!started) {
        webNote("the game could not start");
        webEnded();
        return 1;
    }
    running = true;
    webStarted(folder.c_str(), folder == playerDir ? 1 : 0);
    emscripten_set_main_loop(frame, 0, false);
    return 0;
}
