// The browser as the window system: the functions of system.h for the game in a
// web page (built with emscripten). The frame goes to the page's canvas at
// the canvas's size in device pixels, keys and mouse buttons are kept as a
// held-down table by virtual-key code, message boxes are the browser's alert,
// and the sound goes to Web Audio. The page's animation frames drive the
// frames (ports/web/main.cpp); webFrameDue paces them.
#include "ports/web/web.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "platform/pacer.h"
#include "gdi/surface.h"
#include "platform/system.h"
#include "ports/web/web_keys.h"

namespace {

constexpr const char* canvasId = "#screen";

struct backend {
    webOptions options;
    framePacer pacer;
    HDC window = nullptr;
    std::vector<std::uint32_t> rgba; // the frame as the canvas takes it
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

// The page's side. Sizes are the canvas's, at most 8192 a side as the page's
// options allow; Module.korvaneImage keeps the ImageData over the frame's
// bytes until the memory moves.
EM_JS(int, webCanvasWidth, (), {
    var c = Module.canvas;
    return Math.min(8192, Math.max(1, Math.round(c.clientWidth * (window.devicePixelRatio || 1))));
});
EM_JS(int, webCanvasHeight, (), {
    var c = Module.canvas;
    return Math.min(8192, Math.max(1, Math.round(c.clientHeight * (window.devicePixelRatio || 1))));
});
EM_JS(void, webSetCanvas, (int width, int height, int exact), {
    var c = Module.canvas;
    c.width = width;
    c.height = height;
    if (exact) {
        // A test run's frame is shown pixel for pixel.
        var ratio = window.devicePixelRatio || 1;
        c.style.width = (width / ratio) + "px";
        c.style.height = (height / ratio) + "px";
        c.style.flex = "none";
    }
    Module.korvaneContext = c.getContext("2d", {alpha : false});
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
EM_JS(double, webCanvasCssWidth, (), { return Module.canvas.getBoundingClientRect().width; });
EM_JS(double, webCanvasCssHeight, (), { return Module.canvas.getBoundingClientRect().height; });
EM_JS(int, webPageFocused, (), { return document.hasFocus() && !document.hidden ? 1 : 0; });
EM_JS(double, webDateNow, (), { return Date.now(); });
EM_JS(void, webAlert, (const char* caption, const char* text), {
    window.alert(UTF8ToString(caption) + "\n\n" + UTF8ToString(text));
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

// A key goes up as the key it went down as, whatever Shift did to its
// character meanwhile. The page's own keys (reload, the developer tools,
// anything with Control or Alt) keep working: only the game's are taken.
EM_BOOL onKey(int type, const EmscriptenKeyboardEvent* e, void*) {
    backend& b = state();
    const std::string code = e->code;
    if (type == EMSCRIPTEN_EVENT_KEYDOWN) {
        webAudioGesture();
        const int vk = webVirtualKey(code, e->key);
        if (vk == 0) return EM_FALSE;
        if (!e->repeat) {
            b.held[code] = vk;
            setKey(vk, true);
        }
        const bool functionKey = vk >= 0x70 && vk <= 0x7B && vk != 0x71; // F2 is the game's
        return !functionKey && !e->ctrlKey && !e->metaKey;
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

// The cursor in frame pixels: the canvas may be shown at another size.
void moveTo(const EmscriptenMouseEvent* e) {
    backend& b = state();
    const Surface frame = b.window ? dcSurface(b.window) : Surface{};
    const double w = webCanvasCssWidth(), h = webCanvasCssHeight();
    if (frame.width <= 0 || w <= 0 || h <= 0) return;
    b.cursor = POINT{int(std::floor(double(e->targetX) * frame.width / w)),
                     int(std::floor(double(e->targetY) * frame.height / h))};
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
    emscripten_set_mousedown_callback(canvasId, nullptr, true, onMouse);
    emscripten_set_mousemove_callback(canvasId, nullptr, true, onMouse);
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
    const backend& b = state();
    *width = b.options.width > 0 ? b.options.width : webCanvasWidth();
    *height = b.options.height > 0 ? b.options.height : webCanvasHeight();
    return true;
}

bool sysFullScreen(int, int) { return true; }

void sysRestoreDisplay() {}

bool sysOpenWindow(const char*, int width, int height) {
    backend& b = state();
    if (b.window) deleteSurfaceDC(b.window);
    b.window = createSurfaceDC(width, height);
    if (!b.window) {
        std::fprintf(stderr, "korvane: cannot make a %dx%d frame\n", width, height);
        return false;
    }
    b.rgba.assign(std::size_t(width) * std::size_t(height), 0);
    webSetCanvas(width, height, b.options.width > 0 ? 1 : 0);
    releaseAll();
    listen();
    return true;
}

void sysHideCursor() { webHideCursor(); }

HDC sysWindowDC() { return state().window; }

void sysShow() {
    backend& b = state();
    ++b.framesShown;
    const Surface frame = b.window ? dcSurface(b.window) : Surface{};
    const std::size_t n = std::size_t(frame.width) * std::size_t(frame.height);
    if (!frame.pixels || n != b.rgba.size()) return;
    // 0x00RRGGBB to the canvas's bytes R, G, B, A (a little-endian 0xAABBGGRR).
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint32_t p = frame.pixels[i];
        b.rgba[i] = 0xFF000000u | (p & 0xFF00u) | ((p >> 16) & 0xFFu) | ((p & 0xFFu) << 16);
    }
    webPutFrame(b.rgba.data(), frame.width, frame.height);
}

void sysCloseWindow() {
    backend& b = state();
    if (b.window) deleteSurfaceDC(b.window);
    b.window = nullptr;
    releaseAll();
}

unsigned sysSeed() {
    const backend& b = state();
    if (b.options.seeded) return b.options.seed;
    return unsigned(std::fmod(webDateNow(), 4294967296.0));
}

SysMessage sysPump() { return state().quitPosted ? SysMessage::quit : SysMessage::none; }

void sysQuit() { state().quitPosted = true; }

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
