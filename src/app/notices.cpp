// The on-screen notices.
#include "app/notices.h"

#include <deque>

#include "draw/draw.h"

namespace {

struct notice {
    std::string text;
    float left = 0; // seconds
};

std::deque<notice>& notices() {
    static std::deque<notice> n;
    return n;
}

} // namespace

void notify(const std::string& text, float seconds) {
    std::deque<notice>& n = notices();
    n.push_back({text, seconds});
    while (n.size() > 3) n.pop_front();
}

void drawNotices(HDC hdc, int width, int height, float frameTime) {
    std::deque<notice>& n = notices();
    float y = float(height) - 24.0f * float(n.size()) - 34;
    setLine(hdc, 0, 1, highlightColour);
    for (const notice& line : n) {
        drawText(hdc, vec2(10, y), 10, float(width), 2, line.text.c_str());
        y += 24;
    }
    endLine(hdc);
    for (notice& line : n) line.left -= frameTime;
    while (!n.empty() && n.front().left <= 0) n.pop_front();
}
