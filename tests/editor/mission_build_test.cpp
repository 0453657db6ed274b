// A mission built from an empty map with the editor alone, through
// korvane-headless with scripted mouse and keys: ships of two sides, a target
// and a home base, a destroy and a defend mark, a mind, orders, respawns and
// copied waypoints, the follow-up names typed on their screens, saved from the
// Save screen. The file is checked field by field, then loaded and played by
// a spectator until the mission ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "mission/mission_file.h"
#include "model/model.h"
#include "support/process.h"

namespace fs = std::filesystem;

namespace {

// Input events frame by frame; each action starts where the last one ended.
struct Script {
    std::string text;
    int f = 1;

    void at(int frame, const std::string& what) {
        text += std::to_string(frame) + " " + what + "\n";
    }
    void tap(const std::string& key) {
        at(f, "down " + key);
        at(f + 1, "up " + key);
        f += 2;
    }
    void type(const std::string& keys) {
        for (char c : keys) tap(std::string(1, c));
    }
    void click(int x, int y, const std::string& button = "LButton") {
        at(f, "move " + std::to_string(x) + " " + std::to_string(y));
        at(f + 1, "down " + button);
        at(f + 2, "up " + button);
        f += 3;
    }
    void tool(int k) { click(35 + 60 * k, 35); }
};

// korvane-headless in dir, its mission files there too.
ProcessRun runGame(const fs::path& dir, const Script& script, const std::string& size, int frames,
                   const std::string& dt, const std::string& shot = "") {
    std::ofstream(dir / "script.txt") << script.text;
    std::vector<std::string> args = {
        KORVANE_HEADLESS,       "--size",   size,        "--dt", dt, "--frames",
        std::to_string(frames), "--script", "script.txt"};
    if (!shot.empty()) args.insert(args.end(), {"--shot", shot});
    return runIn(dir, args);
}

// The editor's view as the start screen leaves it: zoom 1024 * 0.0006875,
// the lone Base of start-up at the centre.
constexpr float kZoom = 1024 * 0.0006875f;
vec2 worldAt(int x, int y) { return (vec2(x, y) - vec2(512, 384)) / kZoom; }

const int kA[2] = {400, 384}, kB[2] = {300, 520}, kC[2] = {640, 300}, kD[2] = {700, 460};

Script buildMission() {
    Script s;
    s.at(3, "down Escape"); // the menu, Exit selected
    s.at(4, "up Escape");
    s.f = 5;
    s.tap("Up");
    s.tap("Up"); // Editor
    s.tap("Enter");

    s.tool(2);
    s.tap("R"); // the lone Base is gone: an empty map
    s.tool(3);
    s.click(kA[0], kA[1]); // A, red: slot 0
    s.click(kB[0], kB[1]); // B, red: slot 1
    s.tool(1);
    s.tool(1); // green
    s.tool(3);
    s.click(kC[0], kC[1]); // C, green: slot 2
    s.click(kD[0], kD[1]); // D, green: slot 3

    s.tool(0);
    s.click(kA[0], kA[1]); // A selected
    s.tool(4);
    s.click(kC[0], kC[1]); // A's target: C
    s.tool(4);
    s.tool(4);
    s.click(kB[0], kB[1]); // A's home base: B
    s.tool(5);             // from home base back to destroy
    s.click(kC[0], kC[1]);
    s.tool(5);
    s.click(kB[0], kB[1]); // defend B
    s.tool(6);             // orders
    s.click(kD[0], kD[1]); // D guards a line
    s.tool(6);             // respawns
    s.click(kA[0], kA[1]);
    s.tap("R"); // A: 1 becomes unlimited
    s.click(kD[0], kD[1]);
    s.click(kD[0], kD[1]); // D: 2
    s.tool(6);             // mind
    s.click(kA[0], kA[1]); // A attacks
    s.tool(7);
    s.click(kD[0], kD[1]);            // D takes A's route
    s.click(kA[0], kA[1], "RButton"); // A is the player's ship, red the side

    s.tap("S");
    s.type("WINS");
    s.tap("Enter");
    s.f += 2;
    s.tap("F");
    s.type("LOSE");
    s.tap("Enter");
    s.f += 2;

    s.at(s.f, "down Escape");
    s.at(s.f + 1, "up Escape");
    s.f += 2;
    // The Enter that chose Editor left the menu's latch down, so this Escape
    // is not fresh to the menu and Editor stays selected.
    s.tap("Up"); // Save
    s.tap("Enter");
    s.type("EDIT");
    s.tap("Enter");
    return s;
}

std::int32_t int32At(const std::vector<unsigned char>& b, std::size_t at) {
    return std::int32_t(std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 |
                        std::uint32_t(b[at + 2]) << 16 | std::uint32_t(b[at + 3]) << 24);
}

std::size_t shipAt(int k) { return 602 + 1009 * std::size_t(k); }

// The orders a ship of s's design is built with, found by its name.
int designOrders(const ship& s) {
    for (int type = typeBase; type <= typeTransport; ++type) {
        ship d(vec2(0, 0), type, sideRed, true);
        if (std::strcmp(d.name, s.name) == 0) return d.orders;
    }
    ADD_FAILURE() << "no design is named " << s.name;
    return -1;
}

class EditorEndToEnd : public testing::Test {
protected:
    ScratchDir dir_{"korvane-editor"};
};

} // namespace

