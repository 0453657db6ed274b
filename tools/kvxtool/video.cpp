// kvxtool video FILE.kvr -o OUT.mp4|OUT.webm|OUT.gif: the recording played
// without a display, its frames piped to the ffmpeg program as they are drawn
// and its sound written beside them, then the two put together.
//
// One playback makes both: the frames go to ffmpeg as they come (a long game
// at 1280x720 is far too big to hold), encoded to a video-only file in a
// scratch folder, while the backend writes the sound to a WAV there; a second,
// quick ffmpeg run copies the video and encodes the sound into the output.
// A second playback for the sound alone would cost as much as the first, as
// the game draws every frame either way.
#include "video.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "app/app.h"
#include "app/session.h"
#include "files.h"
#include "replay.h"
#include "platform/system.h"
#include "ports/headless/headless.h"
#include "replay/recording.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

const char* const help =
    "usage: kvxtool video FILE.kvr -o OUT.mp4|OUT.webm|OUT.gif [--size WxH]\n"
    "                     [--from T] [--to T] [--speed X]\n"
    "Plays the recording without a display and films it with the ffmpeg program\n"
    "(Debian package ffmpeg): MP4 is H.264 with AAC sound, WebM is VP9 with Opus\n"
    "sound, GIF has no sound. The video runs at 60 frames a second of game time,\n"
    "each showing the game's frame of that moment, so the picture keeps step with\n"
    "the sound (a GIF, whose frame times are in hundredths of a second, at 50).\n"
    "--from and --to T: the part of the game filmed, in seconds of game time\n"
    "(default all of it); --speed X: game time runs X times as fast in the video\n"
    "(0.125 to 64; default 1); --size WxH: the video's size, 16 to 8192 each way,\n"
    "the picture scaled without smoothing (default the recording's; MP4 and WebM\n"
    "get an odd side padded by one pixel). A bar on standard error shows the\n"
    "progress when it is a terminal; a line at the end says what was written.\n"
    "Exit status: 0 written; 1 ffmpeg failed (its last line is shown) or the\n"
    "playback departed from the recording; 2 no ffmpeg, the recording cannot be\n"
    "read, or a bad option; 3 written, from a recording that ends early.\n";

int refuse(const std::string& problem) {
    std::fprintf(stderr, "kvxtool video: %s\n", problem.c_str());
    return 2;
}

int failed(const std::string& problem) {
    std::fprintf(stderr, "kvxtool video: %s\n", problem.c_str());
    return 1;
}

enum class Kind { mp4, webm, gif };

bool kindOf(const std::string& path, Kind& kind) {
    std::string ext = fs::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    if (ext == ".mp4")
        kind = Kind::mp4;
    else if (ext == ".webm")
        kind = Kind::webm;
    else if (ext == ".gif")
        kind = Kind::gif;
    else
        return false;
    return true;
}

// Whether a program of that name is on the PATH.
bool onPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "";
    std::size_t from = 0;
    while (from <= dirs.size()) {
        std::size_t end = dirs.find(':', from);
        if (end == std::string::npos) end = dirs.size();
        const std::string dir = end > from ? dirs.substr(from, end - from) : ".";
        if (access((dir + "/" + name).c_str(), X_OK) == 0) return true;
        from = end + 1;
    }
    return false;
}

// ffmpeg running, its standard input a pipe when asked, its messages into a file.
struct Ffmpeg {
    pid_t pid = -1;
    std::FILE* in = nullptr;
};

