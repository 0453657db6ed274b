// The whole game through korvane-headless: start-up with and without the first
// mission, the menu, the start, help and result screens, and the mission files
// the Load and Save screens read and write. Each test runs the runner once in a
// fresh directory and judges the screens by the text on them and the files by
// their bytes.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "mission/mission_file.h"
#include "model/model.h"
#include "support/process.h"
#include "support/screen.h"

namespace fs = std::filesystem;

namespace {

// ---- Scripts -------------------------------------------------------------

// An event for frame n takes effect before frame n runs.
std::string hold(int from, int to, const std::string& key) {
    return std::to_string(from) + " down " + key + "\n" + std::to_string(to) + " up " + key + "\n";
}

// Pressed for frame n only, released before frame n + 1.
std::string tap(int frame, const std::string& key) { return hold(frame, frame + 1, key); }

// One key tapped every second frame from frame n on, so each press is fresh.
std::string typed(int frame, const std::string& keys) {
    std::string script;
    for (char c : keys) script += tap(frame, std::string(1, c)), frame += 2;
    return script;
}

// ---- Missions ------------------------------------------------------------

// A mission as the driver holds it, for writing files and for the bytes a
// save of it must give.
struct FlowMission {
    std::vector<ship> a = std::vector<ship>(shipCount);
    int you = 0;
    int sid = 0;
    char sucfil[fileNameSize] = "kvxmap.0000.kvx";
    char faifil[fileNameSize] = "kvxmap.0000.kvx";
    char note[noteSize] = {};

    explicit FlowMission(const char* message) { std::snprintf(note, sizeof note, "%s", message); }

    void put(int slot, int type, int side, int objective, vec2 pos) {
        a[slot] = ship(pos, type, side, true);
        a[slot].objective = objective;
    }

