// The browser as the window system: the functions of system.h for the game in a
// web page (built with emscripten). The window is the page's room below its
// bar (#stage); the frame goes to the canvas at its own size, which the page
// enlarges (pixelated) by a whole factor and centres there. Keys and mouse
// buttons are kept as a held-down table by virtual-key code, message boxes are
// the browser's alert, full screen is the browser's, the settings are kept in
// its localStorage, kept files are downloads, and the sound goes to Web Audio.
// The page's animation frames drive the frames (ports/web/main.cpp);
// webFrameDue paces them.
#include "ports/web/web.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "gdi/surface.h"
#include "platform/pacer.h"
#include "platform/shown_frame.h"
#include "platform/system.h"
#include "ports/web/web_keys.h"

namespace {

constexpr const char* roomId = "#stage"; // the canvas's room: the page below the bar

struct backend {
    webOptions options;
    framePacer pacer;
    HDC window = nullptr;            // the frame: a context the game keeps from start to end
    HBITMAP bitmap = nullptr;        // selected into it, made anew at each frame size
    std::vector<std::uint32_t> rgba; // the frame as the canvas takes it
    shownRect placed;                // where the canvas was last put, in window pixels
    int pressed = 0;                 // a key the page's bar pressed (webPressKey)...
    long long releaseAt = 0;         // ...and the frame after which it goes up
    long long framesShown = 0;
    bool quitPosted = false;
    bool keys[256] = {};
    std::map<std::string, int> held; // by KeyboardEvent.code: the key it went down as
    POINT cursor{0, 0};
    int audioRate = 0;
};

backend& state() {
    static backend b;
    return b;
}

// Sound is scheduled this far ahead of the audio clock: animation frames
// come late now and then, and a page in the background gets none.
constexpr double audioAhead = 0.1;

} // namespace

// The page's side. The window's sizes are those of the canvas's room, the
// page below its bar, in device pixels, at most 8192 a side as the page's
// options allow; Module.korvaneImage keeps the ImageData over the frame's
// bytes until the memory moves.
EM_JS(int, webRoomWidth, (), {
    var room = Module.canvas.parentElement;
    return Math.min(8192,
                    Math.max(1, Math.round(room.clientWidth * (window.devicePixelRatio || 1))));
});
EM_JS(int, webRoomHeight, (), {
    var room = Module.canvas.parentElement;
    return Math.min(8192,
                    Math.max(1, Math.round(room.clientHeight * (window.devicePixelRatio || 1))));
});
EM_JS(double, webPixelRatio, (), { return window.devicePixelRatio || 1; });
EM_JS(void, webSetCanvas, (int width, int height), {
    var c = Module.canvas;
    c.width = width;
    c.height = height;
    Module.korvaneContext = c.getContext("2d", {alpha : false});
});
// The canvas's place in its room, from window pixels to the page's CSS pixels.
EM_JS(void, webPlaceCanvas, (int x, int y, int width, int height), {
    var s = Module.canvas.style, ratio = window.devicePixelRatio || 1;
    s.left = (x / ratio) + "px";
    s.top = (y / ratio) + "px";
    s.width = (width / ratio) + "px";
    s.height = (height / ratio) + "px";
});
EM_JS(void, webHideCursor, (), { Module.canvas.style.cursor = "none"; });
EM_JS(void, webPutFrame, (const void* rgba, int width, int height), {
    var image = Module.korvaneImage;
    if (!image || image.data.buffer !== HEAPU8.buffer || image.data.byteOffset !== rgba ||
        image.width !== width || image.height !== height) {
        image = new ImageData(new Uint8ClampedArray(HEAPU8.buffer, rgba, width * height * 4),
                              width, height);
        Module.korvaneImage = image;
    }
    Module.korvaneContext.putImageData(image, 0, 0);
});
EM_JS(int, webPageFocused, (), { return document.hasFocus() && !document.hidden ? 1 : 0; });
// A field of the page's bar has the keys (the link to copy, the list of missions).
EM_JS(int, webBarTyping, (), {
    var e = document.activeElement;
    return e && (e.tagName == "INPUT" || e.tagName == "SELECT" || e.tagName == "TEXTAREA") ? 1 : 0;
});
EM_JS(double, webDateNow, (), { return Date.now(); });
EM_JS(void, webAlert, (const char* caption, const char* text), {
    window.alert(UTF8ToString(caption) + "\n\n" + UTF8ToString(text));
});

