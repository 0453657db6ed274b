// Files dropped on the window (korvane-headless's "drop" script lines): a
// recording starts the game anew watching it, a mission is copied in, never
// over another of its name, and the game starts anew with it first; anything
// else is told and the game goes on.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "replay/recording.h"
#include "support/process.h"

namespace {

ProcessRun dropping(const fs::path& dir, const std::string& script) {
    writeBytes(dir / "drops.txt", {script.begin(), script.end()});
    return headless(dir, {"--frames", "20", "--script", "drops.txt", "--dir", dir.string()});
}

const std::string anew = "korvane-headless: the game starts anew with ";

} // namespace

TEST(DroppedFile, ARecordingIsWatchedAMissionCopiedInAndStartedWithAndJunkTold) {
    ScratchDir dir("korvane-drop-test");
    const fs::path mission = fs::path(KORVANE_CAMPAIGN_DIR) / "kvxmap.AAAA.kvx";
    fs::copy_file(mission, dir / "kvxmap.AAAA.kvx");
    writeBytes(dir / "junk.kvr", {'n', 'o'});
    writeBytes(dir / "short.kvx", {1, 2, 3});
    writeBytes(dir / "notes.txt", {'x'});

    // Junk goes on: the run plays all its frames and starts nothing.
    ProcessRun r = dropping(dir.path(), "3 drop junk.kvr\n4 drop short.kvx\n5 drop notes.txt\n");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.find(anew), std::string::npos) << r.out;

    // A recording: the game starts anew watching it.
    const std::string trace = std::string(KORVANE_SOURCE_DIR) + "/tests/traces/menus.kvr";
    r = dropping(dir.path(), "3 drop " + trace + "\n");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find(anew + "KORVANE_REPLAY=" + trace), std::string::npos) << r.out;

    // A mission of a name the folder has with other bytes is copied under a
    // free name; the one already there is left as it was.
    std::vector<unsigned char> other = readBytes(mission);
    other[100] ^= 1;
    fs::create_directory(dir / "from");
    writeBytes(dir / "from" / "kvxmap.AAAA.kvx", other);
    r = dropping(dir.path(), "3 drop from/kvxmap.AAAA.kvx\n");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find(anew + "KORVANE_START=kvxmap.D001.kvx"), std::string::npos) << r.out;
    EXPECT_EQ(readBytes(dir / "kvxmap.D001.kvx"), other);
    EXPECT_EQ(readBytes(dir / "kvxmap.AAAA.kvx"), readBytes(mission));

    // Started anew so, the game's first mission is the one dropped.
    setenv("KORVANE_START", "kvxmap.D001.kvx", 1);
    r = headless(dir.path(), {"--frames", "5", "--dir", dir.path().string(), "--record",
                              (dir / "started.kvr").string()});
    unsetenv("KORVANE_START");
    ASSERT_EQ(r.status, 0) << r.err;
    recording started;
    std::string error;
    ASSERT_TRUE(readRecording((dir / "started.kvr").string(), started, error)) << error;
    ASSERT_FALSE(started.reads.empty());
    EXPECT_EQ(started.reads.front().name, "kvxmap.D001.kvx");
    EXPECT_EQ(started.reads.front().bytes, other);
}