bool spawnFfmpeg(const std::vector<std::string>& args, bool pipeIn, const std::string& log,
                 Ffmpeg& f) {
    int fds[2] = {-1, -1};
    if (pipeIn && pipe2(fds, O_CLOEXEC) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (pipeIn)
        posix_spawn_file_actions_adddup2(&actions, fds[0], 0);
    else
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>("ffmpeg"));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const int error = posix_spawnp(&f.pid, "ffmpeg", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (pipeIn) close(fds[0]);
    if (error != 0) {
        if (pipeIn) close(fds[1]);
        f.pid = -1;
        return false;
    }
    if (pipeIn) f.in = fdopen(fds[1], "wb");
    return true;
}

// Closes its input and waits for it: whether it exited with status 0.
bool finish(Ffmpeg& f) {
    if (f.in) std::fclose(f.in);
    f.in = nullptr;
    int status = 0;
    while (waitpid(f.pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The last line ffmpeg wrote, or a word that it wrote none.
std::string lastLine(const std::string& log) {
    std::ifstream in(log);
    std::string line, last;
    while (std::getline(in, line))
        if (!line.empty()) last = line;
    return last.empty() ? "no message" : oneLineText(last);
}

// A folder of our own for the sound and the video made on the way.
struct Scratch {
    fs::path dir;
    Scratch() {
        std::string t = (fs::temp_directory_path() / "kvxtool-video-XXXXXX").string();
        if (mkdtemp(t.data())) dir = t;
    }
    ~Scratch() {
        std::error_code ec;
        if (!dir.empty()) fs::remove_all(dir, ec);
    }
};

// The sound's tempo changed by x, in steps atempo takes (0.5 to 100 each).
std::string tempo(double x) {
    std::string f;
    for (; x < 0.5; x *= 2) f += "atempo=0.5,";
    char step[32];
    std::snprintf(step, sizeof step, "atempo=%.9g", x);
    return f + step;
}

std::string seconds(double s) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", s);
    return text;
}

struct Options {
    std::string in, out;
    Kind kind = Kind::mp4;
    int width = 0, height = 0; // 0: the recording's
    double from = 0, to = -1, speed = 1;
    std::string fromText, toText; // as given, for messages
};

// The arguments of ffmpeg that encode the frames piped to it (w x h, bgr0)
// into `to`: the video alone for MP4 and WebM, the output itself for GIF.
std::vector<std::string> encodeArgs(const Options& o, int w, int h, const std::string& to) {
    std::vector<std::string> a = {
        "-hide_banner", "-loglevel", "error", "-y", "-f",
        "rawvideo",     "-pix_fmt",  "bgr0",  "-s", std::to_string(w) + "x" + std::to_string(h),
        "-r",           "60",        "-i",    "-"};
    std::string filter;
    if (o.width != w || o.height != h)
        filter =
            "scale=" + std::to_string(o.width) + ":" + std::to_string(o.height) + ":flags=neighbor";
    auto then = [&](const std::string& f) { filter += (filter.empty() ? "" : ",") + f; };
    if (o.kind == Kind::gif) {
        // GIF frame times are hundredths of a second: 50 a second keeps time.
        // A palette of each frame's own colours, made as it comes (none held).
        then("fps=50,split[a][b];[a]palettegen=stats_mode=single[p];[b][p]paletteuse=new=1");
        a.insert(a.end(), {"-vf", filter, "-f", "gif", to});
        return a;
    }
    // 4:2:0 colour needs even sides.
    if (o.width % 2 || o.height % 2) then("pad=ceil(iw/2)*2:ceil(ih/2)*2");
    if (!filter.empty()) a.insert(a.end(), {"-vf", filter});
    if (o.kind == Kind::mp4)
        a.insert(a.end(), {"-c:v", "libx264", "-preset", "veryfast", "-crf", "18"});
    else
        a.insert(a.end(), {"-c:v", "libvpx-vp9", "-deadline", "realtime", "-cpu-used", "8",
                           "-row-mt", "1", "-crf", "24", "-b:v", "0"});
    a.insert(a.end(), {"-pix_fmt", "yuv420p", "-g", "120", "-f", "nut", to});
    return a;
}

// The arguments that put the video and the sound (from game time `from`,
// `length` s of it) together into `to`.
std::vector<std::string> muxArgs(const Options& o, const std::string& video, const std::string& wav,
                                 double length, const std::string& to) {
    std::vector<std::string> a = {"-hide_banner", "-loglevel", "error", "-y", "-i", video};
    if (!wav.empty()) {
        a.insert(a.end(), {"-ss", seconds(o.from), "-t", seconds(length), "-i", wav, "-map",
                           "0:v:0", "-map", "1:a:0"});
        if (o.speed != 1) a.insert(a.end(), {"-af", tempo(o.speed)});
        if (o.kind == Kind::mp4)
            a.insert(a.end(), {"-c:a", "aac", "-b:a", "160k"});
        else
            a.insert(a.end(), {"-c:a", "libopus", "-b:a", "128k"});
    }
    a.insert(a.end(), {"-c:v", "copy"});
    if (o.kind == Kind::mp4)
        a.insert(a.end(), {"-movflags", "+faststart", "-f", "mp4", to});
    else
        a.insert(a.end(), {"-f", "webm", to});
    return a;
}

int parse(const std::vector<std::string>& args, Options& o) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-o" || a == "--size" || a == "--from" || a == "--to" || a == "--speed") {
            if (i + 1 >= args.size())
                return refuse(a + " needs a value (see kvxtool video --help)");
            const std::string& v = args[++i];
            if (a == "-o") {
                if (!o.out.empty()) return refuse("-o given twice");
                o.out = v;
            } else if (a == "--size") {
                if (!sizeText(v, 16, 8192, o.width, o.height))
                    return refuse("--size: '" + v +
                                  "' is not WxH with W and H whole numbers from 16 to 8192");
            } else if (a == "--from") {
                o.fromText = v;
                if (!decimalNumber(v, -1, 1e9, o.from) || o.from < 0)
                    return refuse("--from: '" + v + "' is not a number of seconds from 0");
            } else if (a == "--to") {
                o.toText = v;
                if (!decimalNumber(v, 0, 1e9, o.to))
                    return refuse("--to: '" + v + "' is not a number of seconds above 0");
            } else if (!decimalNumber(v, 0, 64, o.speed) || o.speed < 0.125) {
                return refuse("--speed: '" + v + "' is not a number from 0.125 to 64");
            }
        } else if (a.starts_with("-") || !o.in.empty()) {
            return refuse("unexpected '" + a + "' (see kvxtool video --help)");
        } else {
            o.in = a;
        }
    }
    if (o.in.empty() || o.out.empty())
        return refuse("expected FILE.kvr -o OUT.mp4|OUT.webm|OUT.gif (see kvxtool video --help)");
    if (!kindOf(o.out, o.kind))
        return refuse(o.out +
                      ": not a kind of video made here (the name ends in .mp4, .webm or .gif)");
    std::error_code ec;
    if (fs::equivalent(o.in, o.out, ec))
        return refuse(o.out + ": is the recording itself; name another file for the video");
    const fs::path folder = fs::path(o.out).parent_path();
    if (!fs::is_directory(folder.empty() ? "." : folder, ec))
        return refuse(o.out + ": cannot write: no folder " + folder.string());
    return 0;
}

