// kvxtool video, read back with ffmpeg: the streams of each kind, a video as
// long as the game time filmed, a frame as the game drew it, and the sound of
// an event heard as its frame is shown; bad command lines refused in one line.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "support/png_read.h"
#include "tools/kvxtool_run.h"

using namespace kvxtest;

namespace {

// The program's path on the PATH, or "" without it.
std::string onPath(const std::string& name) {
    std::stringstream dirs(std::getenv("PATH") ? std::getenv("PATH") : "");
    for (std::string dir; std::getline(dirs, dir, ':');)
        if (!dir.empty() && ::access((dir + "/" + name).c_str(), X_OK) == 0)
            return dir + "/" + name;
    return "";
}

// ffprobe's "key=value" lines of the codecs and the length of a file.
std::string probe(const Scratch& dir, const std::string& ffprobe, const std::string& file,
                  double& seconds) {
    const ProcessRun r =
        runIn(dir.path(), {ffprobe, "-v", "error", "-show_entries",
                           "stream=codec_name:format=duration", "-of", "default=nw=1", file});
    EXPECT_EQ(r.status, 0) << r.err;
    std::string codecs;
    seconds = -1;
    for (const std::string& l : lines(r.out)) {
        if (l.starts_with("codec_name=")) {
            if (!codecs.empty()) codecs += '+'; // not "+" + name: GCC 12 warns of that falsely
            codecs += l.substr(11);
        }
        if (l.starts_with("duration=")) seconds = std::atof(l.c_str() + 9);
    }
    return codecs;
}

// The time of the first sample louder than `level`, in s, of 48 kHz mono.
double onset(const std::vector<unsigned char>& s16le) {
    for (std::size_t i = 0; i + 1 < s16le.size(); i += 2)
        if (std::abs(int(std::int16_t(s16le[i] | s16le[i + 1] << 8))) > 300)
            return double(i / 2) / 48000;
    return -1;
}

// The PSNR of picture a against b enlarged twice each way, in dB.
double psnr(const std::string& a, const std::string& b) {
    std::vector<std::uint32_t> pa, pb;
    int wa = 0, ha = 0, wb = 0, hb = 0;
    EXPECT_TRUE(readPng(a, pa, wa, ha)) << a;
    EXPECT_TRUE(readPng(b, pb, wb, hb)) << b;
    if (wa != 2 * wb || ha != 2 * hb || pa.empty()) return 0;
    double sum = 0;
    for (std::size_t i = 0; i < pa.size(); ++i) {
        const std::uint32_t q = pb[std::size_t(int(i) / wa / 2 * wb + int(i) % wa / 2)];
        for (int c = 0; c < 24; c += 8) {
            const double d = double((pa[i] >> c) & 255) - double((q >> c) & 255);
            sum += d * d;
        }
    }
    const double mse = sum / double(pa.size() * 3);
    return mse == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mse);
}

} // namespace

