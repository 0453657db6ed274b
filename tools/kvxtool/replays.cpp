// kvxtool replays [DIR]: one line per recording of the folder (the player's
// replays/ by default), newest first: its date, the missions it played, its
// length in game time and how it ended.
//
// The date, the missions and the length are read from the file. How it ended
// needs the game played: each recording is played back unseen, with the
// game's own code, in a process of its own (the game's state is statics that
// last as long as the process), two at a time, and the driver's mode is looked
// at after every frame. What it found is kept in DIR/.index by the file's
// name, size and time, so a second listing plays nothing. The recordings
// themselves are only ever read.
#include "replays.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <map>
#include <system_error>

#include "app/app.h"
#include "app/session.h"
#include "replay.h"
#include "files.h"
#include "mission/mission_file.h"
#include "mission/safe_write.h"
#include "ports/headless/headless.h"
#include "replay/digest.h"
#include "replay/recording.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

const char* const help =
    "usage: kvxtool replays [DIR]\n"
    "Lists the recordings (*.kvr) in DIR (default replays, as in the player's\n"
    "folder), newest first, one a line: the date (from a name YYYY-MM-DD-HHMMSS.kvr,\n"
    "else the file's time), the missions it played (AAAA for kvxmap.AAAA.kvx, in\n"
    "the order the game read them), its length in game time, and how it ended:\n"
    "won or lost (the last mission decided), or undecided; \"ends early\" for a\n"
    "recording cut off. A file that is not a recording gets its line saying why.\n"
    "To tell how a game ended it is played back without a display, two at a\n"
    "time; the results are kept in DIR/.index, so the next listing is at once.\n"
    "The recordings are never written.\n"
    "Exit status: 0 listed; 1 listed, but a file is not a recording or could not\n"
    "be played; 2 DIR is not a folder, or a bad command line.\n";

const char* const whoPlays = "kvxtool replays"; // how the playing child's messages start
const char* const resultMark = "kvxtool-replays-result ";
const char* const indexName = ".index";
const char* const indexHeader = "# kvxtool replays: results by name, size and time";
constexpr std::size_t playingAtOnce = 2; // the machines it runs on have two cores
constexpr std::size_t childOutputKept = 1 << 16;

int refuse(const std::string& problem) {
    std::fprintf(stderr, "kvxtool replays: %s\n", problem.c_str());
    return 2;
}

struct Entry {
    std::string name, path;
    std::string date; // "YYYY-MM-DD HH:MM:SS", "" when unknown
    bool dateFromName = false;
    long long size = -1, mtime = -1; // bytes; ns since the epoch (-1: not known)
    std::string problem;             // the reader's message: the line says only this
    std::string missions, length;
    bool endsEarly = false;
    std::string result; // "" until known
    bool keep = false;  // the result may be kept in the index
};

bool digits(const std::string& s, std::size_t from, std::size_t n) {
    for (std::size_t i = from; i < from + n; ++i)
        if (i >= s.size() || s[i] < '0' || s[i] > '9') return false;
    return true;
}

// "2026-12-09 14:03:22" of a name "2026-12-09-140322.kvr", else "".
std::string dateOfName(const std::string& name) {
    if (name.size() != 21 || !name.ends_with(".kvr") || name[4] != '-' || name[7] != '-' ||
        name[10] != '-' || !digits(name, 0, 4) || !digits(name, 5, 2) || !digits(name, 8, 2) ||
        !digits(name, 11, 6))
        return "";
    const int month = std::stoi(name.substr(5, 2)), day = std::stoi(name.substr(8, 2));
    const int hour = std::stoi(name.substr(11, 2)), minute = std::stoi(name.substr(13, 2)),
              second = std::stoi(name.substr(15, 2));
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 60)
        return "";
    std::string d = name.substr(0, 10);
    d += ' ';
    d += name.substr(11, 2) + ":" + name.substr(13, 2) + ":" + name.substr(15, 2);
    return d;
}

std::string localDate(std::time_t t) {
    std::tm tm{};
    char text[32];
    if (!localtime_r(&t, &tm) || !std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &tm))
        return "";
    return text;
}

// The missions a recording played: the names of the mission files it read,
// a file read again straight after itself (a mission played again) once.
std::string missionsOf(const recording& r) {
    std::vector<std::string> names;
    for (const missionRead& m : r.reads) {
        if (!m.found) continue;
        std::string file = fs::path(m.name).filename().string();
        if (isMissionFileName(file)) file = file.substr(7, 4);
        if (names.empty() || names.back() != file) names.push_back(file);
    }
    constexpr std::size_t shown = 6;
    std::string s;
    for (std::size_t i = 0; i < names.size() && i < shown; ++i) {
        if (i) s += ", ";
        s += names[i];
    }
    if (names.size() > shown) {
        s += ", +"; // appended, not "literal" + string: GCC 12 warns of that falsely
        s += std::to_string(names.size() - shown) + " more";
    }
    return s.empty() ? "no mission" : s;
}

