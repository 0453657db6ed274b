// Sound out of the game: the device, the volume, the F2 switch and its line,
// and the mixing each frame.
#include "app/sound_out.h"

#include "app/player_settings.h"
#include "replay/digest.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "draw/draw.h"
#include "frame/frame.h"
#include "platform/system.h"
#include "sound/sound.h"

namespace {

// KORVANE_VOLUME: 0..100, over the settings' volume; anything else is
// reported and the settings' kept.
int volumeFromEnvironment(int kept) {
    const char* text = std::getenv("KORVANE_VOLUME");
    if (!text || !*text) return kept;
    const int v = parseVolume(text);
    if (v < 0) {
        std::fprintf(stderr, "korvane: KORVANE_VOLUME=%s is not a volume (0 to 100); playing at %d\n",
                     text, kept);
        return kept;
    }
    return v;
}

} // namespace

int parseVolume(const char* text) {
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (end == text || *end != 0 || v < 0 || v > 100 || text[0] == '-' || text[0] == '+' ||
        text[0] == ' ')
        return -1;
    return int(v);
}

void soundOpen() {
    const settings& s = playerSettings();
    soundSetVolume(volumeFromEnvironment(s.volume));
    if (sysAudioOpen(soundRate)) soundStart();
    if (!s.soundOn) soundSetOn(false);
}

void soundKeys(HDC hdc, float frameTime) {
    static bool held = false;
    static float shown = 0; // seconds the line stays
    static const bool kept = (keepBytes(&held, sizeof held), keepBytes(&shown, sizeof shown), true);
    (void)kept;
    const bool f2 = key(VK_F2);
    if (f2 && !held) {
        if (soundStarted()) {
            soundSetOn(!soundOn());
            playerSettings().soundOn = soundOn();
            settingsKeep();
        }
        shown = 2;
    }
    held = f2;
    if (shown <= 0) return;
    shown -= frameTime;
    const char* text = !soundStarted() ? "No sound device" : soundOn() ? "Sound on" : "Sound off";
    const float width = float(workRes(true, 1, 0));
    setLine(hdc, 0, 1, textColour);
    drawText(hdc, vec2(width - 190, 10), width - 190, width, 2, text);
    endLine(hdc);
}

void soundFeed(float frameTime) {
    soundFrame();
    const int frames = sysAudioWanted(frameTime);
    if (frames <= 0 || !soundStarted()) return;
    static std::vector<std::int16_t> buffer;
    buffer.resize(std::size_t(frames) * 2);
    soundMix(buffer.data(), frames);
    sysAudioQueue(buffer.data(), frames);
}
