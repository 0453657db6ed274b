// kvxtool: mission files as text, and checks of them, for mission makers.
//   dump FILE.kvx              the mission as JSON on standard output
//   build FILE.json -o FILE.kvx the mission file from JSON
//   check FILE...              what makes missions broken or unplayable
//   sim FILE.kvx ...           the mission played as spectator from many seeds
//   render FILE.kvx -o FILE.png the mission from above with its problems, as a picture
//   replay FILE.kvr ...        what a recording of a game holds
//   video FILE.kvr -o OUT.mp4  a recording filmed through ffmpeg
//   replays [DIR]              the recordings of a folder and how each game ended
// Every error is one line on standard error naming the file and the problem.
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/screenshot.h"
#include "mission/mission_file.h"
#include "mission/safe_write.h"
#include "check.h"
#include "files.h"
#include "mission_json.h"
#include "picture.h"
#include "replay.h"
#include "replays.h"
#include "sim.h"
#include "video.h"

namespace {

// Exit statuses: 0 done; 1 a mission with problems (check) or JSON that is
// not a mission (build); 2 a file that cannot be read or written, or a bad
// command line.
constexpr int exitProblems = 1, exitUnusable = 2;

// JSON sources are small; this keeps a stray huge file from filling memory.
constexpr std::size_t jsonLimit = 16 << 20;

const char* const usage = "usage: kvxtool COMMAND [ARGS]\n"
                          "Mission files (kvxmap.NNNN.kvx) as text, and checks of them.\n"
                          "\n"
                          "  dump FILE.kvx                the mission as JSON on standard output\n"
                          "  build FILE.json -o FILE.kvx  write the mission file from JSON\n"
                          "  check FILE...                report what makes missions broken\n"
                          "  sim FILE.kvx [--seeds N] [--minutes M] [--dt S]\n"
                          "                               play as spectator from N seeds\n"
                          "  render FILE.kvx -o FILE.png [--size WxH]\n"
                          "                               the mission from above, as a picture\n"
                          "  replay FILE.kvr [--at N]     what a recording of a game holds\n"
                          "  video FILE.kvr -o OUT.mp4|OUT.webm|OUT.gif [--size WxH]\n"
                          "        [--from T] [--to T] [--speed X]\n"
                          "                               the recording filmed with ffmpeg\n"
                          "  replays [DIR]                the recordings of a folder, newest first,\n"
                          "                               with their missions, lengths and results\n"
                          "\n"
                          "kvxtool COMMAND --help tells more of each command.\n";

const char* const dumpHelp =
    "usage: kvxtool dump FILE.kvx\n"
    "Writes the mission as JSON to standard output: the player's ship and side,\n"
    "the follow-up missions, the message and all 50 ships with every field.\n"
    "The file is read with the game's own loader, so the JSON is the mission as\n"
    "the game would play it; kvxtool build turns it back into the same bytes.\n"
    "What the game says while loading goes to standard error.\n"
    "Exit status: 0 done; 1 done, but the game complained while loading;\n"
    "2 the file cannot be read or is not a mission file.\n";

const char* const buildHelp =
    "usage: kvxtool build FILE.json -o FILE.kvx\n"
    "Writes the mission file from JSON: the form kvxtool dump writes, or a short\n"
    "one where ships are given by design (see tools/kvxtool/README.md).\n"
    "Exit status: 0 written; 1 the JSON is not a mission (one line says where\n"
    "and why); 2 a file cannot be read or written.\n";

const char* const checkHelp =
    "usage: kvxtool check FILE...\n"
    "Reports, one line each, what makes a mission broken, unplayable or badly\n"
    "shown: what the game says while loading it or changes quietly, no live ship\n"
    "marked destroy (won at once) or defend (lost at once), a player's ship that\n"
    "is not alive or not of the player's side, references to slots without a\n"
    "live ship, points outside the world, follow-up files not beside it, and\n"
    "message characters the font cannot draw or lines too wide for the screen;\n"
    "and what plays, but not as meant: a player's ship with neither a home base\n"
    "nor respawns, ships that follow each other's lead in a ring, a home base\n"
    "without base orders. The game's editor lists the same.\n"
    "A file without problems gets the line \"FILE: ok\".\n"
    "Exit status: 0 all clean; 1 something reported; 2 a file cannot be read.\n";

const char* const simHelp =
    "usage: kvxtool sim FILE.kvx [--seeds N] [--minutes M] [--dt S] [--trace]\n"
    "Plays the mission as spectator, once from each seed 1..N (default 10), for\n"
    "at most M minutes of game time each (default 10), at S seconds a frame\n"
    "(above 0, at most 0.05; default 1/60, the game's 60 frames a second): the\n"
    "computer minds fly every ship, the player's too. Ships turn faster at longer\n"
    "frames, so results differ with S. Prints per seed won, lost or undecided\n"
    "with the game time, then a summary line. --trace adds a line every 10 s of\n"
    "game time: the live ships of each side, and how many of them are marked\n"
    "destroy and defend.\n"
    "Exit status: 0 played; 2 the file cannot be read, is not a mission or has\n"
    "no ship to start with, or a bad option.\n";

const char* const renderHelp =
    "usage: kvxtool render FILE.kvx -o FILE.png [--size WxH]\n"
    "Draws the mission from above as the editor shows it: the world square, every\n"
    "live ship in its side's colour with its links, route and objective marks,\n"
    "in a view where all of them fit. Beside the map (below it in a picture\n"
    "taller than wide) stand the mission's name, its message and what kvxtool\n"
    "check finds in the mission the game holds. The picture is W x H pixels, 64\n"
    "to 8192 each (default 1280x720), written as a PNG file. What the game says\n"
    "while loading goes to standard error.\n"
    "Exit status: 0 written; 1 written, but the game complained while loading;\n"
    "2 the file cannot be read or is not a mission file, the picture cannot be\n"
    "written, or a bad option.\n";

int usageError(const std::string& command, const std::string& problem) {
    std::fprintf(stderr, "kvxtool%s: %s\n", command.empty() ? "" : (" " + command).c_str(),
                 problem.c_str());
    return exitUnusable;
}

bool wantsHelp(const std::vector<std::string>& args) {
    return std::find(args.begin(), args.end(), "--help") != args.end() ||
           std::find(args.begin(), args.end(), "-h") != args.end();
}

// An argument of a command that takes one mission file and options: the file
// into `path` (0), or the line saying why `a` is not it (exitUnusable).
int takeFile(const std::string& command, const std::string& a, std::string& path) {
    if (a.starts_with("-"))
        return usageError(command,
                          "unknown option '" + a + "' (see kvxtool " + command + " --help)");
    if (!path.empty())
        return usageError(command, "expected one mission file, got '" + path + "' and '" + a + "'");
    path = a;
    return 0;
}

// Loads a mission file with the game's loader. Returns false, with the reason,
// when the file cannot be read or the game refuses it; the game's complaints
// about a mission it still loads go into `said`.
bool loadFile(const std::string& path, Mission& m, std::vector<std::string>& said,
              std::string& error) {
    std::vector<unsigned char> bytes;
    try {
        bytes = readFileBytes(path, missionFileSize);
    } catch (const FileError& e) {
        error = e.what();
        return false;
    }
    said = loadMissionBytes(bytes, m.refs());
    if (said.size() == 1 && said[0].starts_with("Failed to load file!")) {
        error = "not a mission file: the game says " + oneLineText(said[0]);
        return false;
    }
    return true;
}

int dump(const std::vector<std::string>& args) {
    if (wantsHelp(args)) return std::fputs(dumpHelp, stdout), 0;
    if (args.size() != 1 || args[0].starts_with("-"))
        return usageError("dump", "expected one mission file (see kvxtool dump --help)");
    auto m = std::make_unique<Mission>();
    std::vector<std::string> said;
    std::string error;
    if (!loadFile(args[0], *m, said, error)) return usageError("dump", args[0] + ": " + error);
    std::fputs(jsonText(missionToJson(*m)).c_str(), stdout);
    for (const std::string& s : said)
        std::fprintf(stderr, "kvxtool dump: %s: the game says: %s\n", args[0].c_str(),
                     oneLineText(s).c_str());
    return said.empty() ? 0 : exitProblems;
}

// nlohmann's messages start with "[json.exception.parse_error.101] ".
std::string jsonMessage(const std::exception& e) {
    std::string s = e.what();
    if (s.starts_with("[json.exception.")) {
        const std::size_t end = s.find("] ");
        if (end != std::string::npos) s.erase(0, end + 2);
    }
    return s;
}

int build(const std::vector<std::string>& args) {
    if (wantsHelp(args)) return std::fputs(buildHelp, stdout), 0;
    std::string in, out;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o") {
            if (i + 1 >= args.size()) return usageError("build", "-o needs a file name");
            if (!out.empty()) return usageError("build", "-o given twice");
            out = args[++i];
        } else if (args[i].starts_with("-") && args[i] != "-") {
            return usageError("build",
                              "unknown option '" + args[i] + "' (see kvxtool build --help)");
        } else if (in.empty()) {
            in = args[i];
        } else {
            return usageError("build",
                              "expected one JSON file, got '" + in + "' and '" + args[i] + "'");
        }
    }
    if (in.empty() || out.empty())
        return usageError("build", "expected FILE.json -o FILE.kvx (see kvxtool build --help)");

    std::vector<unsigned char> bytes;
    std::size_t size = 0;
    try {
        bytes = readFileBytes(in, jsonLimit, &size);
    } catch (const FileError& e) {
        return usageError("build", in + ": " + e.what());
    }
    if (size > jsonLimit) return usageError("build", in + ": larger than 16 MiB: not a mission");

    auto m = std::make_unique<Mission>();
    try {
        const Json j = parseMissionJson(bytes);
        missionFromJson(j, *m);
    } catch (const JsonError& e) {
        std::fprintf(stderr, "kvxtool build: %s: %s\n", in.c_str(), e.what());
        return exitProblems;
    } catch (const nlohmann::json::exception& e) {
        std::fprintf(stderr, "kvxtool build: %s: %s\n", in.c_str(), jsonMessage(e).c_str());
        return exitProblems;
    }
    const std::vector<std::string> said = saveMission(out.c_str(), m->refs());
    if (!said.empty())
        return usageError("build", out + ": cannot write: the game says " + oneLineText(said[0]));
    return 0;
}

