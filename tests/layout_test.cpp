// The source tree's one-way includes: the ports on top, then the app, then
// the subsystems, then the platform contract and the GDI layer at the bottom.
// Only the ports talk to a window system, a sound device or a browser.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Include {
    std::string file; // relative to src/
    int line;
    std::string name; // what the include names
    bool system;      // <...>
};

std::vector<Include> includesOfSrc() {
    const fs::path src = fs::path(KORVANE_SOURCE_DIR) / "src";
    const std::regex include(R"(^\s*#\s*include\s*([<"])([^">]+)[">])");
    std::vector<Include> out;
    for (const auto& entry : fs::recursive_directory_iterator(src)) {
        const std::string ext = entry.path().extension().string();
        if (!entry.is_regular_file() || (ext != ".cpp" && ext != ".h")) continue;
        std::ifstream in(entry.path());
        std::string text;
        for (int n = 1; std::getline(in, text); ++n) {
            std::smatch m;
            if (std::regex_search(text, m, include))
                out.push_back({fs::relative(entry.path(), src).generic_string(), n, m[2].str(),
                               m[1].str() == "<"});
        }
    }
    return out;
}

// The room a file of src/ is in: "ports/sdl", "app", "sim", ...
std::string roomOf(const std::string& path) {
    const std::size_t slash = path.find('/');
    std::string room = path.substr(0, slash);
    if (room == "ports") room += "/" + path.substr(slash + 1, path.find('/', slash + 1) - slash - 1);
    return room;
}

bool isPort(const std::string& room) { return room.rfind("ports/", 0) == 0; }

// Whether a file of room `from` may include a header of room `to`.
bool mayInclude(const std::string& from, const std::string& to) {
    if (from == to) return true;
    if (isPort(to)) return false;                  // nothing includes a port, not even another
    if (isPort(from)) return true;                 // the ports stand on everything else
    if (to == "app") return false;                 // only the ports include the app
    if (to == "gdi") return true;                  // the bottom
    if (from == "gdi") return false;
    if (to == "platform") return true;
    if (from == "platform") return false;
    return true; // app and the subsystems
}

std::string where(const Include& i) { return i.file + ":" + std::to_string(i.line); }

} // namespace

TEST(Layout, IncludesRunFromThePortsDown) {
    const std::vector<Include> all = includesOfSrc();
    ASSERT_GT(all.size(), 100u);
    std::set<std::string> rooms;
    for (const Include& i : all) {
        rooms.insert(roomOf(i.file));
        if (i.system || i.name.find('/') == std::string::npos) continue;
        EXPECT_TRUE(mayInclude(roomOf(i.file), roomOf(i.name)))
            << where(i) << " includes \"" << i.name << "\"";
    }
    for (const char* room : {"ports/sdl", "ports/win32", "ports/web", "ports/headless", "platform",
                             "gdi", "mission", "app"})
        EXPECT_EQ(rooms.count(room), 1u) << room;
}

TEST(Layout, OnlyThePortsTalkToAWindowSystemOrABrowser) {
    // Windows' own headers stand also where the Windows build is Win32 itself:
    // the GDI calls are GDI's, and the clocks and the pacer's sleep are Win32's.
    const std::set<std::string> win32Itself = {"gdi/gdi.h", "platform/clocks.cpp",
                                               "platform/pacer.cpp"};
    const std::regex windowSystem(R"(^(SDL|emscripten))", std::regex::icase);
    const std::regex win32(R"(^(windows|mmsystem|xinput|winuser|wingdi)\.h$)", std::regex::icase);
    for (const Include& i : includesOfSrc()) {
        if (isPort(roomOf(i.file))) continue;
        EXPECT_FALSE(std::regex_search(i.name, windowSystem)) << where(i) << " includes " << i.name;
        if (std::regex_search(i.name, win32)) {
            EXPECT_EQ(win32Itself.count(i.file), 1u) << where(i) << " includes " << i.name;
        }
    }
}
