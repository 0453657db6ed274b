// The editor's undo history, test flights and autosave offers, tried through
// the headless runner as a mission maker uses them: random editing undone and
// redone to the byte, a flight that loses ships and returns, an autosave
// found and restored (and the run played back from its recording).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <string>
#include <vector>

#include "app/autosave.h"
#include "app/file_worker.h"
#include "editor/history.h"
#include "mission/mission_file.h"
#include "model/model.h"
#include "support/png_read.h"
#include "support/process.h"

namespace {

// A headless script written frame by frame.
struct script {
    int f = 3;
    std::string text;

    void at(const std::string& event) { text += std::to_string(f) + " " + event + "\n"; }
    void tap(const std::string& k, int hold = 1) {
        at("down " + k), f += hold, at("up " + k), f += 1;
    }
    void move(int x, int y) { at("move " + std::to_string(x) + " " + std::to_string(y)), ++f; }
    void click(int x, int y, const std::string& button = "LButton") { move(x, y), tap(button); }
    void ctrl(const std::string& k, int times, bool shift = false) {
        at("down Control"), shift ? at("down Shift") : void(), ++f;
        for (int i = 0; i < times; ++i) tap(k);
        at("up Control"), shift ? at("up Shift") : void(), ++f;
    }
    void type(const std::string& letters) {
        for (char c : letters) tap(std::string(1, c));
    }
    // From the first frame's start screen to the editor.
    void toEditor() { tap("Escape"), tap("Up"), tap("Up"), tap("Enter"), f += 2; }
    // From the editor: the mission saved as kvxmap.NAME.kvx, and back. The
    // menu keeps its selection on Editor, the item last chosen, as Escape
    // leads to it; Save is the one above.
    void save(const std::string& name) {
        tap("Escape"), tap("Up"), tap("Enter"), f += 2;
        type(name), tap("Enter"), f += 2;
        tap("Down"), tap("Enter"), f += 2;
    }
    void write(const fs::path& to) const { writeBytes(to, {text.begin(), text.end()}); }
};

std::vector<unsigned char> missionAt(const ScratchDir& dir, const std::string& name) {
    return readBytes(dir / ("kvxmap." + name + ".kvx"));
}

// What a mission maker does in the editor, drawn from a seeded generator.
void randomEditing(script& s, std::mt19937& g, int actions) {
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(g); };
    for (int i = 0; i < actions; ++i) {
        const int x = pick(100, 900), y = pick(200, 700);
        switch (pick(0, 9)) {
        case 0:
        case 1: s.click(35 + 60 * pick(0, 7), 35); break; // a tool, or its sub-mode
        case 2:
        case 3:
        case 4: s.click(x, y); break;                     // the tool on the map
        case 5:                                           // a drag
            s.move(x, y), s.at("down LButton"), s.f += 2;
            s.move(x + pick(-80, 80), y + pick(-80, 80)), s.f += 2;
            s.move(pick(100, 900), pick(200, 700)), s.at("up LButton"), s.f += 2;
            break;
        case 6: s.tap(pick(0, 1) ? "R" : "N"); break;
        case 7: s.click(x, y, "RButton"); break;
        case 8: s.ctrl("Z", pick(1, 3)); break; // undone midway: the redo list is dropped
        default:                                // the message edited, back by the menu
            s.tap("M"), s.f += 2, s.type("AB"), s.tap("Escape"), s.tap("Enter"), s.f += 2;
            break;
        }
    }
}

std::vector<std::uint32_t> pixelsOf(const fs::path& file) {
    std::vector<std::uint32_t> pixels;
    int width = 0, height = 0;
    EXPECT_TRUE(readPng(file.string(), pixels, width, height)) << file;
    return pixels;
}

} // namespace

// Any sequence of changes and as many undos gives the first mission's bytes
// again; as many redos give the changed mission's.
TEST(EditHistory, RandomEditingUndoneAndRedoneToTheByte) {
    for (unsigned seed : {1u, 2u, 3u}) {
        ScratchDir dir;
        fs::copy_file(fs::path(KORVANE_CAMPAIGN_DIR) / "kvxmap.CCCC.kvx", dir / "kvxmap.AAAA.kvx");
        script s;
        s.toEditor();
        s.save("ONE0");
        s.click(215, 35), s.click(500, 400), s.click(650, 300), s.click(300, 500); // three ships
        std::mt19937 g(seed);
        randomEditing(s, g, 60);
        s.click(215, 35), s.click(700, 600); // a change last: nothing undone is left to redo
        s.save("TWO0");
        s.ctrl("Z", 150), s.save("UND0");
        s.ctrl("Y", 80), s.ctrl("Z", 70, true), s.save("RED0");
        s.write(dir / "edit.script");
        const ProcessRun run = headless(dir.path(), {"--script", "edit.script", "--frames",
                                                     std::to_string(s.f + 2)});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_NE(missionAt(dir, "ONE0"), missionAt(dir, "TWO0")) << "seed " << seed;
        EXPECT_EQ(missionAt(dir, "UND0"), missionAt(dir, "ONE0")) << "seed " << seed;
        EXPECT_EQ(missionAt(dir, "RED0"), missionAt(dir, "TWO0")) << "seed " << seed;
    }
}

