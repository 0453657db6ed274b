// Reading a recording's data, the bytes inside its gzip stream, checked. It
// needs no zlib, so every build has it, the browser's too.
#include "replay/recording.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

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
    if (version < unsigned(oldestRecordingVersion) || version > unsigned(clipRecordingVersion)) {
        error = "it is a recording of version " + std::to_string(version) +
                "; this game plays versions " + std::to_string(oldestRecordingVersion) + " to " +
                std::to_string(clipRecordingVersion);
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
        case 'C': {
            // A clip's start, right after the header, in a clip's version only.
            if (version < unsigned(clipRecordingVersion) || !out.frames.empty() || out.start)
                return corrupt("a clip's start where none can be", at);
            ok = in.u32(out.start);
            if (ok && out.start == 0) return corrupt("a clip starting at frame 0", at);
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
