// Recordings written and read back: every kind of record survives the round
// trip; a file cut short reads to its last whole frame wherever it is cut;
// one damaged or of another version is refused with one line saying so.
#include <gtest/gtest.h>

#include <zlib.h>

#include <string>
#include <vector>

#include "replay/recording.h"
#include "support/process.h"

namespace {

// A recording of three frames with one of each record kind.
std::vector<unsigned char> sample(const fs::path& path) {
    recorder r;
    std::string error;
    EXPECT_TRUE(recordStart(r, path.string(), 1234567, 640, 480, error)) << error;
    recordInput(r, {inputChange::focus, 1, 0});
    recordInput(r, {inputChange::cursor, -5, 70000});
    recordFrame(r, 0.0f);
    recordRead(r, "kvxmap.AAAA.kvx", true, {1, 2, 3, 0x0A});
    recordInput(r, {inputChange::key, 0x25, 1});
    recordFrame(r, 1.0f / 60);
    recordRead(r, "kvxmap.BBBB.kvx", false, {});
    stateDigest d;
    d.total = 0x0123456789abcdefull;
    for (int p = 0; p < digestPartCount; ++p) d.parts[p] = 0x10000u * p + 7 * p;
    recordDigest(r, d, 0xfeedbeefcafe1234ull);
    recordFrame(r, 1.0f / 60); // the same time again: one byte
    EXPECT_TRUE(recordFinish(r));
    return readBytes(path);
}

// A gzip stream made of bytes, and the bytes inside one.
std::vector<unsigned char> gzipped(const std::vector<unsigned char>& data, const fs::path& path) {
    gzFile f = gzopen(path.string().c_str(), "wb");
    gzwrite(f, data.data(), unsigned(data.size()));
    gzclose(f);
    return readBytes(path);
}

std::vector<unsigned char> gunzipped(const fs::path& path) {
    std::vector<unsigned char> data;
    gzFile f = gzopen(path.string().c_str(), "rb");
    unsigned char chunk[4096];
    int got = 0;
    while ((got = gzread(f, chunk, sizeof chunk)) > 0) data.insert(data.end(), chunk, chunk + got);
    gzclose(f);
    return data;
}

recording parsed(const std::vector<unsigned char>& file) {
    recording r;
    std::string error;
    EXPECT_TRUE(parseRecording(file, r, error)) << error;
    return r;
}

std::string refusal(const std::vector<unsigned char>& file) {
    recording r;
    std::string error;
    EXPECT_FALSE(parseRecording(file, r, error));
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    return error;
}

} // namespace

TEST(Recording, EveryRecordComesBackAsWritten) {
    ScratchDir dir;
    const recording r = parsed(sample(dir / "a.kvr"));
    EXPECT_EQ(r.seed, 1234567u);
    EXPECT_EQ(r.width, 640);
    EXPECT_EQ(r.height, 480);
    ASSERT_EQ(r.frames.size(), 3u);
    EXPECT_EQ(r.frames[0].t, 0.0f);
    EXPECT_EQ(r.frames[1].t, 1.0f / 60);
    EXPECT_EQ(r.frames[2].t, 1.0f / 60);
    // Input changes belong to the frame after them.
    EXPECT_EQ(r.frames[0].changes, 2u);
    EXPECT_EQ(r.frames[1].changes, 1u);
    EXPECT_EQ(r.frames[2].changes, 0u);
    ASSERT_EQ(r.inputs.size(), 3u);
    EXPECT_EQ(r.inputs[1].what, inputChange::cursor);
    EXPECT_EQ(r.inputs[1].a, -5);
    EXPECT_EQ(r.inputs[1].b, 70000);
    EXPECT_EQ(r.inputs[2].a, 0x25);
    ASSERT_EQ(r.reads.size(), 2u);
    EXPECT_EQ(r.reads[0].frame, 1u);
    EXPECT_EQ(r.reads[0].bytes, (std::vector<unsigned char>{1, 2, 3, 0x0A}));
    EXPECT_EQ(r.reads[1].name, "kvxmap.BBBB.kvx");
    EXPECT_FALSE(r.reads[1].found);
    ASSERT_EQ(r.checkpoints.size(), 1u);
    EXPECT_EQ(r.checkpoints[0].frame, 2u);
    EXPECT_EQ(r.checkpoints[0].total, 0x0123456789abcdefull);
    EXPECT_EQ(r.checkpoints[0].picture, 0xfeedbeefcafe1234ull);
    EXPECT_EQ(r.checkpoints[0].parts[3], std::uint16_t(0x30000u + 21));
}

