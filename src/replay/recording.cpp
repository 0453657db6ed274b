// Writing recordings as the game runs and reading them back whole, checked.
#include "replay/recording.h"

#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

// ---------------------------------------------------------------- writing

double secondsNow() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void put(recorder& r, const void* at, unsigned size) {
    if (r.failed || !r.file || size == 0) return;
    if (gzwrite(static_cast<gzFile>(r.file), at, size) != int(size)) r.failed = true;
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

// ---------------------------------------------------------------- reading

// The bytes inside the gzip stream, at most maxRecordingBytes.
// The data inside a gzip stream; a stream cut off gives what it holds so far,
// with cut set.
bool inflateAll(const std::vector<unsigned char>& file, std::vector<unsigned char>& out,
                bool& cut, std::string& error) {
    cut = false;
    z_stream z{};
    if (inflateInit2(&z, 15 + 16) != Z_OK) { // gzip only
        error = "cannot start reading it";
        return false;
    }
    z.next_in = const_cast<Bytef*>(file.data());
    z.avail_in = uInt(file.size());
    unsigned char chunk[1 << 15];
    int status = Z_OK;
    while (status == Z_OK) {
        z.next_out = chunk;
        z.avail_out = sizeof chunk;
        status = inflate(&z, Z_NO_FLUSH);
        const std::size_t got = sizeof chunk - z.avail_out;
        if (out.size() + got > maxRecordingBytes) {
            inflateEnd(&z);
            error = "it is larger than any recording (over " +
                    std::to_string(maxRecordingBytes >> 20) + " MB unpacked)";
            return false;
        }
        out.insert(out.end(), chunk, chunk + got);
        if (status == Z_BUF_ERROR && z.avail_in == 0) break; // the input ran out
    }
    inflateEnd(&z);
    if (status == Z_STREAM_END) {
        if (z.avail_in != 0) {
            error = "it has bytes after its end";
            return false;
        }
        return true;
    }
    if (out.empty() && status == Z_DATA_ERROR) {
        error = "it is not a recording (not gzip data)";
    } else if (status == Z_DATA_ERROR) {
        error = "it is corrupt (its compressed data does not check out)";
    } else {
        cut = true;
        return true;
    }
    return false;
}

class reader {
public:
    explicit reader(const std::vector<unsigned char>& bytes) : bytes(bytes) {}
    bool more() const { return at < bytes.size(); }
    std::size_t offset() const { return at; }
    bool u8(unsigned& v) {
        if (at + 1 > bytes.size()) return false;
        v = bytes[at++];
        return true;
    }
    bool u16(std::uint16_t& v) {
        if (at + 2 > bytes.size()) return false;
        v = std::uint16_t(bytes[at] | bytes[at + 1] << 8);
        at += 2;
        return true;
    }
    bool u32(std::uint32_t& v) {
        if (at + 4 > bytes.size()) return false;
        v = 0;
        for (int i = 0; i < 4; ++i) v |= std::uint32_t(bytes[at + i]) << (8 * i);
        at += 4;
        return true;
    }
    bool u64(std::uint64_t& v) {
        std::uint32_t lo = 0, hi = 0;
        if (!u32(lo) || !u32(hi)) return false;
        v = lo | std::uint64_t(hi) << 32;
        return true;
    }
    bool take(std::size_t n, const unsigned char*& p) {
        if (n > bytes.size() - at) return false;
        p = bytes.data() + at;
        at += n;
        return true;
    }

private:
    const std::vector<unsigned char>& bytes;
    std::size_t at = 0;
};

bool plainName(const std::string& name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (char c : name)
        if (c < 0x20 || c > 0x7e || c == '/' || c == '\\' || c == ':') return false;
    return true;
}

// A file of the working folder, or of one folder in it (an autosave's).
bool readName(const std::string& name) {
    const std::size_t slash = name.find('/');
    if (slash == std::string::npos) return plainName(name);
    return plainName(name.substr(0, slash)) && plainName(name.substr(slash + 1));
}

} // namespace

bool recordStart(recorder& r, const std::string& path, std::uint32_t seed, int width, int height,
                 std::string& error) {
    r = recorder{};
    gzFile f = gzopen(path.c_str(), "wb6");
    if (!f) {
        error = "cannot write a recording to " + path;
        return false;
    }
    r.file = f;
    r.flushedAt = secondsNow();
    put(r, recordingMagic, 6);
    putU8(r, recordingVersion);
    putU32(r, seed);
    putU32(r, std::uint32_t(width));
    putU32(r, std::uint32_t(height));
    putU8(r, randomHere);
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
        if (gzflush(static_cast<gzFile>(r.file), Z_SYNC_FLUSH) != Z_OK) r.failed = true;
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
    const bool closed = gzclose(static_cast<gzFile>(r.file)) == Z_OK;
    r.file = nullptr;
    return closed && !r.failed;
}

