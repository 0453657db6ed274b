// Recordings in the browser build. There is no zlib here, which recording
// files are packed with: the page unpacks a recording to watch with the
// browser's own gzip (ports/web/page/page.js) and puts the data inside the
// stream in the file system, where it is read with the parser every build
// has. Recordings written (a take-over, a clip) are the same data, written
// with the records every build has, which the page packs to download.
#include "replay/recording.h"

#include <cstdio>
#include <fstream>

#include "ports/web/web.h"
#include "replay/recording_sink.h"

// `path` holds what was inside the recording's gzip stream (a stream cut
// off: what it held before the cut).
bool readRecording(const std::string& path, recording& out, std::string& error) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    const std::streamoff size = in ? std::streamoff(in.tellg()) : -1;
    if (size < 0) {
        error = "cannot be read";
        return false;
    }
    if (size == 0) {
        error = "it is empty";
        return false;
    }
    if (std::uint64_t(size) > maxRecordingBytes) {
        error = "it is larger than any recording";
        return false;
    }
    std::vector<unsigned char> data(static_cast<std::size_t>(size));
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(data.data()), size)) {
        error = "cannot be read";
        return false;
    }
    return parseRecordingData(data, out, error);
}

// The sink of recordings written in the browser (a take-over, a clip): the
// data inside the gzip stream as it is, in the page's memory, told to the
// page, which packs it with the browser's gzip when the player downloads it.
bool sinkOpen(recorder& r, const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    // Unbuffered: the page may read the file at any frame (a game taken over
    // is downloaded as it is being written), and writes here are to memory.
    std::setvbuf(f, nullptr, _IONBF, 0);
    r.file = f;
    webRecordingWritten(path);
    return true;
}

bool sinkWrite(recorder& r, const void* at, unsigned size) {
    return std::fwrite(at, 1, size, static_cast<std::FILE*>(r.file)) == size;
}

bool sinkFlush(recorder& r) { return std::fflush(static_cast<std::FILE*>(r.file)) == 0; }

bool sinkClose(recorder& r) { return std::fclose(static_cast<std::FILE*>(r.file)) == 0; }