int check(const std::vector<std::string>& args) {
    if (wantsHelp(args)) return std::fputs(checkHelp, stdout), 0;
    if (args.empty())
        return usageError("check", "expected mission files (see kvxtool check --help)");
    int status = 0;
    for (const std::string& path : args) {
        if (path.starts_with("-"))
            return usageError("check", "unknown option '" + path + "' (see kvxtool check --help)");
    }
    for (const std::string& path : args) {
        try {
            const std::vector<std::string> problems = checkMission(path);
            for (const std::string& p : problems) std::printf("%s: %s\n", path.c_str(), p.c_str());
            if (problems.empty())
                std::printf("%s: ok\n", path.c_str());
            else
                status = std::max(status, exitProblems);
        } catch (const FileError& e) {
            std::printf("%s: %s\n", path.c_str(), e.what());
            status = exitUnusable;
        }
    }
    return status;
}

// The title of a mission's picture: NNNN of kvxmap.NNNN.kvx, else the file's name.
std::string missionName(const std::string& path) {
    const std::string file = std::filesystem::path(path).filename().string();
    return isMissionFileName(file) ? file.substr(7, 4) : file;
}

int render(const std::vector<std::string>& args) {
    if (wantsHelp(args)) return std::fputs(renderHelp, stdout), 0;
    std::string in, out;
    int width = 1280, height = 720;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-o" || a == "--size") {
            if (i + 1 >= args.size())
                return usageError("render", a + (a == "-o" ? " needs a file name" : " needs WxH"));
            const std::string& v = args[++i];
            if (a == "-o") {
                if (!out.empty()) return usageError("render", "-o given twice");
                out = v;
            } else if (!sizeText(v, 64, 8192, width, height)) {
                return usageError("render", "--size: '" + v +
                                                "' is not WxH with W and H whole numbers from "
                                                "64 to 8192");
            }
        } else if (const int status = takeFile("render", a, in)) {
            return status;
        }
    }
    if (in.empty() || out.empty())
        return usageError("render", "expected FILE.kvx -o FILE.png (see kvxtool render --help)");
    std::error_code ec;
    if (std::filesystem::equivalent(in, out, ec))
        return usageError("render", out + ": is the mission itself; name another file for the "
                                          "picture");

    auto m = std::make_unique<Mission>();
    std::vector<std::string> said;
    std::string error;
    if (!loadFile(in, *m, said, error)) return usageError("render", in + ": " + error);
    for (const std::string& s : said)
        std::fprintf(stderr, "kvxtool render: %s: the game says: %s\n", in.c_str(),
                     oneLineText(s).c_str());
    const std::vector<std::uint32_t> pixels = missionPicture(
        *m, missionName(in), checkMissionState(m->refs(), filesBeside(in)), width, height);
    if (pixels.empty())
        return usageError("render", "no room for a picture of " + std::to_string(width) + "x" +
                                        std::to_string(height));
    if (!writeFileSafely(out.c_str(), pngOf(pixels.data(), width, height)))
        return usageError("render", out + ": cannot write the picture");
    return said.empty() ? 0 : exitProblems;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// "  20 s: red 3 (1 destroy), green 5 (1 defend), blue 0"