    std::vector<unsigned char> bytes() {
        MissionRefs refs{a.data(), you, sid, sucfil, faifil, note};
        return missionBytes(refs);
    }
};

// Defend the Base (the player's ship) and destroy an enemy far off screen;
// won leads to kvxmap.BBBB.kvx.
FlowMission firstMission() {
    FlowMission m("FIRST MISSION\nDEFEND THE BASE");
    m.put(0, typeBase, sideRed, objDefend, vec2(0, 0));
    m.put(1, typeLightFighter, sideGreen, objDestroy, vec2(3000, 0));
    std::snprintf(m.sucfil, fileNameSize, "kvxmap.BBBB.kvx");
    return m;
}

// Another side, other designs, a gap between the slots, other follow-ups.
FlowMission secondMission() {
    FlowMission m("LOAD TEST\nLINE TWO\nLINE THREE");
    m.put(0, typeHeavyFighter, sideGreen, objDefend, vec2(0, 0));
    m.put(1, typeTransport, sideBlue, objDestroy, vec2(400, 300));
    m.put(5, typeBase, sideGreen, objNone, vec2(-600, -200));
    m.a[1].respawns = 3;
    m.sid = sideGreen;
    std::snprintf(m.sucfil, fileNameSize, "kvxmap.DDDD.kvx");
    std::snprintf(m.faifil, fileNameSize, "kvxmap.EEEE.kvx");
    return m;
}

// Nothing to destroy: play is won at once.
FlowMission defendOnlyMission() {
    FlowMission m("DEFEND ONLY");
    m.put(0, typeBase, sideRed, objDefend, vec2(0, 0));
    std::snprintf(m.sucfil, fileNameSize, "kvxmap.BBBB.kvx");
    return m;
}

// ---- Screens -------------------------------------------------------------
//
// All text is at size 2 with lines 14 pixels apart, and every line of the
// screens below holds a letter, which reaches from the top of the line to its
// base line: a line of text is a band of rows whose top is the line's y.

std::string listed(const std::vector<int>& v) {
    std::string s = "{";
    for (std::size_t i = 0; i < v.size(); ++i) s += (i ? ", " : "") + std::to_string(v[i]);
    return s + "}";
}

testing::AssertionResult linesAt(const Screen& s, std::uint32_t colour,
                                 const std::vector<int>& tops) {
    std::vector<int> got = s.lineTops(colour);
    if (got == tops) return testing::AssertionSuccess();
    return testing::AssertionFailure()
           << "lines of colour " << std::hex << colour << std::dec << " start at rows "
           << listed(got) << ", expected " << listed(tops);
}

// The start screen from (10, 10): the welcome message is two lines with a
// blank one between, then a blank line, "Press Enter ..." and "Press C ...".
const std::vector<int> welcomeLines = {10, 38, 66, 80};
const std::vector<int> firstMissionLines = {10, 24, 52, 66};
const std::vector<int> secondMissionLines = {10, 24, 38, 66, 80};
const std::vector<int> defendOnlyLines = {10, 38, 52};

testing::AssertionResult startScreen(const Screen& s, const std::vector<int>& lines) {
    if (s.count(highlightPixel) != 0)
        return testing::AssertionFailure() << "highlight colour on the start screen";
    return linesAt(s, textPixel, lines);
}

// The menu: "Korvane 1.05" at (10, 10), "Main menu" two lines below, the six
// items from two lines below that; the selected one in the highlight colour.
int menuItemTop(int item) { return 66 + 14 * (item - 1); }

testing::AssertionResult menu(const Screen& s, int selected) {
    testing::AssertionResult highlight = linesAt(s, highlightPixel, {menuItemTop(selected)});
    if (!highlight) return highlight << " (the highlighted item)";
    std::vector<int> text = {10, 38};
    for (int item = 1; item <= 6; ++item)
        if (item != selected) text.push_back(menuItemTop(item));
    text.push_back(s.height - 30); // the line of the added keys, at the foot
    return linesAt(s, textPixel, text);
}

// "FlowMission successfully completed." or "FlowMission failed!", then "Press Enter
// to continue..." below, and nothing else: the first line tells which, as the
// success line reaches past x = 230 and the failure line ends near x = 106.
testing::AssertionResult resultScreen(const Screen& s, bool won) {
    testing::AssertionResult two = linesAt(s, textPixel, {10, 24});
    if (!two) return two;
    if (s.count(highlightPixel) != 0) return testing::AssertionFailure() << "highlight colour";
    int right = s.lines(textPixel)[0].right;
    if (won ? right < 200 : right > 150)
        return testing::AssertionFailure()
               << "the first line ends at x = " << right << ": not the "
               << (won ? "\"FlowMission successfully completed.\"" : "\"FlowMission failed!\"")
               << " line";
    return testing::AssertionSuccess();
}

std::string message(const std::string& caption, const std::string& text) {
    return "message: " + caption + ": " + text + "\n";
}

const std::string notFound = "Failed to load file!\\nFile not found or Access denied!";

// ---- The runner ----------------------------------------------------------

struct GameRun : ProcessRun {
    std::map<int, Screen> shots; // by frame number
};

// Each test in a directory of its own: the script and the shots at the top,
// the game's mission files in missions/.
class GameFlow : public testing::Test {
protected:
    void SetUp() override { fs::create_directories(dir_ / "missions"); }

    // Runs the game at 1024x768 for `frames` frames with the script's key
    // events, saving the frames listed in shots.
    GameRun play(const std::string& script, int frames, const std::vector<int>& shots) {
        std::ofstream(dir_ / "script.txt") << script;
        std::vector<std::string> args = {
            KORVANE_HEADLESS,       "--size",   "1024x768",  "--dir", "missions", "--frames",
            std::to_string(frames), "--script", "script.txt"};
        for (int f : shots) {
            args.push_back("--shot");
            args.push_back(std::to_string(f) + ":shot-" + std::to_string(f) + ".png");
        }
        GameRun run;
        static_cast<ProcessRun&>(run) = runIn(dir_.path(), args, 120);
        for (int f : shots) {
            Screen& s = run.shots[f];
            EXPECT_TRUE(s.load((dir_ / ("shot-" + std::to_string(f) + ".png")).string()))
                << "frame " << f << " was not saved";
        }
        return run;
    }

