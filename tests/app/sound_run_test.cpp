// Sound in whole runs of korvane-headless: every golden trace plays back
// unchanged with sound on (the same digests), a run saves the same file with
// sound on and off, a fight's WAV is heard and stays below full scale, and an
// idle screen's WAV is silence; the volume a player may set.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/sound_out.h"
#include "support/process.h"

namespace {

// The samples of a 48 kHz 16-bit stereo WAV, after checking its header.
std::vector<std::int16_t> samples(const fs::path& wav) {
    const std::vector<unsigned char> b = readBytes(wav);
    EXPECT_GE(b.size(), 44u);
    if (b.size() < 44) return {};
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
    EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(b[22] | b[23] << 8, 2);                                       // stereo
    EXPECT_EQ(b[24] | b[25] << 8 | b[26] << 16, 48000);                     // rate
    EXPECT_EQ(std::size_t(b[40] | b[41] << 8 | b[42] << 16 | b[43] << 24), b.size() - 44);
    std::vector<std::int16_t> out((b.size() - 44) / 2);
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = std::int16_t(b[44 + 2 * i] | b[45 + 2 * i] << 8);
    return out;
}

int peak(const std::vector<std::int16_t>& s) {
    int p = 0;
    for (std::int16_t v : s) p = std::max(p, std::abs(int(v)));
    return p;
}

const fs::path traces = fs::path(KORVANE_GOLDEN_DIR).parent_path() / "traces";

} // namespace

TEST(SoundRun, TracesPlayBackUnchangedWithSoundOnAndAFightIsHeard) {
    ScratchDir dir("korvane-sound-test");
    for (const char* name : {"spectator", "pilot", "editor", "menus", "frametimes"}) {
        const std::string wav = std::string(name) + ".wav";
        const ProcessRun r = headless(
            dir.path(), {"--replay", (traces / (std::string(name) + ".kvr")).string(), "--wav", wav});
        EXPECT_EQ(r.status, 0) << name << ": " << r.err;
    }
    // The pilot's minute: shots, hits and engines, below full scale.
    const std::vector<std::int16_t> fight = samples(dir / "pilot.wav");
    EXPECT_EQ(fight.size(), std::size_t(61.65 * 48000 * 2 + 0.5)); // the game time it ran
    EXPECT_GT(peak(fight), 32767 / 8);
    EXPECT_LT(peak(fight), 32767 * 0.95);
    long loud = 0;
    for (std::int16_t v : fight) loud += std::abs(int(v)) > 300;
    EXPECT_GT(loud, long(fight.size() / 10)) << "heard only now and then";
}

TEST(SoundRun, SavesAreTheSameWithSoundOnAndOffAndAnIdleScreenIsSilent) {
    ScratchDir on("korvane-sound-test"), off("korvane-sound-test");
    const std::string editor = (traces / "editor.kvr").string();
    const ProcessRun heard =
        headless(on.path(), {"--replay", editor, "--dir", on.path().string(), "--digest", "100",
                             "--wav", (on / "editor.wav").string()});
    const ProcessRun silent =
        headless(off.path(), {"--replay", editor, "--dir", off.path().string(), "--digest", "100"});
    ASSERT_EQ(heard.status, 0) << heard.err;
    ASSERT_EQ(silent.status, 0) << silent.err;
    EXPECT_EQ(heard.out, silent.out); // the digests
    EXPECT_EQ(readBytes(on / "kvxmap.EDIT.kvx"), readBytes(off / "kvxmap.EDIT.kvx"));
    EXPECT_GT(peak(samples(on / "editor.wav")), 0); // menu and key sounds, the watch

    // The start screen of the lone Base, with no key pressed: not a sound.
    const ProcessRun idle = headless(off.path(), {"--frames", "300", "--wav", "idle.wav"});
    ASSERT_EQ(idle.status, 0) << idle.err;
    const std::vector<std::int16_t> quiet = samples(off / "idle.wav");
    EXPECT_GT(quiet.size(), 48000u * 2 * 4);
    EXPECT_EQ(peak(quiet), 0);
}

// KORVANE_VOLUME: whole numbers 0 to 100 in plain digits; anything else is
// no volume, so the player's mistake is reported rather than half read.
TEST(SoundOut, AVolumeIsPlainDigitsFromNoneToAHundred) {
    for (const char* text : {"0", "7", "50", "100", "007"})
        EXPECT_EQ(parseVolume(text), std::atoi(text)) << text;
    for (const char* text : {"", "101", "-0", "-5", "+5", " 5", "5 ", "5x", "x", "1e2", "99999999999"})
        EXPECT_EQ(parseVolume(text), -1) << '"' << text << '"';
}