// Two thousand of the largest single changes (a ship placed over another of
// another design) stay within the history's memory, and all of them undo.
TEST(EditHistory, TwoThousandStepsFitAndUndo) {
    Mission m;
    for (int i = 0; i < shipCount; i += 2) m.a[i] = ship(vec2(i * 100, 0), i % 5, i % 3, true);
    auto image = [&] {
        const auto* p = reinterpret_cast<const unsigned char*>(m.a);
        return std::vector<unsigned char>(p, p + sizeof m.a);
    };
    history h;
    historyReset(h, image());
    const std::vector<unsigned char> first = image();
    for (int step = 0; step < 2000; ++step) {
        const int slot = (step * 7) % shipCount;
        m.a[slot] = ship(vec2(step, -step), (step + slot) % 5, step % 3, true);
        ASSERT_TRUE(historyCommit(h, image(), "ship placed"));
    }
    EXPECT_EQ(h.steps.size(), 2000u);
    EXPECT_LE(h.bytes, historyBudget);
    RecordProperty("bytes_for_2000_steps", std::to_string(h.bytes));
    std::vector<unsigned char> now = image();
    while (!historyUndo(h, now).empty()) {
    }
    EXPECT_EQ(now, first);
}

// Shift+F5 watches the mission fly; ships are lost (a save made mid-flight
// shows it), and the menu's Editor, or F5 again after a flight as pilot,
// brings back the mission, the camera, the tool and the template exactly:
// the editor's picture is the same.
TEST(TestFlight, LosesShipsAndComesBackUnchanged) {
    ScratchDir dir;
    fs::copy_file(fs::path(KORVANE_CAMPAIGN_DIR) / "kvxmap.CCCC.kvx", dir / "kvxmap.AAAA.kvx");
    script s;
    s.toEditor();
    s.click(275, 35), s.tap("Left", 20), s.move(600, 500), s.f += 3; // a tool, the camera moved
    s.save("PRE0");
    const int before = s.f - 1;
    s.at("down Shift"), s.tap("F5"), s.at("up Shift"), s.f += 1200; // twenty seconds of battle
    s.tap("Escape"), s.tap("Up"), s.tap("Enter"), s.f += 2;
    s.type("MID0"), s.tap("Enter"), s.f += 2;
    s.tap("Down"), s.tap("Enter"), s.f += 3; // the menu's Editor ends the flight
    const int after = s.f++;
    s.tap("F5", 2), s.f += 300, s.tap("F5"), s.f += 3; // a second flight, ended by F5
    const int again = s.f++;
    s.save("POST");
    s.write(dir / "fly.script");
    auto shot = [&](int frame, const char* name) {
        return std::to_string(frame) + ":" + (dir / name).string();
    };
    const ProcessRun run =
        headless(dir.path(), {"--script", "fly.script", "--frames", std::to_string(s.f + 2),
                              "--shot", shot(before, "before.png"), "--shot",
                              shot(after, "after.png"), "--shot", shot(again, "again.png")});
    ASSERT_EQ(run.status, 0) << run.err;

    auto alive = [](const std::vector<unsigned char>& file) {
        int n = 0;
        for (int k = 0; k < shipCount; ++k) n += file.at(602 + 1009 * k + 68) != 0;
        return n;
    };
    const std::vector<unsigned char> pre = missionAt(dir, "PRE0");
    EXPECT_LT(alive(missionAt(dir, "MID0")), alive(pre));
    EXPECT_EQ(missionAt(dir, "POST"), pre);
    EXPECT_EQ(pixelsOf(dir / "after.png"), pixelsOf(dir / "before.png"));
    EXPECT_EQ(pixelsOf(dir / "again.png"), pixelsOf(dir / "before.png"));
}

