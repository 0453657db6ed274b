// The recording viewer through korvane-headless --watch, on the nine-minute
// spectator trace: every frame it runs, however it got there (seeks back and
// on, steps, the run ahead), has the digest of playing straight to it, and
// the frame it lands on is the straight run's picture (a view of the
// viewer's own moves neither); a take-over's
// recording plays back to the same saved mission; a clip opens at its start.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "replay/recording.h"
#include "support/png_read.h"
#include "support/process.h"

namespace {

const std::string trace = std::string(KORVANE_SOURCE_DIR) + "/tests/traces/spectator.kvr";

// The frame digests of a run, by frame; false when one frame had two.
bool digestsByFrame(const std::string& out, std::map<int, std::string>& by) {
    bool agree = true;
    for (const std::string& line : digestLines(out)) {
        std::istringstream in(line);
        std::string word, hex;
        int frame = 0;
        in >> word >> frame >> hex;
        const auto [it, added] = by.emplace(frame, hex);
        agree = agree && (added || it->second == hex);
    }
    return agree;
}

// Whether two shots have the same pixels above the viewer's timeline band and
// the notices over it (drawn on the window, after the frame).
void expectSamePicture(const fs::path& a, const fs::path& b) {
    std::vector<std::uint32_t> pa, pb;
    int wa = 0, ha = 0, wb = 0, hb = 0;
    ASSERT_TRUE(readPng(a.string(), pa, wa, ha)) << a;
    ASSERT_TRUE(readPng(b.string(), pb, wb, hb)) << b;
    ASSERT_EQ(wa, wb);
    ASSERT_EQ(ha, hb);
    const std::size_t above = std::size_t(wa) * std::size_t(ha - 110);
    EXPECT_TRUE(std::equal(pa.begin(), pa.begin() + std::ptrdiff_t(above), pb.begin()))
        << a << " and " << b << " differ";
}

// The straight playback's shot of `frame` (of the spectator trace unless named).
fs::path straightShot(const fs::path& dir, int frame, const std::string& of = trace) {
    const fs::path shot = dir / ("straight-" + std::to_string(frame) + ".png");
    const ProcessRun run = headless(dir, {"--replay", of, "--frames", std::to_string(frame),
                                          "--shot", std::to_string(frame) + ":" + shot.string()});
    EXPECT_EQ(run.status, 0) << run.err;
    return shot;
}

void writeScript(const fs::path& path, const std::string& text) {
    writeBytes(path, {text.begin(), text.end()});
}

// A key pressed at a window frame and let go at the next.
std::string press(int frame, const std::string& key) {
    return std::to_string(frame) + " down " + key + "\n" + std::to_string(frame + 1) + " up " +
           key + "\n";
}

} // namespace

TEST(Viewer, EveryFrameItRunsHasTheStraightDigestAndASeekLandsOnTheStraightPicture) {
    ScratchDir dir("korvane-viewer-test");
    // Paused at once; 5 s on, 30 s on, 5 s back (from a snapshot), home,
    // a step on and back, 30 s on again; another ship followed, zoomed in
    // on, and the recorded view back.
    std::string script = press(2, "Space") + press(5, "Right") + "8 down Shift\n" +
                         press(9, "Right") + "10 up Shift\n" + press(13, "Left") +
                         press(16, "Home") + press(19, "Period") + press(22, "Comma") +
                         press(25, "Period") + "28 down Shift\n" + press(29, "Right") +
                         "30 up Shift\n" + press(32, "N") + "33 down Add\n36 up Add\n" +
                         press(38, "Backspace");
    writeScript(dir / "keys.txt", script);
    const fs::path shot = dir / "watched.png";
    const ProcessRun watched =
        headless(dir.path(), {"--replay", trace, "--watch", "--script", "keys.txt", "--frames",
                              "40", "--digest", "1", "--shot", "40:" + shot.string()});
    ASSERT_EQ(watched.status, 0) << watched.err;
    std::map<int, std::string> seen;
    EXPECT_TRUE(digestsByFrame(watched.out, seen)) << "a frame run twice differed";
    ASSERT_GT(seen.size(), 2100u);

    const ProcessRun straight = headless(
        dir.path(), {"--replay", trace, "--frames", std::to_string(seen.rbegin()->first),
                     "--digest", "1"});
    ASSERT_EQ(straight.status, 0) << straight.err;
    std::map<int, std::string> want;
    ASSERT_TRUE(digestsByFrame(straight.out, want));
    for (const auto& [frame, hex] : seen) EXPECT_EQ(hex, want[frame]) << "frame " << frame;

    // Where it stands: frame 2 (home and a step on), then 30 s of game time on.
    recording r;
    std::string error;
    ASSERT_TRUE(readRecording(trace, r, error)) << error;
    double at = r.frames[0].t + r.frames[1].t, target = at + 30;
    int frame = 2;
    while (at < target) at += r.frames[std::size_t(frame++)].t;
    expectSamePicture(shot, straightShot(dir.path(), frame));
}

