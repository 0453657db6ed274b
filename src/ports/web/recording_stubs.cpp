// Recordings in the browser build. There is no zlib here, which recording
// files are packed with: the page unpacks a recording to watch with the
// browser's own gzip (ports/web/page/page.js) and puts the data inside the
// stream in the file system, where it is read with the parser every build
// has. Writing recordings is not available: a page has nowhere to keep them,
// and these say so when asked.
#include "replay/recording.h"

#include <fstream>

namespace {
const char* const notHere = "recordings are not available in the browser";
}

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

bool recordStart(recorder&, const std::string&, std::uint32_t, int, int, std::string& error,
                 std::uint32_t) {
    error = notHere;
    return false;
}

void recordInput(recorder&, const inputChange&) {}
void recordFrames(recorder&, const recording&) {}
void recordFrame(recorder&, float) {}
void recordRead(recorder&, const std::string&, bool, const std::vector<unsigned char>&) {}
void recordDigest(recorder&, const stateDigest&, std::uint64_t) {}
bool recordFinish(recorder&) { return true; }

bool writeRecording(const std::string&, const recording&, std::string& error) {
    error = notHere;
    return false;
}