// Full screen is the browser's, of the whole page: page.js switches it
// (Module.korvaneDisplay) and keeps where it is going (Module.korvaneFull).
EM_JS(int, webFullScreen, (int full), { return Module.korvaneDisplay(!!full); });
EM_JS(int, webIsFullScreen, (), { return Module.korvaneFull ? 1 : 0; });

// The settings' text in localStorage. A storage that cannot be used (a
// private window, storage turned off) throws; the read then finds nothing,
// and a write says why.
EM_JS(char*, webStorageRead, (), {
    var text = null;
    try {
        text = window.localStorage.getItem("korvane.settings");
    } catch (e) {
        console.log("korvane: the browser's storage cannot be read: " + e);
    }
    if (text === null) return 0;
    var size = lengthBytesUTF8(text) + 1;
    var at = _malloc(size);
    stringToUTF8(text, at, size);
    return at;
});
EM_JS(char*, webStorageWrite, (const char* text, int length), {
    var problem = "";
    try {
        window.localStorage.setItem("korvane.settings", UTF8ToString(text, length));
    } catch (e) {
        problem = "the browser's storage refused them (" + e + ")";
    }
    if (!problem) return 0;
    var size = lengthBytesUTF8(problem) + 1;
    var at = _malloc(size);
    stringToUTF8(problem, at, size);
    return at;
});

// A file for the player, as a download.
EM_JS(int, webDownload, (const char* name, const unsigned char* bytes, int size), {
    try {
        var data = HEAPU8.slice(bytes, bytes + size);
        var url = URL.createObjectURL(new Blob([data], {type : "application/octet-stream"}));
        var a = document.createElement("a");
        a.href = url;
        a.download = UTF8ToString(name);
        document.body.appendChild(a);
        a.click();
        a.remove();
        setTimeout(function() { URL.revokeObjectURL(url); }, 10000);
        return 1;
    } catch (e) {
        console.log("korvane: the download failed: " + e);
        return 0;
    }
});

// Web Audio: the context can only start after a gesture, so it is made at the
// first key or click (webAudioGesture); until then the game is silent.
EM_JS(int, webAudioOpen, (int rate), {
    Module.korvaneAudio = {rate : rate, context : null, next : 0};
    return typeof AudioContext != "undefined" ? 1 : 0;
});
EM_JS(void, webAudioGesture, (), {
    var a = Module.korvaneAudio;
    if (!a) return;
    try {
        if (!a.context) a.context = new AudioContext({sampleRate : a.rate});
        if (a.context.state == "suspended") a.context.resume();
    } catch (e) {
        console.log("korvane: no sound: " + e);
        Module.korvaneAudio = null;
    }
});
EM_JS(double, webAudioQueued, (), {
    var a = Module.korvaneAudio;
    if (!a || !a.context || a.context.state != "running") return -1;
    return Math.max(0, a.next - a.context.currentTime);
});
EM_JS(void, webAudioQueue, (const std::int16_t* samples, int frames), {
    var a = Module.korvaneAudio;
    if (!a || !a.context || a.context.state != "running") return;
    var buffer = a.context.createBuffer(2, frames, a.rate);
    var left = buffer.getChannelData(0);
    var right = buffer.getChannelData(1);
    var at = samples >> 1;
    for (var i = 0; i < frames; ++i) {
        left[i] = HEAP16[at + 2 * i] / 32768;
        right[i] = HEAP16[at + 2 * i + 1] / 32768;
    }
    var source = a.context.createBufferSource();
    source.buffer = buffer;
    source.connect(a.context.destination);
    var start = Math.max(a.next, a.context.currentTime + 0.02);
    source.start(start);
    a.next = start + frames / a.rate;
});