    fs::path mission(const std::string& name) const { return dir_ / "missions" / name; }

    void write(const std::string& name, const std::vector<unsigned char>& bytes) {
        writeBytes(mission(name), bytes);
    }

    std::vector<unsigned char> read(const std::string& name) const {
        return readBytes(mission(name));
    }

    std::set<std::string> missionFiles() const {
        std::set<std::string> names;
        for (const fs::directory_entry& e : fs::directory_iterator(dir_ / "missions"))
            names.insert(e.path().filename().string());
        return names;
    }

    ScratchDir dir_{"korvane-game-flow"};
};

void expectRanToTheEnd(const GameRun& r) {
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
}

// A saved file: the full size, the identification code 1101 first.
void expectMissionFile(const std::vector<unsigned char>& bytes) {
    ASSERT_EQ(bytes.size(), std::size_t(missionFileSize));
    std::uint32_t code = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | std::uint32_t(bytes[3]) << 24;
    EXPECT_EQ(code, std::uint32_t(missionCode));
}

} // namespace

// ---- Start-up ------------------------------------------------------------

TEST_F(GameFlow, WithoutTheFirstMissionTheLoneBaseIsThePlayersShip) {
    GameRun r = play("", 6, {2, 6});
    expectRanToTheEnd(r);
    EXPECT_EQ(r.out, message("kvxmap.AAAA.kvx", notFound));
    // The welcome message, and no "Player ship not set...": the Base will do.
    EXPECT_TRUE(startScreen(r.shots[2], welcomeLines));
    EXPECT_TRUE(startScreen(r.shots[6], welcomeLines));
    EXPECT_TRUE(missionFiles().empty());
}

TEST_F(GameFlow, TheFirstMissionLoadsWithoutAMessage) {
    write("kvxmap.AAAA.kvx", firstMission().bytes());
    GameRun r = play("", 4, {2, 4});
    expectRanToTheEnd(r);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(startScreen(r.shots[2], firstMissionLines));
    EXPECT_TRUE(startScreen(r.shots[4], firstMissionLines));
}

TEST_F(GameFlow, WithoutAShipOfThePlayersSideNeitherEnterNorCStartsPlay) {
    FlowMission m("NOBODY\nTO FLY");
    m.put(0, typeBase, sideGreen, objDefend, vec2(0, 0)); // the player's side is red
    write("kvxmap.AAAA.kvx", m.bytes());
    GameRun r = play(tap(3, "Enter") + tap(6, "C"), 10, {2, 4, 7, 10});
    expectRanToTheEnd(r);
    EXPECT_EQ(r.out, "");
    const std::vector<int> lines = {10, 38, 52, 80, 94}; // "Player ship not set..." first
    for (int f : {2, 4, 7, 10}) EXPECT_TRUE(startScreen(r.shots[f], lines)) << "frame " << f;
}

// ---- Escape --------------------------------------------------------------

TEST_F(GameFlow, EscapeOnTheStartScreenShowsTheMenuAtOnceAndItStays) {
    GameRun r = play(hold(3, 4, "Escape"), 12, {3, 4, 12});
    expectRanToTheEnd(r);
    // The menu draws its selection before it reads the keys: Play, as the load
    // of the first frame left it; then Escape, fresh in the menu, selects Exit.
    EXPECT_TRUE(menu(r.shots[3], 1));
    EXPECT_TRUE(menu(r.shots[4], 6));
    EXPECT_TRUE(menu(r.shots[12], 6));
}

TEST_F(GameFlow, EscapeOnAResultScreenShowsTheMenu) {
    GameRun r = play(tap(3, "Enter") + hold(7, 8, "Escape"), 9, {5, 7, 9});
    expectRanToTheEnd(r);
    EXPECT_TRUE(resultScreen(r.shots[5], false));
    EXPECT_TRUE(menu(r.shots[7], 1));
    EXPECT_TRUE(menu(r.shots[9], 6));
}