// m:ss of the frames' game time.
std::string lengthOf(const recording& r) {
    double total = 0;
    for (const recordedFrame& f : r.frames) total += double(f.t);
    const long long s = std::llround(total);
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld", s / 60, s % 60);
    return text;
}

// What the file says of itself: its date, size and time, and, read as a
// recording, its missions and length, or why it is none. False when it needs
// playing to tell how it ended.
bool look(Entry& e) {
    e.date = dateOfName(e.name);
    e.dateFromName = !e.date.empty();
    struct stat st {};
    const bool stated = ::stat(e.path.c_str(), &st) == 0;
    if (stated) {
        e.size = st.st_size;
        e.mtime = (long long)st.st_mtim.tv_sec * 1000000000 + st.st_mtim.tv_nsec;
        if (e.date.empty()) e.date = localDate(st.st_mtim.tv_sec);
    }
    // Only a plain file is opened: a pipe would wait for ever.
    if (!stated) {
        e.problem = std::string("cannot be read: ") + std::strerror(errno);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        e.problem = S_ISDIR(st.st_mode) ? "it is a folder" : "it is not a plain file";
        return false;
    }
    recording r;
    if (!readRecording(e.path, r, e.problem)) return false;
    e.problem.clear();
    e.missions = missionsOf(r);
    e.length = lengthOf(r);
    e.endsEarly = r.endsEarly;
    if (r.random != randomHere) {
        // The session would refuse it: said here without a process for it.
        e.result = std::string("not played: recorded by the ") +
                   (r.random == randomWindows ? "Windows" : "Linux") +
                   " build, which alone plays it back";
        return false;
    }
    return true;
}

// ---- the index ---------------------------------------------------------

struct Index {
    std::string path;
    bool usable = true; // false: a file of that name that is not ours; left alone
    std::map<std::string, std::string> results; // "name\tsize\tmtime" -> result
    std::string written;                        // the text last read or written
};

std::string keyOf(const Entry& e) {
    return e.name + "\t" + std::to_string(e.size) + "\t" + std::to_string(e.mtime);
}

bool indexable(const Entry& e) {
    return e.size >= 0 && e.name.find_first_of("\t\n\r") == std::string::npos;
}

void readIndex(Index& x) {
    std::error_code ec;
    if (!fs::exists(x.path, ec)) return;
    std::string text;
    try {
        const std::vector<unsigned char> bytes = readFileBytes(x.path, 4 << 20);
        text.assign(bytes.begin(), bytes.end());
    } catch (const FileError&) {
        x.usable = false;
        return;
    }
    if (!text.starts_with(std::string(indexHeader) + "\n")) {
        x.usable = false;
        std::fprintf(stderr, "kvxtool replays: %s is not kvxtool's: the results are not kept\n",
                     x.path.c_str());
        return;
    }
    x.written = text;
    std::size_t from = text.find('\n') + 1;
    while (from < text.size()) {
        std::size_t end = text.find('\n', from);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(from, end - from);
        from = end + 1;
        // name, size, time, result: the key is everything before the third tab.
        std::size_t tab = 0;
        for (int k = 0; k < 3 && tab != std::string::npos; ++k)
            tab = line.find('\t', k ? tab + 1 : 0);
        if (tab == std::string::npos || tab + 1 >= line.size()) continue;
        x.results[line.substr(0, tab)] = line.substr(tab + 1);
    }
}

// The results of the recordings there now, written when they changed.
void writeIndex(Index& x, const std::vector<Entry>& entries) {
    if (!x.usable) return;
    std::string text = indexHeader;
    text += '\n';
    for (const Entry& e : entries)
        if (e.keep && indexable(e)) text += keyOf(e) + "\t" + e.result + "\n";
    // Nothing to keep and no index yet: the folder stays as it was.
    if (text == x.written || (x.written.empty() && text.size() == std::strlen(indexHeader) + 1))
        return;
    if (!writeFileSafely(x.path.c_str(), {text.begin(), text.end()})) {
        std::fprintf(stderr, "kvxtool replays: cannot write %s: the results are not kept\n",
                     x.path.c_str());
        x.usable = false;
        return;
    }
    x.written = text;
}

