// The keyboard widgets: the main menu (selection, wrap, Enter and Escape, the
// key latch that survives leaving the menu, the highlighted item), the file
// name editor (typing order, the shared cursor, which keys type) and the
// message editor (insertion and deletion at the buffer's edges, cursor keys,
// Tab's cut, the drawn cursor). Keys come from the headless backend. CTest runs
// each test in a process of its own: the two tests of a widget's first call
// rely on that, the others bring the widget to a known state first.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/app.h"
#include "draw/draw.h"
#include "ports/headless/headless.h"
#include "gdi/surface.h"
#include "platform/system.h"
#include "support/grid.h"

namespace {

constexpr COLORREF kText = 0xffaf64;
constexpr COLORREF kHighlight = 0x64afff;
constexpr int kWidth = 800;

// Exactly the given keys held from now on; the backend keeps focus.
class Keys {
public:
    ~Keys() { hold({}); }
    void hold(std::initializer_list<int> keys) {
        for (int vk : down_) headlessSetKey(vk, false);
        down_.assign(keys.begin(), keys.end());
        for (int vk : down_) headlessSetKey(vk, true);
    }

private:
    std::vector<int> down_;
};

// Where drawText leaves the cursor, measured on a scratch bitmap.
vec2 cursorAfter(vec2 pos, float left, float right, float size, const std::string& s) {
    Canvas scratch(4, 4);
    return drawText(scratch.dc, pos, left, right, size, s.c_str());
}

#define EXPECT_AT(got, want)                                                                       \
    do {                                                                                           \
        const vec2 g_ = (got), w_ = (want);                                                        \
        EXPECT_EQ(g_.x, w_.x);                                                                     \
        EXPECT_EQ(g_.y, w_.y);                                                                     \
    } while (0)

// ---------------------------------------------------------------------------
// Main menu

// "Korvane 1.05" at (10, 10), then "\n\nMain menu\n\n" at size 2 (lines of 14
// pixels), then one item per line.
constexpr int kFirstItemTop = 10 + 4 * 14;
constexpr int kItemLine = 14;

class MainMenu : public testing::Test {
protected:
    void SetUp() override { workRes(false, kWidth, 600); }

    int frame(std::initializer_list<int> held, bool reset = false) {
        keys.hold(held);
        canvas.clear();
        key(0);
        return mainMenu(canvas.dc, reset);
    }

    // The items with highlighted pixels in their line of the last frame drawn.
    std::vector<int> highlighted() const {
        std::vector<int> items;
        for (int item = 1; item <= 6; ++item) {
            const int top = kFirstItemTop + (item - 1) * kItemLine;
            if (canvas.count(kHighlight, 0, top, kWidth, top + kItemLine) > 0)
                items.push_back(item);
        }
        return items;
    }

    // Press and release one key.
    int tap(int vk) {
        const int chosen = frame({vk});
        frame({});
        return chosen;
    }

