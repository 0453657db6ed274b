// Writing recordings as the game runs: their records, into the sink of the
// build (replay/recording_sink.h): a gzip file, or in the browser the data
// as it is.
#include "replay/recording.h"

#include <chrono>
#include <cstring>

#include "replay/recording_sink.h"

namespace {

double secondsNow() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void put(recorder& r, const void* at, unsigned size) {
    if (r.failed || !r.file || size == 0) return;
    if (!sinkWrite(r, at, size)) r.failed = true;
}

void putU8(recorder& r, unsigned v) {
    const unsigned char b = static_cast<unsigned char>(v);
    put(r, &b, 1);
}

void putU16(recorder& r, std::uint16_t v) {
    const unsigned char b[2] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8)};
    put(r, b, 2);
}

void putU32(recorder& r, std::uint32_t v) {
    unsigned char b[4];
    for (int i = 0; i < 4; ++i) b[i] = static_cast<unsigned char>(v >> (8 * i));
    put(r, b, 4);
}

void putU64(recorder& r, std::uint64_t v) {
    putU32(r, static_cast<std::uint32_t>(v));
    putU32(r, static_cast<std::uint32_t>(v >> 32));
}

std::uint32_t floatBits(float f) {
    std::uint32_t u;
    std::memcpy(&u, &f, 4);
    return u;
}

} // namespace

bool recordStart(recorder& r, const std::string& path, std::uint32_t seed, int width, int height,
                 std::string& error, std::uint32_t clipStart) {
    r = recorder{};
    if (!sinkOpen(r, path)) {
        error = "cannot write a recording to " + path;
        return false;
    }
    r.flushedAt = secondsNow();
    put(r, recordingMagic, 6);
    putU8(r, clipStart ? clipRecordingVersion : recordingVersion);
    putU32(r, seed);
    putU32(r, std::uint32_t(width));
    putU32(r, std::uint32_t(height));
    putU8(r, randomHere);
    if (clipStart) {
        putU8(r, 'C');
        putU32(r, clipStart);
    }
    return true;
}

void recordInput(recorder& r, const inputChange& c) {
    switch (c.what) {
    case inputChange::key:
        putU8(r, 'K');
        putU8(r, unsigned(c.a));
        putU8(r, c.b ? 1 : 0);
        break;
    case inputChange::cursor:
        putU8(r, 'M');
        putU32(r, std::uint32_t(c.a));
        putU32(r, std::uint32_t(c.b));
        break;
    case inputChange::focus:
        putU8(r, 'A');
        putU8(r, c.a ? 1 : 0);
        break;
    case inputChange::size:
        putU8(r, 'S');
        putU32(r, std::uint32_t(c.a));
        putU32(r, std::uint32_t(c.b));
        break;
    case inputChange::palette:
        putU8(r, 'P');
        putU8(r, unsigned(c.a));
        break;
    }
}

void recordFrame(recorder& r, float t) {
    // The frames before this one go to the file as they stand: a sync flush
    // ends the compressed data on a byte a reader can stop at.
    const double now = secondsNow();
    if (r.file && !r.failed && now - r.flushedAt >= recordFlushSeconds) {
        if (!sinkFlush(r)) r.failed = true;
        r.flushedAt = now;
    }
    if (r.haveTime && floatBits(t) == floatBits(r.lastTime)) {
        putU8(r, 'f');
    } else {
        putU8(r, 'F');
        putU32(r, floatBits(t));
    }
    r.haveTime = true;
    r.lastTime = t;
    ++r.frames;
}

void recordRead(recorder& r, const std::string& name, bool found,
                const std::vector<unsigned char>& bytes) {
    putU8(r, 'R');
    const std::string n = name.substr(0, 255);
    putU8(r, unsigned(n.size()));
    put(r, n.data(), unsigned(n.size()));
    putU8(r, found ? 1 : 0);
    putU32(r, found ? std::uint32_t(bytes.size()) : 0);
    if (found) put(r, bytes.data(), unsigned(bytes.size()));
}

void recordDigest(recorder& r, const stateDigest& d, std::uint64_t picture) {
    putU8(r, 'D');
    putU64(r, d.total);
    putU64(r, picture);
    putU8(r, digestPartCount);
    for (std::uint64_t h : d.parts) putU16(r, std::uint16_t(h));
}

bool recordFinish(recorder& r) {
    if (!r.file) return false;
    putU8(r, 'E');
    putU32(r, r.frames);
    const bool closed = sinkClose(r);
    r.file = nullptr;
    return closed && !r.failed;
}

void recordFrames(recorder& w, const recording& r) {
    std::size_t read = 0, check = 0;
    for (std::size_t f = 0; f < r.frames.size(); ++f) {
        for (std::uint32_t i = 0; i < r.frames[f].changes; ++i)
            recordInput(w, r.inputs[r.frames[f].input + i]);
        recordFrame(w, r.frames[f].t);
        for (; read < r.reads.size() && r.reads[read].frame == f + 1; ++read)
            recordRead(w, r.reads[read].name, r.reads[read].found, r.reads[read].bytes);
        if (check < r.checkpoints.size() && r.checkpoints[check].frame == f + 1) {
            stateDigest d;
            d.total = r.checkpoints[check].total;
            for (int p = 0; p < digestPartCount; ++p) d.parts[p] = r.checkpoints[check].parts[p];
            recordDigest(w, d, r.checkpoints[check].picture);
            ++check;
        }
    }
}

bool writeRecording(const std::string& path, const recording& r, std::string& error) {
    recorder w;
    if (!recordStart(w, path, r.seed, r.width, r.height, error, r.start)) return false;
    recordFrames(w, r);
    if (recordFinish(w)) return true;
    error = "it could not be written";
    return false;
}
