// Reading the settings text with toml++. Whatever the text, every value that
// cannot be used keeps its default, with a problem that names its line. When
// toml++ refuses the whole text (it stops at the first broken line), that is
// one problem, and the text is read again a line at a time, each line a small
// document of its own under its table's header, so the good lines still count.
#include "settings/settings.h"

// The one place toml++ is configured: header-only (Debian's package also
// ships a shared library, which the cross-builds could not link), without
// exceptions (parse returns a parse_result) and without its writers.
//
// Its checks of its own workings are off in every build. Broken text reaches
// some of them ("[}" reaches parse_key's), which the code after them handles
// as an error: as an assert() they would stop the game in a build without
// NDEBUG, and with NDEBUG toml++ tells clang they always hold
// (__builtin_assume), so NDEBUG is hidden from it too.
#pragma push_macro("NDEBUG")
#undef NDEBUG
#define TOML_ASSERT(expr) static_assert(true)
#define TOML_HEADER_ONLY 1
#define TOML_EXCEPTIONS 0
#define TOML_ENABLE_FORMATTERS 0
#include <toml++/toml.h>
#pragma pop_macro("NDEBUG")

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "mission/mission_file.h"
#include "platform/keys.h"
#include "platform/window_size.h"
#include "render/render.h"

namespace {

constexpr std::size_t maxProblems = 100; // then one that says there are more
constexpr int smallestWindow = 320, largestWindow = 16384;

bool isPad(int vk) { return vk >= padFirst && vk <= padLast; }

bool isTable(std::string_view name) {
    for (const char* table : {"controls", "gamepad", "display", "sound", "colours", "campaign"})
        if (name == table) return true;
    return false;
}

int actionById(std::string_view id) {
    for (int a = 0; a < actionCount; ++a)
        if (id == actionOf(a).id) return a;
    return -1;
}

// The first line holding a NUL byte or bytes that are not UTF-8; 0 for none.
int firstLineNotText(const std::string& text) {
    int line = 1;
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\n') ++line;
        if (c == 0) return line;
        if (c < 0x80) {
            ++i;
            continue;
        }
        // The bytes that follow the lead byte, and the smallest code they may make.
        const int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : 1;
        const unsigned least = extra == 3 ? 0x10000 : extra == 2 ? 0x800 : 0x80;
        unsigned code = c & (0x7F >> (extra + 1));
        if (c < 0xC2 || c > 0xF4 || i + extra >= text.size()) return line;
        for (int k = 1; k <= extra; ++k) {
            const auto d = static_cast<unsigned char>(text[i + k]);
            if ((d & 0xC0) != 0x80) return line;
            code = code << 6 | (d & 0x3F);
        }
        if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return line;
        i += extra + 1;
    }
    return 0;
}

// The text as toml++ is given it: each character past ASCII (the text is
// UTF-8 by then) becomes one '?', and a byte-order mark goes. toml++ 3.3
// reaches __builtin_unreachable in its table of Unicode spaces for most
// characters past ASCII outside a string or a comment ("volume = \xC3\xA9").
// Our values are all ASCII, so nothing that could be used is lost: a
// character is as wrong as a '?' where it stands, and comments stay comments.
// The lines stay where they were.
std::string asciiOnly(const std::string& text) {
    const bool bom = text.compare(0, 3, "\xEF\xBB\xBF") == 0;
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = bom ? 3 : 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80)
            out += char(c);
        else if ((c & 0xC0) != 0x80)
            out += '?'; // a character's first byte
    }
    return out;
}

// A value as a problem shows it, short: strings quoted (cut after 40
// characters), arrays with their first few values.
std::string shown(const toml::node& v) {
    if (const auto* s = v.as_string()) {
        const std::string& text = s->get();
        std::string out = "\"";
        std::size_t i = 0;
        for (; i < text.size() && i < 40; ++i) {
            const char c = text[i];
            out += static_cast<unsigned char>(c) < 0x20 ? '?' : c;
        }
        return out + (i < text.size() ? "...\"" : "\"");
    }
    if (const auto* n = v.as_integer()) return std::to_string(n->get());
    if (const auto* b = v.as_boolean()) return b->get() ? "true" : "false";
    if (const auto* f = v.as_floating_point()) {
        char text[32];
        std::snprintf(text, sizeof text, "%g", f->get());
        return text;
    }
    if (const auto* a = v.as_array()) {
        std::string out = "[";
        for (std::size_t k = 0; k < a->size() && k < 3; ++k)
            out += (k ? ", " : "") + shown(*a->get(k));
        return out + (a->size() > 3 ? ", ...]" : "]");
    }
    if (v.is_table()) return "a table";
    return "a date or time";
}