// A game at 320x240 of which the start screen is silent until C starts the
// mission at frame 60: filmed whole as MP4 and from 0.5 s as WebM at twice
// its size, its first two seconds as a GIF at half.
TEST(KvxtoolVideo, FramesAndSoundKeepStepWithTheGame) {
    const std::string ffmpeg = onPath("ffmpeg"), ffprobe = onPath("ffprobe");
    if (ffmpeg.empty() || ffprobe.empty())
        GTEST_SKIP() << "ffmpeg is not installed (tools/deps.sh installs it)";
    Scratch dir;
    fs::copy_file(fs::path(KORVANE_CAMPAIGN_DIR) / "kvxmap.AAAA.kvx", dir / "kvxmap.AAAA.kvx");
    dir.write("pilot.txt",
              "1 focus on\n60 down C\n62 up C\n100 down Up\n150 down Shift\n200 up Shift\n");
    // A frame time of 1/60 s in whole milliseconds: frames of 16 and 17 ms.
    // Shots of three frames in a row, of which the video shows at least two.
    const ProcessRun rec = headless(
        dir.path(), {"--frames", "240", "--size", "320x240", "--dt", "0.0166667", "--script",
                     "pilot.txt", "--record", "game.kvr", "--wav", "game.wav", "--shot",
                     "180:180.png", "--shot", "181:181.png", "--shot", "182:182.png"});
    ASSERT_EQ(rec.status, 0) << rec.err;
    const ToolRun times = dir.run({"replay", "game.kvr", "--times"});
    ASSERT_EQ(times.status, 0) << times.err;
    std::vector<double> start = {0}; // when each frame (from 1) begins in game time
    for (const std::string& l : lines(times.out))
        start.push_back(start.back() + std::atof(l.c_str()));
    ASSERT_EQ(start.size(), 241u);
    const double total = start.back();

    for (const char* out : {"a.mp4", "b.webm", "c.gif"}) {
        std::vector<std::string> args = {"video", "game.kvr", "-o", out};
        // Twice the size: 4:2:0 colour keeps the colour of each game pixel,
        // which at the game's own size it shares with its neighbours.
        if (out[0] != 'c') args.insert(args.end(), {"--size", "640x480"});
        if (out[0] == 'b') args.insert(args.end(), {"--from", "0.5"});
        if (out[0] == 'c') args.insert(args.end(), {"--to", "2", "--size", "160x120"});
        const ToolRun r = dir.run(args);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(lines(r.err).size(), 1u) << r.err; // not a terminal: the summary alone
    }
    double seconds = 0;
    EXPECT_EQ(probe(dir, ffprobe, "a.mp4", seconds), "h264+aac");
    EXPECT_NEAR(seconds, total, 1.0 / 60);
    EXPECT_EQ(probe(dir, ffprobe, "b.webm", seconds), "vp9+opus");
    EXPECT_NEAR(seconds, total - 0.5, 1.0 / 60);
    EXPECT_EQ(probe(dir, ffprobe, "c.gif", seconds), "gif");
    EXPECT_NEAR(seconds, 2.0, 1.0 / 50);

    // The video frame that shows game frame N: the first at or after its start.
    auto videoFrame = [&](int n, double from) {
        return long(std::ceil((start[n - 1] - from) * 60 - 1e-6));
    };
    int shown = 180;
    while (double(videoFrame(shown, 0)) / 60 >= start[shown]) ++shown; // a frame not shown
    ASSERT_LE(shown, 182);
    const long k = videoFrame(shown, 0);
    for (const auto& [file, frame] : {std::pair{"a.mp4", k}, std::pair{"b.webm", k - 30}}) {
        const ProcessRun r = runIn(dir.path(), {ffmpeg, "-v", "error", "-i", file, "-vf",
                                                "select=eq(n\\," + std::to_string(frame) + ")",
                                                "-frames:v", "1", "-y", "frame.png"});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_GE(
            psnr((dir / "frame.png").string(), (dir / (std::to_string(shown) + ".png")).string()),
            35)
            << file << " frame " << frame;
    }

    // The first sound, C's, begins in some frame N; in the videos it starts
    // within a frame of N's picture, and where it starts in the game's own WAV.
    const ProcessRun wav = runIn(dir.path(), {ffmpeg, "-v", "error", "-i", "game.wav", "-f",
                                              "s16le", "-ac", "1", "-y", "game.raw"});
    ASSERT_EQ(wav.status, 0) << wav.err;
    const double t0 = onset(readBytes(dir / "game.raw"));
    ASSERT_GT(t0, 0.5) << "the start screen is silent";
    int n = 1;
    while (start[n] <= t0) ++n;
    for (const auto& [file, from] : {std::pair{"a.mp4", 0.0}, std::pair{"b.webm", 0.5}}) {
        const ProcessRun r = runIn(dir.path(), {ffmpeg, "-v", "error", "-i", file, "-f", "s16le",
                                                "-ac", "1", "-ar", "48000", "-y", "sound.raw"});
        ASSERT_EQ(r.status, 0) << r.err;
        const double t = onset(readBytes(dir / "sound.raw"));
        EXPECT_NEAR(t, double(videoFrame(n, from)) / 60, 1.0 / 60)
            << file << ": the sound of frame " << n;
        EXPECT_NEAR(t, t0 - from, 0.002) << file << ": the sound as the game mixed it";
    }
}

TEST(KvxtoolVideo, BadCommandLinesAreOneLineAndTheRecordingIsKept) {
    Scratch dir;
    dir.write("game.kvr", "not a recording");
    dir.write("game.mp4", "not a recording");
    struct Case {
        std::vector<std::string> args;
        std::string says;
    };
    const std::vector<Case> cases = {
        {{"video", "game.kvr", "-o", "out.avi"}, "out.avi: not a kind of video made here"},
        {{"video", "game.mp4", "-o", "./game.mp4"}, "./game.mp4: is the recording itself"},
        {{"video", "game.kvr", "-o", "x.mp4", "--speed", "100"}, "--speed: '100' is not a number"},
        {{"video", "game.kvr", "-o", "x.gif", "--size", "8x8"}, "--size: '8x8' is not WxH"},
        {{"video", "game.kvr", "-o", "x.webm"}, "game.kvr: it is not a recording"},
        {{"video", "game.kvr"}, "expected FILE.kvr -o OUT.mp4"},
    };
    for (const Case& c : cases) {
        const ToolRun r = dir.run(c.args);
        EXPECT_EQ(r.status, 2) << c.args.back();
        EXPECT_EQ(lines(r.err).size(), 1u) << r.err;
        EXPECT_NE(r.err.find("kvxtool video: " + c.says), std::string::npos) << r.err;
    }
    EXPECT_EQ(readFile(dir / "game.mp4"), "not a recording");
    EXPECT_FALSE(fs::exists(dir / "x.webm"));

    // Without ffmpeg on the PATH.
    const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
    ::setenv("PATH", dir.path().c_str(), 1);
    const ToolRun none = dir.run({"video", "game.kvr", "-o", "x.mp4"});
    ::setenv("PATH", path.c_str(), 1);
    EXPECT_EQ(none.status, 2);
    EXPECT_EQ(none.err, "kvxtool video: needs the ffmpeg program (Debian package ffmpeg)\n");
}