    Keys keys;
    Canvas canvas{kWidth, 180};
};

// The first call of the run, so the selection starts on Play without a reset.
TEST_F(MainMenu, DrawsTheSelectedItemHighlightedAndTheRestInTheTextColour) {
    const int live = gdiLiveObjects();
    EXPECT_EQ(frame({}), 0);
    EXPECT_EQ(gdiLiveObjects(), live) << "the menu leaves a pen behind";
    EXPECT_EQ(highlighted(), std::vector<int>{1});
    // Title, heading and every item are drawn; only the selected item is highlighted.
    EXPECT_GT(canvas.count(kText, 0, 0, kWidth, 24), 0) << "title";
    EXPECT_GT(canvas.count(kText, 0, 38, kWidth, 52), 0) << "heading";
    EXPECT_EQ(canvas.count(kHighlight, 0, 0, kWidth, kFirstItemTop), 0);
    for (int item = 2; item <= 6; ++item) {
        const int top = kFirstItemTop + (item - 1) * kItemLine;
        EXPECT_GT(canvas.count(kText, 0, top, kWidth, top + kItemLine), 0) << item;
    }
    EXPECT_EQ(canvas.count(kText, 0, kFirstItemTop, kWidth, kFirstItemTop + kItemLine), 0);

    // A move shows in the frame after the key.
    frame({VK_DOWN});
    EXPECT_EQ(highlighted(), std::vector<int>{1});
    frame({});
    EXPECT_EQ(highlighted(), std::vector<int>{2});
}

TEST_F(MainMenu, EscapeSelectsExitAndEnterThenReturnsIt) {
    frame({}, true);
    EXPECT_EQ(frame({VK_ESCAPE}), 0);
    EXPECT_EQ(frame({}), 0);
    EXPECT_EQ(highlighted(), std::vector<int>{6});
    EXPECT_EQ(frame({VK_RETURN}), 6);
    EXPECT_EQ(frame({VK_RETURN}), 0) << "a held Enter chooses once";
}

TEST_F(MainMenu, EscapeHeldFromBeforeDoesNotSelectExit) {
    frame({}, true);
    frame({VK_DOWN});
    EXPECT_EQ(frame({VK_ESCAPE}), 0); // the latch from Down is still set
    frame({});
    EXPECT_EQ(tap(VK_RETURN), 2);
}

TEST_F(MainMenu, EnterStillHeldWhenComingBackChoosesNothing) {
    frame({}, true);
    EXPECT_EQ(frame({VK_RETURN}), 1);
    // The menu is left while Enter is down and comes back with Enter still held.
    EXPECT_EQ(frame({VK_RETURN}), 0);
    EXPECT_EQ(frame({VK_RETURN}), 0);
    EXPECT_EQ(frame({}), 0);
    EXPECT_EQ(frame({VK_RETURN}), 1);
}

TEST_F(MainMenu, UpAndDownWrapAround) {
    frame({}, true);
    tap(VK_UP);
    EXPECT_EQ(highlighted(), std::vector<int>{6});
    EXPECT_EQ(tap(VK_RETURN), 6);
    tap(VK_DOWN);
    EXPECT_EQ(highlighted(), std::vector<int>{1});
    EXPECT_EQ(tap(VK_RETURN), 1);
    tap(VK_DOWN);
    tap(VK_DOWN);
    tap(VK_UP);
    EXPECT_EQ(tap(VK_RETURN), 2);
}

TEST_F(MainMenu, HoldingAKeyMovesOneItem) {
    frame({}, true);
    for (int i = 0; i < 5; ++i) frame({VK_DOWN});
    frame({});
    EXPECT_EQ(highlighted(), std::vector<int>{2});
    for (int i = 0; i < 5; ++i) frame({VK_UP});
    frame({});
    EXPECT_EQ(highlighted(), std::vector<int>{1});
    EXPECT_EQ(tap(VK_RETURN), 1);
}

TEST_F(MainMenu, OnlyTheFirstKeyInOrderActs) {
    frame({}, true);
    tap(VK_DOWN);
    // Enter wins over Up: item 2 is chosen and the selection stays.
    EXPECT_EQ(frame({VK_UP, VK_RETURN}), 2);
    frame({});
    EXPECT_EQ(highlighted(), std::vector<int>{2});
    // Escape wins over Up and Down.
    frame({VK_UP, VK_ESCAPE, VK_DOWN});
    frame({});
    EXPECT_EQ(highlighted(), std::vector<int>{6});
    // Up wins over Down.
    frame({VK_DOWN, VK_UP});
    frame({});
    EXPECT_EQ(highlighted(), std::vector<int>{5});
}

TEST_F(MainMenu, ResetSelectsPlayBeforeDrawing) {
    frame({}, true);
    tap(VK_DOWN);
    tap(VK_DOWN);
    EXPECT_EQ(highlighted(), std::vector<int>{3});
    EXPECT_EQ(frame({}, true), 0);
    EXPECT_EQ(highlighted(), std::vector<int>{1});
    EXPECT_EQ(tap(VK_RETURN), 1);
    // The latch is not part of the reset: an Enter held since the last choice
    // still chooses nothing.
    tap(VK_DOWN);
    EXPECT_EQ(frame({VK_RETURN}), 2);
    EXPECT_EQ(frame({VK_RETURN}, true), 0);
    EXPECT_EQ(frame({}), 0);
    EXPECT_EQ(frame({VK_RETURN}), 1);
}

// ---------------------------------------------------------------------------
// File name editor

class FileName : public testing::Test {
protected:
    void SetUp() override { workRes(false, kWidth, 600); }

    vec2 frame(char* name, std::initializer_list<int> held, bool reset = false) {
        keys.hold(held);
        canvas.clear();
        key(0);
        const vec2 cursor = setfilename(canvas.dc, name, pos, reset);
        endLine(canvas.dc);
        return cursor;
    }