bool flag(const toml::node& v, bool& out) {
    const auto* b = v.as_boolean();
    if (b) out = b->get();
    return b;
}
bool wholeNumber(const toml::node& v, int lo, int hi, int& out) {
    const auto* n = v.as_integer();
    if (!n || n->get() < lo || n->get() > hi) return false;
    out = int(n->get());
    return true;
}
// One of two words: out is true for the first.
bool word(const toml::node& v, const char* first, const char* second, bool& out) {
    const auto* s = v.as_string();
    if (!s || (s->get() != first && s->get() != second)) return false;
    out = s->get() == first;
    return true;
}

// A setting of [display], [sound], [colours] or [campaign]: set reads it into
// the settings, false when it cannot be used; `what` then says why.
struct field {
    const char* name;
    bool (*set)(settings&, const toml::node&);
    const char* what;
};

const field displayFields[] = {
    {"full_screen", [](settings& s, const toml::node& v) { return flag(v, s.fullScreen); },
     "is not true or false"},
    {"window",
     [](settings& s, const toml::node& v) {
         const auto* t = v.as_string();
         if (!t) return false;
         std::string size = t->get();
         for (char& c : size)
             if (c == 'X') c = 'x';
         return parseSize(size, smallestWindow, largestWindow, s.windowWidth, s.windowHeight);
     },
     "is not a window size (\"WxH\", each side 320 to 16384)"},
    {"scale",
     [](settings& s, const toml::node& v) {
         const auto* t = v.as_string();
         if (t && t->get() == "auto") {
             s.scale = 0;
             return true;
         }
         return wholeNumber(v, 1, maxScale, s.scale);
     },
     "is not \"auto\" or 1 to 4"},
};
const field soundFields[] = {
    {"on", [](settings& s, const toml::node& v) { return flag(v, s.soundOn); },
     "is not true or false"},
    {"volume", [](settings& s, const toml::node& v) { return wholeNumber(v, 0, 100, s.volume); },
     "is not 0 to 100"},
};
const field colourFields[] = {
    {"sides",
     [](settings& s, const toml::node& v) {
         bool game = true;
         if (!word(v, "game", "colour-blind", game)) return false;
         s.palette = game ? paletteGame : paletteColourBlind;
         return true;
     },
     "is not \"game\" or \"colour-blind\""},
};
const field campaignFields[] = {
    {"start", [](settings& s, const toml::node& v) { return word(v, "last", "first", s.resume); },
     "is not \"last\" or \"first\""},
    {"last_mission",
     [](settings& s, const toml::node& v) {
         const auto* t = v.as_string();
         if (!t || (!t->get().empty() && !isMissionFileName(t->get()))) return false;
         s.lastMission = t->get();
         return true;
     },
     "is not a mission file's name (kvxmap.NNNN.kvx)"},
};

// Reads tables into the settings and notes their problems. Lines are the
// document's plus offset: a line read alone is a document of its own.
// toml++ keeps a table's keys sorted, not in the file's order: problems are
// put in the order of their lines when all are found (finish).
struct reader {
    settings& s;
    std::vector<settingsProblem> problems;
    int offset = 0;

    void add(int line, std::string text) {
        if (problems.size() <= maxProblems * 100) problems.push_back({line, std::move(text)});
    }
    void finish(std::vector<settingsProblem>& out) {
        std::stable_sort(problems.begin(), problems.end(),
                         [](const auto& a, const auto& b) { return a.line < b.line; });
        for (std::size_t i = 0; i < problems.size() && i < maxProblems; ++i)
            out.push_back(std::move(problems[i]));
        if (problems.size() > maxProblems)
            out.push_back({0, "more problems than these; the rest are not listed"});
    }
    int lineOf(const toml::source_region& where) const {
        return where.begin.line ? int(where.begin.line) + offset : 0;
    }
    void unknown(const toml::key& k, const char* table) {
        std::string text = "unknown setting '" + std::string(k.str()) + "'";
        if (table) text += std::string(" in [") + table + "]";
        add(lineOf(k.source()), std::move(text));
    }
    void bad(const toml::key& k, const toml::node& v, const std::string& what) {
        add(lineOf(v.source()), std::string(k.str()) + " = " + shown(v) + " " + what);
    }

    void document(const toml::table& root) {
        for (auto&& [k, v] : root) {
            const toml::table* t = v.as_table();
            if (!isTable(k.str()))
                unknown(k, nullptr);
            else if (!t)
                bad(k, v, "is not a table: its settings go under [" + std::string(k.str()) + "]");
            else if (k == "controls")
                controls(*t);
            else if (k == "gamepad")
                gamepad(*t);
            else if (k == "display")
                fields(*t, "display", displayFields);
            else if (k == "sound")
                fields(*t, "sound", soundFields);
            else if (k == "colours")
                fields(*t, "colours", colourFields);
            else
                fields(*t, "campaign", campaignFields);
        }
    }