TEST_F(GameFlow, HelpShowsItsTextReadsNoKeysAndEscapeLeadsBackToTheMenu) {
    std::string script = hold(3, 4, "Escape") + tap(5, "Up") + tap(7, "Enter") + tap(10, "Enter") +
                         tap(12, "Down") + hold(16, 17, "Escape");
    GameRun r = play(script, 18, {8, 14, 16, 18});
    expectRanToTheEnd(r);
    EXPECT_EQ(r.out, message("kvxmap.AAAA.kvx", notFound)); // and nothing from the help screen

    for (int f : {8, 14}) {
        const Screen& s = r.shots[f];
        // "Korvane 1.05" in white at size 2.5 from (10, 10); the text in the
        // text colour from "Help message:" two lines below to "with this
        // program." 19 lines further down.
        std::vector<TextLine> title = s.lines(whitePixel);
        ASSERT_EQ(title.size(), 1u) << "frame " << f;
        EXPECT_EQ(title[0].top, 10);
        EXPECT_LE(title[0].bottom, 21);
        EXPECT_GT(s.count(whitePixel), 100);
        std::vector<int> tops = s.lineTops(textPixel);
        ASSERT_EQ(tops.size(), 19u) << "frame " << f << ": " << listed(tops);
        EXPECT_EQ(tops.front(), 38);
        EXPECT_EQ(tops.back(), 346);
        EXPECT_EQ(s.count(highlightPixel), 0);
    }
    // The Enter that chose Help left the menu's key latch down, and the menu
    // keeps it while it is not shown: the Escape back is not fresh to the menu
    // and leaves Help selected.
    EXPECT_TRUE(menu(r.shots[16], 5));
    EXPECT_TRUE(menu(r.shots[18], 5));
}

// ---- Play and the result screens ------------------------------------------

TEST_F(GameFlow, PlayWaitsForAFreshEnterAndTheLoneBaseLosesAtOnce) {
    std::string script = hold(3, 4, "Escape") + tap(5, "Down"); // Exit, then Play
    script += hold(7, 30, "Enter");                             // Play; Enter kept down
    script += hold(32, 35, "Enter");                            // play
    script += hold(36, 41, "Enter");                            // the failure file
    GameRun r = play(script, 41, {8, 20, 29, 34, 36, 39, 41});
    expectRanToTheEnd(r);
    for (int f : {8, 20, 29}) EXPECT_TRUE(startScreen(r.shots[f], welcomeLines)) << "frame " << f;
    // Nothing is marked defend: lost in the first play frame, 33.
    EXPECT_TRUE(resultScreen(r.shots[34], false));
    EXPECT_TRUE(resultScreen(r.shots[36], false));
    // Frame 37 loads kvxmap.0000.kvx, which is missing: the lone Base stays,
    // and the Enter still held does not start play again.
    EXPECT_EQ(r.out, message("kvxmap.AAAA.kvx", notFound) + message("kvxmap.0000.kvx", notFound));
    EXPECT_TRUE(startScreen(r.shots[39], welcomeLines));
    EXPECT_TRUE(startScreen(r.shots[41], welcomeLines));
}

TEST_F(GameFlow, ThePilotKeyStartsPlayToo) {
    // The load of frame 1 counts as Enter down: C held from frame 2 must be
    // released and pressed again.
    std::string script = hold(2, 4, "C") + tap(5, "C") + tap(8, "Enter");
    GameRun r = play(script, 10, {3, 7, 10});
    expectRanToTheEnd(r);
    EXPECT_TRUE(startScreen(r.shots[3], welcomeLines));
    EXPECT_TRUE(resultScreen(r.shots[7], false));
    EXPECT_EQ(r.out, message("kvxmap.AAAA.kvx", notFound) + message("kvxmap.0000.kvx", notFound));
    EXPECT_TRUE(startScreen(r.shots[10], welcomeLines));
}