// ---- playing -----------------------------------------------------------

struct Child {
    std::size_t entry = 0;
    pid_t pid = -1;
    int fd = -1;
    std::string out; // its standard output and error, the last childOutputKept bytes
};

std::string selfPath() {
    char buf[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    return n > 0 ? std::string(buf, std::size_t(n)) : "";
}

bool spawnChild(const std::string& self, const std::string& recording, Child& c) {
    int fds[2] = {-1, -1};
    if (pipe2(fds, O_CLOEXEC) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 2);
    std::vector<char*> argv = {const_cast<char*>(self.c_str()), const_cast<char*>("replay-result"),
                               const_cast<char*>(recording.c_str()), nullptr};
    const int error = posix_spawn(&c.pid, self.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (error != 0) {
        close(fds[0]);
        return false;
    }
    c.fd = fds[0];
    return true;
}

// The result a child's output and status tell; keep: whether it is the
// recording's own (not a process killed from outside).
std::string resultOf(const Child& c, const std::string& path, int status, bool& keep) {
    std::string said, result;
    std::size_t from = 0;
    const std::string who = std::string(whoPlays) + ": ";
    while (from < c.out.size()) {
        std::size_t end = c.out.find('\n', from);
        if (end == std::string::npos) end = c.out.size();
        std::string line = c.out.substr(from, end - from);
        from = end + 1;
        if (line.starts_with(resultMark)) {
            result = line.substr(std::strlen(resultMark));
        } else if (line.starts_with(who)) {
            line.erase(0, who.size());
            if (line.starts_with(path + ": ")) line.erase(0, path.size() + 2);
            // Where a playback departs is enough here; the parts and their
            // digests are kvxtool replay's and korvane-headless's to tell.
            const std::string departs = " departs from the recording";
            if (const std::size_t d = line.find(departs); d != std::string::npos)
                line.erase(d + departs.size());
            if (line.find(" ends early at frame ") == std::string::npos) said = line;
        }
    }
    keep = WIFEXITED(status);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0 && !result.empty()) return result;
    std::string why = "not played: ";
    if (!said.empty())
        why += said;
    else if (WIFSIGNALED(status))
        why += std::string("the playback was ended by ") + strsignal(WTERMSIG(status));
    else
        why += "the playback ended without a result";
    return why;
}

std::string pad(const std::string& s, std::size_t width, bool right = false) {
    const std::string fill(width > s.size() ? width - s.size() : 0, ' ');
    return right ? fill + s : s + fill;
}

} // namespace

int replayResultCommand(const std::vector<std::string>& args) {
    if (args.size() != 1) return refuse("replay-result takes one recording");
    const std::string& path = args[0];
    recording r;
    std::string error;
    if (!readRecording(path, r, error)) {
        std::fprintf(stderr, "%s: %s: %s\n", whoPlays, path.c_str(), error.c_str());
        return 2;
    }
    // The result of the last mission decided: the driver shows it on its
    // result screens until Enter is pressed.
    int last = 0;
    HeadlessConfig config;
    config.width = r.width, config.height = r.height;
    config.frames = std::max(1, int(std::min<std::size_t>(r.frames.size(), 0x7fffffff)));
    config.onFrame = [&](const std::uint32_t*, int, int) {
        if (const auto* mode = static_cast<const int*>(watched(partMode)))
            if (*mode == modeWon || *mode == modeLost) last = *mode;
    };
    const int played = playUnseen(path, whoPlays, config); // 3: a cut recording played to its cut
    if ((played != 0 && played != 3) || sessionFailed()) return 1;
    std::printf("%s%s\n", resultMark,
                last == modeWon    ? "won"
                : last == modeLost ? "lost"
                                   : "undecided");
    return 0;
}