// Every golden trace, watched to its end and back and played on: the run
// ahead and the seeks go back over menus, name and message entry and the
// editor first reached, and nothing departs.
TEST(Viewer, EveryTraceWatchedToItsEndAndBackKeepsItsDigests) {
    for (const char* name : {"menus", "editor", "frametimes", "pilot"}) {
        ScratchDir dir("korvane-viewer-test");
        const std::string path = std::string(KORVANE_SOURCE_DIR) + "/tests/traces/" + name + ".kvr";
        writeScript(dir / "keys.txt", press(2, "Space") + press(4, "End") + press(30, "Home") +
                                          press(32, "Space"));
        const ProcessRun watched = headless(dir.path(), {"--replay", path, "--watch", "--script",
                                                         "keys.txt", "--frames", "60", "--digest",
                                                         "1"});
        ASSERT_EQ(watched.status, 0) << name << ": " << watched.err;
        std::map<int, std::string> seen, want;
        EXPECT_TRUE(digestsByFrame(watched.out, seen)) << name << ": a frame run twice differed";
        const ProcessRun straight = headless(dir.path(), {"--replay", path, "--digest", "1"});
        ASSERT_EQ(straight.status, 0) << straight.err;
        ASSERT_TRUE(digestsByFrame(straight.out, want));
        for (const auto& [frame, hex] : seen) EXPECT_EQ(hex, want[frame]) << name << " " << frame;
    }
}

TEST(Viewer, ATakeOverIsRecordedWithWhatWasWatchedAndPlaysBackToTheSameSave) {
    ScratchDir dir("korvane-viewer-test"), again("korvane-viewer-test");
    // 5 s on, C takes the game (and a spectator's C flies the ship), a turn
    // of flying, then the menu's Save writes kvxmap.0000.kvx.
    std::string script = press(2, "Space") + press(5, "Right") + press(10, "C") +
                         "20 down Up\n60 up Up\n" + press(100, "Escape");
    for (int i = 0; i < 3; ++i) script += press(102 + 2 * i, "Up");
    script += press(108, "Enter") + press(110, "Enter");
    writeScript(dir / "keys.txt", script);
    const ProcessRun taken =
        headless(dir.path(), {"--replay", trace, "--watch", "--script", "keys.txt", "--frames",
                              "130", "--dir", dir.path().string(), "--record", "taken.kvr"});
    ASSERT_EQ(taken.status, 0) << taken.err;
    ASSERT_TRUE(fs::exists(dir / "kvxmap.0000.kvx"));

    recording r;
    std::string error;
    ASSERT_TRUE(readRecording((dir / "taken.kvr").string(), r, error)) << error;
    EXPECT_GT(r.frames.size(), 300u + 100u); // what was watched, and what was played on

    const ProcessRun played = headless(again.path(), {"--replay", (dir / "taken.kvr").string(),
                                                      "--dir", again.path().string()});
    EXPECT_EQ(played.status, 0) << played.err;
    EXPECT_EQ(readBytes(again / "kvxmap.0000.kvx"), readBytes(dir / "kvxmap.0000.kvx"));
}

TEST(Viewer, AClipHoldsItsStretchAndOpensAtItsStart) {
    ScratchDir dir("korvane-viewer-test");
    const std::string script = press(2, "Space") + press(5, "Right") + press(8, "I") +
                               press(11, "Right") + press(14, "O") + press(17, "S");
    writeScript(dir / "keys.txt", script);
    const ProcessRun cut = headless(dir.path(), {"--replay", trace, "--watch", "--script",
                                                 "keys.txt", "--frames", "20", "--dir",
                                                 dir.path().string()});
    ASSERT_EQ(cut.status, 0) << cut.err;
    std::vector<fs::path> clips;
    for (const auto& e : fs::directory_iterator(dir / "replays")) clips.push_back(e.path());
    ASSERT_EQ(clips.size(), 1u);

    recording clip;
    std::string error;
    ASSERT_TRUE(readRecording(clips[0].string(), clip, error)) << error;
    ASSERT_GT(clip.start, 200u);
    EXPECT_GT(clip.frames.size(), clip.start + 200);

    // Opened, its first picture is the straight run's at the clip's start.
    const fs::path shot = dir / "clip.png";
    const ProcessRun opened = headless(dir.path(), {"--replay", clips[0].string(), "--watch",
                                                    "--frames", "1", "--shot",
                                                    "1:" + shot.string()});
    ASSERT_EQ(opened.status, 0) << opened.err;
    expectSamePicture(shot, straightShot(dir.path(), int(clip.start)));

    // A clip's start anywhere but after the header is refused.
    std::vector<unsigned char> data = {'K', 'V', 'X', 'R', 'E', 'C', 2};
    for (int i = 0; i < 12; ++i) data.push_back(i == 4 || i == 8 ? 1 : 0);
    data.push_back(randomLinux);
    data.insert(data.end(), {'C', 5, 0, 0, 0});
    recording bad;
    EXPECT_FALSE(parseRecordingData(data, bad, error));
    EXPECT_NE(error.find("a clip's start where none can be"), std::string::npos) << error;
}

