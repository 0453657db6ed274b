// A game recorded by korvane-headless and played back: the same digests, the
// same saved file byte for byte although the mission has left the folder,
// and a playback that departs from its recording ends with status 1, naming
// the frame and the part of the state that departs.
#include <gtest/gtest.h>

#include <zlib.h>

#include <algorithm>
#include <string>
#include <vector>

#include "replay/recording.h"
#include "support/process.h"

namespace {

// Writes r back as a recording file.
void rewrite(const recording& r, const fs::path& path) {
    std::string error;
    ASSERT_TRUE(writeRecording(path.string(), r, error)) << error;
}

// A pilot flies the first mission, then saves it from the menu as kvxmap.0000.kvx.
const char* const pilotScript = "2 down C\n3 up C\n"
                                "20 down Up\n20 down Left\n80 up Left\n90 down Shift\n"
                                "150 up Shift\n160 up Up\n"
                                "200 down Escape\n201 up Escape\n"
                                "202 down Up\n203 up Up\n204 down Up\n205 up Up\n"
                                "206 down Up\n207 up Up\n208 down Enter\n209 up Enter\n"
                                "210 down Enter\n211 up Enter\n";

} // namespace

TEST(Replay, APlaybackGivesTheSameDigestsAndTheSameSavedFile) {
    ScratchDir played("korvane-replay-test"), again("korvane-replay-test");
    fs::copy_file(fs::path(KORVANE_CAMPAIGN_DIR) / "kvxmap.AAAA.kvx", played / "kvxmap.AAAA.kvx");
    const std::string script = pilotScript;
    writeBytes(played / "pilot.txt", {script.begin(), script.end()});
    const ProcessRun first =
        headless(played.path(), {"--frames", "240", "--size", "800x600", "--script", "pilot.txt",
                                 "--record", "game.kvr", "--digest", "50"});
    ASSERT_EQ(first.status, 0) << first.err;
    ASSERT_TRUE(fs::exists(played / "kvxmap.0000.kvx")) << first.out;

    // The mission the game read is in the recording, not the folder.
    const ProcessRun second =
        headless(again.path(), {"--replay", (played / "game.kvr").string(), "--digest", "50",
                                "--dir", again.path().string()});
    EXPECT_EQ(second.status, 0) << second.err;
    EXPECT_EQ(second.err, "");
    EXPECT_EQ(digestLines(second.out), digestLines(first.out));
    EXPECT_EQ(digestLines(first.out).size(), 4u);
    EXPECT_EQ(readBytes(again / "kvxmap.0000.kvx"), readBytes(played / "kvxmap.0000.kvx"));
    EXPECT_FALSE(fs::exists(again / "kvxmap.AAAA.kvx"));

    // kvxtool shows the mission as it stood at a frame: after the save, in the
    // frozen menu, it builds into the very file the Save screen wrote.
    const ProcessRun at =
        runIn(played.path(), {KORVANE_KVXTOOL, "replay", "game.kvr", "--at", "230"});
    ASSERT_EQ(at.status, 0) << at.err;
    writeBytes(played / "at.json", {at.out.begin(), at.out.end()});
    const ProcessRun built =
        runIn(played.path(), {KORVANE_KVXTOOL, "build", "at.json", "-o", "at.kvx"});
    ASSERT_EQ(built.status, 0) << built.err;
    EXPECT_EQ(readBytes(played / "at.kvx"), readBytes(played / "kvxmap.0000.kvx"));

    // A recorded digest that the game does not reach: status 1, the frame and the part.
    recording r;
    std::string error;
    ASSERT_TRUE(readRecording((played / "game.kvr").string(), r, error)) << error;
    ASSERT_GE(r.checkpoints.size(), 2u);
    r.checkpoints[1].total ^= 1;
    r.checkpoints[1].parts[partShip0 + 2] ^= 1;
    rewrite(r, played / "changed.kvr");
    const ProcessRun third = headless(played.path(), {"--replay", "changed.kvr"});
    EXPECT_EQ(third.status, 1);
    EXPECT_NE(third.err.find("changed.kvr: frame " + std::to_string(r.checkpoints[1].frame) +
                             " departs from the recording: ship 2 ("),
              std::string::npos)
        << third.err;
}

