// kvxtool replays on a folder of recordings made by the headless runner: a
// game won and then lost in the mission after, the same kind of game won and
// cut off, and a file that is no recording; listed newest first with their
// missions, lengths and results, the results kept in .index by name, size
// and time, the recordings themselves untouched.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>

#include "support/playable_mission.h"
#include "tools/kvxtool_run.h"

using namespace kvxtest;

namespace {

// A recording of a run of 600 frames of 0.05 s (half a minute of game time)
// in the folder, pressing Enter at each frame given.
void record(const Scratch& dir, const std::string& name, const std::vector<int>& enters) {
    std::string script;
    for (int f : enters)
        script += std::to_string(f) + " down Enter\n" + std::to_string(f + 2) + " up Enter\n";
    dir.write("game.txt", script);
    const ProcessRun r =
        headless(dir.path(), {"--frames", "600", "--dt", "0.05", "--size", "320x240", "--script",
                              "game.txt", "--record", (dir / "replays" / name).string()});
    ASSERT_EQ(r.status, 0) << r.err;
}

} // namespace

TEST(KvxtoolReplays, ListsEachGamesMissionsLengthAndResultAndKeepsTheResults) {
    Scratch dir;
    fs::create_directories(dir / "replays");
    // AAAA has nothing to destroy (won as soon as it is played) and leads to
    // BBBB, which has nothing to defend (lost as soon as it is played).
    auto m = playable();
    m->a[2].objective = objNone;
    std::strcpy(m->sucfil, "kvxmap.BBBB.kvx");
    dir.write("kvxmap.AAAA.kvx", *m);
    m = playable();
    m->a[0].objective = objNone;
    dir.write("kvxmap.BBBB.kvx", *m);
    // Enter: play AAAA, leave its result screen (BBBB loads), play BBBB.
    record(dir, "2026-01-02-030406.kvr", {10, 30, 50});
    record(dir, "won.kvr", {10});
    // The won game cut off in its gzip stream, as a killed game leaves it
    // (after the mission it read, which is most of the file).
    std::vector<unsigned char> won = readBytes(dir / "replays" / "won.kvr");
    fs::remove(dir / "replays" / "won.kvr");
    won.resize(won.size() * 19 / 20);
    writeBytes(dir / "replays" / "2026-01-02-030405.kvr", won);
    dir.write("replays/junk.kvr", "not a recording");
    fs::last_write_time(dir / "replays" / "junk.kvr",
                        fs::file_time_type::clock::now() - std::chrono::hours(24 * 3650));

    // The cut recording's length: the sum of the frame times it still holds.
    const ToolRun times = dir.run({"replay", "replays/2026-01-02-030405.kvr", "--times"});
    ASSERT_EQ(times.status, 3) << times.err;
    double cut = 0;
    for (const std::string& t : lines(times.out)) cut += std::atof(t.c_str());
    ASSERT_GT(cut, 2) << "the cut comes after the win";
    char cutLine[80];
    std::snprintf(cutLine, sizeof cutLine,
                  "2026-01-02 03:04:05  AAAA        0:%02lld  won, ends early", std::llround(cut));

    auto listing = [&] {
        const ToolRun r = dir.run({"replays"});
        EXPECT_EQ(r.status, 1) << "a file is no recording: " << r.err;
        EXPECT_EQ(r.err, "");
        return lines(r.out);
    };
    std::vector<std::string> first = listing();
    ASSERT_EQ(first.size(), 3u) << first.size();
    EXPECT_EQ(first[0], "2026-01-02 03:04:06  AAAA, BBBB  0:30  lost");
    EXPECT_EQ(first[1], cutLine);
    EXPECT_EQ(first[2].substr(19), "  junk.kvr: it is not a recording (not gzip data)") << first[2];
    EXPECT_TRUE(first[2].starts_with("20")) << "a date from the file's time: " << first[2];

    // The second listing agrees, from the index: a result changed there is
    // believed until the recording's time changes.
    const std::string index = readFile(dir / "replays" / ".index");
    EXPECT_EQ(listing(), first);
    const std::size_t lost = index.find("\tlost\n");
    ASSERT_NE(lost, std::string::npos) << index;
    dir.write("replays/.index",
              index.substr(0, lost) + "\twon (so the index says)\n" + index.substr(lost + 6));
    EXPECT_EQ(listing()[0], "2026-01-02 03:04:06  AAAA, BBBB  0:30  won (so the index says)");
    const fs::path game = dir / "replays" / "2026-01-02-030406.kvr";
    const std::vector<unsigned char> bytes = readBytes(game);
    fs::last_write_time(game, fs::last_write_time(game) - std::chrono::hours(1));
    EXPECT_EQ(listing(), first);
    EXPECT_EQ(readBytes(game), bytes);
    EXPECT_EQ(readBytes(dir / "replays" / "2026-01-02-030405.kvr"), won);
    int files = 0;
    for (const auto& e : fs::directory_iterator(dir / "replays")) files += e.is_regular_file();
    EXPECT_EQ(files, 4) << "three files and the index";

    fs::create_directories(dir / "empty");
    const ToolRun empty = dir.run({"replays", "empty"});
    EXPECT_EQ(empty.status, 0);
    EXPECT_EQ(empty.out, "no recordings in empty\n");
    EXPECT_EQ(dir.run({"replays", "missing"}).err, "kvxtool replays: missing: no such folder\n");
}