// The progress of the filming, on a terminal a bar redrawn at most four times a second.
struct Progress {
    bool bar = isatty(2) != 0;
    long total = 0;
    std::chrono::steady_clock::time_point began = std::chrono::steady_clock::now(), shown = began;

    double elapsed() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    }
    void frame(long done) {
        if (!bar) return;
        const auto now = std::chrono::steady_clock::now();
        if (done < total && now - shown < std::chrono::milliseconds(250)) return;
        shown = now;
        const int width = 30, filled = int(width * done / std::max(1L, total));
        const double t = elapsed();
        std::fprintf(stderr, "\r[%s%s] %ld/%ld frames %3ld%%  %.2fx real time",
                     std::string(filled, '#').c_str(), std::string(width - filled, ' ').c_str(),
                     done, total, 100 * done / std::max(1L, total),
                     t > 0 ? double(done) / 60 / t : 0.0);
    }
    void end() const {
        if (bar) std::fputc('\n', stderr);
    }
};

// A frame of another size than the video's, centred on black (cut if larger).
const std::uint32_t* fitted(const std::uint32_t* pixels, int w, int h, int vw, int vh,
                            std::vector<std::uint32_t>& out) {
    if (w == vw && h == vh) return pixels;
    out.assign(std::size_t(vw) * std::size_t(vh), 0);
    const int x0 = (vw - w) / 2, y0 = (vh - h) / 2;
    for (int y = std::max(0, y0); y < std::min(vh, y0 + h); ++y)
        for (int x = std::max(0, x0); x < std::min(vw, x0 + w); ++x)
            out[std::size_t(y) * std::size_t(vw) + std::size_t(x)] =
                pixels[std::size_t(y - y0) * std::size_t(w) + std::size_t(x - x0)];
    return out.data();
}

} // namespace