void traceLine(double seconds, const ship* a) {
    static const char* const names[] = {"red", "green", "blue"};
    int live[3] = {}, destroy[3] = {}, defend[3] = {};
    for (int i = 0; i < shipCount; ++i) {
        const ship& s = a[i];
        if (!s.alive || s.side < 0 || s.side > 2) continue;
        ++live[s.side];
        destroy[s.side] += s.objective == objDestroy;
        defend[s.side] += s.objective == objDefend;
    }
    std::printf("  %4.0f s:", seconds);
    for (int k = 0; k < 3; ++k)
        std::printf("%s %s %d (%d destroy, %d defend)", k ? "," : "", names[k], live[k], destroy[k],
                    defend[k]);
    std::printf("\n");
}

int sim(const std::vector<std::string>& args) {
    if (wantsHelp(args)) return std::fputs(simHelp, stdout), 0;
    std::string path;
    long seeds = 10;
    double minutes = 10, dt = simFrameTime;
    bool trace = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--seeds" || a == "--minutes" || a == "--dt") {
            if (i + 1 >= args.size()) return usageError("sim", a + " needs a number");
            const std::string& v = args[++i];
            if (a == "--seeds" && !wholeNumber(v, 1, 100000, seeds))
                return usageError("sim",
                                  "--seeds: '" + v + "' is not a whole number from 1 to 100000");
            if (a == "--minutes" && !decimalNumber(v, 0, 1440, minutes))
                return usageError("sim", "--minutes: '" + v +
                                             "' is not a number above 0 and at most 1440");
            // A time too small for a float would step nothing at all.
            if (a == "--dt" && (!decimalNumber(v, 0, 0.05, dt) || float(dt) <= 0))
                return usageError("sim", "--dt: '" + v +
                                             "' is not a frame time above 0 s and at most 0.05 s");
        } else if (a == "--trace") {
            trace = true;
        } else if (const int status = takeFile("sim", a, path)) {
            return status;
        }
    }
    if (path.empty()) return usageError("sim", "expected a mission file (see kvxtool sim --help)");

    auto m = std::make_unique<Mission>();
    std::vector<std::string> said;
    std::string error;
    if (!loadFile(path, *m, said, error)) return usageError("sim", path + ": " + error);
    for (const std::string& s : said)
        std::fprintf(stderr, "kvxtool sim: %s: the game says: %s\n", path.c_str(),
                     oneLineText(s).c_str());
    if (!simCanStart(*m))
        return usageError("sim", path + ": no live ship of the player's side: the start screen "
                                        "cannot start the mission");

    std::vector<double> won, lost;
    long undecided = 0;
    double first = -1;
    for (long seed = 1; seed <= seeds; ++seed) {
        const SimResult r = simulate(*m, unsigned(seed), minutes * 60,
                                     trace ? SimTrace(traceLine) : SimTrace(), float(dt));
        const char* what = r.outcome == SimOutcome::won    ? "won"
                           : r.outcome == SimOutcome::lost ? "lost"
                                                           : "undecided";
        std::printf("seed %ld: %s %.2f s\n", seed, what, r.seconds);
        std::fflush(stdout);
        if (r.outcome == SimOutcome::won)
            won.push_back(r.seconds);
        else if (r.outcome == SimOutcome::lost)
            lost.push_back(r.seconds);
        else
            ++undecided;
        if (r.outcome != SimOutcome::undecided && (first < 0 || r.seconds < first))
            first = r.seconds;
    }
    std::printf("summary: %zu won, %zu lost, %ld undecided", won.size(), lost.size(), undecided);
    if (!won.empty()) std::printf("; median won %.2f s", median(won));
    if (!lost.empty()) std::printf("; median lost %.2f s", median(lost));
    if (first >= 0) std::printf("; first decided %.2f s", first);
    std::printf("\n");
    return 0;
}

int run(int argc, char** argv) {
    if (argc < 2) return std::fputs(usage, stderr), exitUnusable;
    const std::string command = argv[1];
    const std::vector<std::string> args(argv + 2, argv + argc);
    if (command == "--help" || command == "-h" || command == "help")
        return std::fputs(usage, stdout), 0;
    if (command == "dump") return dump(args);
    if (command == "build") return build(args);
    if (command == "check") return check(args);
    if (command == "sim") return sim(args);
    if (command == "render") return render(args);
    if (command == "replay") return replayCommand(args);
    if (command == "video") return videoCommand(args);
    if (command == "replays") return replaysCommand(args);
    if (command == "replay-result") return replayResultCommand(args); // replays' own, unlisted
    return usageError("", "unknown command '" + command + "' (see kvxtool --help)");
}

} // namespace

int main(int argc, char** argv) {
    try {
        return run(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kvxtool: %s\n", e.what());
        return exitUnusable;
    }
}