TEST_F(EditorEndToEnd, AMissionBuiltWithTheMouseIsSavedLoadedAndPlayed) {
    Script script = buildMission();
    ProcessRun built = runGame(dir_.path(), script, "1024x768", script.f + 2, "0.016");
    ASSERT_EQ(built.status, 0) << built.err;
    EXPECT_EQ(built.out, "message: kvxmap.AAAA.kvx: Failed to load file!\\nFile not found or "
                         "Access denied!\n");
    std::vector<unsigned char> b = readBytes(dir_ / "kvxmap.EDIT.kvx");
    ASSERT_EQ(b.size(), std::size_t(missionFileSize));

    // The header: code, player's ship 0 and side red, the two names typed.
    EXPECT_EQ(int32At(b, 0), missionCode);
    EXPECT_EQ(int32At(b, 4), 0);
    EXPECT_EQ(int32At(b, 8), sideRed);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[12])), "kvxmap.WINS.kvx");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[28])), "kvxmap.LOSE.kvx");
    for (std::size_t i = 44; i < 100; ++i) EXPECT_EQ(b[i], 0) << "header byte " << i;
    EXPECT_EQ(b[100], '\n');
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[101])),
              "Welcome to Korvane!\n\nI hope you'll enjoy your play!");
    EXPECT_EQ(b[601], '\n');

    // The four ships, by the raw offsets of their fields.
    struct Want {
        const int* click;
        int side, objective, target, leader, homeBase, respawns;
    };
    const Want want[4] = {{kA, sideRed, objNone, 2, 0, 1, 255},
                          {kB, sideRed, objDefend, 1, 1, 1, 0},
                          {kC, sideGreen, objDestroy, 2, 2, 2, 0},
                          {kD, sideGreen, objNone, 3, 3, 3, 2}};
    ship s[4];
    for (int k = 0; k < 4; ++k) {
        SCOPED_TRACE("ship " + std::to_string(k));
        const std::size_t o = shipAt(k);
        s[k] = readShipImage(&b[o]);
        EXPECT_EQ(b[o + 68], 1) << "alive";
        EXPECT_EQ(b[o + 69], want[k].respawns);
        EXPECT_EQ(int32At(b, o + 72), want[k].side);
        EXPECT_EQ(int32At(b, o + 76), want[k].objective);
        EXPECT_EQ(int32At(b, o + 80), k == 0 ? mindAttack : mindNormal);
        EXPECT_EQ(int32At(b, o + 88), want[k].target);
        EXPECT_EQ(int32At(b, o + 104), want[k].leader);
        EXPECT_EQ(int32At(b, o + 108), want[k].homeBase);
        EXPECT_EQ(b[o + 1008], '\n');
        // Placed one radius behind the click, heading to it, with its route
        // (D: A's) one and a half radii ahead.
        const ship& own = s[k == 3 ? 0 : k];
        vec2 w = worldAt(want[k].click[0], want[k].click[1]);
        EXPECT_NEAR(s[k].pos.x + s[k].dir.x * s[k].radius, w.x, 1e-3);
        EXPECT_NEAR(s[k].pos.y + s[k].dir.y * s[k].radius, w.y, 1e-3);
        vec2 route = own.pos + own.dir * (own.radius * 1.5);
        for (vec2 p : {s[k].waypoint, s[k].wayA, s[k].wayB}) {
            EXPECT_NEAR(p.x, route.x, 1e-6);
            EXPECT_NEAR(p.y, route.y, 1e-6);
        }
        EXPECT_GT(s[k].parts[s[k].core].health, 0);
    }
    // Orders come with the design; D's were stepped once.
    for (int k = 0; k < 4; ++k) {
        int orders = designOrders(s[k]);
        if (k == 3) orders = orders == orderBase ? orderFighter : orders + 1;
        EXPECT_EQ(int32At(b, shipAt(k) + 112), orders) << "ship " << k;
    }
    for (int k = 4; k < shipCount; ++k) {
        const std::size_t o = shipAt(k);
        EXPECT_EQ(std::count(&b[o], &b[o] + shipImageSize, 0), shipImageSize) << "slot " << k;
        EXPECT_EQ(b[o + 1008], '\n');
    }

    // It loads without a message and as it was saved.
    Mission loaded;
    EXPECT_TRUE(loadMissionBytes(b, loaded.refs()).empty());
    EXPECT_TRUE(missionBytes(loaded.refs()) == b);

    // Played by a spectator as the first mission, it ends: Enter on the result
    // screen then asks for the success or the failure file, neither of which
    // is there.
    fs::copy_file(dir_ / "kvxmap.EDIT.kvx", dir_ / "kvxmap.AAAA.kvx");
    Script play;
    for (int f = 3; f < 6000; f += 50) play.at(f, "down Enter"), play.at(f + 1, "up Enter");
    ProcessRun played = runGame(dir_.path(), play, "640x480", 6000, "0.05");
    ASSERT_EQ(played.status, 0) << played.err;
    std::string first = played.out.substr(0, played.out.find('\n'));
    EXPECT_TRUE(first == "message: kvxmap.WINS.kvx: Failed to load file!\\nFile not found or "
                         "Access denied!" ||
                first == "message: kvxmap.LOSE.kvx: Failed to load file!\\nFile not found or "
                         "Access denied!")
        << "no result after 300 seconds of play: " << played.out;
}