int videoCommand(const std::vector<std::string>& args) {
    if (std::find(args.begin(), args.end(), "--help") != args.end())
        return std::fputs(help, stdout), 0;
    Options o;
    if (const int status = parse(args, o)) return status;
    if (!onPath("ffmpeg")) return refuse("needs the ffmpeg program (Debian package ffmpeg)");
    recording r;
    std::string error;
    if (!readRecording(o.in, r, error)) return refuse(o.in + ": " + error);
    if (r.frames.empty()) return refuse(o.in + ": the recording has no frames");

    // Game frame i (from 0) starts at start[i], when its sound starts: the
    // sound of a frame is mixed after it is shown, over the time it measured.
    std::vector<double> start(r.frames.size() + 1, 0);
    for (std::size_t i = 0; i < r.frames.size(); ++i)
        start[i + 1] = start[i] + double(r.frames[i].t);
    const double total = start.back();
    if (o.to < 0) o.to = total;
    char lasts[64];
    std::snprintf(lasts, sizeof lasts, ": the recording lasts %.3f s of game time", total);
    if (o.from >= total) return refuse("--from " + o.fromText + lasts);
    if (o.to > total + 1e-9) return refuse("--to " + o.toText + lasts);
    if (o.to <= o.from) return refuse("--to must come after --from");
    if (o.width == 0) o.width = r.width, o.height = r.height;

    // Video frame k shows game time from + k * speed / 60; `frames` of them.
    const double length = o.to - o.from;
    const long frames = std::max(1L, long(std::ceil(length * 60 / o.speed - 1e-6)));
    auto gameTime = [&](long k) { return o.from + double(k) * o.speed / 60; };
    // The playback stops at the game frame that the last video frame shows.
    const std::size_t last = std::size_t(
        std::upper_bound(start.begin(), start.end() - 1, gameTime(frames - 1)) - start.begin());

    Scratch scratch;
    if (scratch.dir.empty()) return failed("cannot make a scratch folder");
    const std::string wav = (scratch.dir / "sound.wav").string(),
                      log = (scratch.dir / "ffmpeg.log").string();
    const std::string video = (scratch.dir / "video.nut").string();
    // Written beside the output and renamed when whole, so a failure leaves
    // no half video, and an older one stays as it was.
    const fs::path out(o.out);
    std::string hidden(1, '.'); // appended, not "." + name: GCC 12 warns of that falsely
    hidden += out.filename().string() + ".part";
    const std::string partial = (out.parent_path() / hidden).string();
    const std::string encoded = o.kind == Kind::gif ? partial : video;

    Ffmpeg f;
    signal(SIGPIPE, SIG_IGN); // an ffmpeg that quits is seen in the writes and its status
    if (!spawnFfmpeg(encodeArgs(o, r.width, r.height, encoded), true, log, f) || !f.in)
        return refuse("needs the ffmpeg program (Debian package ffmpeg)");

    Progress progress;
    progress.total = frames;
    long k = 0;
    std::size_t shown = 0;
    bool broken = false;
    std::vector<std::uint32_t> scratchFrame;
    HeadlessConfig config;
    config.width = r.width, config.height = r.height;
    config.frames = int(last);
    if (o.kind != Kind::gif) config.wav = wav;
    config.onFrame = [&](const std::uint32_t* pixels, int w, int h) {
        if (broken || shown >= r.frames.size()) return;
        const double ends = start[++shown];
        const std::uint32_t* p = fitted(pixels, w, h, r.width, r.height, scratchFrame);
        const std::size_t bytes = std::size_t(r.width) * std::size_t(r.height) * 4;
        for (; k < frames && gameTime(k) < ends; ++k) {
            if (std::fwrite(p, 1, bytes, f.in) != bytes) {
                broken = true;
                sysQuit();
                return;
            }
            progress.frame(k + 1);
        }
        if (k >= frames) sysQuit();
    };

    const int played = playUnseen(o.in, "kvxtool video", config);
    const bool encodedOk = finish(f);
    progress.end();
    std::error_code ec;
    auto discard = [&] { fs::remove(partial, ec); };
    if ((played != 0 && played != 3) || sessionFailed()) return discard(), 1;
    if (!encodedOk || broken) return discard(), failed("ffmpeg failed: " + lastLine(log));
    if (k < frames)
        return discard(), failed("the playback ended at frame " + std::to_string(shown) +
                                 " before the part asked for");

    if (o.kind != Kind::gif) {
        // No sound in the run (none mixed): the video alone.
        const bool sound = fs::file_size(wav, ec) > 44 && !ec;
        Ffmpeg mux;
        if (!spawnFfmpeg(muxArgs(o, video, sound ? wav : "", length, partial), false, log, mux))
            return failed("cannot run ffmpeg again");
        if (!finish(mux)) return discard(), failed("ffmpeg failed: " + lastLine(log));
    }
    fs::rename(partial, out, ec);
    if (ec) return discard(), failed(o.out + ": cannot write: " + ec.message());
    // A playback to the cut has said it.
    if (r.endsEarly && !sessionEndedEarly())
        std::fprintf(stderr, "kvxtool video: %s\n", endsEarlyLine(o.in, r).c_str());
    const double took = progress.elapsed();
    std::fprintf(
        stderr,
        "kvxtool video: %s: %ld frames, %.2f s at %dx%d, made in %.1f s (%.2fx real time)\n",
        o.out.c_str(), frames, double(frames) / 60, o.width + (o.kind != Kind::gif && o.width % 2),
        o.height + (o.kind != Kind::gif && o.height % 2), took,
        took > 0 ? double(frames) / 60 / took : 0.0);
    return r.endsEarly ? 3 : 0;
}