    void type(char* name, int vk) {
        frame(name, {vk});
        frame(name, {});
    }

    // Brings the shared cursor back to the first name character, wherever an
    // earlier test in the same process left it, and clears the key latch.
    void rewind() {
        char scratch[16] = "kvxmap.AAAA.kvx";
        frame(scratch, {});
        for (int i = 0; i < 4 && scratch[10] != 'Z'; ++i) type(scratch, 'Z');
    }

    Keys keys;
    Canvas canvas{kWidth, 60};
    const vec2 pos{30, 20};
};

// The first name of the run: editing starts at its first character.
TEST_F(FileName, TypingOverwritesTheFourCharactersInTurn) {
    char name[16] = "kvxmap.0000.kvx";
    frame(name, {});
    for (int vk : {'A', 'B', 'C', 'D'}) type(name, vk);
    EXPECT_STREQ(name, "kvxmap.ABCD.kvx");
    type(name, 'E');
    EXPECT_STREQ(name, "kvxmap.EBCD.kvx");
    type(name, '7');
    EXPECT_STREQ(name, "kvxmap.E7CD.kvx");
}

TEST_F(FileName, AHeldKeyTypesOnce) {
    rewind();
    char name[16] = "kvxmap.0000.kvx";
    frame(name, {});
    for (int i = 0; i < 4; ++i) frame(name, {'Q'});
    EXPECT_STREQ(name, "kvxmap.Q000.kvx");
    // Another key pressed while the first is still held waits for both to go.
    frame(name, {'Q', 'R'});
    frame(name, {'R'});
    frame(name, {});
    EXPECT_STREQ(name, "kvxmap.Q000.kvx");
    type(name, 'R');
    EXPECT_STREQ(name, "kvxmap.QR00.kvx");
}

TEST_F(FileName, ADigitWinsOverALetterHeldWithIt) {
    rewind();
    char name[16] = "kvxmap.ZZZZ.kvx";
    frame(name, {});
    frame(name, {'A', '1'});
    frame(name, {});
    frame(name, {'9', '3'});
    frame(name, {});
    EXPECT_STREQ(name, "kvxmap.13ZZ.kvx");
}

TEST_F(FileName, OnlyMainRowDigitsAndLettersType) {
    rewind();
    char name[16] = "kvxmap.0000.kvx";
    frame(name, {});
    // Numpad digits share codes with lower-case letters; punctuation, space,
    // Enter and the arrows are no name keys either.
    for (int vk = VK_NUMPAD0; vk <= 0x7A; ++vk) type(name, vk);
    for (int vk :
         {VK_OEM_PERIOD, VK_SPACE, VK_RETURN, VK_BACK, VK_LEFT, VK_RIGHT, 0x2F, 0x3A, 0x40, 0x5B})
        type(name, vk);
    EXPECT_STREQ(name, "kvxmap.0000.kvx");
    type(name, '0');
    type(name, '9');
    type(name, 'Z');
    EXPECT_STREQ(name, "kvxmap.09Z0.kvx");
}

TEST_F(FileName, TheCursorIsSharedByEveryName) {
    rewind();
    char load[16] = "kvxmap.0000.kvx";
    char save[16] = "kvxmap.0000.kvx";
    frame(load, {});
    type(load, 'A');
    type(load, 'B');
    frame(save, {}, true);
    type(save, 'C');
    EXPECT_STREQ(load, "kvxmap.AB00.kvx");
    EXPECT_STREQ(save, "kvxmap.00C0.kvx");
}

TEST_F(FileName, ResetIgnoresAKeyHeldAtEntry) {
    rewind();
    char name[16] = "kvxmap.0000.kvx";
    frame(name, {'K'}, true);
    frame(name, {'K'});
    EXPECT_STREQ(name, "kvxmap.0000.kvx");
    frame(name, {});
    type(name, 'K');
    EXPECT_STREQ(name, "kvxmap.K000.kvx");
}

TEST_F(FileName, HighlightsTheCharacterUnderTheCursor) {
    rewind();
    char name[16] = "kvxmap.0000.kvx";
    frame(name, {});
    type(name, 'W'); // the cursor is now on character 8
    const vec2 cursor = frame(name, {});
    EXPECT_AT(cursor, cursorAfter(pos, 10, kWidth, 2, "kvxmap.W000.kvx"));

    const int x0 = int(cursorAfter(pos, 10, kWidth, 2, "kvxmap.W").x);
    const int x1 = int(cursorAfter(pos, 10, kWidth, 2, "kvxmap.W0").x);
    const int y0 = int(pos.y) - 2, y1 = int(pos.y) + 12;
    EXPECT_GT(canvas.count(kHighlight, x0 - 1, y0, x1, y1), 0);
    EXPECT_EQ(canvas.count(kHighlight, 0, 0, kWidth, 60) -
                  canvas.count(kHighlight, x0 - 1, y0, x1, y1),
              0)
        << "highlight outside the character under the cursor";
    EXPECT_GT(canvas.count(kText, 0, y0, x0 - 1, y1), 0) << "the name before the cursor";
    EXPECT_GT(canvas.count(kText, x1, y0, kWidth, y1), 0) << "the rest of the name";
}

TEST_F(FileName, ANameTooShortIsNeitherReadBeyondNorWritten) {
    rewind();
    EXPECT_AT(setfilename(canvas.dc, nullptr, pos, false), pos);
    // Exactly sized on the heap, so a read or write past the end is caught.
    std::vector<char> shortName{'k', 'v', 'x', 'm', 'a', 'p', '.', '0', '0', '0', '\0'};
    frame(shortName.data(), {});
    const vec2 cursor = frame(shortName.data(), {'A'});
    frame(shortName.data(), {});
    EXPECT_STREQ(shortName.data(), "kvxmap.000");
    EXPECT_AT(cursor, cursorAfter(pos, 10, kWidth, 2, "kvxmap.000"));
    // A proper name afterwards is still edited from the first character.
    char name[16] = "kvxmap.0000.kvx";
    type(name, 'A');
    EXPECT_STREQ(name, "kvxmap.A000.kvx");
}

// ---------------------------------------------------------------------------
// Message editor

class MessageEditor : public testing::Test {
protected:
    void SetUp() override { workRes(false, kWidth, 600); }