int replaysCommand(const std::vector<std::string>& args) {
    if (std::find(args.begin(), args.end(), "--help") != args.end())
        return std::fputs(help, stdout), 0;
    std::string dir = "replays";
    if (args.size() > 1 || (args.size() == 1 && args[0].starts_with("-")))
        return refuse("expected at most one folder (see kvxtool replays --help)");
    if (args.size() == 1) dir = args[0];

    std::error_code ec;
    const fs::file_status st = fs::status(dir, ec);
    if (!fs::exists(st)) return refuse(dir + ": no such folder");
    if (!fs::is_directory(st)) return refuse(dir + ": not a folder");
    std::vector<Entry> entries;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() <= 4 || !name.ends_with(".kvr")) continue;
        Entry& e = entries.emplace_back();
        e.name = name;
        e.path = it->path().string();
    }
    if (ec) return refuse(dir + ": cannot be read: " + ec.message());
    if (entries.empty()) {
        std::printf("no recordings in %s\n", dir.c_str());
        return 0;
    }

    Index index;
    index.path = (fs::path(dir) / indexName).string();
    readIndex(index);
    std::vector<std::size_t> toPlay;
    std::vector<bool> needsPlay(entries.size(), false);
    for (std::size_t i = 0; i < entries.size(); ++i) needsPlay[i] = look(entries[i]);
    // Newest first; the same second by name.
    std::vector<std::size_t> order(entries.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const Entry &x = entries[a], &y = entries[b];
        return x.date != y.date ? x.date > y.date : x.name > y.name;
    });
    std::size_t missionsWidth = 0, lengthWidth = 0;
    for (std::size_t i : order) {
        Entry& e = entries[i];
        missionsWidth = std::max(missionsWidth, e.missions.size());
        lengthWidth = std::max(lengthWidth, e.length.size());
        if (!needsPlay[i]) continue;
        const auto kept = index.results.find(keyOf(e));
        if (indexable(e) && kept != index.results.end()) {
            e.result = kept->second;
            e.keep = true;
        } else {
            toPlay.push_back(i);
        }
    }

    int status = 0;
    std::size_t printed = 0;
    auto printReady = [&] {
        for (; printed < order.size(); ++printed) {
            const Entry& e = entries[order[printed]];
            if (e.problem.empty() && e.result.empty()) break;
            std::string line = pad(e.date.empty() ? "(no date)" : e.date, 19) + "  ";
            if (!e.problem.empty()) {
                line += e.name + ": " + e.problem;
                status = 1;
            } else {
                line += pad(e.missions, missionsWidth) + "  " + pad(e.length, lengthWidth, true);
                line.append("  ").append(e.result);
                if (e.endsEarly) line += ", ends early";
                if (!e.dateFromName) line.append("  (").append(e.name).append(")");
                if (e.result.starts_with("not played")) status = 1;
            }
            std::printf("%s\n", line.c_str());
        }
        std::fflush(stdout);
    };
    printReady();

    const std::string self = selfPath();
    if (!toPlay.empty() && isatty(2))
        std::fprintf(stderr, "kvxtool replays: playing %zu recording%s to tell how %s ended...\n",
                     toPlay.size(), toPlay.size() == 1 ? "" : "s",
                     toPlay.size() == 1 ? "it" : "they");
    std::vector<Child> running;
    std::size_t next = 0;
    while (next < toPlay.size() || !running.empty()) {
        while (running.size() < playingAtOnce && next < toPlay.size()) {
            Entry& e = entries[toPlay[next]];
            Child c;
            c.entry = toPlay[next++];
            if (!self.empty() && spawnChild(self, e.path, c))
                running.push_back(std::move(c));
            else
                e.result = "not played: kvxtool cannot run itself to play it";
        }
        std::vector<pollfd> fds;
        for (const Child& c : running) fds.push_back({c.fd, POLLIN, 0});
        if (!fds.empty() && ::poll(fds.data(), fds.size(), -1) < 0 && errno != EINTR) {
            // Nothing more can be heard of them: those left are not played.
            for (Child& c : running) {
                ::kill(c.pid, SIGKILL);
                close(c.fd);
                while (::waitpid(c.pid, nullptr, 0) < 0 && errno == EINTR) {
                }
                entries[c.entry].result = "not played: the listing cannot wait for it";
            }
            for (; next < toPlay.size(); ++next)
                entries[toPlay[next]].result = "not played: the listing cannot wait for it";
            break;
        }
        for (std::size_t k = running.size(); k-- > 0;) {
            if (!(fds[k].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            Child& c = running[k];
            char chunk[4096];
            const ssize_t n = ::read(c.fd, chunk, sizeof chunk);
            if (n > 0) {
                c.out.append(chunk, std::size_t(n));
                if (c.out.size() > childOutputKept) c.out.erase(0, c.out.size() - childOutputKept);
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            close(c.fd);
            int childStatus = 0;
            while (::waitpid(c.pid, &childStatus, 0) < 0 && errno == EINTR) {
            }
            Entry& e = entries[c.entry];
            e.result = resultOf(c, e.path, childStatus, e.keep);
            running.erase(running.begin() + std::ptrdiff_t(k));
            writeIndex(index, entries);
        }
        printReady();
    }
    printReady();
    writeIndex(index, entries); // also drops the results of recordings gone
    return status;
}
