// Where a recording being written goes, one build's way: a gzip file
// (recording.cpp), or in the browser, which has no zlib, the data inside the
// stream as it is, packed by the page (ports/web). recording_write.cpp's
// records call these; nothing else does.
#pragma once

#include <string>

#include "replay/recording.h"

// Opens path for the recording, setting r.file; false when it cannot.
bool sinkOpen(recorder& r, const std::string& path);
bool sinkWrite(recorder& r, const void* at, unsigned size);
// What was written reaches the file, a reader able to stop after it.
bool sinkFlush(recorder& r);
bool sinkClose(recorder& r);
