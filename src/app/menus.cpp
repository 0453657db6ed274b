// The keyboard widgets of the game's screens: the main menu, the editor of a
// mission file name's four characters, and the small editor of the mission
// message. Each draws itself with the vector font, keeps its state in statics
// of its own and takes a key press once: while one of its keys is held,
// further presses wait until all of them are released.
#include <algorithm>
#include <string>

#include "app/app.h"
#include "app/options.h"
#include "draw/draw.h"
#include "platform/system.h"
#include "replay/digest.h"
#include "sound/sound.h"

namespace {

constexpr float kMargin = 10;
constexpr float kTextSize = 2;
constexpr float kTitleSize = 2.5f;

// Characters 7 to 10 of a mission file name are the mission's name.
constexpr int kNameFirst = 7;
constexpr int kNameLast = 10;

float windowWidth() { return float(workRes(true, 1, 0)); }

// The first digit key held, else the first letter key held, else 0: a digit
// wins over a letter held with it. Only the main-row digits and the letters
// are read, so the numpad types nothing.
char typedChar() {
    for (int c = '0'; c <= '9'; ++c)
        if (key(c)) return char(c);
    for (int c = 'A'; c <= 'Z'; ++c)
        if (key(c)) return char(c);
    return 0;
}

} // namespace

int mainMenu(HDC hdc, bool reset) {
    static int menuitem = 1;
    static bool keydw = false;
    // Shown at every call: a viewer gone back to before the first hides them again.
    watchBytes(partMainMenu, &menuitem, sizeof menuitem);
    watchBytes(partMainMenu, &keydw, sizeof keydw);
    static const char* const items[6] = {"Play\n",   "Load\n", "Save\n",
                                         "Editor\n", "Help\n", "Exit\n"};

    if (reset) menuitem = 1;

    // The selection is drawn before the keys are read: a change shows next frame.
    const float right = windowWidth();
    setLine(hdc, 0, 1, textColour);
    vec2 p = drawText(hdc, vec2(kMargin, kMargin), kMargin, right, kTitleSize, "Korvane 1.05");
    p = drawText(hdc, p, kMargin, right, kTextSize, "\n\nMain menu\n\n");
    for (int item = 1; item <= 6; ++item) {
        if (item == menuitem) setLine(hdc, 0, 1, highlightColour);
        p = drawText(hdc, p, kMargin, right, kTextSize, items[item - 1]);
        if (item == menuitem) setLine(hdc, 0, 1, textColour);
    }
    // The keys added to the game's own, at the foot.
    drawText(hdc, vec2(kMargin, float(workRes(true, 0, 0) - 30)), kMargin, right, kTextSize,
             addedKeysLine);
    endLine(hdc);

    // The first key held decides; keydw stays as it is while the menu is not
    // shown, so an Enter still held on the way back chooses nothing.
    int result = 0;
    const int was = menuitem;
    if (key(VK_RETURN)) {
        if (!keydw) result = menuitem;
        keydw = true;
    } else if (key(VK_ESCAPE)) {
        if (!keydw) menuitem = 6;
        keydw = true;
    } else if (key(VK_UP)) {
        if (!keydw && --menuitem < 1) menuitem = 6;
        keydw = true;
    } else if (key(VK_DOWN)) {
        if (!keydw && ++menuitem > 6) menuitem = 1;
        keydw = true;
    } else {
        keydw = false;
    }
    if (result != 0) soundPlain(soundMenuChoose);
    else if (menuitem != was) soundPlain(soundMenuMove);
    return result;
}

vec2 setfilename(HDC hdc, char* name, vec2 pos, bool reset) {
    static int nampos = kNameFirst; // shared by every name edited
    static bool keydw = false;
    static bool keyon = false;
    watchBytes(partNameEntry, &nampos, sizeof nampos); // at every call, as the main menu's
    watchBytes(partNameEntry, &keydw, sizeof keydw);
    watchBytes(partNameEntry, &keyon, sizeof keyon);

    if (reset) keydw = true;
    // A name too short to hold the four characters (or none at all) is left
    // alone: drawn as it is, never written. The scan stops at the first zero,
    // so it reads nothing beyond the string.
    if (name == nullptr) return pos;
    const float right = windowWidth();
    int length = 0;
    while (length <= kNameLast && name[length] != 0) ++length;
    if (length <= kNameLast) {
        setLine(hdc, 0, 1, textColour);
        return drawText(hdc, pos, kMargin, right, kTextSize, name);
    }

    // The name up to the cursor, from a copy cut at the cursor.
    char shown[16] = "kvxmap.0000.kvx";
    for (int i = kNameFirst; i <= kNameLast; ++i) shown[i] = name[i];
    shown[nampos] = 0;
    const char under[2] = {name[nampos], 0};

    setLine(hdc, 0, 1, textColour);
    vec2 p = drawText(hdc, pos, kMargin, right, kTextSize, shown);
    setLine(hdc, 0, 1, highlightColour);
    p = drawText(hdc, p, kMargin, right, kTextSize, under);
    setLine(hdc, 0, 1, textColour);
    p = drawText(hdc, p, kMargin, right, kTextSize, name + nampos + 1);

    // Typing overwrites the four characters left to right, then starts again.
    keyon = false;
    if (const char c = typedChar()) {
        if (!keydw) {
            name[nampos] = c;
            if (++nampos > kNameLast) nampos = kNameFirst;
            soundPlain(soundKey);
        }
        keyon = true;
        keydw = true;
    }
    if (!keyon) keydw = false;
    return p;
}

