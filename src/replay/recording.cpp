// Recordings as gzip files: the sink that writes them (the records are
// recording_write.cpp's) and reading them back whole (the data inside the
// stream is recording_data.cpp's).
#include "replay/recording.h"

#include <zlib.h>

#include <fstream>
#include <iterator>

#include "replay/recording_sink.h"

bool sinkOpen(recorder& r, const std::string& path) {
    r.file = gzopen(path.c_str(), "wb6");
    return r.file != nullptr;
}

bool sinkWrite(recorder& r, const void* at, unsigned size) {
    return gzwrite(static_cast<gzFile>(r.file), at, size) == int(size);
}

// A sync flush ends the compressed data on a byte a reader can stop at.
bool sinkFlush(recorder& r) { return gzflush(static_cast<gzFile>(r.file), Z_SYNC_FLUSH) == Z_OK; }

bool sinkClose(recorder& r) { return gzclose(static_cast<gzFile>(r.file)) == Z_OK; }

namespace {

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

} // namespace

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