TEST(Viewer, CtrlRightLandsOnTheFirstMarkWhereAShipIsLost) {
    ScratchDir dir("korvane-viewer-test");
    const std::string pilot = std::string(KORVANE_SOURCE_DIR) + "/tests/traces/pilot.kvr";
    // Paused, a while for the viewer to run ahead, then to the next mark.
    writeScript(dir / "keys.txt", press(2, "Space") + "400 down Control\n" + press(401, "Right") +
                                      "403 up Control\n");
    const ProcessRun watched =
        headless(dir.path(), {"--replay", pilot, "--watch", "--script", "keys.txt", "--frames",
                              "410", "--digest", "1"});
    ASSERT_EQ(watched.status, 0) << watched.err;
    // The seek's frames: the run after the last step back in the frames run.
    std::vector<int> frames;
    for (const std::string& line : digestLines(watched.out))
        frames.push_back(std::stoi(line.substr(line.find(' ') + 1)));
    std::size_t from = 0;
    for (std::size_t k = 1; k < frames.size(); ++k)
        if (frames[k] <= frames[k - 1]) from = k;
    std::size_t to = from;
    while (to + 1 < frames.size() && frames[to + 1] == frames[to] + 1) ++to;
    ASSERT_GT(from, 0u) << "no seek";
    const int mark = frames[to];

    // kvxtool shows the mission at a frame: a ship is alive before the mark
    // and lost at it.
    auto alive = [&](int frame) {
        const ProcessRun at = runIn(dir.path(), {KORVANE_KVXTOOL, "replay", pilot, "--at",
                                                 std::to_string(frame)});
        EXPECT_EQ(at.status, 0) << at.err;
        int n = 0;
        for (std::size_t p = 0; (p = at.out.find("\"alive\": true", p)) != std::string::npos; ++p)
            ++n;
        return n;
    };
    EXPECT_LT(alive(mark), alive(mark - 1)) << "frame " << mark;
}

// A watched recording that departs (a build whose arithmetic differs) says so
// and goes on, checking no further; the run still ends with status 1.
TEST(Viewer, ADepartureIsToldAndTheWatchGoesOn) {
    ScratchDir dir("korvane-viewer-test");
    recording r;
    std::string error;
    ASSERT_TRUE(readRecording(std::string(KORVANE_SOURCE_DIR) + "/tests/traces/pilot.kvr", r,
                              error))
        << error;
    ASSERT_GE(r.checkpoints.size(), 3u);
    r.checkpoints[1].total ^= 1;
    ASSERT_TRUE(writeRecording((dir / "moved.kvr").string(), r, error)) << error;
    const int past = int(r.checkpoints[1].frame) + 600; // beyond a run ahead's reach
    const ProcessRun watched =
        headless(dir.path(), {"--replay", (dir / "moved.kvr").string(), "--watch", "--frames",
                              std::to_string(past + 10), "--digest", "1"});
    EXPECT_EQ(watched.status, 1);
    EXPECT_NE(watched.err.find("frame " + std::to_string(r.checkpoints[1].frame) +
                               " departs from the recording"),
              std::string::npos)
        << watched.err;
    std::map<int, std::string> seen;
    digestsByFrame(watched.out, seen);
    EXPECT_TRUE(seen.count(past)) << "the watch went on past the departure";
}

// The menus trace's failed loads are message boxes when played straight; the
// viewer runs their frames again and ahead unseen, and shows them as notices
// of shown frames, never as a box each time. A click on the middle of the
// timeline lands on the middle frame.
TEST(Viewer, MessagesAreNoticesAndAClickOnTheTimelineSeeksThere) {
    ScratchDir dir("korvane-viewer-test");
    const std::string menus = std::string(KORVANE_SOURCE_DIR) + "/tests/traces/menus.kvr";
    const ProcessRun straight = headless(dir.path(), {"--replay", menus});
    ASSERT_EQ(straight.status, 0) << straight.err;
    EXPECT_NE(straight.out.find("message: "), std::string::npos);

    recording r;
    std::string error;
    ASSERT_TRUE(readRecording(menus, r, error)) << error;
    const int total = int(r.frames.size()), left = 230, right = r.width - 20;
    writeScript(dir / "keys.txt", press(2, "Space") + press(4, "End") + "20 move " +
                                      std::to_string((left + right) / 2) + " " +
                                      std::to_string(r.height - 14) + "\n" +
                                      press(21, "LButton"));
    const fs::path shot = dir / "middle.png";
    const ProcessRun watched =
        headless(dir.path(), {"--replay", menus, "--watch", "--script", "keys.txt", "--frames",
                              "30", "--shot", "30:" + shot.string()});
    ASSERT_EQ(watched.status, 0) << watched.err;
    EXPECT_EQ(watched.out.find("message: "), std::string::npos) << watched.out;
    const float at = float((left + right) / 2 - left) / float(right - left);
    expectSamePicture(shot, straightShot(dir.path(), int(at * float(total) + 0.5f), menus));
}