// An autosave newer than its mission is offered when the editor opens; F9
// restores it as one step that undo takes back; the run's recording plays
// back elsewhere, where no autosave is, from what it read.
TEST(Autosave, OfferedRestoredUndoneAndPlayedBack) {
    ScratchDir dir;
    const fs::path campaign(KORVANE_CAMPAIGN_DIR);
    fs::copy_file(campaign / "kvxmap.AAAA.kvx", dir / "kvxmap.AAAA.kvx");
    fs::create_directories(dir / "autosave");
    const fs::path saved = dir / "autosave" / "AAAA-20261209-101500.kvx";
    fs::copy_file(campaign / "kvxmap.BBBB.kvx", saved);
    fs::last_write_time(saved, fs::last_write_time(dir / "kvxmap.AAAA.kvx") + std::chrono::hours(1));

    script s;
    s.toEditor();
    const int offered = s.f;
    s.tap("F9"), s.f += 2;
    s.save("REST");
    s.ctrl("Z", 1), s.save("BACK");
    s.write(dir / "restore.script");
    const ProcessRun run = headless(
        dir.path(), {"--script", "restore.script", "--frames", std::to_string(s.f + 2), "--shot",
                     std::to_string(offered) + ":" + (dir / "offer.png").string(), "--record",
                     "restore.kvr"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(missionAt(dir, "REST"), readBytes(campaign / "kvxmap.BBBB.kvx"));
    EXPECT_EQ(missionAt(dir, "BACK"), readBytes(campaign / "kvxmap.AAAA.kvx"));
    EXPECT_FALSE(fs::exists(saved)) << "the autosave restored goes once the mission is saved";

    // The offer's line at the editor's foot: something drawn there, which an
    // editor without an offer does not draw.
    std::vector<std::uint32_t> offer;
    int width = 0, height = 0;
    ASSERT_TRUE(readPng((dir / "offer.png").string(), offer, width, height));
    int lit = 0;
    for (int y = height - 30; y < height - 16; ++y)
        for (int x = 10; x < 400; ++x) lit += offer[std::size_t(y) * width + x] == 0x64afffu;
    EXPECT_GT(lit, 100);

    ScratchDir elsewhere;
    const ProcessRun played = headless(elsewhere.path(), {"--replay", (dir / "restore.kvr").string()});
    EXPECT_EQ(played.status, 0) << played.out << played.err;
}

// A flight that is lost (the lone Base of a game without missions has no
// defence mark: lost on its first frame) shows the result as play does, and
// its Enter brings the editor back in place of the failure mission.
TEST(TestFlight, ALossShownThenBackToTheEditor) {
    ScratchDir dir;
    script s;
    s.toEditor();
    s.save("PRE0");
    const int before = s.f - 1;
    s.tap("F5"), s.f += 5;
    const int lost = s.f++;
    s.tap("Enter"), s.f += 3;
    const int back = s.f++;
    s.save("POST");
    s.write(dir / "lost.script");
    auto shot = [&](int frame, const char* name) {
        return std::to_string(frame) + ":" + (dir / name).string();
    };
    const ProcessRun run = headless(
        dir.path(), {"--script", "lost.script", "--frames", std::to_string(s.f + 2), "--shot",
                     shot(before, "before.png"), "--shot", shot(lost, "lost.png"), "--shot",
                     shot(back, "back.png")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(missionAt(dir, "POST"), missionAt(dir, "PRE0"));
    const std::vector<std::uint32_t> editor = pixelsOf(dir / "before.png");
    // The result screen has no tool buttons: the first one's corner is dark.
    const std::size_t corner = 1024 * 10 + 10;
    ASSERT_EQ(editor.at(corner), 0xffaf64u) << "the first tool button's outline, lit";
    EXPECT_NE(pixelsOf(dir / "lost.png").at(corner), 0xffaf64u);
    EXPECT_EQ(pixelsOf(dir / "back.png"), editor);
}

// An autosave written keeps the five newest of autosave/ and touches nothing
// else there; the newest is offered only while it is newer than its mission.
TEST(Autosave, KeepsTheFiveNewestAndNothingElse) {
    ScratchDir dir;
    const fs::path was = fs::current_path();
    fs::current_path(dir.path());
    fs::create_directories("autosave");
    const std::vector<unsigned char> bytes(missionFileSize, 7);
    for (int k = 0; k < 6; ++k)
        writeBytes(fs::path("autosave") / ("BBBB-2026010" + std::to_string(k) + "-120000.kvx"), bytes);
    writeBytes("autosave/notes.txt", bytes);
    writeBytes("autosave/BBBB-draft.kvx", bytes);
    const std::string made = autosaveWrite(bytes, "kvxmap.AAAA.kvx");
    fileJobsDone();

    std::vector<std::string> left;
    for (const auto& e : fs::directory_iterator("autosave")) left.push_back(e.path().filename().string());
    std::sort(left.begin(), left.end());
    const std::vector<std::string> kept = {"BBBB-20260102-120000.kvx", "BBBB-20260103-120000.kvx",
                                           "BBBB-20260104-120000.kvx", "BBBB-20260105-120000.kvx",
                                           "BBBB-draft.kvx", fs::path(made).filename().string(),
                                           "notes.txt"};
    std::vector<std::string> want = kept;
    std::sort(want.begin(), want.end());
    EXPECT_EQ(left, want);

    autosaveOffer offer;
    EXPECT_TRUE(autosaveFind(offer)) << "its mission file is not there";
    EXPECT_EQ(offer.path, made);
    EXPECT_EQ(offer.mission, "AAAA");
    writeBytes("kvxmap.AAAA.kvx", bytes);
    fs::last_write_time("kvxmap.AAAA.kvx", fs::last_write_time(made) + std::chrono::minutes(1));
    EXPECT_FALSE(autosaveFind(offer)) << "saved since";
    fs::current_path(was);
}