TEST(Recording, ACutFileReadsToItsLastWholeFrameADamagedOrForeignOneIsRefused) {
    ScratchDir dir;
    const std::vector<unsigned char> file = sample(dir / "a.kvr");
    const recording whole = parsed(file);
    // Cut at every byte: refused with one line before the first whole frame;
    // after it, the whole frames before the cut, each as the whole file has
    // it, with their input, reads and digests, and nothing of later frames.
    std::size_t before = 0;
    for (std::size_t n = 0; n < file.size(); ++n) {
        recording r;
        std::string why;
        if (!parseRecording({file.begin(), file.begin() + std::ptrdiff_t(n)}, r, why)) {
            EXPECT_TRUE(why.find("truncated") != std::string::npos ||
                        why.find("empty") != std::string::npos ||
                        why.find("not a recording") != std::string::npos ||
                        why == "it is cut off before its first whole frame")
                << "cut at " << n << ": " << why;
            EXPECT_EQ(before, 0u) << "cut at " << n << " refused, a shorter cut read";
            continue;
        }
        const std::size_t frames = r.frames.size();
        EXPECT_GE(frames, before) << "cut at " << n;
        before = frames;
        // Only the gzip trailer is missing when the end record came through.
        if (!r.endsEarly) {
            EXPECT_EQ(frames, whole.frames.size()) << "cut at " << n;
        }
        ASSERT_LE(frames, whole.frames.size());
        for (std::size_t f = 0; f < frames; ++f) {
            EXPECT_EQ(r.frames[f].t, whole.frames[f].t);
            EXPECT_EQ(r.frames[f].changes, whole.frames[f].changes);
        }
        ASSERT_LE(r.inputs.size(), whole.inputs.size());
        for (std::size_t i = 0; i < r.inputs.size(); ++i) EXPECT_EQ(r.inputs[i].a, whole.inputs[i].a);
        std::size_t reads = 0, digests = 0;
        for (const missionRead& m : whole.reads) reads += m.frame <= frames;
        for (const checkpoint& c : whole.checkpoints) digests += c.frame <= frames;
        EXPECT_EQ(r.reads.size(), reads) << "cut at " << n;
        EXPECT_EQ(r.checkpoints.size(), digests) << "cut at " << n;
        EXPECT_EQ(endsEarlyLine("a.kvr", r),
                  "a.kvr ends early at frame " + std::to_string(frames) + "; played to there");
    }
    EXPECT_GT(before, 0u) << "no cut read at all";
    std::vector<unsigned char> damaged = file;
    damaged[damaged.size() / 2] ^= 0x55;
    EXPECT_NE(refusal(damaged), "");
    EXPECT_NE(refusal({'h', 'e', 'l', 'l', 'o'}).find("not a recording"), std::string::npos);

    // The data inside, changed: another version, a record the reader does not
    // know, a frame time past the game's cap, and no end.
    const std::vector<unsigned char> inner = gunzipped(dir / "a.kvr");
    auto changed = [&](std::size_t at, unsigned char value) {
        std::vector<unsigned char> v = inner;
        v[at] = value;
        return refusal(gzipped(v, dir / "b.kvr"));
    };
    EXPECT_EQ(changed(6, 4), "it is a recording of version 4; this game plays versions 1 to 3");
    EXPECT_EQ(changed(6, 0), "it is a recording of version 0; this game plays versions 1 to 3");
    const std::size_t firstRecord = 6 + 1 + 12 + 1;
    EXPECT_NE(changed(firstRecord, 'Z').find("unknown record"), std::string::npos);
    std::vector<unsigned char> late = inner;
    late.insert(late.begin() + std::ptrdiff_t(firstRecord),
                {'F', 0xcd, 0xcc, 0x8c, 0x3d}); // 0.07 s
    EXPECT_NE(refusal(gzipped(late, dir / "c.kvr")).find("frame time"), std::string::npos);
    // The data inside cut: without its end record the last frame may lack
    // its reads and digest, so it goes; cut in the end record, every frame
    // came through.
    std::vector<unsigned char> endless(inner.begin(), inner.end() - 5);
    recording r;
    std::string why;
    ASSERT_TRUE(parseRecording(gzipped(endless, dir / "d.kvr"), r, why)) << why;
    EXPECT_TRUE(r.endsEarly);
    EXPECT_EQ(r.frames.size(), whole.frames.size() - 1);
    for (std::size_t cut = 1; cut < 5; ++cut) {
        std::vector<unsigned char> shortEnd(inner.begin(), inner.end() - std::ptrdiff_t(cut));
        ASSERT_TRUE(parseRecording(gzipped(shortEnd, dir / "e.kvr"), r, why)) << why;
        EXPECT_TRUE(r.endsEarly);
        EXPECT_EQ(r.frames.size(), whole.frames.size()) << cut << " bytes of the end record cut";
    }
}

// A snapshot puts every span back, the kept ones too; a span first shown
// after the snapshot was taken goes back to how it was when first shown.
TEST(Snapshot, PutsBackEverySpanAndThoseShownLaterAsFirstShown) {
    static int shown = 1;
    static float kept = 2;
    static char late[4] = {'a', 'b', 'c', 'd'};
    watchBytes(partMessage, &shown, sizeof shown);
    keepBytes(&kept, sizeof kept);
    const std::vector<unsigned char> before = takeSnapshot();
    shown = 5;
    kept = 6;
    watchBytes(partMessage, late, sizeof late); // shown once, after the snapshot
    late[0] = 'z';
    putSnapshotBack(before);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(kept, 2);
    EXPECT_EQ(late[0], 'a');
    const std::uint64_t digest = digestState().total;
    kept = 9; // what only a snapshot keeps is no part of a digest
    EXPECT_EQ(digestState().total, digest);
    shown = 9;
    EXPECT_NE(digestState().total, digest);
    shown = 1;
}