namespace {

void setKey(int vk, bool down) {
    backend& b = state();
    if (vk <= 0 || vk > 255) return;
    b.keys[vk] = down;
    // The side-neutral codes read as held while either side is held.
    b.keys[VK_SHIFT] = b.keys[VK_LSHIFT] || b.keys[VK_RSHIFT];
    b.keys[VK_CONTROL] = b.keys[VK_LCONTROL] || b.keys[VK_RCONTROL];
    b.keys[VK_MENU] = b.keys[VK_LMENU] || b.keys[VK_RMENU];
}

void releaseAll() {
    backend& b = state();
    for (bool& k : b.keys) k = false;
    b.held.clear();
}

// The keys that move (the viewer's seeks, the editor's view), which the game
// takes with Control too: the browser would scroll with them.
bool movingKey(int vk) {
    return vk == VK_LEFT || vk == VK_RIGHT || vk == VK_UP || vk == VK_DOWN || vk == VK_HOME ||
           vk == VK_END || vk == VK_SPACE;
}

// A key goes up as the key it went down as, whatever Shift did to its
// character meanwhile. The page's own keys (Ctrl+R reloads, the developer
// tools, Control and Alt with the other keys) keep working: only the game's
// are taken, and none while a field of the bar has the keys.
EM_BOOL onKey(int type, const EmscriptenKeyboardEvent* e, void*) {
    backend& b = state();
    const std::string code = e->code;
    if (type == EMSCRIPTEN_EVENT_KEYDOWN) {
        webAudioGesture();
        const int vk = webVirtualKey(code, e->key);
        if (vk == 0 || webBarTyping()) return EM_FALSE;
        if (!e->repeat) {
            b.held[code] = vk;
            setKey(vk, true);
        }
        // F1, F2, F11 and F12 are the game's, and the editor's F3 (problems),
        // F5 (a test flight, not a reload) and F9 (an autosave back); the
        // browser keeps the other function keys. Of Control's, the game takes
        // only the editor's undo and redo (Ctrl+Z, Ctrl+Y) and the moving
        // keys (the viewer's Ctrl+Left and Ctrl+Right).
        const bool editors = vk == VK_F3 || vk == VK_F5 || vk == VK_F9;
        const bool browsers = vk > VK_F2 && vk < VK_F11 && !editors;
        const bool controls = e->ctrlKey && !e->altKey && !e->metaKey &&
                              (vk == 'Z' || vk == 'Y' || movingKey(vk));
        return !browsers && (controls || (!e->ctrlKey && !e->metaKey));
    }
    const auto it = b.held.find(code);
    if (it == b.held.end()) return EM_FALSE;
    const int vk = it->second;
    b.held.erase(it);
    setKey(vk, false);
    return EM_TRUE;
}

int mouseKey(unsigned short button) {
    switch (button) {
    case 0:
        return VK_LBUTTON;
    case 1:
        return 0x04;
    case 2:
        return VK_RBUTTON;
    default:
        return 0;
    }
}

// The cursor in frame pixels: the point of the room (in window pixels)
// mapped through where the frame is shown there.
void moveTo(const EmscriptenMouseEvent* e) {
    backend& b = state();
    const Surface frame = b.window ? dcSurface(b.window) : Surface{};
    if (frame.width <= 0) return;
    int w = 0, h = 0;
    sysWindowSize(&w, &h);
    const double ratio = webPixelRatio();
    int x = int(std::floor(double(e->targetX) * ratio));
    int y = int(std::floor(double(e->targetY) * ratio));
    framePoint(shownFrame(w, h, frame.width, frame.height), frame.width, frame.height, x, y);
    b.cursor = POINT{x, y};
}

EM_BOOL onMouse(int type, const EmscriptenMouseEvent* e, void*) {
    switch (type) {
    case EMSCRIPTEN_EVENT_MOUSEDOWN:
        webAudioGesture();
        moveTo(e);
        setKey(mouseKey(e->button), true);
        return EM_TRUE;
    case EMSCRIPTEN_EVENT_MOUSEUP:
        setKey(mouseKey(e->button), false);
        return EM_FALSE;
    default:
        moveTo(e);
        return EM_FALSE;
    }
}

EM_BOOL onBlur(int, const EmscriptenFocusEvent*, void*) {
    releaseAll();
    return EM_FALSE;
}

EM_BOOL onVisibility(int, const EmscriptenVisibilityChangeEvent* e, void*) {
    if (e->hidden) releaseAll();
    return EM_FALSE;
}

void listen() {
    const char* page = EMSCRIPTEN_EVENT_TARGET_WINDOW;
    emscripten_set_keydown_callback(page, nullptr, true, onKey);
    emscripten_set_keyup_callback(page, nullptr, true, onKey);
    emscripten_set_mousedown_callback(roomId, nullptr, true, onMouse);
    emscripten_set_mousemove_callback(roomId, nullptr, true, onMouse);
    emscripten_set_mouseup_callback(page, nullptr, true, onMouse);
    emscripten_set_blur_callback(page, nullptr, true, onBlur);
    emscripten_set_visibilitychange_callback(nullptr, true, onVisibility);
}

// A test run's clock: round(frames * dt * 1000) ms, wrapping like a tick count.
double testClock() {
    const backend& b = state();
    const double ms = std::round(double(b.framesShown) * b.options.dt * 1000.0);
    return double(std::uint32_t(std::fmod(ms, 4294967296.0))) * 0.001;
}

} // namespace

