// The korvane launcher's handling of the player's folder, with a stand-in
// for the game that tells where and how it was started: the first run, a
// campaign brought up to date, a mission the player saved over kept, a
// folder that cannot be written, the recordings kept to the last 20, the
// arguments it answers without starting the game, and the recordings listed
// through kvxtool.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "support/process.h"

namespace {

struct Launch {
    ScratchDir dir{"korvane-launcher"};
    fs::path home = dir / "home";
    fs::path campaign = dir / "campaign";
    fs::path game = dir / "game.sh";

    Launch() {
        fs::create_directories(campaign);
        writeText(campaign / "kvxmap.AAAA.kvx", "first");
        writeText(campaign / "kvxmap.BBBB.kvx", "second");
        // The stand-in game: where it was started and what it is to record.
        writeText(game, "#!/bin/sh\npwd > \"$KORVANE_TEST_OUT\"\n"
                        "echo \"$KORVANE_RECORD\" >> \"$KORVANE_TEST_OUT\"\n"
                        "echo \"replay=$KORVANE_REPLAY\" >> \"$KORVANE_TEST_OUT\"\n");
        fs::permissions(game, fs::perms::owner_all);
    }
    static void writeText(const fs::path& p, const std::string& text) {
        writeBytes(p, {text.begin(), text.end()});
    }
    ProcessRun run(const std::vector<std::string>& args = {}, const std::string& homeDir = "") {
        std::vector<std::string> argv = {"/usr/bin/env",
                                         "-u",
                                         "KORVANE_RECORD",
                                         "KORVANE_HOME=" +
                                             (homeDir.empty() ? home.string() : homeDir),
                                         "KORVANE_BINARY=" + game.string(),
                                         "KORVANE_CAMPAIGN=" + campaign.string(),
                                         "KORVANE_TEST_OUT=" + (dir / "started").string(),
                                         KORVANE_LAUNCHER};
        argv.insert(argv.end(), args.begin(), args.end());
        return runIn(dir.path(), argv, 60);
    }
};

} // namespace

TEST(Launcher, KeepsThePlayersFolderAndTheCampaignInStep) {
    Launch l;
    ProcessRun r = l.run();
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile(l.home / "kvxmap.AAAA.kvx"), "first");
    EXPECT_EQ(readFile(l.home / ".campaign/kvxmap.BBBB.kvx"), "second");
    const std::string started = readFile(l.dir / "started");
    EXPECT_EQ(started.substr(0, started.find('\n')), fs::canonical(l.home).string());
    EXPECT_NE(started.find((l.home / "replays").string() + "/"), std::string::npos) << started;
    EXPECT_NE(started.find(".kvr"), std::string::npos);

    // A new campaign: the untouched mission follows it, the one the player
    // saved over stays the player's, with a word said.
    Launch::writeText(l.home / "kvxmap.BBBB.kvx", "mine");
    Launch::writeText(l.campaign / "kvxmap.AAAA.kvx", "first, retuned");
    Launch::writeText(l.campaign / "kvxmap.BBBB.kvx", "second, retuned");
    r = l.run();
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile(l.home / "kvxmap.AAAA.kvx"), "first, retuned");
    EXPECT_EQ(readFile(l.home / "kvxmap.BBBB.kvx"), "mine");
    EXPECT_NE(r.err.find("keeping your own " + (l.home / "kvxmap.BBBB.kvx").string()),
              std::string::npos)
        << r.err;

    // Recordings: the last 20 kept, this game's among them.
    for (int k = 0; k < 25; ++k)
        Launch::writeText(l.home / "replays" / ("old-" + std::to_string(100 + k) + ".kvr"), "x");
    ASSERT_EQ(l.run().status, 0);
    int kept = 0;
    for (const auto& e : fs::directory_iterator(l.home / "replays"))
        kept += e.path().extension() == ".kvr";
    EXPECT_EQ(kept, 19); // the game itself writes the 20th
}

TEST(Launcher, AFolderThatCannotBeWrittenAndArgumentsAreAnsweredWithoutTheGame) {
    Launch l;
    Launch::writeText(l.dir / "a-file", "not a folder");
    const ProcessRun blocked = l.run({}, (l.dir / "a-file" / "korvane").string());
    EXPECT_EQ(blocked.status, 1);
    EXPECT_NE(blocked.err.find("cannot write to"), std::string::npos) << blocked.err;
    EXPECT_FALSE(fs::exists(l.dir / "started"));

    const ProcessRun version = l.run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("korvane ", 0), 0u) << version.out;
    EXPECT_EQ(l.run({"--help"}).status, 0);
    const ProcessRun bad = l.run({"--fullscreen"});
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.err,
              "korvane: unknown argument '--fullscreen' (korvane --help tells what there is)\n");
    EXPECT_FALSE(fs::exists(l.dir / "started"));
}

// --watch plays the recording named, else the newest of replays/, and
// records nothing of its own.
TEST(Launcher, WatchPlaysTheNewestRecordingOrTheOneNamed) {
    Launch l;
    EXPECT_EQ(l.run({"--watch"}).status, 1) << "no recordings yet";
    ASSERT_EQ(l.run().status, 0);
    Launch::writeText(l.home / "replays" / "older.kvr", "x");
    Launch::writeText(l.home / "replays" / "newer.kvr", "y");
    fs::last_write_time(l.home / "replays" / "older.kvr",
                        fs::file_time_type::clock::now() - std::chrono::hours(2));
    fs::last_write_time(l.home / "replays" / "newer.kvr",
                        fs::file_time_type::clock::now() - std::chrono::hours(1));
    ProcessRun r = l.run({"--watch"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::string started = readFile(l.dir / "started");
    EXPECT_NE(started.find("replay=" + fs::canonical(l.home / "replays" / "newer.kvr").string()),
              std::string::npos)
        << started;
    EXPECT_NE(started.find("\n\nreplay="), std::string::npos) << "it records nothing: " << started;

    Launch::writeText(l.dir / "mine.kvr", "z");
    r = l.run({"--watch", (l.dir / "mine.kvr").string()});
    ASSERT_EQ(r.status, 0) << r.err;
    started = readFile(l.dir / "started");
    EXPECT_NE(started.find("replay=" + fs::canonical(l.dir / "mine.kvr").string()), std::string::npos);
    EXPECT_EQ(l.run({"--watch", (l.dir / "gone.kvr").string()}).status, 2);
    EXPECT_EQ(l.run({"--watch", "a.kvr", "b.kvr"}).status, 2);
}

// --replays lists replays/ through kvxtool, also before there is any.
TEST(Launcher, ReplaysListsTheRecordingsThroughKvxtool) {
    Launch l;
    std::string none = "no recordings in ";
    none += (l.home / "replays").string() + "\n";
    EXPECT_EQ(l.run({"--replays"}).out, none);
    ASSERT_EQ(l.run().status, 0);
    EXPECT_EQ(l.run({"--replays"}).out, none);
    Launch::writeText(l.home / "replays" / "junk.kvr", "x");
    const ProcessRun r = l.run({"--replays"});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.out.find("  junk.kvr: it is "), std::string::npos) << r.out;
    EXPECT_EQ(l.run({"--replays", "x"}).status, 2);
}
