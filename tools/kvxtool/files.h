// Reading the files and numbers the tool is given, with a short reason when it cannot.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

// Why a file could not be read, without the file's name ("no such file").
struct FileError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The first `limit` bytes of the plain file at path, and its whole size in
// `size` when asked. Throws FileError for a missing file, a directory or
// anything else that is not a plain file, or a read that fails.
std::vector<unsigned char> readFileBytes(const std::string& path, std::size_t limit,
                                         std::size_t* size = nullptr);

// A message of the game's (which may hold line breaks) on one line.
std::string oneLineText(const std::string& text);

// A whole number in [lo, hi], the whole of the text.
bool wholeNumber(const std::string& text, long lo, long hi, long& out);
// A finite number above lo and at most hi, the whole of the text.
bool decimalNumber(const std::string& text, double lo, double hi, double& out);
// "WxH", each a whole number in [lo, hi].
bool sizeText(const std::string& text, long lo, long hi, int& width, int& height);