    // A zeroed buffer of exactly `size` bytes on the heap, and a reset with no
    // key held, so that the next key is a fresh press.
    void start(int size, const std::string& initial = "") {
        buffer = std::vector<char>(std::size_t(size), 0);
        std::copy(initial.begin(), initial.end(), buffer.begin());
        frame({}, true);
    }

    vec2 frame(std::initializer_list<int> held, bool reset = false) {
        keys.hold(held);
        canvas.clear();
        key(0);
        const vec2 cursor = editmessage(canvas.dc, pos, buffer.data(), int(buffer.size()), reset);
        endLine(canvas.dc);
        return cursor;
    }

    void type(int vk) {
        frame({vk});
        frame({});
    }
    void type(const std::string& keysToType) {
        for (char c : keysToType) type(int(c));
    }

    // The text up to the first zero.
    std::string text() const {
        return std::string(buffer.begin(), std::find(buffer.begin(), buffer.end(), '\0'));
    }
    std::string bytes() const { return std::string(buffer.begin(), buffer.end()); }

    Keys keys;
    Canvas canvas{kWidth, 200};
    std::vector<char> buffer;
    const vec2 pos{20, 30};
};

TEST_F(MessageEditor, TypedKeysInsertAtTheCursor) {
    start(500);
    type("GO");
    type(VK_OEM_PERIOD);
    type(VK_RETURN);
    type(VK_SPACE);
    type("42");
    EXPECT_EQ(text(), "GO.\n 42");
    type(VK_HOME);
    type(VK_RIGHT);
    type("X");
    EXPECT_EQ(text(), "GXO.\n 42");
    // A held key types once; a digit wins over a letter held with it.
    for (int i = 0; i < 3; ++i) frame({'A', '5'});
    frame({});
    EXPECT_EQ(text(), "GX5O.\n 42");
    // Numpad digits and lower-case codes type nothing.
    for (int vk = VK_NUMPAD0; vk <= 0x7A; ++vk) type(vk);
    EXPECT_EQ(text(), "GX5O.\n 42");
}

TEST_F(MessageEditor, BackspaceDeletesTheCharacterBeforeTheCursor) {
    start(500, "ABC");
    type(VK_END);
    type(VK_LEFT);
    type(VK_BACK);
    EXPECT_EQ(text(), "AC");
    type("X");
    EXPECT_EQ(text(), "AXC");
    // Held, it deletes one character only.
    for (int i = 0; i < 3; ++i) frame({VK_BACK});
    frame({});
    EXPECT_EQ(text(), "AC");
}

TEST_F(MessageEditor, BackspaceAtTheStartIsNoKey) {
    start(500, "AB");
    frame({VK_BACK});
    EXPECT_EQ(text(), "AB");
    // Backspace did not latch, and does not hold back a Space in the same frame.
    frame({VK_BACK, VK_SPACE});
    EXPECT_EQ(text(), " AB");
}

TEST_F(MessageEditor, AFullBufferKeepsItsLastByteZero) {
    start(8);
    type("ABCDEFG");
    EXPECT_EQ(bytes(), std::string("ABCDEFG\0", 8));
    // The cursor stands on the last byte: nothing goes in.
    type("H");
    type(VK_OEM_PERIOD);
    type(VK_RETURN);
    type(VK_SPACE);
    EXPECT_EQ(bytes(), std::string("ABCDEFG\0", 8));
    type(VK_RIGHT);
    type(VK_BACK);
    EXPECT_EQ(bytes(), std::string("ABCDEF\0\0", 8)) << "Right moved past the last byte";
    // Inserting in the middle of a full buffer drops the last character.
    type("G");
    type(VK_HOME);
    type("X");
    EXPECT_EQ(bytes(), std::string("XABCDEF\0", 8));
    // Deleting moves the terminating zero along but keeps it.
    type(VK_BACK);
    EXPECT_EQ(bytes(), std::string("ABCDEF\0\0", 8));
}

TEST_F(MessageEditor, RightStopsAtTheEndOfTheText) {
    start(500, "AB");
    type(VK_RIGHT);
    type(VK_RIGHT);
    type(VK_RIGHT);
    type(VK_RIGHT);
    type("C");
    EXPECT_EQ(text(), "ABC");
    type(VK_LEFT);
    type(VK_LEFT);
    type(VK_LEFT);
    type(VK_LEFT);
    type(VK_LEFT);
    type("D");
    EXPECT_EQ(text(), "DABC");
    // Held, the arrows move one place.
    type(VK_END);
    for (int i = 0; i < 3; ++i) frame({VK_LEFT});
    frame({});
    type("E");
    EXPECT_EQ(text(), "DABEC");
    type(VK_HOME);
    for (int i = 0; i < 3; ++i) frame({VK_RIGHT});
    frame({});
    type("F");
    EXPECT_EQ(text(), "DFABEC");
}

TEST_F(MessageEditor, EndGoesToTheFirstZeroAndHomeToTheStart) {
    start(10, std::string("AB\0CD", 5));
    type(VK_END);
    type("X");
    EXPECT_EQ(bytes(), std::string("ABX\0CD\0\0\0\0", 10));
    type(VK_HOME);
    type("Y");
    EXPECT_EQ(bytes(), std::string("YABX\0CD\0\0\0", 10));

    // End searches from the start, even from a cursor beyond the text (the
    // text is shortened under it).
    type(VK_END);
    std::fill(buffer.begin() + 1, buffer.end(), '\0');
    type(VK_END);
    type("Z");
    EXPECT_EQ(text(), "YZ");
}

TEST_F(MessageEditor, TabEmptiesTheMessageOrCutsItWhenHeldAfterAnotherKey) {
    start(20, "ABCDEF");
    type(VK_RIGHT);
    frame({VK_RIGHT}); // the cursor is on 'C'
    frame({VK_RIGHT}); // held, it does not move the cursor again
    frame({VK_RIGHT, VK_TAB});
    EXPECT_EQ(bytes(), std::string("AB\0\0EF", 6) + std::string(14, '\0'));
    frame({VK_TAB}); // still held: cuts at the cursor again
    frame({});
    type("X");
    EXPECT_EQ(text(), "ABX");

    // A fresh Tab empties it.
    type(VK_TAB);
    EXPECT_EQ(bytes().substr(0, 2), std::string(2, '\0'));
    type("Z");
    EXPECT_EQ(text(), "Z");
}

TEST_F(MessageEditor, TabAtTheLastByteWritesOnlyInsideTheBuffer) {
    start(4);
    type("ABC");
    frame({VK_END});
    frame({VK_END, VK_TAB}); // not fresh: cuts at the cursor, byte 3
    frame({});
    EXPECT_EQ(bytes(), std::string("ABC\0", 4));
}

TEST_F(MessageEditor, ResetPutsTheCursorAtTheStartAndIgnoresHeldKeys) {
    start(500, "AB");
    type(VK_END);
    frame({'Q'}, true);
    frame({'Q'});
    EXPECT_EQ(text(), "AB");
    frame({});
    type("Q");
    EXPECT_EQ(text(), "QAB");
}

TEST_F(MessageEditor, ReturnsTheCursorAfterTheTextWrappedAt640) {
    const std::string line(100, 'W');
    start(500, line);
    EXPECT_AT(frame({}), cursorAfter(pos, 10, 640, 2, line));
    type(VK_END);
    EXPECT_AT(frame({}), cursorAfter(pos, 10, 640, 2, line));
    // A narrower window wraps the text at its own width.
    workRes(false, 500, 400);
    EXPECT_AT(frame({}), cursorAfter(pos, 10, 500, 2, line));
    EXPECT_NE(cursorAfter(pos, 10, 500, 2, line).x, cursorAfter(pos, 10, 640, 2, line).x);
}

TEST_F(MessageEditor, HighlightsTheCharacterUnderTheCursorOrAnUnderline) {
    start(500, "AB CD");
    // The highlighted pixels of the last frame are those of `mark` drawn alone
    // where the text before the cursor ends, except where the text after it
    // was drawn over them.
    const auto highlightIs = [&](const std::string& before, const char* mark) {
        Canvas alone(canvas.w, canvas.h);
        Selected pen(alone.dc, CreatePen(PS_SOLID, 1, kPen));
        drawText(alone.dc, cursorAfter(pos, 10, 640, 2, before), 10, 640, 2, mark);
        int marked = 0;
        for (int y = 0; y < canvas.h; ++y)
            for (int x = 0; x < canvas.w; ++x) {
                const std::uint32_t drawn = canvas.pixel(x, y);
                const bool want = alone.pixel(x, y) == pixelOf(kPen);
                if (drawn == pixelOf(kText)) continue;
                if ((drawn == pixelOf(kHighlight)) != want) return false;
                marked += want;
            }
        return marked > 0;
    };
    frame({});
    EXPECT_TRUE(highlightIs("", "A"));
    EXPECT_GT(canvas.count(kText, 0, 0, kWidth, 200), 0) << "the rest of the text";
    type(VK_RIGHT);
    type(VK_RIGHT);
    frame({});
    EXPECT_TRUE(highlightIs("AB", "_")) << "underline under a space";
    type(VK_END);
    frame({});
    EXPECT_TRUE(highlightIs("AB CD", "_")) << "underline at the end";
    // Nothing drawn is left in the buffer.
    EXPECT_EQ(text(), "AB CD");
}

TEST_F(MessageEditor, BadBuffersAreNeverReadOrWrittenOutside) {
    // No buffer at all.
    EXPECT_AT(editmessage(canvas.dc, pos, nullptr, 500, true), pos);
    char one = 'Q';
    EXPECT_AT(editmessage(canvas.dc, pos, &one, 0, false), pos);
    EXPECT_AT(editmessage(canvas.dc, pos, &one, -5, false), pos);
    EXPECT_EQ(one, 'Q');

    // One byte: only the terminating zero, nothing can be typed.
    start(1);
    type("A");
    type(VK_SPACE);
    type(VK_RIGHT);
    type(VK_TAB);
    EXPECT_EQ(bytes(), std::string(1, '\0'));

    // A cursor left far out by a larger buffer is brought inside a smaller one.
    start(500);
    type("ABCDEFGHIJ");
    buffer = std::vector<char>{'A', 'B', '\0', '\0'};
    frame({});
    type("X"); // at the last byte: nothing
    EXPECT_EQ(bytes(), std::string("AB\0\0", 4));
    type(VK_LEFT);
    type("X");
    EXPECT_EQ(bytes(), std::string("ABX\0", 4));

    // A buffer without a terminating zero is drawn only up to its end.
    start(4, "ABCD");
    type(VK_END);
    type(VK_RIGHT);
    type(VK_SPACE);
    EXPECT_EQ(bytes(), "ABCD");
    EXPECT_AT(frame({}), cursorAfter(pos, 10, 640, 2, "ABCD"));
}

} // namespace
