// The source tree's one-way includes: the ports on top, then the app, then
// the subsystems, then the platform contract and the GDI layer at the bottom.
// Only the ports talk to a window system, a sound device or a browser.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <initializer_list>
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

// What an #include line names, and whether in <...>; false for other lines.
bool includeOf(const std::string& line, std::string& name, bool& system) {
    std::size_t at = line.find_first_not_of(" \t");
    if (at == std::string::npos || line[at] != '#') return false;
    at = line.find_first_not_of(" \t", at + 1);
    if (at == std::string::npos || line.compare(at, 7, "include") != 0) return false;
    at = line.find_first_not_of(" \t", at + 7);
    if (at == std::string::npos || (line[at] != '<' && line[at] != '"')) return false;
    system = line[at] == '<';
    const std::size_t end = line.find(system ? '>' : '"', at + 1);
    if (end == std::string::npos) return false;
    name = line.substr(at + 1, end - at - 1);
    return true;
}

// Whether a header's file name starts with one of the prefixes, any case.
bool startsWithAny(const std::string& name, std::initializer_list<const char*> prefixes) {
    std::string lower = name;
    for (char& c : lower) c = char(std::tolower(static_cast<unsigned char>(c)));
    for (const char* p : prefixes)
        if (lower.rfind(p, 0) == 0) return true;
    return false;
}

std::vector<Include> includesOfSrc() {
    const fs::path src = fs::path(KORVANE_SOURCE_DIR) / "src";
    std::vector<Include> out;
    for (const auto& entry : fs::recursive_directory_iterator(src)) {
        const std::string ext = entry.path().extension().string();
        if (!entry.is_regular_file() || (ext != ".cpp" && ext != ".h")) continue;
        std::ifstream in(entry.path());
        std::string text;
        std::string name;
        bool system = false;
        for (int n = 1; std::getline(in, text); ++n) {
            if (includeOf(text, name, system))
                out.push_back({fs::relative(entry.path(), src).generic_string(), n, name, system});
        }
    }
    return out;
}

// The room a file of src/ is in: "ports/sdl", "app", "sim", ...
std::string roomOf(const std::string& path) {
    const std::size_t slash = path.find('/');
    std::string room = path.substr(0, slash);
    if (room == "ports") { // built by appending: "/" + string trips GCC 12's -Wrestrict at -O3
        room += '/';
        room += path.substr(slash + 1, path.find('/', slash + 1) - slash - 1);
    }
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
    for (const Include& i : includesOfSrc()) {
        if (isPort(roomOf(i.file))) continue;
        EXPECT_FALSE(startsWithAny(i.name, {"sdl", "emscripten"})) << where(i) << " includes " << i.name;
        if (startsWithAny(i.name, {"windows.h", "mmsystem.h", "xinput.h", "winuser.h", "wingdi.h"})) {
            EXPECT_EQ(win32Itself.count(i.file), 1u) << where(i) << " includes " << i.name;
        }
    }
}
