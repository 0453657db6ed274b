// The settings' text: written and read back equal, and every kind of bad
// file named at its line while the rest still counts.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>

#include "platform/keys.h"
#include "render/render.h"
#include "settings/settings.h"

namespace {

using problems = std::vector<settingsProblem>;

settings changed() {
    settings s;
    for (int a = 0; a < actionCount; ++a) s.binds[a] = {{'A' + a, 0}, padFirst + a};
    s.binds[actThrust] = {{0, VK_OEM_PLUS}, 0}; // a second key without a first
    s.binds[actFire] = {{}, 0};
    s.fullScreen = false;
    s.windowWidth = 320;
    s.windowHeight = 16384;
    s.scale = 3;
    s.soundOn = false;
    s.volume = 0;
    s.palette = paletteColourBlind;
    s.resume = false;
    s.lastMission = "kvxmap.A0Z9.kvx";
    return s;
}

// The problems' lines and texts, one a line, for comparing with a list.
std::string listed(const problems& found) {
    std::string out;
    for (const settingsProblem& p : found) out += std::to_string(p.line) + " " + p.text + "\n";
    return out;
}

} // namespace

TEST(Settings, WrittenAndReadBackEqual) {
    for (const settings& s : {defaultSettings(), changed()}) {
        problems found;
        EXPECT_EQ(parseSettings(formatSettings(s), found), s) << formatSettings(s);
        EXPECT_EQ(listed(found), "");
    }
    const std::string text = formatSettings(defaultSettings());
    EXPECT_NE(text.find("target = [\"Numpad0\", \"T\"]\n"), std::string::npos) << text;
    EXPECT_NE(text.find("thrust = \"PadRightTrigger\"\n"), std::string::npos) << text;
    EXPECT_EQ(defaultBinding(actZoomOut), (keyBinding{{VK_SUBTRACT, VK_OEM_MINUS}, 0}));
    problems found;
    EXPECT_EQ(parseSettings("", found), defaultSettings());
    EXPECT_TRUE(found.empty());
}

TEST(Settings, KeyNamesAreEachOthersInverse) {
    int named = 0;
    for (int vk = 0; vk < 256; ++vk) {
        if (keyName(vk).empty()) continue;
        EXPECT_EQ(keyByName(keyName(vk)), vk) << keyName(vk);
        ++named;
    }
    EXPECT_EQ(named, 26 + 10 + 17 + 10 + 5 + 8 + 11 + 14);
    EXPECT_EQ(keyName(VK_F1 + 9), "F10");
    EXPECT_EQ(keyName(VK_NUMPAD0 + 9), "Numpad9");
    EXPECT_EQ(keyByName("numpadplus"), VK_ADD);
    EXPECT_EQ(keyByName("PADA"), padA);
    for (int vk : {VK_ESCAPE, VK_F1, VK_F2, VK_F11, VK_F12, VK_LBUTTON, VK_RBUTTON})
        EXPECT_EQ(keyName(vk), "") << vk;
    EXPECT_EQ(keyByName("Escape"), 0);
    EXPECT_EQ(keyByName(""), 0);
}

TEST(Settings, BadValuesNamedAtTheirLinesTheRestCounts) {
    problems found;
    const settings s = parseSettings("[controls]\n"
                                     "thrust = [\"W\"]\n"
                                     "brake = [\"Up\", \"Flux\"]\n"
                                     "fire = [\"A\", \"B\", \"C\"]\n"
                                     "radar = [\"PadA\"]\n"
                                     "fly = []\n"
                                     "[sound]\n"
                                     "volume = 300\n"
                                     "on = false\n"
                                     "[extra]\n",
                                     found);
    EXPECT_EQ(listed(found),
              "3 brake = [\"Up\", \"Flux\"] has \"Flux\", which is not a key's name\n"
              "4 fire = [\"A\", \"B\", \"C\"] has more than two keys\n"
              "5 radar = [\"PadA\"] has \"PadA\", a gamepad button: those go in "
              "[gamepad]\n"
              "6 unknown setting 'fly' in [controls]\n"
              "8 volume = 300 is not 0 to 100\n"
              "10 unknown setting 'extra'\n");
    settings want = defaultSettings();
    want.binds[actThrust].keys[0] = 'W';
    want.soundOn = false;
    EXPECT_EQ(s, want);
    EXPECT_EQ(describeProblem("settings.toml", found[0]),
              "settings.toml, line 3: " + found[0].text);
    EXPECT_EQ(describeProblem("storage", {0, "x"}), "storage: x");
}