bool readRecording(const std::string& path, recording& out, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot be read";
        return false;
    }
    std::vector<unsigned char> file;
    char chunk[1 << 15];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        file.insert(file.end(), chunk, chunk + in.gcount());
        if (file.size() > maxRecordingBytes) {
            error = "it is larger than any recording";
            return false;
        }
    }
    if (in.bad()) {
        error = "cannot be read";
        return false;
    }
    return parseRecording(file, out, error);
}

bool parseRecording(const std::vector<unsigned char>& file, recording& out, std::string& error) {
    out = recording{};
    std::vector<unsigned char> bytes;
    if (file.empty()) {
        error = "it is empty";
        return false;
    }
    bool cut = false;
    if (!inflateAll(file, bytes, cut, error)) return false;
    return parseRecordingData(bytes, out, error);
}

namespace {

// A recording cut off: its whole frames are those before the last frame
// record, whose reads and digests may be missing, unless the cut came in
// the end record, after them all. What belongs to later frames goes.
bool endEarly(recording& r, bool allWhole, std::string& error) {
    std::size_t n = r.frames.size();
    if (!allWhole && n > 0) --n;
    if (n == 0) {
        error = "it is cut off before its first whole frame";
        return false;
    }
    r.frames.resize(n);
    r.inputs.resize(r.frames.back().input + r.frames.back().changes);
    auto later = [n](const auto& x) { return x.frame > n; };
    r.reads.erase(std::remove_if(r.reads.begin(), r.reads.end(), later), r.reads.end());
    r.checkpoints.erase(std::remove_if(r.checkpoints.begin(), r.checkpoints.end(), later),
                        r.checkpoints.end());
    r.endsEarly = true;
    return true;
}

} // namespace

