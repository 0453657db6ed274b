// kvxtool over the game's own mission checks and map drawing, run as a
// process: check prints what checkMissionState finds, and render's map is the
// editor's map pixel for pixel, with every ship in view and the text beside it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "editor/editor.h"
#include "editor/editor_internal.h"
#include "frame/frame.h"
#include "kvxtool/picture.h"
#include "mission/mission_check.h"
#include "support/grid.h"
#include "support/png_read.h"
#include "tools/kvxtool_run.h"

using namespace kvxtest;

TEST(KvxtoolCheck, PrintsWhatTheGameFindsWarningsAmongThem) {
    auto m = std::make_unique<Mission>();
    std::srand(1);
    m->a[3] = ship(vec2(100, 0), typeLightFighter, sideRed, true);
    m->a[8] = ship(vec2(-100, 0), typeLightFighter, sideRed, true);
    m->a[3].leader = m->a[3].homeBase = 8;
    m->a[8].leader = 3;
    m->a[8].homeBase = 8;
    m->a[8].objective = objDestroy;
    m->you = 8;
    std::strcpy(m->sucfil, "kvxmap.TEST.kvx");
    std::strcpy(m->faifil, "kvxmap.GONE.kvx");
    Scratch dir;
    dir.write("kvxmap.TEST.kvx", *m);

    auto loaded = std::make_unique<Mission>();
    ASSERT_TRUE(loadMission((dir / "kvxmap.TEST.kvx").c_str(), loaded->refs()).empty());
    std::vector<std::string> want;
    int warnings = 0;
    for (const missionProblem& p : checkMissionState(
             loaded->refs(), [&](const char* name) { return fs::is_regular_file(dir / name); })) {
        want.push_back("kvxmap.TEST.kvx: " + p.text);
        warnings += p.warning;
    }
    EXPECT_EQ(warnings, 3) << "a ring, a home base that is no base, a player with one life";
    const ToolRun r = dir.run({"check", "kvxmap.TEST.kvx"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(lines(r.out), want);
}

// The campaign's first mission beside, and a narrow picture below, its text:
// the map's part is exactly what the editor's map drawing gives in the view
// render chose, every live ship is inside it, and the text part holds the
// title's white and the text's blue.
TEST(KvxtoolRender, TheMapIsTheEditorsWithEveryShipInView) {
    const fs::path mission = fs::path(KORVANE_CAMPAIGN_DIR) / "kvxmap.AAAA.kvx";
    auto m = std::make_unique<Mission>();
    ASSERT_TRUE(loadMission(mission.c_str(), m->refs()).empty());
    Scratch dir;
    for (auto [w, h] : {std::pair{1280, 720}, std::pair{300, 500}}) {
        const std::string size = std::to_string(w) + "x" + std::to_string(h);
        const ToolRun r = dir.run({"render", mission.string(), "-o", "map.png", "--size", size});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_TRUE(r.out.empty() && r.err.empty()) << r.out << r.err;
        std::vector<std::uint32_t> got;
        int gw = 0, gh = 0;
        ASSERT_TRUE(readPng((dir / "map.png").string(), got, gw, gh));
        ASSERT_EQ(gw, w);
        ASSERT_EQ(gh, h);

        workRes(false, w, h);
        const MapView v = missionView(*m, w, h);
        Canvas want(w, h);
        fillWith(want.dc, RECT{0, 0, w, h}, 0); // the picture's black, no stars
        drawEditorMap(want.dc, m->a, v.cam, v.zom, m->you, toolSelect);
        int differ = 0;
        for (int y = 0; y < v.height; ++y)
            for (int x = 0; x < v.width; ++x)
                differ += got[std::size_t(y * w + x)] != want.pixel(x, y);
        EXPECT_EQ(differ, 0) << size;
        for (const ship& s : m->a) {
            if (!s.alive) continue;
            const vec2 p = toScreen(s.pos, v.cam, v.zom);
            const double r = s.radius * v.zom + 5;
            EXPECT_TRUE(p.x - r > 0 && p.y - r > 0 && p.x + r < v.width && p.y + r < v.height)
                << size << ": " << p.x << ", " << p.y;
        }
        int title = 0, text = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (x > v.width || y > v.height) {
                    title += got[std::size_t(y * w + x)] == pixelOf(0xffffff);
                    text += got[std::size_t(y * w + x)] == pixelOf(0xffaf64);
                }
        EXPECT_GT(title, 100) << size;
        EXPECT_GT(text, 1000) << size;
    }
}

// Bad command lines and files get one line and status 2; a mission the game
// complains about is drawn all the same, its complaints on standard error.
TEST(KvxtoolRender, BadInputIsOneLineAndAComplainedMissionStillRenders) {
    Scratch dir;
    auto m = std::make_unique<Mission>();
    dir.write("kvxmap.TEST.kvx", *m);
    std::vector<unsigned char> bytes = readBytes(dir / "kvxmap.TEST.kvx");
    bytes[601] = 'x'; // the separator after the message
    writeBytes(dir / "sep.kvx", bytes);

    const std::vector<std::pair<std::vector<std::string>, std::string>> bad = {
        {{"render", "kvxmap.TEST.kvx"}, "expected FILE.kvx -o FILE.png"},
        {{"render", "kvxmap.TEST.kvx", "-o", "a.png", "--size", "63x100"}, "from 64 to 8192"},
        {{"render", "kvxmap.TEST.kvx", "-o", "a.png", "--size", "100x8193"}, "from 64 to 8192"},
        {{"render", "kvxmap.TEST.kvx", "-o", "a.png", "--size", "100"}, "is not WxH"},
        {{"render", "missing.kvx", "-o", "a.png"}, "missing.kvx: cannot read"},
        {{"render", "kvxmap.TEST.kvx", "-o", "kvxmap.TEST.kvx"}, "is the mission itself"},
        {{"render", "kvxmap.TEST.kvx", "-o", "no/such/folder.png"}, "cannot write the picture"},
    };
    for (const auto& [args, problem] : bad) {
        const ToolRun r = dir.run(args);
        EXPECT_EQ(r.status, 2) << problem;
        EXPECT_EQ(lines(r.err).size(), 1u) << r.err;
        EXPECT_NE(r.err.find(problem), std::string::npos) << r.err;
    }
    EXPECT_EQ(readBytes(dir / "kvxmap.TEST.kvx").size(), std::size_t(missionFileSize));
    EXPECT_FALSE(fs::exists(dir / "a.png"));

    const ToolRun r = dir.run({"render", "sep.kvx", "-o", "sep.png", "--size", "64x64"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "kvxtool render: sep.kvx: the game says: Error in file buffer. Misplaced "
                     "char. After mission message position.\n");
    EXPECT_TRUE(pngIsRgb8((dir / "sep.png").string()));
}