TEST_F(GameFlow, AWonMissionLoadsItsSuccessFile) {
    write("kvxmap.AAAA.kvx", defendOnlyMission().bytes());
    FlowMission next = secondMission();
    write("kvxmap.BBBB.kvx", next.bytes());
    std::string script = tap(3, "Enter");                          // play, won at once
    script += tap(6, "Enter");                                     // frame 7 loads BBBB
    script += hold(9, 10, "Escape");                               // the menu, Exit selected
    script += tap(11, "Down") + tap(13, "Down") + tap(15, "Down"); // Save
    script += tap(17, "Enter") + typed(19, "1234") + tap(27, "Enter");
    GameRun r = play(script, 29, {2, 5, 8});
    expectRanToTheEnd(r);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(startScreen(r.shots[2], defendOnlyLines));
    EXPECT_TRUE(resultScreen(r.shots[5], true));
    EXPECT_TRUE(startScreen(r.shots[8], secondMissionLines));
    EXPECT_EQ(read("kvxmap.1234.kvx"), next.bytes());
}

TEST_F(GameFlow, AMissingSuccessFileIsReportedAndTheMissionStays) {
    write("kvxmap.AAAA.kvx", defendOnlyMission().bytes());
    GameRun r = play(tap(3, "Enter") + tap(6, "Enter") + tap(9, "Enter"), 11, {5, 8, 11});
    expectRanToTheEnd(r);
    EXPECT_TRUE(resultScreen(r.shots[5], true));
    EXPECT_EQ(r.out, message("kvxmap.BBBB.kvx", notFound));
    EXPECT_TRUE(startScreen(r.shots[8], defendOnlyLines));
    EXPECT_TRUE(resultScreen(r.shots[11], true)); // the same mission, won again
}

// ---- Save and Load ---------------------------------------------------------

TEST_F(GameFlow, SaveWritesTheMissionAsLoadedAndLoadReadsItBack) {
    FlowMission first = firstMission();
    write("kvxmap.AAAA.kvx", first.bytes());
    std::string script = hold(3, 4, "Escape");                  // Exit
    script += tap(5, "Down") + tap(7, "Down") + tap(9, "Down"); // Save
    script += tap(11, "Enter") + typed(13, "1234") + tap(21, "Enter");
    script += tap(23, "Up");                       // Load
    script += tap(25, "Enter") + tap(27, "Enter"); // the name last used
    script += hold(30, 31, "Escape");              // Play, see below
    script += tap(32, "Down") + tap(34, "Down");   // Save
    script += tap(36, "Enter") + typed(38, "56") + tap(42, "Enter");
    GameRun r = play(script, 44, {29, 31});
    expectRanToTheEnd(r);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(startScreen(r.shots[29], firstMissionLines));
    // The load reset the menu to Play and met Enter down, so the Escape that
    // follows is not fresh to the menu and Play stays selected.
    EXPECT_TRUE(menu(r.shots[31], 1));

    // Save offers kvxmap.0000.kvx each time: two keys typed make 5600.
    EXPECT_EQ(missionFiles(),
              (std::set<std::string>{"kvxmap.AAAA.kvx", "kvxmap.1234.kvx", "kvxmap.5600.kvx"}));
    std::vector<unsigned char> saved = read("kvxmap.1234.kvx");
    expectMissionFile(saved);
    EXPECT_TRUE(saved == first.bytes()) << "the save differs from the file loaded";
    EXPECT_TRUE(read("kvxmap.5600.kvx") == saved) << "saved, loaded and saved again differs";
}

TEST_F(GameFlow, LoadReplacesTheMission) {
    write("kvxmap.AAAA.kvx", firstMission().bytes());
    FlowMission second = secondMission();
    write("kvxmap.CCCC.kvx", second.bytes());
    std::string script = hold(3, 4, "Escape") + tap(5, "Down") + tap(7, "Down"); // Load
    script += tap(9, "Enter") + typed(11, "CCCC") + tap(19, "Enter");
    script += hold(22, 23, "Escape");            // Play stays selected
    script += tap(24, "Down") + tap(26, "Down"); // Save
    script += tap(28, "Enter") + typed(30, "9999") + tap(38, "Enter");
    GameRun r = play(script, 40, {21});
    expectRanToTheEnd(r);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(startScreen(r.shots[21], secondMissionLines));
    std::vector<unsigned char> saved = read("kvxmap.9999.kvx");
    expectMissionFile(saved);
    EXPECT_TRUE(saved == second.bytes()) << "the save differs from the file loaded";
}