bool parseRecordingData(const std::vector<unsigned char>& bytes, recording& out,
                        std::string& error) {
    out = recording{};
    reader in(bytes);
    const unsigned char* magic = nullptr;
    unsigned version = 0;
    if (!in.take(6, magic) || std::memcmp(magic, recordingMagic, 6) != 0) {
        error = "it is not a recording (no KVXREC mark)";
        return false;
    }
    if (!in.u8(version)) {
        error = "it is truncated";
        return false;
    }
    if (version < unsigned(oldestRecordingVersion) || version > unsigned(recordingVersion)) {
        error = "it is a recording of version " + std::to_string(version) +
                "; this game plays versions " + std::to_string(oldestRecordingVersion) + " to " +
                std::to_string(recordingVersion);
        return false;
    }
    std::uint32_t w = 0, h = 0;
    if (!in.u32(out.seed) || !in.u32(w) || !in.u32(h)) {
        error = "it is truncated";
        return false;
    }
    if (w < 1 || h < 1 || w > 16384 || h > 16384) {
        error = "it is corrupt: a window size of " + std::to_string(w) + "x" + std::to_string(h);
        return false;
    }
    out.width = int(w);
    out.height = int(h);
    unsigned random = 0;
    if (!in.u8(random)) {
        error = "it is truncated";
        return false;
    }
    if (random != randomLinux && random != randomWindows) {
        error = "it is corrupt: an unknown random generator " + std::to_string(random);
        return false;
    }
    out.random = std::uint8_t(random);

    auto corrupt = [&](const std::string& what, std::size_t at) {
        error = "it is corrupt: " + what + " at byte " + std::to_string(at);
        return false;
    };
    bool haveTime = false;
    float lastTime = 0;
    std::uint32_t frameInputs = 0; // where the next frame's input changes begin
    for (;;) {
        const std::size_t at = in.offset();
        unsigned tag = 0;
        if (!in.u8(tag)) return endEarly(out, false, error); // no end record
        bool ok = true;
        switch (tag) {
        case 'K': {
            unsigned vk = 0, down = 0;
            ok = in.u8(vk) && in.u8(down);
            if (ok && down > 1) return corrupt("a key state of " + std::to_string(down), at);
            if (ok) out.inputs.push_back({inputChange::key, int(vk), int(down)});
            break;
        }
        case 'M': {
            std::uint32_t x = 0, y = 0;
            ok = in.u32(x) && in.u32(y);
            if (ok) {
                out.inputs.push_back(
                    {inputChange::cursor, int(std::int32_t(x)), int(std::int32_t(y))});
            }
            break;
        }
        case 'A': {
            unsigned on = 0;
            ok = in.u8(on);
            if (ok && on > 1) return corrupt("a focus state of " + std::to_string(on), at);
            if (ok) out.inputs.push_back({inputChange::focus, int(on), 0});
            break;
        }
        case 'S': {
            std::uint32_t sw = 0, sh = 0;
            ok = version >= 2 && in.u32(sw) && in.u32(sh);
            if (version < 2) return corrupt("a size record in a version 1 recording", at);
            if (ok && (sw < 1 || sh < 1 || sw > 16384 || sh > 16384))
                return corrupt("a frame size of " + std::to_string(sw) + "x" + std::to_string(sh), at);
            if (ok) out.inputs.push_back({inputChange::size, int(sw), int(sh)});
            break;
        }
        case 'P': {
            unsigned palette = 0;
            ok = version >= 2 && in.u8(palette);
            if (version < 2) return corrupt("a palette record in a version 1 recording", at);
            if (ok && palette > 1) return corrupt("a palette of " + std::to_string(palette), at);
            if (ok) out.inputs.push_back({inputChange::palette, int(palette), 0});
            break;
        }
        case 'F':
        case 'f': {
            float t = lastTime;
            if (tag == 'F') {
                std::uint32_t bits = 0;
                ok = in.u32(bits);
                std::memcpy(&t, &bits, 4);
            } else if (!haveTime) {
                return corrupt("a repeated frame time before any frame time", at);
            }
            if (ok && (!std::isfinite(t) || t > 0.05f))
                return corrupt("a frame time of " + std::to_string(t) + " s", at);
            if (ok) {
                const auto now = std::uint32_t(out.inputs.size());
                out.frames.push_back({t, frameInputs, now - frameInputs});
                frameInputs = std::uint32_t(out.inputs.size());
                haveTime = true;
                lastTime = t;
            }
            break;
        }
        case 'R': {
            if (out.frames.empty()) return corrupt("a mission read before the first frame", at);
            unsigned n = 0, found = 0;
            std::uint32_t size = 0;
            const unsigned char* name = nullptr;
            const unsigned char* data = nullptr;
            ok = in.u8(n) && in.take(n, name) && in.u8(found) && in.u32(size);
            if (!ok) break;
            missionRead r;
            r.frame = std::uint32_t(out.frames.size());
            r.name.assign(reinterpret_cast<const char*>(name), n);
            if (!readName(r.name)) return corrupt("a mission read without a plain file name", at);
            if (found > 1 || (found == 0 && size != 0))
                return corrupt("a mission read of unknown kind", at);
            if (size > std::uint32_t(maxMissionRead))
                return corrupt("a mission read of " + std::to_string(size) + " bytes", at);
            ok = in.take(size, data);
            if (!ok) break;
            r.found = found == 1;
            r.bytes.assign(data, data + size);
            out.reads.push_back(std::move(r));
            break;
        }
        case 'D': {
            if (out.frames.empty()) return corrupt("a digest before the first frame", at);
            checkpoint c;
            c.frame = std::uint32_t(out.frames.size());
            if (!out.checkpoints.empty() && out.checkpoints.back().frame == c.frame)
                return corrupt("two digests of one frame", at);
            unsigned n = 0;
            ok = in.u64(c.total) && in.u64(c.picture) && in.u8(n);
            if (ok && n != unsigned(digestPartCount))
                return corrupt("a digest of " + std::to_string(n) + " parts", at);
            for (unsigned i = 0; ok && i < n; ++i) {
                std::uint16_t p = 0;
                ok = in.u16(p);
                c.parts.push_back(p);
            }
            if (ok) out.checkpoints.push_back(std::move(c));
            break;
        }
        case 'E': {
            std::uint32_t frames = 0;
            ok = in.u32(frames);
            if (!ok) return endEarly(out, true, error); // cut off in its end record
            if (frames != out.frames.size())
                return corrupt("an end record counting " + std::to_string(frames) +
                                   " frames where there are " + std::to_string(out.frames.size()),
                               at);
            if (in.more()) return corrupt("records after the end", in.offset());
            return true;
        }
        default:
            return corrupt("an unknown record '" + std::to_string(tag) + "'", at);
        }
        if (!ok) return endEarly(out, false, error); // cut off in the middle of a record
    }
}

bool writeRecording(const std::string& path, const recording& r, std::string& error) {
    recorder w;
    if (!recordStart(w, path, r.seed, r.width, r.height, error)) return false;
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
    if (recordFinish(w)) return true;
    error = "it could not be written";
    return false;
}
