// kvxtool as mission makers use it, run as a process: dump and build give back
// the very bytes of a fight saved mid-way, the short form builds ships with
// the game's own designs, every kind of bad input gets one line naming the
// file and the problem, check finds what makes hand-broken missions broken,
// and sim plays missions to the results their objectives dictate.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "app/app.h"
#include "mission/mission_file.h"
#include "model/model.h"
#include "gdi/surface.h"
#include "support/battle.h"
#include "support/playable_mission.h"
#include "tools/kvxtool_run.h"

using namespace kvxtest;

namespace {

std::vector<unsigned char> image(const ship& s) {
    std::vector<unsigned char> b(shipImageSize);
    writeShipImage(s, b.data());
    return b;
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// One line on standard error, naming the file, and nothing on standard output.
testing::AssertionResult oneErrorLine(const ToolRun& r, const std::string& file,
                                      const std::string& problem) {
    const std::vector<std::string> err = lines(r.err);
    if (err.size() != 1)
        return testing::AssertionFailure() << err.size() << " lines on stderr: " << r.err;
    if (!contains(err[0], file) || !contains(err[0], problem))
        return testing::AssertionFailure()
               << "\"" << err[0] << "\" does not name " << file << " and " << problem;
    if (!r.out.empty()) return testing::AssertionFailure() << "stdout: " << r.out;
    return testing::AssertionSuccess();
}

} // namespace

// ---- dump and build --------------------------------------------------------

// A 50-ship battle saved in the middle of the fight, with values the game
// keeps as they are though they name nothing (an objective, mind and orders
// beyond their enumerations) and a message with bytes after its end, comes
// back byte for byte through JSON.
TEST(KvxtoolDumpBuild, AFightSavedMidwayComesBackByteForByte) {
    workRes(false, 200, 150);
    HDC dc = createSurfaceDC(200, 150);
    PlayWorld w;
    makeBattle(w, shipCount, 5);
    for (int n = 0; n < 400; ++n) w.frame(dc, 0.03f);
    deleteSurfaceDC(dc);

    auto m = std::make_unique<Mission>();
    for (int i = 0; i < shipCount; ++i) m->a[i] = w.a[i];
    m->a[7].objective = 5;
    m->a[8].mind = 12;
    m->a[9].orders = -4;
    m->a[10].respawns = 7;
    m->a[11].spin = -0.0f;
    m->a[11].mindTime = 0.1f;
    m->a[12].pos = vec2(1.0 / 3, -1e-300);
    m->a[13] = ship(); // an empty slot among live ships
    m->you = 4;
    m->sid = sideBlue;
    std::strcpy(m->note, "TWO\nLINES\tAND \x01\xE9\x7F");
    std::strcpy(m->note + 40, "LEFT AFTER THE END");
    std::strcpy(m->sucfil, "kvxmap.Z9Z9.kvx");

    Scratch dir;
    dir.write("fight.kvx", *m);
    const ToolRun dumped = dir.run({"dump", "fight.kvx"});
    ASSERT_EQ(dumped.status, 0) << dumped.err;
    EXPECT_TRUE(dumped.err.empty()) << dumped.err;
    // Enumerations by name, values beyond them as numbers.
    EXPECT_TRUE(contains(dumped.out, "\"side\": \"blue\""));
    EXPECT_TRUE(contains(dumped.out, "\"objective\": 5,"));
    EXPECT_TRUE(contains(dumped.out, "\"mind\": 12,"));
    EXPECT_TRUE(contains(dumped.out, "\"orders\": -4,"));
    EXPECT_TRUE(contains(dumped.out, "\"kind\": \"engine\""));
    EXPECT_TRUE(contains(dumped.out, "\"respawns\": \"unlimited\""));
    EXPECT_TRUE(contains(dumped.out, "\"mindTime\": 0.1,")) << "floats in their shortest form";

    dir.write("fight.json", dumped.out);
    const ToolRun built = dir.run({"build", "fight.json", "-o", "again.kvx"});
    ASSERT_EQ(built.status, 0) << built.err;
    EXPECT_TRUE(built.err.empty() && built.out.empty());
    EXPECT_EQ(readBytes(dir / "again.kvx"), readBytes(dir / "fight.kvx"));
}

// Ships given by design are the game's designs, built after srand(seed) in
// slot order; labels name slots, references left out name no ship, the side
// is the player's ship's, and a message may be given line by line.
TEST(KvxtoolDumpBuild, TheShortFormBuildsTheGamesDesigns) {
    Scratch dir;
    dir.write("short.json", R"({
        "seed": 7, "player": "me", "success": "TEST", "failure": "kvxmap.AB12.kvx",
        "message": ["LINE ONE", "LINE TWO"],
        "ships": [
            {"label": "home", "design": "base", "side": "blue", "pos": [10, 20],
             "objective": "defend"},
            {"label": "me", "design": "heavyFighter", "side": "blue", "pos": [300, -40],
             "homeBase": "home", "respawns": 4, "orders": "guardLine",
             "wayA": [1, 2], "wayB": [3, 4], "dir": [0, 1]},
            {"design": "transport", "side": "red", "pos": [-900, 0], "built": false,
             "objective": "destroy", "leader": 0, "comment": "a note to the reader"}
        ]})");
    const ToolRun r = dir.run({"build", "short.json", "-o", "short.kvx"});
    ASSERT_EQ(r.status, 0) << r.err;

