// Reading plain files whole or in part, refusing directories, devices and pipes
// before they are opened, so a read can neither fail oddly nor wait for ever;
// and the numbers given on the command line.
#include "files.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

std::vector<unsigned char> readFileBytes(const std::string& path, std::size_t limit,
                                         std::size_t* size) {
    std::error_code ec;
    const fs::file_status st = fs::status(fs::path(path), ec);
    if (!fs::exists(st)) throw FileError("cannot read: no such file");
    if (fs::is_directory(st)) throw FileError("cannot read: it is a directory");
    if (!fs::is_regular_file(st)) throw FileError("cannot read: not a plain file");
    const std::uintmax_t whole = fs::file_size(fs::path(path), ec);
    if (ec) throw FileError("cannot read: " + ec.message());

    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) throw FileError(std::string("cannot read: ") + std::strerror(errno));
    std::vector<unsigned char> bytes(std::size_t(std::min<std::uintmax_t>(whole, limit)));
    const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), f);
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed) throw FileError("cannot read: the read failed");
    bytes.resize(got);
    if (size) *size = std::size_t(whole);
    return bytes;
}

std::string oneLineText(const std::string& text) {
    std::string s = text;
    for (char& c : s)
        if (c == '\n') c = ' ';
    return s;
}

// A whole number in [lo, hi], the whole of the text.
bool wholeNumber(const std::string& text, long lo, long hi, long& out) {
    if (text.empty() || text[0] == '+' || text[0] == ' ') return false;
    errno = 0;
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != 0 || v < lo || v > hi) return false;
    out = v;
    return true;
}

// A number above lo and at most hi, the whole of the text.
bool decimalNumber(const std::string& text, double lo, double hi, double& out) {
    if (text.empty() || text[0] == '+' || text[0] == ' ') return false;
    errno = 0;
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (errno != 0 || *end != 0 || !std::isfinite(v) || v <= lo || v > hi) return false;
    out = v;
    return true;
}

bool sizeText(const std::string& text, long lo, long hi, int& width, int& height) {
    const std::size_t x = text.find('x');
    long w = 0, h = 0;
    if (x == std::string::npos || !wholeNumber(text.substr(0, x), lo, hi, w) ||
        !wholeNumber(text.substr(x + 1), lo, hi, h))
        return false;
    width = int(w), height = int(h);
    return true;
}
