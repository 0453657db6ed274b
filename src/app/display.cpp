// Full screen or a window, and the frame's size at a scale.
#include "app/display.h"

#include <algorithm>
#include <cstdlib>

#include "app/notices.h"
#include "app/player_settings.h"
#include "platform/system.h"

namespace {

constexpr int autoRows = 1080; // auto scales up while the frame keeps this many rows

// KORVANE_WINDOW sets the run's window itself; the settings' display waits.
bool environmentChose() {
    const char* w = std::getenv("KORVANE_WINDOW");
    return w && *w;
}

} // namespace

int scaleFor(int setting, int width, int height) {
    int k = setting >= 1 && setting <= maxScale ? setting : std::max(1, height / autoRows);
    return std::max(1, std::min({k, width, height}));
}

void frameSizeFor(int setting, int width, int height, int& frameWidth, int& frameHeight) {
    width = std::max(1, width);
    height = std::max(1, height);
    const int k = scaleFor(setting, width, height);
    frameWidth = width / k;
    frameHeight = height / k;
}

void displayApply(const settings& s) {
    if (environmentChose()) return;
    if (s.fullScreen == sysIsFullScreen() && s.fullScreen) return;
    sysSetDisplay(s.fullScreen, s.windowWidth, s.windowHeight);
}

void displayToggle() {
    settings& s = playerSettings();
    if (!sysSetDisplay(!sysIsFullScreen(), s.windowWidth, s.windowHeight)) {
        notify(sysIsFullScreen() ? "Cannot leave full screen" : "Cannot switch to full screen", 3);
        return;
    }
    s.fullScreen = sysIsFullScreen();
    settingsKeep();
}
