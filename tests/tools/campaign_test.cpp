// The campaign that goes with the game, as the build makes it from missions/:
// at least eight missions from kvxmap.AAAA.kvx on, each clean under kvxtool
// check, chained so that success leads on and failure retries, each given
// back byte for byte by dump and build, and each, played as spectator from
// ten seeds, neither decided in its first 20 seconds nor beyond the player's
// side's reach.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "mission/mission_file.h"
#include "tools/kvxtool_run.h"

using namespace kvxtest;

namespace {

const fs::path sources = KORVANE_MISSIONS_DIR;
const fs::path built = KORVANE_CAMPAIGN_DIR;

// The mission names (NNNN) of the files in dir whose names end in `ending`.
std::vector<std::string> namesIn(const fs::path& dir, const std::string& ending) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(dir, ec)) {
        const std::string file = e.path().filename().string();
        if (file.starts_with("kvxmap.") && file.ends_with(ending) &&
            file.size() == 11 + ending.size())
            names.push_back(file.substr(7, 4));
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> campaign() { return namesIn(sources, ".json"); }

std::string fileOf(const std::string& name) { return "kvxmap." + name + ".kvx"; }

} // namespace

TEST(CampaignFiles, EverySourceIsBuiltFromTheFirstMissionOn) {
    const std::vector<std::string> names = campaign();
    EXPECT_GE(names.size(), 8u);
    EXPECT_EQ(namesIn(built, ".kvx"), names) << "the build's campaign folder holds the sources";
    EXPECT_TRUE(std::find(names.begin(), names.end(), "AAAA") != names.end());
    for (const std::string& n : names)
        EXPECT_TRUE(std::all_of(n.begin(), n.end(), [](char c) {
            return std::isdigit(static_cast<unsigned char>(c)) ||
                   std::isupper(static_cast<unsigned char>(c));
        })) << n;
}

TEST(CampaignFiles, EveryMissionPassesCheck) {
    Scratch dir;
    std::vector<std::string> args = {"check"};
    for (const std::string& n : campaign()) args.push_back((built / fileOf(n)).string());
    const ToolRun r = dir.run(args);
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(lines(r.out).size(), args.size() - 1) << r.out;
    for (const std::string& line : lines(r.out)) EXPECT_TRUE(line.ends_with(": ok")) << line;
}

TEST(CampaignFiles, DumpAndBuildGiveBackEveryFile) {
    Scratch dir;
    for (const std::string& n : campaign()) {
        const fs::path file = built / fileOf(n);
        const ToolRun dumped = dir.run({"dump", file.string()});
        ASSERT_EQ(dumped.status, 0) << n << ": " << dumped.err;
        dir.write("mission.json", dumped.out);
        const ToolRun again = dir.run({"build", "mission.json", "-o", "again.kvx"});
        ASSERT_EQ(again.status, 0) << n << ": " << again.err;
        EXPECT_EQ(readBytes(dir / "again.kvx"), readBytes(file)) << n;
    }
}

// Success leads from AAAA through every mission and back to AAAA; failure
// tries the same mission again.
TEST(CampaignChain, SuccessLeadsThroughEveryMissionAndFailureRetries) {
    const std::vector<std::string> names = campaign();
    std::map<std::string, std::string> success;
    for (const std::string& n : names) {
        auto m = std::make_unique<Mission>();
        const std::vector<std::string> said = loadMission((built / fileOf(n)).c_str(), m->refs());
        ASSERT_TRUE(said.empty()) << n << ": " << said[0];
        EXPECT_EQ(std::string(m->faifil), fileOf(n)) << n << ": failure retries it";
        EXPECT_TRUE(fs::is_regular_file(built / m->sucfil)) << n << " leads to " << m->sucfil;
        EXPECT_TRUE(fs::is_regular_file(built / m->faifil)) << n << " leads to " << m->faifil;
        success[n] = std::string(m->sucfil).substr(7, 4);
    }
    std::vector<std::string> chain = {"AAAA"};
    while (chain.size() <= names.size() && success.contains(chain.back())) {
        chain.push_back(success[chain.back()]);
        if (chain.back() == "AAAA") break;
    }
    ASSERT_EQ(chain.size(), names.size() + 1) << "the chain of successes does not close";
    EXPECT_EQ(chain.back(), "AAAA");
    const std::set<std::string> visited(chain.begin(), chain.end() - 1);
    EXPECT_EQ(visited, std::set<std::string>(names.begin(), names.end()));
}

// Ten spectator runs of one mission (10 minutes of game time at most each).
class CampaignSim : public testing::TestWithParam<std::string> {};

TEST_P(CampaignSim, NotDecidedInTwentySecondsAndWinnable) {
    Scratch dir;
    const fs::path file = built / fileOf(GetParam());
    const ToolRun r = dir.run({"sim", file.string(), "--seeds", "10", "--minutes", "10"});
    ASSERT_EQ(r.status, 0) << r.err;
    int seeds = 0, won = 0;
    for (const std::string& line : lines(r.out)) {
        int seed = 0;
        char outcome[16] = {};
        double seconds = 0;
        if (std::sscanf(line.c_str(), "seed %d: %15s %lf s", &seed, outcome, &seconds) != 3)
            continue;
        ++seeds;
        const std::string what = outcome;
        if (what != "undecided") {
            EXPECT_GE(seconds, 20.0) << "decided early: " << line;
        }
        won += what == "won";
    }
    EXPECT_EQ(seeds, 10) << r.out;
    EXPECT_GE(won, 1) << "the player's side never wins:\n" << r.out;
}

INSTANTIATE_TEST_SUITE_P(Missions, CampaignSim, testing::ValuesIn(campaign()),
                         [](const testing::TestParamInfo<std::string>& info) {
                             return info.param;
                         });