    template <std::size_t n>
    void fields(const toml::table& t, const char* table, const field (&known)[n]) {
        for (auto&& [k, v] : t) {
            const field* f = nullptr;
            for (const field& candidate : known)
                if (k == candidate.name) f = &candidate;
            if (!f)
                unknown(k, table);
            else if (!f->set(s, v))
                bad(k, v, f->what);
        }
    }

    void controls(const toml::table& t) {
        for (auto&& [k, v] : t) {
            const int a = actionById(k.str());
            const toml::array* list = v.as_array();
            if (a < 0) {
                unknown(k, "controls");
                continue;
            }
            if (!list) {
                bad(k, v, "is not a list of up to two key names, such as [\"Up\", \"W\"]");
                continue;
            }
            if (list->size() > 2) {
                bad(k, v, "has more than two keys");
                continue;
            }
            int keys[2] = {0, 0};
            std::string why;
            for (std::size_t i = 0; i < list->size() && why.empty(); ++i) {
                const toml::node& item = *list->get(i);
                const auto* name = item.as_string();
                keys[i] = name ? keyByName(name->get()) : 0;
                if (!name || (!keys[i] && !name->get().empty()))
                    why = "has " + shown(item) + ", which is not a key's name";
                else if (isPad(keys[i]))
                    why = "has " + shown(item) + ", a gamepad button: those go in [gamepad]";
            }
            if (!why.empty()) {
                bad(k, v, why);
                continue;
            }
            s.binds[a].keys[0] = keys[0];
            s.binds[a].keys[1] = keys[1];
        }
    }

    void gamepad(const toml::table& t) {
        for (auto&& [k, v] : t) {
            const int a = actionById(k.str());
            const auto* name = v.as_string();
            const int vk = name ? keyByName(name->get()) : 0;
            if (a < 0)
                unknown(k, "gamepad");
            else if (name && name->get().empty())
                s.binds[a].button = 0;
            else if (isPad(vk))
                s.binds[a].button = vk;
            else if (vk)
                bad(k, v, "is a key, not a gamepad button; keys go in [controls]");
            else
                bad(k, v, "is not a gamepad button's name, such as \"PadA\", or \"\" for none");
        }
    }
};

std::string brokenLine(const toml::parse_error& e) {
    return "cannot be read: " + std::string(e.description());
}

// A header line alone: the known table it opens, or "" for one that holds no
// settings (unknown, or more than a name).
std::string tableOpened(const toml::table& t) {
    if (t.size() != 1) return "";
    for (auto&& [k, v] : t) {
        const toml::table* inner = v.as_table();
        if (isTable(k.str()) && inner && inner->empty()) return std::string(k.str());
    }
    return "";
}

// After toml++ refused the text at line `broken`: each line again, alone.
// Multi-line values, which our files never have, cannot be read this way.
void readByLines(const std::string& text, int broken, reader& r) {
    enum { atTop, inTable, inNone } where = atTop;
    std::string table; // the table the lines are in
    std::size_t start = 0;
    for (int line = 1; start <= text.size(); ++line) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string_view content(text.data() + start, end - start);
        start = end + 1;
        if (!content.empty() && content.back() == '\r') content.remove_suffix(1);
        const std::size_t first = content.find_first_not_of(" \t");
        if (first == std::string_view::npos || content[first] == '#') continue;
        const bool header = content[first] == '[';
        if (line == broken) { // already named
            if (header) where = inNone;
            continue;
        }
        if (!header && where == inNone) continue;
        std::string doc;
        if (!header && where == inTable) doc = "[" + table + "]\n";
        r.offset = line - 1 - (doc.empty() ? 0 : 1);
        doc += content;
        toml::parse_result result = toml::parse(doc);
        if (!result) {
            r.add(line, brokenLine(result.error()));
            if (header) where = inNone;
            continue;
        }
        r.document(result.table());
        if (header) {
            table = tableOpened(result.table());
            where = table.empty() ? inNone : inTable;
        }
    }
}

} // namespace

settings parseSettings(const std::string& text, std::vector<settingsProblem>& problems) {
    settings s = defaultSettings();
    if (text.size() > maxSettingsSize) {
        problems.push_back({0, "the file is larger than 1 MB, so it cannot be settings; every "
                               "setting keeps its default"});
        return s;
    }
    if (const int line = firstLineNotText(text)) {
        problems.push_back({line, "this is not text (a byte that is not UTF-8, or NUL); every "
                                  "setting keeps its default"});
        return s;
    }
    reader r{s, {}};
    const std::string ascii = asciiOnly(text);
    toml::parse_result whole = toml::parse(ascii);
    if (whole) {
        r.document(whole.table());
    } else {
        const int broken = int(whole.error().source().begin.line);
        r.add(broken, brokenLine(whole.error()));
        readByLines(ascii, broken, r);
    }
    r.finish(problems);
    return s;
}
