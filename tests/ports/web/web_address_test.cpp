// The page's address: a mission shared as a link reaches the game's loader
// byte for byte, a bad link is refused with its reason, and the test options
// take what they should and name what they cannot.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "mission/mission_file.h"
#include "ports/web/web_address.h"

namespace {

// Url-safe base64 without padding, as a link carries it.
std::string encode(const std::vector<unsigned char>& bytes) {
    const char* digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
    std::string out;
    std::uint32_t bits = 0;
    int held = 0;
    for (unsigned char b : bytes) {
        bits = (bits << 8) | b;
        for (held += 8; held >= 6; held -= 6) out += digits[(bits >> (held - 6)) & 63];
    }
    if (held > 0) out += digits[(bits << (6 - held)) & 63];
    return out;
}

std::vector<unsigned char> campaignMission() {
    std::ifstream in(std::filesystem::path(KORVANE_CAMPAIGN_DIR) / "kvxmap.CCCC.kvx",
                     std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> load(const std::vector<unsigned char>& bytes) {
    Mission m;
    return loadMissionBytes(bytes, m.refs());
}

} // namespace

TEST(WebAddress, ALinkedMissionReachesTheLoaderWhole) {
    const std::vector<unsigned char> mission = campaignMission();
    ASSERT_EQ(mission.size(), std::size_t(missionFileSize));
    std::vector<unsigned char> bytes;
    std::string error;
    // With its '#', padded or not, among other things of the fragment.
    for (const std::string& fragment :
         {"#mission=" + encode(mission), "x=1&mission=" + encode(mission) + "==&y=2"}) {
        ASSERT_EQ(missionFromLink(fragment, bytes, error), linkMission::read) << error;
        EXPECT_TRUE(bytes == mission);
    }
    EXPECT_TRUE(load(bytes).empty());

    // Cut short, the mission still reaches the loader, which says what it says.
    ASSERT_EQ(missionFromLink("#mission=" + encode({mission.begin(), mission.begin() + 600}),
                              bytes, error),
              linkMission::read);
    EXPECT_EQ(bytes.size(), 600u);
    const std::vector<std::string> said = load(bytes);
    ASSERT_FALSE(said.empty());
    EXPECT_NE(said[0].find("Misplaced char"), std::string::npos) << said[0];
    ASSERT_EQ(missionFromLink("#mission=QUJD", bytes, error), linkMission::read);
    EXPECT_NE(load(bytes).at(0).find("Identification code invalid"), std::string::npos);
}

TEST(WebAddress, ABadLinkIsRefusedWithItsReason) {
    std::vector<unsigned char> bytes;
    std::string error;
    EXPECT_EQ(missionFromLink("", bytes, error), linkMission::none);
    EXPECT_EQ(missionFromLink("#missions=QUJD", bytes, error), linkMission::none);
    EXPECT_EQ(missionFromLink("#mission=QU$D", bytes, error), linkMission::bad);
    EXPECT_NE(error.find("not url-safe base64 (character 3 of 4)"), std::string::npos) << error;
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(missionFromLink("#mission=QUJDR", bytes, error), linkMission::bad);
    EXPECT_NE(error.find("cut short"), std::string::npos) << error;
    EXPECT_EQ(missionFromLink("#mission=" + std::string(maxLinkBytes * 2, 'A'), bytes, error),
              linkMission::bad);
    EXPECT_NE(error.find("longer than any mission"), std::string::npos) << error;
}

TEST(WebAddress, OptionsTakeTheirValuesAndNameWhatTheyCannot) {
    std::vector<std::string> problems;
    webOptions o = webOptionsFrom(
        "?seed=4294967295&size=800x600&dt=0.016&frames=90&fps=0&digest=50", problems);
    EXPECT_TRUE(problems.empty());
    EXPECT_TRUE(o.seeded);
    EXPECT_EQ(o.seed, 4294967295u);
    EXPECT_EQ(o.width, 800);
    EXPECT_EQ(o.height, 600);
    EXPECT_DOUBLE_EQ(o.dt, 0.016);
    EXPECT_EQ(o.frames, 90);
    EXPECT_EQ(o.fps, "0");
    EXPECT_EQ(o.digestEvery, 50);

    o = webOptionsFrom("seed=-1&size=9000x600&dt=2&frames=x&fps=1001&colour=red&seed&digest=0",
                       problems);
    EXPECT_FALSE(o.seeded);
    EXPECT_EQ(o.width, 0);
    EXPECT_EQ(o.dt, 0);
    EXPECT_EQ(o.frames, 0);
    EXPECT_EQ(o.fps, "");
    EXPECT_EQ(o.digestEvery, 0);
    ASSERT_EQ(problems.size(), 8u);
    EXPECT_EQ(problems[0], "'seed=-1' is not taken: a whole number from 0 to 4294967295");
    EXPECT_EQ(problems[5],
              "'colour' is not an option of the page (seed, size, dt, frames, fps, digest)");
    EXPECT_EQ(problems[7], "'digest=0' is not taken: a whole number of frames from 1");
}