void webConfigure(const webOptions& options) {
    backend& b = state();
    b.options = options;
    std::string problem;
    b.pacer = pacerFor(options.fps.empty() ? nullptr : options.fps.c_str(), problem);
    if (options.dt > 0 && options.fps.empty()) b.pacer.period = 0; // a test run is unpaced
}

bool webFrameDue() {
    backend& b = state();
    if (b.quitPosted) return true; // the pump reports it
    if (b.options.frames > 0 && b.framesShown >= b.options.frames) return false;
    return pacerOffer(b.pacer, emscripten_get_now() * 0.001);
}

void webAllowFrames(int more) {
    backend& b = state();
    if (b.options.frames > 0) b.options.frames += more;
}

long long webFramesShown() { return state().framesShown; }

// The window system.

bool sysDesktopSize(int* width, int* height) {
    sysWindowSize(width, height);
    return true;
}

bool sysFullScreen(int, int) { return true; }

void sysRestoreDisplay() {}

namespace {

// The frame's bitmap at a new size, selected into the same context; false,
// with the old one kept, when it cannot be made.
bool frameBitmap(int width, int height) {
    backend& b = state();
    HBITMAP bitmap = CreateCompatibleBitmap(b.window, width, height);
    if (!bitmap || !SelectObject(b.window, bitmap)) {
        if (bitmap) DeleteObject(bitmap);
        std::fprintf(stderr, "korvane: cannot make a %dx%d frame\n", width, height);
        return false;
    }
    if (b.bitmap) DeleteObject(b.bitmap);
    b.bitmap = bitmap;
    b.rgba.assign(std::size_t(width) * std::size_t(height), 0);
    webSetCanvas(width, height);
    b.placed = shownRect{};
    return true;
}

void dropFrame() {
    backend& b = state();
    if (b.window) DeleteDC(b.window);
    if (b.bitmap) DeleteObject(b.bitmap); // after the context let go of it
    b.window = nullptr;
    b.bitmap = nullptr;
}

} // namespace

bool sysOpenWindow(const char*, int width, int height) {
    backend& b = state();
    dropFrame();
    b.window = CreateCompatibleDC(nullptr);
    if (!frameBitmap(width, height)) {
        dropFrame();
        return false;
    }
    releaseAll();
    listen();
    return true;
}

void sysHideCursor() { webHideCursor(); }

HDC sysWindowDC() { return state().window; }

void sysShow() {
    backend& b = state();
    ++b.framesShown;
    if (b.pressed && b.framesShown >= b.releaseAt) {
        setKey(b.pressed, false);
        b.pressed = 0;
    }
    const Surface frame = b.window ? dcSurface(b.window) : Surface{};
    const std::size_t n = std::size_t(frame.width) * std::size_t(frame.height);
    if (!frame.pixels || n != b.rgba.size()) return;
    int w = 0, h = 0;
    sysWindowSize(&w, &h);
    const shownRect place = shownFrame(w, h, frame.width, frame.height);
    if (!(place == b.placed)) {
        webPlaceCanvas(place.x, place.y, place.width, place.height);
        b.placed = place;
    }
    // 0x00RRGGBB to the canvas's bytes R, G, B, A (a little-endian 0xAABBGGRR).
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint32_t p = frame.pixels[i];
        b.rgba[i] = 0xFF000000u | (p & 0xFF00u) | ((p >> 16) & 0xFFu) | ((p & 0xFFu) << 16);
    }
    webPutFrame(b.rgba.data(), frame.width, frame.height);
}

void sysCloseWindow() {
    dropFrame();
    releaseAll();
}