    auto m = std::make_unique<Mission>();
    ASSERT_TRUE(loadMission((dir / "short.kvx").c_str(), m->refs()).empty());
    EXPECT_EQ(m->you, 1);
    EXPECT_EQ(m->sid, sideBlue);
    EXPECT_STREQ(m->note, "LINE ONE\nLINE TWO");
    EXPECT_STREQ(m->sucfil, "kvxmap.TEST.kvx");
    EXPECT_STREQ(m->faifil, "kvxmap.AB12.kvx");

    // The designs as the constructor builds them, then the fields given.
    std::srand(7);
    ship want[4] = {ship(vec2(10, 20), typeBase, sideBlue, true),
                    ship(vec2(300, -40), typeHeavyFighter, sideBlue, true),
                    ship(vec2(-900, 0), typeTransport, sideRed, false), ship()};
    for (int i = 0; i < 3; ++i) noRefs(want[i], i); // references left out name no ship
    want[0].objective = objDefend;
    want[1].homeBase = 0;
    want[1].respawns = 4;
    want[1].orders = orderGuardLine;
    want[1].wayA = vec2(1, 2);
    want[1].wayB = vec2(3, 4);
    want[1].dir = vec2(0, 1);
    want[2].objective = objDestroy;
    want[2].leader = 0;
    for (int i = 0; i < 4; ++i) EXPECT_EQ(image(m->a[i]), image(want[i])) << "slot " << i;
}

