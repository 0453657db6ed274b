// The mission checks' warnings: a setup that is legal but will not play as
// meant is named once, by its ship, and a mission that plays as meant has
// nothing at all.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "mission/mission_check.h"
#include "support/playable_mission.h"

namespace {

// The playable mission with three green fighters (slots 3 to 5) that lead
// themselves.
std::unique_ptr<Mission> withFighters() {
    auto m = playable();
    for (int i = 3; i < 6; ++i) {
        m->a[i] = ship(vec2(0, 300.0 * i), typeLightFighter, sideGreen, true);
        noRefs(m->a[i], i);
    }
    return m;
}

std::vector<missionProblem> check(Mission& m) {
    return checkMissionState(m.refs(), [](const char*) { return true; });
}

} // namespace

TEST(MissionCheck, EachWarningIsOneLineNamingItsShip) {
    auto clean = withFighters();
    EXPECT_TRUE(check(*clean).empty()) << check(*clean)[0].text;

    struct Case {
        int ship;
        const char* text;
        void (*change)(Mission&);
    };
    const Case cases[] = {
        {1,
         "the player's ship (ship 1) has no home base and no respawns: the mission is lost "
         "the first time it is destroyed",
         [](Mission& m) { m.a[1].homeBase = 1, m.a[1].respawns = 0; }},
        // Respawns without a home base, or a home base without respawns, are
        // a mission maker's choice of one life.
        {-2, "", [](Mission& m) { m.a[1].homeBase = 1; }},
        {-2, "", [](Mission& m) { m.a[1].respawns = 0; }},
        {1,
         "ship 1: home base ship 3 has no base orders (it has guard line orders): it flies "
         "about instead of holding its place",
         [](Mission& m) { m.a[1].homeBase = 3, m.a[3].orders = orderGuardLine; }},
        // A fighter given base orders is a base; a Base given fighter orders is not.
        {-2, "", [](Mission& m) { m.a[1].homeBase = 3, m.a[3].orders = orderBase; }},
        {1, "ship 1: home base ship 0 has no base orders (it has fighter orders)",
         [](Mission& m) { m.a[0].orders = orderFighter; }},
        // 3 follows 4, 4 follows 5, 5 follows 3: named once, from the lowest
        // slot in the order of following; 1 follows the ring without being in it.
        {3, "ships 3, 4, 5 follow each other's lead in a ring: none of them leads",
         [](Mission& m) {
             m.a[3].leader = 4, m.a[4].leader = 5, m.a[5].leader = 3, m.a[1].leader = 3;
         }},
        {4, "ships 4, 5 follow each other's lead in a ring",
         [](Mission& m) { m.a[3].leader = 4, m.a[4].leader = 5, m.a[5].leader = 4; }},
        // A chain that ends in a ship without a leader is no ring.
        {-2, "", [](Mission& m) { m.a[3].leader = 4, m.a[4].leader = 5; }},
    };
    for (const Case& c : cases) {
        auto m = withFighters();
        c.change(*m);
        const std::vector<missionProblem> found = check(*m);
        if (c.ship == -2) {
            EXPECT_TRUE(found.empty()) << found[0].text;
            continue;
        }
        ASSERT_EQ(found.size(), 1u) << c.text << "\nfirst: " << found[0].text;
        EXPECT_EQ(found[0].ship, c.ship) << c.text;
        EXPECT_TRUE(found[0].warning) << c.text;
        EXPECT_TRUE(found[0].text.starts_with(c.text)) << found[0].text;
        EXPECT_EQ(found[0].text.find('\n'), std::string::npos);
    }
}

// The problems that are not warnings keep their texts and slots, and a
// follow-up is looked for through the caller's lookup by its file name.
TEST(MissionCheck, ProblemsAndFollowUpsThroughTheLookup) {
    auto m = withFighters();
    std::strcpy(m->sucfil, "kvxmap.NEXT.kvx");
    m->a[2].objective = objNone;
    m->a[4].target = 9;
    std::vector<std::string> asked;
    const auto found = checkMissionState(m->refs(), [&](const char* name) {
        asked.push_back(name);
        return std::string(name) != "kvxmap.NEXT.kvx";
    });
    EXPECT_EQ(asked, (std::vector<std::string>{"kvxmap.NEXT.kvx", "kvxmap.TEST.kvx"}));
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].text, "no live ship is marked destroy: the mission is won at once");
    EXPECT_EQ(found[0].ship, -1);
    EXPECT_EQ(found[1].text, "ship 4: target names slot 9, which holds no live ship");
    EXPECT_EQ(found[1].ship, 4);
    EXPECT_EQ(found[2].text, "success mission kvxmap.NEXT.kvx is not beside it");
    for (const missionProblem& p : found) EXPECT_FALSE(p.warning) << p.text;
}