// ---- Play to the end -------------------------------------------------------

namespace {

// Two red heavy fighters guard the Base against one green light fighter that
// has to be destroyed; the player's ship is the first heavy fighter. Won
// leads to BBBB, lost to CCCC.
FlowMission skirmish() {
    FlowMission m("SKIRMISH");
    m.put(0, typeBase, sideRed, objDefend, vec2(0, 0));
    m.put(1, typeHeavyFighter, sideRed, objNone, vec2(-150, 120));
    m.put(2, typeHeavyFighter, sideRed, objNone, vec2(150, 120));
    m.put(3, typeLightFighter, sideGreen, objDestroy, vec2(500, -100));
    m.you = 1;
    std::snprintf(m.sucfil, fileNameSize, "kvxmap.BBBB.kvx");
    std::snprintf(m.faifil, fileNameSize, "kvxmap.CCCC.kvx");
    return m;
}

} // namespace

// Frames 100, 200, ... up to last.
std::vector<int> everyHundred(int last) {
    std::vector<int> frames;
    for (int f = 100; f <= last; f += 100) frames.push_back(f);
    return frames;
}

// The first of the shots that shows a result screen: its frame, 0 for none.
int firstResult(GameRun& r, const std::vector<int>& shots, bool& won) {
    for (int f : shots) {
        for (bool w : {true, false}) {
            if (resultScreen(r.shots[f], w)) {
                won = w;
                return f;
            }
        }
    }
    return 0;
}

TEST_F(GameFlow, ASpectatorWatchesTheMissionToItsEndAndTheNextOneLoads) {
    write("kvxmap.AAAA.kvx", skirmish().bytes());
    write("kvxmap.BBBB.kvx", secondMission().bytes());
    std::vector<int> shots = everyHundred(3000);
    shots.push_back(3002);
    GameRun r = play(tap(3, "Enter") + tap(3000, "Enter"), 3002, shots);
    expectRanToTheEnd(r);
    bool won = false;
    int end = firstResult(r, shots, won);
    ASSERT_GT(end, 0) << "no result within 3000 frames";
    EXPECT_TRUE(won) << "the red fighters should beat one green fighter";
    EXPECT_GT(end, 200); // a real fight, not decided on the first frame
    // The result screen waits for Enter, which loads the success file.
    EXPECT_TRUE(startScreen(r.shots[3002], secondMissionLines));
    EXPECT_EQ(r.out, "");
}

TEST_F(GameFlow, APilotFliesTheMissionToItsEnd) {
    write("kvxmap.AAAA.kvx", skirmish().bytes());
    write("kvxmap.BBBB.kvx", secondMission().bytes());
    write("kvxmap.CCCC.kvx", defendOnlyMission().bytes());
    // Take control, then fly and fire in wide turns.
    std::string script = tap(3, "C") + hold(10, 4000, "Shift");
    for (int f = 10; f < 4000; f += 120)
        script += hold(f, f + 60, "Up") + hold(f + 60, f + 75, "Left");
    std::vector<int> shots = everyHundred(4000);
    shots.push_back(4002);
    GameRun r = play(script + tap(4000, "Enter"), 4002, shots);
    expectRanToTheEnd(r);
    bool won = false;
    int end = firstResult(r, shots, won);
    ASSERT_GT(end, 0) << "no result within 4000 frames";
    EXPECT_GT(end, 200);
    // Enter on the result screen loads the follow-up of that result.
    EXPECT_TRUE(startScreen(r.shots[4002], won ? secondMissionLines : defendOnlyLines));
    EXPECT_EQ(r.out, "");
}