// Every mistake in a source is one line naming the file and the place; no
// mission file is written.
TEST(KvxtoolDumpBuild, BadSourcesAreRefusedWithOneLine) {
    const std::string longMessage(500, 'X');
    const std::string manyShips = [] {
        std::string s;
        for (int i = 0; i < 51; ++i) s += std::string(i ? "," : "") + "{}";
        return s;
    }();
    const struct {
        std::string json, problem;
    } cases[] = {
        {R"({"ships": [)", "parse error"},
        {R"([1, 2])", "expected an object"},
        {R"({"shipz": []})", "unknown field \"shipz\""},
        {R"({"ships": [{"design": "base", "side": 5.5}]})", "ships[0].side: expected a side"},
        {R"({"ships": [{}, {"mind": "sleepy"}]})", "ships[1].mind: unknown mind \"sleepy\""},
        {R"({"ships": [{"targt": 3}]})", "ships[0]: unknown field \"targt\""},
        {R"({"ships": [{"design": "cruiser"}]})", "ships[0].design: unknown design"},
        {R"({"ships": [{"leader": "ghost"}]})", "ships[0].leader: no ship is labelled \"ghost\""},
        {R"({"ships": [{"label": "a"}, {"label": "a"}]})", "ships[1].label"},
        {R"({"ships": [{"core": 4294967296}]})", "ships[0].core: expected a whole number"},
        {R"({"ships": [{"alive": 1}]})", "ships[0].alive: expected true or false"},
        {R"({"ships": [{"pos": [1]}]})", "ships[0].pos: expected [x, y]"},
        {R"({"ships": [{"vel": [1, "fast"]}]})", "ships[0].vel[1]: expected a number"},
        {R"({"ships": [{"spin": 1e300}]})", "ships[0].spin: 1e+300 is beyond the range of a float"},
        {R"({"ships": [{"respawns": 300}]})", "ships[0].respawns"},
        {R"({"ships": [{"name": "A NAME OF TWENTY CHS"}]})", "ships[0].name: 20 characters"},
        {R"({"ships": [{"parts": [{}, {"kind": "laser"}]}]})", "ships[0].parts[1].kind"},
        {R"({"ships": [{"built": true}]})", "ships[0].built"},
        {R"({"success": "abcd"})", "success: \"abcd\" is not a mission name"},
        {R"({"message": ")" + longMessage + R"("})", "message: 500 characters; at most 499"},
        {R"({"message": "SMILE \u263A"})", "message: character U+263A"},
        {R"({"message": ["ONE", 2]})", "message[1]: expected a string"},
        {R"({"ships": [)" + manyShips + "]}", "ships: 51 ships"},
        {R"({"seed": -1})", "seed: expected a whole number"},
        {std::string(100, '[') + std::string(100, ']'), "nested more than 32 deep"},
    };
    Scratch dir;
    for (const auto& c : cases) {
        dir.write("bad.json", c.json);
        const ToolRun r = dir.run({"build", "bad.json", "-o", "bad.kvx"});
        EXPECT_EQ(r.status, 1) << c.json;
        EXPECT_TRUE(oneErrorLine(r, "bad.json", c.problem)) << c.json;
        EXPECT_FALSE(fs::exists(dir / "bad.kvx")) << c.json;
    }
}

