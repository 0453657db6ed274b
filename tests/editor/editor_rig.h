// The editor on a mission of its own, one frame per call, with the mouse and
// keys of the headless backend, and the text block it should show. The view
// is 1024x768 at zoom 1 with the world's origin at the screen centre, so a
// world point p is on screen at p + (512, 384). Header-only.
//
// The editor keeps its tool, sub-mode, template and latch in statics for the
// whole run; every rig starts with the editor as it is before its first frame,
// and the random generator seeded as at a program's start, so the tests pass
// alone, under CTest (a process each) and all in one process.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/app.h"
#include "draw/draw.h"
#include "editor/editor.h"
#include "editor/editor_internal.h"
#include "ports/headless/headless.h"
#include "platform/system.h"
#include "support/grid.h"

constexpr COLORREF kPanelText = 0xffaf64;

struct EditorRig {
    Canvas canvas{1024, 768};
    ship ships[shipCount];
    vec2 cam;
    float zom = 1;
    int you = 0;
    int sid = 0;
    int result = 0; // what the last frame returned

    EditorRig() {
        workRes(false, 1024, 768);
        headlessSetFocus(true);
        resetEditor();
        std::srand(1); // the designs' variants, as in a fresh process
    }
    ~EditorRig() {
        const int held[] = {VK_LBUTTON, VK_RBUTTON, VK_ADD, VK_SUBTRACT, VK_BACK, 'N',
                            'R',        'M',        'S',    'F',         'C'};
        for (int vk : held) headlessSetKey(vk, false);
    }

    static vec2 screen(vec2 world) { return world + vec2(512, 384); }

    int frame() {
        canvas.clear();
        key(0);
        result = editMiss(canvas.dc, ships, cam, zom, you, sid, 0.016f);
        return result;
    }
    void move(vec2 world) {
        vec2 s = screen(world);
        headlessSetCursor(int(s.x), int(s.y));
    }
    void moveScreen(int x, int y) { headlessSetCursor(x, y); }
    // Held for one frame, then released for one.
    void press(int vk) {
        headlessSetKey(vk, true);
        frame();
        headlessSetKey(vk, false);
        frame();
    }
    void click(vec2 world, int vk = VK_LBUTTON) {
        move(world);
        frame();
        press(vk);
    }
    void tool(int k) {
        moveScreen(35 + 60 * k, 35);
        press(VK_LBUTTON);
    }
    ship& put(int slot, vec2 pos, int type = typeLightFighter, int side = sideRed) {
        ships[slot] = ship(pos, type, side, true);
        return ships[slot];
    }
    std::vector<unsigned char> image(int slot) const {
        std::vector<unsigned char> out(shipImageSize);
        writeShipImage(ships[slot], out.data());
        return out;
    }
    std::vector<unsigned char> images() const {
        std::vector<unsigned char> out;
        for (int i = 0; i < shipCount; ++i) {
            std::vector<unsigned char> one = image(i);
            out.insert(out.end(), one.begin(), one.end());
        }
        return out;
    }
};

// The pixels of one colour in the rows [y0, y1) of a canvas.
inline std::vector<bool> colourMask(const Canvas& c, COLORREF colour, int y0, int y1) {
    std::vector<bool> mask;
    for (int y = y0; y < y1; ++y)
        for (int x = 0; x < c.w; ++x) mask.push_back(c.pixel(x, y) == pixelOf(colour));
    return mask;
}

// Whether the editor's text block (from (10, 65), in the panel colour) reads
// exactly `text`, compared pixel for pixel with that text drawn on its own.
inline testing::AssertionResult showsTextBlock(const EditorRig& rig, const std::string& text) {
    Canvas want(rig.canvas.w, rig.canvas.h);
    setLine(want.dc, 0, 1, kPanelText);
    drawText(want.dc, vec2(10, 65), 10, float(want.w), 2, text.c_str());
    endLine(want.dc);
    if (colourMask(rig.canvas, kPanelText, 63, 260) == colourMask(want, kPanelText, 63, 260))
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "the text block does not read:\n" << text;
}

// The text block for a tool's name and R hint ("" for none), colour and count.
inline std::string textBlock(const std::string& tool, const std::string& hint,
                             const std::string& colour = "Red", int ships = 0) {
    return "Active tool: " + tool + "\nActive color: " + colour + hint +
           "\nPress M to edit the mission message"
           "\nPress S to set the mission success file name"
           "\nPress F to set the mission failed file name"
           "\nShips: " +
           std::to_string(ships) + "/50";
}