TEST(Settings, ABrokenLineLosesOnlyItself) {
    problems found;
    const settings s = parseSettings("[display]\n"
                                     "scale = 2\n"
                                     "[sound]\n"
                                     "volume = = 3\n"
                                     "on = false\n"
                                     "[campaign]\n"
                                     "start = \"first\"\n"
                                     "bad line\n",
                                     found);
    ASSERT_EQ(found.size(), 2u) << listed(found);
    EXPECT_EQ(found[0].line, 4);
    EXPECT_EQ(found[1].line, 8);
    EXPECT_EQ(found[0].text.rfind("cannot be read: ", 0), 0u) << found[0].text;
    settings want = defaultSettings();
    want.scale = 2;
    want.soundOn = false;
    want.resume = false;
    EXPECT_EQ(s, want);
}

TEST(Settings, JunkAndTooLargeFilesAreOneProblemAndDefaults) {
    std::mt19937 random(7);
    std::string junk = "[sound]\nvolume = 5\n";
    for (int i = 0; i < 4096; ++i) junk += char(random());
    junk[100] = '\0';
    problems found;
    EXPECT_EQ(parseSettings(junk, found), defaultSettings());
    ASSERT_EQ(found.size(), 1u);
    EXPECT_GE(found[0].line, 3);
    EXPECT_EQ(parseSettings("on = true\n\xC0\x80", found), defaultSettings()); // overlong
    EXPECT_EQ(found.back().line, 2);
    found.clear(); // UTF-8 is text: wrong where it is no comment, as toml++ cannot always say
    settings want = defaultSettings();
    want.soundOn = false;
    EXPECT_EQ(parseSettings("# \xC3\xA9t\xC3\xA9\n[sound]\nvolume = \xC3\xA9\non = false\n", found),
              want);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].line, 3);

    found.clear();
    std::string huge = "[sound]\nvolume = 5\n";
    huge.resize(maxSettingsSize + 1, '#');
    EXPECT_EQ(parseSettings(huge, found), defaultSettings());
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].line, 0);

    found.clear(); // deep nesting, and a thousand broken lines: bounded
    EXPECT_EQ(parseSettings("x = " + std::string(100000, '['), found), defaultSettings());
    std::string broken;
    for (int i = 0; i < 1000; ++i) broken += "= =\n";
    parseSettings(broken, found);
    EXPECT_LE(found.size(), 110u);
}

TEST(Settings, FileWrittenIntoNewFoldersAndReadBack) {
    const auto folder = std::filesystem::temp_directory_path() / "korvane-settings-test";
    std::filesystem::remove_all(folder);
    const std::string path = (folder / "a" / "settings.toml").string();
    std::string text = "x", error;
    EXPECT_FALSE(readSettingsFile(path, text));
    EXPECT_EQ(text, "");
    ASSERT_TRUE(writeSettingsFile(path, "volume = 1\n", error)) << error;
    EXPECT_TRUE(readSettingsFile(path, text));
    EXPECT_EQ(text, "volume = 1\n");
    EXPECT_FALSE(writeSettingsFile(path + "/under-a-file", "", error));
    EXPECT_NE(error.find(path), std::string::npos) << error;
    std::filesystem::remove_all(folder);

    setenv("XDG_CONFIG_HOME", "/cfg", 1);
    EXPECT_EQ(settingsFilePath(), "/cfg/korvane/settings.toml");
    setenv("XDG_CONFIG_HOME", "relative", 1);
    setenv("HOME", "/home/p", 1);
    EXPECT_EQ(settingsFilePath(), "/home/p/.config/korvane/settings.toml");
}
