// Recordings in the browser build: not available. The browser has no zlib,
// which recording files are packed with, and a page has nowhere to keep them;
// the session asks for none there, and these say so if it ever does.
#include "replay/recording.h"

namespace {
const char* const notHere = "recordings are not available in the browser";
}

bool readRecording(const std::string&, recording&, std::string& error) {
    error = notHere;
    return false;
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