namespace {

// Puts ch at pos, moving the text after it one place right: the character at
// size - 2 falls off and the terminating byte at size - 1 is never touched.
// Nothing is inserted at size - 1 itself.
void insertChar(char* text, int size, int& pos, char ch) {
    if (pos >= size - 1) return;
    for (int i = size - 3; i >= pos; --i) text[i + 1] = text[i];
    text[pos] = ch;
    ++pos;
}

} // namespace

vec2 editmessage(HDC hdc, vec2 pos, char* text, int size, bool reset) {
    static float marg = 10;
    static bool inkey = true;
    static int msgpos = 0;
    static char postxt[2] = {0, 0};
    watchBytes(partMessageEntry, &marg, sizeof marg); // at every call, as the main menu's
    watchBytes(partMessageEntry, &inkey, sizeof inkey);
    watchBytes(partMessageEntry, &msgpos, sizeof msgpos);
    watchBytes(partMessageEntry, postxt, sizeof postxt);

    const float width = windowWidth();
    const float w = std::min(640.0f, width);
    if (reset) {
        msgpos = 0;
        inkey = true;
    }
    if (text == nullptr || size < 1) return pos; // no buffer: nothing to show or edit
    // The cursor may come from a larger buffer edited before.
    msgpos = std::clamp(msgpos, 0, size - 1);

    // The text before the cursor, the character under it (on a "_" when it has
    // no picture of its own) and the rest. Each part is drawn from a copy that
    // ends inside the buffer, so an unterminated buffer is never read past.
    const std::string before(text, text + msgpos);
    const std::string after(text + msgpos + 1, text + size);
    postxt[0] = text[msgpos];

    setLine(hdc, 0, 1, textColour);
    vec2 p = drawText(hdc, pos, marg, w, kTextSize, before.c_str());
    setLine(hdc, 0, 1, highlightColour);
    if (postxt[0] == ' ' || postxt[0] == 0 || postxt[0] == '\n')
        drawText(hdc, p, 5, width, kTextSize, "_");
    p = drawText(hdc, p, marg, w, kTextSize, postxt);
    setLine(hdc, 0, 1, textColour);
    p = drawText(hdc, p, marg, w, kTextSize, after.c_str());

    // The first key held in this order takes the frame; it acts only on a
    // fresh press, when no editing key was down at the last call.
    const bool fresh = !inkey;
    bool down = false;
    if (key(VK_TAB)) {
        // A fresh Tab empties the message; a held one cuts it at the cursor.
        down = true;
        if (!inkey) msgpos = 0;
        text[msgpos] = 0;
        if (msgpos + 1 < size) text[msgpos + 1] = 0;
    }
    if (!down && key(VK_RIGHT)) {
        down = true;
        if (!inkey && msgpos < size - 1 && text[msgpos] != 0) ++msgpos;
    }
    if (!down && key(VK_LEFT)) {
        down = true;
        if (!inkey && msgpos > 0) --msgpos;
    }
    if (!down && key(VK_END)) {
        down = true;
        if (!inkey) {
            msgpos = 0;
            while (msgpos < size - 1 && text[msgpos] != 0) ++msgpos;
        }
    }
    if (!down && key(VK_HOME)) {
        down = true;
        if (!inkey) msgpos = 0;
    }
    if (!down) {
        if (const char c = typedChar()) {
            down = true;
            if (!inkey) insertChar(text, size, msgpos, c);
        }
    }
    if (!down && key(VK_OEM_PERIOD)) {
        down = true;
        if (!inkey) insertChar(text, size, msgpos, '.');
    }
    if (!down && key(VK_RETURN)) {
        down = true;
        if (!inkey) insertChar(text, size, msgpos, '\n');
    }
    // Backspace at the start is no key at all here, so it blocks nothing.
    if (!down && msgpos > 0 && key(VK_BACK)) {
        down = true;
        if (!inkey) {
            --msgpos;
            for (int i = msgpos; i < size - 1; ++i) text[i] = text[i + 1];
        }
    }
    if (!down && key(VK_SPACE)) {
        down = true;
        if (!inkey) insertChar(text, size, msgpos, ' ');
    }
    inkey = down;
    if (down && fresh) soundPlain(soundKey);
    return p;
}
