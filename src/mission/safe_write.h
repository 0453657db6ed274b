// Writing a file the player keeps (a mission, and later settings or an
// autosave) without ever spoiling the old one: see safe_write.cpp.
#pragma once

#include <string>
#include <vector>

// Writes bytes to path, replacing what was there. False when the file may not
// be written or the write failed; the old file is then as it was, and no
// temporary file stays behind.
bool writeFileSafely(const char* path, const std::vector<unsigned char>& bytes);

// Writes bytes as a new file `name` in `folder` (made when missing), never
// over another file: "shot.png" taken becomes "shot-2.png", "shot-3.png"...
// `where` is the path written. False, with the reason in `where`, when it cannot.
bool keepNewFile(const std::string& folder, const std::string& name,
                 const std::vector<unsigned char>& bytes, std::string& where);