TEST(Replay, ARecordingIsTheOnlySourceOfItsRunAndABadOneIsRefused) {
    ScratchDir dir("korvane-replay-test");
    // A recording of the Windows build: its random numbers are the Windows C
    // library's, so it does not play here.
    {
        recorder w;
        std::string error;
        ASSERT_TRUE(recordStart(w, (dir / "here.kvr").string(), 1, 64, 48, error));
        recordFrame(w, 0);
        ASSERT_TRUE(recordFinish(w));
        gzFile in = gzopen((dir / "here.kvr").string().c_str(), "rb");
        unsigned char data[64];
        const int n = gzread(in, data, sizeof data);
        gzclose(in);
        ASSERT_GT(n, 19);
        data[19] = randomWindows;
        gzFile out = gzopen((dir / "windows.kvr").string().c_str(), "wb");
        gzwrite(out, data, unsigned(n));
        gzclose(out);
    }
    const ProcessRun windows = headless(dir.path(), {"--replay", "windows.kvr"});
    EXPECT_EQ(windows.status, 2);
    EXPECT_NE(windows.err.find("recorded by the Windows build"), std::string::npos) << windows.err;

    writeBytes(dir / "junk.kvr", {'n', 'o', 'p', 'e'});
    const ProcessRun junk = headless(dir.path(), {"--replay", "junk.kvr"});
    EXPECT_EQ(junk.status, 2);
    EXPECT_EQ(junk.err, "korvane-headless: " + (dir / "junk.kvr").string() +
                            ": it is not a recording (not gzip data)\n");
    const ProcessRun mixed = headless(dir.path(), {"--replay", "junk.kvr", "--seed", "3"});
    EXPECT_EQ(mixed.status, 2);
    EXPECT_NE(mixed.err.find("--seed cannot be given with it"), std::string::npos) << mixed.err;
}

// A recording cut off anywhere (a game killed as it recorded) plays to its
// last whole frame with the digests the whole one gives there, says where it
// ends early, and exits with 3; kvxtool replay tells the same.
TEST(Replay, ACutRecordingPlaysToItsLastWholeFrame) {
    ScratchDir dir("korvane-replay-test");
    fs::copy_file(fs::path(KORVANE_CAMPAIGN_DIR) / "kvxmap.AAAA.kvx", dir / "kvxmap.AAAA.kvx");
    const std::string script = pilotScript;
    writeBytes(dir / "pilot.txt", {script.begin(), script.end()});
    const ProcessRun whole = headless(dir.path(), {"--frames", "240", "--size", "800x600",
                                                   "--script", "pilot.txt", "--record",
                                                   "game.kvr", "--digest", "10"});
    ASSERT_EQ(whole.status, 0) << whole.err;
    const std::vector<std::string> digests = digestLines(whole.out);
    const std::vector<unsigned char> file = readBytes(dir / "game.kvr");
    // The mission the first frame reads fills most of the file: the cuts come later.
    for (std::size_t cut : {file.size() * 9 / 10, file.size() * 19 / 20, file.size() - 16}) {
        writeBytes(dir / "cut.kvr", {file.begin(), file.begin() + std::ptrdiff_t(cut)});
        recording r;
        std::string error;
        ASSERT_TRUE(readRecording((dir / "cut.kvr").string(), r, error)) << cut << ": " << error;
        ASSERT_TRUE(r.endsEarly);
        const std::size_t frames = r.frames.size();
        const ProcessRun played = headless(dir.path(), {"--replay", "cut.kvr", "--digest", "10"});
        EXPECT_EQ(played.status, 3) << played.err;
        EXPECT_NE(played.err.find("cut.kvr ends early at frame " + std::to_string(frames) +
                                  "; played to there"),
                  std::string::npos)
            << played.err;
        const std::vector<std::string> seen = digestLines(played.out);
        ASSERT_EQ(seen.size(), frames / 10) << "cut at byte " << cut;
        EXPECT_TRUE(std::equal(seen.begin(), seen.end(), digests.begin())) << "cut at byte " << cut;
        const ProcessRun told = runIn(dir.path(), {KORVANE_KVXTOOL, "replay", "cut.kvr"});
        EXPECT_EQ(told.status, 3);
        EXPECT_NE(told.err.find("ends early at frame " + std::to_string(frames)), std::string::npos);
    }
}