// A page of a size of its own (?size=WxH) has a window of that size, whatever
// the page's: a test run's frames are korvane-headless's.
void sysWindowSize(int* width, int* height) {
    const backend& b = state();
    *width = b.options.width > 0 ? b.options.width : webRoomWidth();
    *height = b.options.height > 0 ? b.options.height : webRoomHeight();
}

// A page of a size of its own (?size=WxH, as test runs have) keeps its display,
// as korvane-headless's does: full screen, never switched.
bool sysSetDisplay(bool fullScreen, int, int) {
    if (state().options.width > 0) return true;
    return webFullScreen(fullScreen ? 1 : 0) != 0;
}

bool sysIsFullScreen() { return state().options.width > 0 || webIsFullScreen() != 0; }

void sysFrameSize(int width, int height) {
    backend& b = state();
    const Surface frame = b.window ? dcSurface(b.window) : Surface{};
    if (!b.window || (frame.width == width && frame.height == height)) return;
    if (width <= 0 || height <= 0 || width > 8192 || height > 8192) {
        std::fprintf(stderr, "korvane: cannot make a %dx%d frame\n", width, height);
        return;
    }
    frameBitmap(width, height);
}

// A test run reads none and keeps none, as korvane-headless without
// --settings: its frames are the same in every browser.
bool sysLoadSettings(std::string& text, std::string& where) {
    where = "the browser's storage";
    if (state().options.dt > 0) return false;
    char* kept = webStorageRead();
    if (!kept) return false;
    text = kept;
    std::free(kept);
    return true;
}

bool sysSaveSettings(const std::string& text, std::string& error) {
    if (state().options.dt > 0) return true;
    char* problem = webStorageWrite(text.data(), int(text.size()));
    if (!problem) return true;
    error = problem;
    std::free(problem);
    return false;
}

bool sysKeepFile(const char*, const char* name, const std::vector<unsigned char>& bytes,
                 std::string& where) {
    const std::string file = name ? name : "";
    if (!webDownload(file.c_str(), bytes.data(), int(bytes.size()))) {
        where = "the browser refused the download of " + file;
        return false;
    }
    where = "a download: " + file;
    return true;
}

// The browser tells the layout's keys only to some pages, and only later:
// the game's own names serve.
std::string sysKeyLabel(int) { return ""; }

// The page's bar presses a key for the game (its Options button, F1): held
// for two frames, so the game's frame sees it go down and then up.
extern "C" EMSCRIPTEN_KEEPALIVE void webPressKey(int vk) {
    backend& b = state();
    if (vk <= 0 || vk > 255) return;
    webAudioGesture();
    if (b.pressed) setKey(b.pressed, false);
    b.pressed = vk;
    b.releaseAt = b.framesShown + 2;
    setKey(vk, true);
}

unsigned sysSeed() {
    const backend& b = state();
    if (b.options.seeded) return b.options.seed;
    return unsigned(std::fmod(webDateNow(), 4294967296.0));
}

SysMessage sysPump() { return state().quitPosted ? SysMessage::quit : SysMessage::none; }

void sysQuit() { state().quitPosted = true; }
void sysQuitCancel() { state().quitPosted = false; }

// The page takes files dropped on it itself (page.js).
bool sysTakeDropped(std::string&) { return false; }
bool sysRestart(const std::vector<sysSetting>&, std::string& error) {
    error = "the page opens recordings and missions itself";
    return false;
}

double sysSeconds() { return state().options.dt > 0 ? testClock() : emscripten_get_now() * 0.001; }

bool sysHasFocus() { return webPageFocused() != 0; }

bool sysKeyDown(int vk) { return vk >= 0 && vk < 256 && state().keys[vk]; }

POINT sysCursor() { return state().cursor; }

void sysMessageBox(const char* caption, const char* text) {
    webAlert(caption ? caption : "", text ? text : "");
}

bool sysAudioOpen(int rate) {
    state().audioRate = rate;
    return webAudioOpen(rate) != 0;
}

int sysAudioWanted(float) {
    const double queued = webAudioQueued();
    if (queued < 0) return 0;
    return std::max(0, int((audioAhead - queued) * state().audioRate));
}

void sysAudioQueue(const std::int16_t* samples, int frames) {
    if (frames > 0) webAudioQueue(samples, frames);
}