TEST(KvxtoolDumpBuild, FilesItCannotReadOrWrite) {
    Scratch dir;
    fs::create_directory(dir / "folder");
    dir.write("fine.json", "{}");
    dir.write("short.kvx", "kvx");
    auto m = playable();
    dir.write("good.kvx", *m);
    std::vector<unsigned char> bytes = readBytes(dir / "good.kvx");
    bytes[0] = 0x4C; // identification code 1100
    writeBytes(dir / "code.kvx", bytes);

    // Each: the command, what its one error line names, and the problem.
    struct Refused {
        std::vector<std::string> args;
        const char *names, *problem;
    };
    const Refused refused[] = {
        {{"build", "missing.json", "-o", "x.kvx"}, "missing.json", "no such file"},
        {{"build", "folder", "-o", "x.kvx"}, "folder", "directory"},
        {{"build", "fine.json", "-o", "nowhere/x.kvx"}, "nowhere/x.kvx", "cannot write"},
        {{"build", "fine.json"}, "build", "-o"},
        {{"dump", "missing.kvx"}, "missing.kvx", "no such file"},
        {{"dump", "folder"}, "folder", "directory"},
        {{"dump", "code.kvx"}, "code.kvx", "Identification code invalid"},
    };
    ToolRun r;
    for (const Refused& c : refused) {
        r = dir.run(c.args);
        EXPECT_EQ(r.status, 2) << c.args[0] << " " << c.args[1];
        EXPECT_TRUE(oneErrorLine(r, c.names, c.problem));
    }

    // A short file is what the game makes of it, with the game's complaints.
    r = dir.run({"dump", "short.kvx"});
    EXPECT_EQ(r.status, 2) << "three bytes hold no identification code";
    bytes = readBytes(dir / "good.kvx");
    bytes.resize(5000);
    writeBytes(dir / "cut.kvx", bytes);
    r = dir.run({"dump", "cut.kvx"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(contains(r.out, "\"message\": \"TEST MISSION\\nDESTROY THE RED BASE.\""));
    EXPECT_EQ(lines(r.err).size(), 46u) << "one message for each ship past the end";
    EXPECT_TRUE(
        contains(lines(r.err)[0], "kvxtool dump: cut.kvx: the game says: Error in file buffer"));
}

// ---- check -----------------------------------------------------------------

// Each hand-broken mission is reported with its problem; the unbroken one is
// clean.
TEST(KvxtoolCheck, FindsWhatMakesAMissionBroken) {
    struct Case {
        const char* problem;
        void (*breakIt)(Mission&);
    };
    const Case cases[] = {
        {"no live ship is marked destroy: the mission is won at once",
         [](Mission& m) { m.a[2].objective = objNone; }},
        {"no live ship is marked defend: the mission is lost at once",
         [](Mission& m) { m.a[0].alive = false; }},
        {"the player's ship (ship 1) is not alive", [](Mission& m) { m.a[1].alive = false; }},
        {"the player's ship (ship 1) is green, but the player's side is red",
         [](Mission& m) { m.sid = sideRed; }},
        {"ship 1: target names slot 7, which holds no live ship",
         [](Mission& m) { m.a[1].target = 7; }},
        {"ship 1: homeBase names slot 9, which holds no live ship",
         [](Mission& m) { m.a[1].homeBase = 9; }},
        {"ship 1: wayB (31000, 0) is outside the world", [](Mission& m) { m.a[1].wayB.x = 31000; }},
        {"ship 2: pos (0, -30001) is outside the world",
         [](Mission& m) { m.a[2].pos = vec2(0, -30001); }},
        {"ship 1: dir (2, 0) is not a unit vector", [](Mission& m) { m.a[1].dir = vec2(2, 0); }},
        {"ship 1: orders 9 is none of", [](Mission& m) { m.a[1].orders = 9; }},
        {"ship 1: the game changes target, homeBase, parts[3].pos,",
         [](Mission& m) { m.a[1].target = 77, m.a[1].homeBase = -1, m.a[1].parts[3].kind = 8; }},
        {"ship 2: the game changes spin when loading",
         [](Mission& m) { m.a[2].spin = std::numeric_limits<float>::infinity(); }},
        {"success mission kvxmap.ZZZZ.kvx is not beside it",
         [](Mission& m) { std::strcpy(m.sucfil, "kvxmap.ZZZZ.kvx"); }},
        {"message: the font has no glyph for '%' ';' \\x0D (drawn as boxes)",
         [](Mission& m) { std::strcpy(m.note, "100% SURE; YES\r\n"); }},
        {"message: line 2 is wider than the start screen's 640 pixels and wraps",
         [](Mission& m) { std::strcpy(m.note, ("SHORT\n" + std::string(80, 'W')).c_str()); }},
    };

    Scratch dir;
    auto good = playable();
    dir.write("kvxmap.TEST.kvx", *good);
    ToolRun r = dir.run({"check", "kvxmap.TEST.kvx"});
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out, "kvxmap.TEST.kvx: ok\n");

    for (const Case& c : cases) {
        auto m = playable();
        c.breakIt(*m);
        dir.write("broken.kvx", *m);
        r = dir.run({"check", "broken.kvx"});
        EXPECT_EQ(r.status, 1) << c.problem << "\n" << r.out;
        EXPECT_TRUE(contains(r.out, std::string("broken.kvx: ") + c.problem))
            << c.problem << "\ngot:\n"
            << r.out;
    }
}

// What the game says while loading, once per message with how often it came;
// files that cannot be read make the status 2 whatever else is found.
TEST(KvxtoolCheck, LoadMessagesAndUnreadableFiles) {
    Scratch dir;
    auto m = playable();
    dir.write("kvxmap.TEST.kvx", *m);
    std::vector<unsigned char> bytes = readBytes(dir / "kvxmap.TEST.kvx");
    bytes[601] = 'x'; // the separator after the message
    writeBytes(dir / "sep.kvx", bytes);
    bytes.resize(30000);
    writeBytes(dir / "cut.kvx", bytes);
    bytes[1] = 0;
    writeBytes(dir / "code.kvx", bytes);

    ToolRun r = dir.run({"check", "sep.kvx"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "sep.kvx: the game says: Error in file buffer. Misplaced char. After "
                     "mission message position.\n");

    r = dir.run({"check", "cut.kvx"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(contains(r.out, "cut.kvx: the game says: Error in file buffer. Misplaced char. "
                                "After ship data position (21 times)\n"))
        << r.out;
    EXPECT_TRUE(contains(r.out, "cut.kvx: 30000 bytes, but a mission file has 51052"));

    r = dir.run({"check", "code.kvx"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "code.kvx: the game says: Failed to load file! Identification code "
                     "invalid! Most likely version difference.\n");

    fs::create_directory(dir / "folder");
    r = dir.run({"check", "kvxmap.TEST.kvx", "missing.kvx", "sep.kvx", "folder"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(lines(r.out),
              (std::vector<std::string>{
                  "kvxmap.TEST.kvx: ok", "missing.kvx: cannot read: no such file",
                  "sep.kvx: the game says: Error in file buffer. Misplaced char. After mission "
                  "message position.",
                  "folder: cannot read: it is a directory"}));
}

// ---- sim -------------------------------------------------------------------

namespace {

// The lines of a sim run: one per seed, then the summary.
std::vector<std::string> simLines(const Scratch& dir, const std::vector<std::string>& args) {
    std::vector<std::string> all = {"sim"};
    all.insert(all.end(), args.begin(), args.end());
    const ToolRun r = dir.run(all);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.err.empty()) << r.err;
    return lines(r.out);
}

} // namespace

// The objectives decide: nothing to destroy is won on the first frame,
// nothing to defend lost on it, the player's ship lost for good loses, and a
// mission nobody can decide runs to the end of its time.
TEST(KvxtoolSim, PlaysMissionsToTheirResults) {
    Scratch dir;
    auto m = playable();
    m->a[2].objective = objNone;
    dir.write("nothing.kvx", *m);
    EXPECT_EQ(simLines(dir, {"nothing.kvx", "--seeds", "2"}),
              (std::vector<std::string>{
                  "seed 1: won 0.02 s", "seed 2: won 0.02 s",
                  "summary: 2 won, 0 lost, 0 undecided; median won 0.02 s; first decided 0.02 s"}));

    m = playable();
    m->a[0].objective = objNone;
    dir.write("undefended.kvx", *m);
    EXPECT_EQ(
        simLines(dir, {"undefended.kvx", "--seeds", "1"}),
        (std::vector<std::string>{
            "seed 1: lost 0.02 s",
            "summary: 0 won, 1 lost, 0 undecided; median lost 0.02 s; first decided 0.02 s"}));

    // The watched ship has no parts left: it is gone for good in its first
    // step, and the next frame ends the mission: two frames of 1/60 s, or of
    // the frame time asked for.
    m = playable();
    for (part& p : m->a[1].parts) p.health = 0;
    m->a[1].respawns = 0;
    dir.write("wreck.kvx", *m);
    EXPECT_EQ(simLines(dir, {"wreck.kvx", "--seeds", "1"})[0], "seed 1: lost 0.03 s");
    EXPECT_EQ(simLines(dir, {"wreck.kvx", "--seeds", "1", "--dt", "0.05"})[0],
              "seed 1: lost 0.10 s");

    // Two bases cannot hurt each other: three seconds without a result.
    m = playable();
    m->a[1] = ship();
    m->you = 0;
    dir.write("bases.kvx", *m);
    EXPECT_EQ(simLines(dir, {"bases.kvx", "--minutes", "0.05", "--seeds", "3"}),
              (std::vector<std::string>{"seed 1: undecided 3.00 s", "seed 2: undecided 3.00 s",
                                        "seed 3: undecided 3.00 s",
                                        "summary: 0 won, 0 lost, 3 undecided"}));
}

// The same seed plays the same game; the trace counts each side's ships.
TEST(KvxtoolSim, SeedsRepeatAndTheTraceCountsShips) {
    Scratch dir;
    auto m = playable();
    m->a[2].pos = vec2(1200, 0);
    std::srand(11);
    for (int i = 3; i < 8; ++i) {
        m->a[i] = ship(vec2(1000, 100.0 * i), typeMediumFighter, i % 2 ? sideRed : sideGreen, true);
        noRefs(m->a[i], i);
    }
    dir.write("fight.kvx", *m);
    const std::vector<std::string> once =
        simLines(dir, {"fight.kvx", "--seeds", "3", "--minutes", "0.5"});
    const std::vector<std::string> again =
        simLines(dir, {"fight.kvx", "--seeds", "3", "--minutes", "0.5"});
    EXPECT_EQ(once, again);
    ASSERT_EQ(once.size(), 4u);

    const std::vector<std::string> traced =
        simLines(dir, {"fight.kvx", "--seeds", "1", "--minutes", "0.2", "--trace"});
    ASSERT_EQ(traced.size(), 3u) << "twelve seconds: one trace line, the seed, the summary";
    EXPECT_TRUE(traced[0].starts_with("    10 s: red ")) << traced[0];
    EXPECT_TRUE(contains(traced[0], " (1 destroy, 0 defend), green ")) << traced[0];
    EXPECT_TRUE(contains(traced[0], " (0 destroy, 1 defend), blue 0 (0 destroy, 0 defend)"))
        << traced[0];
    EXPECT_TRUE(traced[1].starts_with("seed 1: ")) << traced[1];
}

TEST(KvxtoolSim, BadOptionsAndMissionsThatCannotStart) {
    Scratch dir;
    auto m = playable();
    dir.write("ok.kvx", *m);
    m->a[0].side = m->a[1].side = sideRed;
    dir.write("nogreen.kvx", *m);
    const struct {
        std::vector<std::string> args;
        std::string file, problem;
    } cases[] = {
        {{"sim"}, "sim", "expected a mission file"},
        {{"sim", "ok.kvx", "--seeds", "0"}, "--seeds", "'0' is not a whole number"},
        {{"sim", "ok.kvx", "--seeds", "ten"}, "--seeds", "'ten'"},
        {{"sim", "ok.kvx", "--seeds", "3x"}, "--seeds", "'3x'"},
        {{"sim", "ok.kvx", "--seeds"}, "--seeds", "needs a number"},
        {{"sim", "ok.kvx", "--minutes", "0"}, "--minutes", "'0' is not a number above 0"},
        {{"sim", "ok.kvx", "--minutes", "nan"}, "--minutes", "'nan'"},
        {{"sim", "ok.kvx", "--dt", "0"}, "--dt", "'0' is not a frame time above 0 s"},
        {{"sim", "ok.kvx", "--dt", "0.051"}, "--dt", "'0.051'"},
        {{"sim", "ok.kvx", "--dt", "1e-50"}, "--dt", "'1e-50'"},
        {{"sim", "ok.kvx", "--dt", "fast"}, "--dt", "'fast'"},
        {{"sim", "ok.kvx", "--dt"}, "--dt", "needs a number"},
        {{"sim", "ok.kvx", "--fast"}, "sim", "unknown option '--fast'"},
        {{"sim", "ok.kvx", "ok.kvx"}, "sim", "expected one mission file"},
        {{"sim", "missing.kvx"}, "missing.kvx", "no such file"},
        {{"sim", "nogreen.kvx"}, "nogreen.kvx", "no live ship of the player's side"},
        {{"launch"}, "kvxtool", "unknown command 'launch'"},
        {{"check"}, "check", "expected mission files"},
        {{"dump", "a.kvx", "b.kvx"}, "dump", "expected one mission file"},
        {{"build", "a.json", "-o", "x.kvx", "-o", "y.kvx"}, "build", "-o given twice"},
    };
    for (const auto& c : cases) {
        const ToolRun r = dir.run(c.args);
        EXPECT_EQ(r.status, 2) << c.args.back();
        EXPECT_TRUE(oneErrorLine(r, c.file, c.problem)) << c.args.back();
    }
}

TEST(KvxtoolHelp, EveryCommandHasHelp) {
    Scratch dir;
    for (const char* command : {"dump", "build", "check", "sim"}) {
        const ToolRun r = dir.run({command, "--help"});
        EXPECT_EQ(r.status, 0) << command;
        EXPECT_TRUE(r.out.starts_with(std::string("usage: kvxtool ") + command)) << r.out;
        EXPECT_TRUE(contains(r.out, "Exit status")) << command;
    }
    ToolRun r = dir.run({"--help"});
    EXPECT_EQ(r.status, 0);
    for (const char* command : {"dump", "build", "check", "sim"})
        EXPECT_TRUE(contains(r.out, std::string("  ") + command + " ")) << command;
    r = dir.run({});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.starts_with("usage: kvxtool"));
}
