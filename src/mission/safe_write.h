// Writing a file the player keeps (a mission, and later settings or an
// autosave) without ever spoiling the old one: see safe_write.cpp.
#pragma once

#include <vector>

// Writes bytes to path, replacing what was there. False when the file may not
// be written or the write failed; the old file is then as it was, and no
// temporary file stays behind.
bool writeFileSafely(const char* path, const std::vector<unsigned char>& bytes);
